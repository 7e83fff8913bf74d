// Until the window back end draws the objects, windows and objects are Qt
// widgets, and a widget is the Qt back end's view.
#include "native_views.h"

#include "backend/qt/qt_native_view.h"
#include "object.h"
#include "window.h"

namespace exdui {

backend::NativeView* NativeViewOf(const Window& window) {
    return window.Native()->View();
}

backend::NativeView* NativeViewOf(const Object& object) {
    return backend::qt::ToNativeView(object.Widget());
}

}  // namespace exdui
