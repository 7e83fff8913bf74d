// An object has no view of its own: it is drawn in its window's, and the
// services shown over it (an editor, a drag, a menu) are given that view.
#include "native_views.h"

#include "object.h"
#include "window.h"

namespace exdui {

backend::NativeView* NativeViewOf(const Window& window) {
    return window.Native() != nullptr ? window.Native()->View() : nullptr;
}

backend::NativeView* NativeViewOf(const Object& object) {
    return NativeViewOf(object.OwnerWindow());
}

}  // namespace exdui
