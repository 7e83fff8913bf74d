// The tooltip on Win32: one tracking tooltip control of comctl32, placed at
// the point given. A thread timer watches the pointer and the buttons while
// it shows, since the control follows no area of its own in tracking mode.
#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <string>

#include "backend/tooltip.h"
#include "backend/win32/gdiplus_graphics.h"
#include "backend/win32/win32_native_view.h"

namespace exdui::backend {
namespace {

// Long lines wrap at this width, as the system's tooltips wrap.
constexpr int MaxTipWidth = 500;
constexpr UINT WatchMs = 50;
constexpr UINT_PTR ToolId = 1;

// UI thread only.
struct Shown {
    HWND tip = nullptr;
    HWND view = nullptr;
    RECT area{};
    UINT_PTR timer = 0;
    bool buttonsDown = false;
    std::wstring text;
};
Shown g_shown;

bool AnyButtonDown() {
    return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0 ||
           (GetAsyncKeyState(VK_RBUTTON) & 0x8000) != 0 ||
           (GetAsyncKeyState(VK_MBUTTON) & 0x8000) != 0;
}

TTTOOLINFOW ToolOf(HWND view) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;  // what every comctl32 takes
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = view;
    tool.uId = ToolId;
    return tool;
}

void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD) {
    POINT pointer{};
    GetCursorPos(&pointer);
    const bool inView = IsWindow(g_shown.view) && ScreenToClient(g_shown.view, &pointer);
    const bool pressed = AnyButtonDown() && !g_shown.buttonsDown;
    g_shown.buttonsDown = AnyButtonDown();
    if (!inView || !PtInRect(&g_shown.area, pointer) || pressed) {
        HideTooltip();
    }
}

HWND TipWindow() {
    if (g_shown.tip == nullptr || !IsWindow(g_shown.tip)) {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        g_shown.tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                      WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
        SendMessageW(g_shown.tip, TTM_SETMAXTIPWIDTH, 0, MaxTipWidth);
    }
    return g_shown.tip;
}

}  // namespace

void ShowTooltip(NativeView* view, ExPoint at, std::u16string_view text, const ExRect& area) {
    HideTooltip();
    HWND window = win32::ToHwnd(view);
    if (text.empty() || window == nullptr || !IsWindow(window)) {
        return;
    }
    HWND tip = TipWindow();
    if (tip == nullptr) {
        return;
    }
    g_shown.view = window;
    g_shown.area = {area.left, area.top, area.right, area.bottom};
    g_shown.text.assign(text.begin(), text.end());
    g_shown.buttonsDown = AnyButtonDown();
    SendMessageW(tip, WM_SETFONT, reinterpret_cast<WPARAM>(win32::SystemFont()), FALSE);
    TTTOOLINFOW tool = ToolOf(window);
    tool.lpszText = g_shown.text.data();
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
    SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    g_shown.timer = SetTimer(nullptr, 0, WatchMs, Watch);
}

void HideTooltip() {
    if (g_shown.timer != 0) {
        KillTimer(nullptr, g_shown.timer);
        g_shown.timer = 0;
    }
    if (g_shown.tip != nullptr && g_shown.view != nullptr) {
        TTTOOLINFOW tool = ToolOf(g_shown.view);
        SendMessageW(g_shown.tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(g_shown.tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    g_shown.view = nullptr;
}

}  // namespace exdui::backend
