// The native view of a window or an object (its window's), for the services
// shown over them (backend/). UI thread only.
#pragma once

#include "backend/native_view.h"

namespace exdui {

class Object;
class Window;

backend::NativeView* NativeViewOf(const Window& window);
backend::NativeView* NativeViewOf(const Object& object);

}  // namespace exdui
