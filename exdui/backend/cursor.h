// The mouse pointer and the system's settings for it. UI thread only.
#pragma once

#include <cstdint>

#include "exdui.h"

namespace exdui::backend {

// Where the pointer is, in screen pixels.
ExPoint CursorPosition();
// How far, in pixels, the pointer moves with a button held before a drag
// begins.
int32_t DragDistance();
// The longest time, in milliseconds, between the clicks of a double click.
int32_t DoubleClickTime();

}  // namespace exdui::backend
