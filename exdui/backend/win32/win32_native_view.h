// The Win32 back end's native views are window handles.
#pragma once

#include <windows.h>

#include "backend/native_view.h"
#include "exdui.h"

namespace exdui::backend::win32 {

inline NativeView* ToNativeView(HWND hwnd) {
    return reinterpret_cast<NativeView*>(hwnd);
}

inline HWND ToHwnd(NativeView* view) {
    return reinterpret_cast<HWND>(view);
}

inline RECT ToRECT(const ExRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

inline ExRect ToExRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace exdui::backend::win32
