// The Win32 back end's native views are window handles.
#pragma once

#include <windows.h>

#include "backend/native_view.h"

namespace exdui::backend::win32 {

inline HWND ToHwnd(NativeView* view) {
    return reinterpret_cast<HWND>(view);
}

inline NativeView* ToNativeView(HWND window) {
    return reinterpret_cast<NativeView*>(window);
}

// The top-level window showing view, which owns the dialogs, menus and
// tooltips shown over it; null for none.
inline HWND OwnerOf(NativeView* view) {
    HWND window = ToHwnd(view);
    return window != nullptr && IsWindow(window) ? GetAncestor(window, GA_ROOT) : nullptr;
}

}  // namespace exdui::backend::win32
