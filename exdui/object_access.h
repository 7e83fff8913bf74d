// Helpers for the C functions on objects: they look the handle up on the UI
// thread inside the marshalled call (a handle destroyed meanwhile only
// misses) and keep every exception on this side of the C boundary.
#pragma once

#include "handle_table.h"
#include "marshal.h"
#include "object.h"

namespace exdui {

// Library-internal messages that tell a class about changes made through the
// C API; procedures that do not know them leave them alone.
constexpr int32_t MsgColorChanged = 0x7F01;  // wParam = slot
constexpr int32_t MsgFontChanged = 0x7F02;
constexpr int32_t MsgChildTextChanged = 0x7F03;  // wParam = the child (an Edit)
// The pointer rests on the object (wParam its screen point, lParam its client
// point, both packed as mouse points): nonzero when the object showed a
// tooltip of its own there, else its tooltip set with Ex_ObjSetTooltip shows.
constexpr int32_t MsgPointerRest = 0x7F04;
// The object's place, visibility or enabled state in the window changed (it
// moved, showed or was enabled, or an ancestor was): views of the system's
// kept over it follow.
constexpr int32_t MsgPlaced = 0x7F05;

// Runs fn(Object&) -> R on the UI thread and waits for it.
template <class R, class F>
R WithObject(ExHandle handle, R fallback, F&& fn) {
    try {
        return marshal::Call(
            [&]() -> R {
                Object* obj = ObjectFromHandle(handle);
                return obj != nullptr && !obj->destroyed ? fn(*obj) : fallback;
            },
            fallback);
    } catch (...) {
        return fallback;
    }
}

// Runs fn(Object&) -> bool now on the UI thread, or queues it from another
// thread (then the result says whether the handle was alive and it was queued).
template <class F>
int OnObject(ExHandle handle, F fn) {
    try {
        if (!marshal::IsUiThread() && !handles::IsLive(handle, Kind::Object)) {
            return 0;
        }
        return marshal::Run([handle, fn]() -> bool {
            Object* obj = ObjectFromHandle(handle);
            return obj != nullptr && !obj->destroyed && fn(*obj);
        })
                   ? 1
                   : 0;
    } catch (...) {
        return 0;
    }
}

}  // namespace exdui
