#include "backend/win32/win32_native_view.h"

#include <windows.h>

namespace exdui::backend {

std::intptr_t NativeHandle(NativeView* view) {
    HWND hwnd = win32::ToHwnd(view);
    if (hwnd == nullptr || !IsWindow(hwnd)) {
        return 0;
    }
    return reinterpret_cast<std::intptr_t>(GetAncestor(hwnd, GA_ROOT));
}

void FocusView(NativeView* view, bool byTab) {
    HWND hwnd = win32::ToHwnd(view);
    if (hwnd == nullptr) {
        return;
    }
    SetFocus(hwnd);
    wchar_t cls[16] = {};
    // An editor reached by Tab selects all its text, as dialogs do.
    if (byTab && GetClassNameW(hwnd, cls, 16) > 0 && lstrcmpiW(cls, L"Edit") == 0) {
        SendMessageW(hwnd, EM_SETSEL, 0, -1);
    }
}

}  // namespace exdui::backend
