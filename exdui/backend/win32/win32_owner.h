// The window that owns what a service shows over a view.
#pragma once

#include <windows.h>

#include "backend/win32/win32_native_view.h"

namespace exdui::backend::win32 {

// The top-level window showing view, which owns the dialogs, menus and
// tooltips shown over it; null for none.
inline HWND OwnerOf(NativeView* view) {
    HWND window = ToHwnd(view);
    return window != nullptr && IsWindow(window) ? GetAncestor(window, GA_ROOT) : nullptr;
}

}  // namespace exdui::backend::win32
