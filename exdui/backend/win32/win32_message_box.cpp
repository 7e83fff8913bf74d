// The message box on Win32: MessageBoxW, whose buttons are renamed in the
// program's language (whatever the system's) as the box is activated. The
// EX_MB_* and EX_ID* values are the system's own.
#include <windows.h>

#include <string>

#include "backend/message_box.h"
#include "backend/win32/win32_owner.h"
#include "exdui.h"

namespace exdui::backend {
namespace {

HHOOK g_hook = nullptr;  // UI thread only: set while a box is being made

LRESULT CALLBACK RenameButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        SetDlgItemTextW(box, IDOK, L"确定");
        SetDlgItemTextW(box, IDCANCEL, L"取消");
        SetDlgItemTextW(box, IDYES, L"是");
        SetDlgItemTextW(box, IDNO, L"否");
        UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
        return 0;
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

}  // namespace

int32_t ShowMessageBox(NativeView* owner, std::u16string_view text, std::u16string_view caption,
                       uint32_t type) {
    const std::wstring wideText(text.begin(), text.end());
    const std::wstring wideCaption(caption.begin(), caption.end());
    UINT style = (type & 0xFF) | MB_SETFOREGROUND;
    HWND window = win32::OwnerOf(owner);
    if (window == nullptr) {
        style |= MB_TASKMODAL;
    }
    g_hook = SetWindowsHookExW(WH_CBT, RenameButtons, nullptr, GetCurrentThreadId());
    const int chosen = MessageBoxW(window, wideText.c_str(), wideCaption.c_str(), style);
    if (g_hook != nullptr) {  // the box never came up
        UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
    switch (chosen) {
        case IDYES:
            return EX_IDYES;
        case IDNO:
            return EX_IDNO;
        case IDCANCEL:
            return (type & 0xF) == EX_MB_OK ? EX_IDOK : EX_IDCANCEL;
        default:
            return EX_IDOK;
    }
}

}  // namespace exdui::backend
