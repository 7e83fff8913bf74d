// The input of the Win32 back end's windows: the mouse and the keys turned
// into NativeWindowEvents calls, the keys the library takes before anything
// in a window sees them, and the focus of the views inside a window.
#include <windows.h>
#include <windowsx.h>

#include <string>

#include "backend/win32/win32_native_view.h"
#include "backend/win32/win32_native_window.h"

namespace exdui::backend::win32 {
namespace {

constexpr WPARAM ButtonBits = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

// EX_MK_* of a mouse message's key state: the same bits as MK_*.
uint32_t KeysOf(WPARAM wParam) {
    return static_cast<uint32_t>(wParam & (MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL));
}

uint32_t ModifiersNow() {
    uint32_t keys = 0;
    if (GetKeyState(VK_SHIFT) < 0) {
        keys |= EX_MK_SHIFT;
    }
    if (GetKeyState(VK_CONTROL) < 0) {
        keys |= EX_MK_CONTROL;
    }
    return keys;
}

// The button of a button message, and whether it goes down.
bool ButtonOf(UINT message, MouseButton* button, bool* down, bool* doubleClick) {
    *doubleClick =
        message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
            *button = MouseButton::Left;
            *down = message != WM_LBUTTONUP;
            return true;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_RBUTTONUP:
            *button = MouseButton::Right;
            *down = message != WM_RBUTTONUP;
            return true;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
        case WM_MBUTTONUP:
            *button = MouseButton::Middle;
            *down = message != WM_MBUTTONUP;
            return true;
        default:
            return false;
    }
}

bool Contains(const RECT& r, ExPoint p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// The client point of a message's screen point.
ExPoint ClientOf(HWND hwnd, LPARAM lParam) {
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(hwnd, &p);
    return {p.x, p.y};
}

// The pointer is over hwnd itself, not a window above it or inside it.
bool PointerOver(HWND hwnd) {
    POINT p{};
    return GetCursorPos(&p) && WindowFromPoint(p) == hwnd;
}

HHOOK g_focusHook = nullptr;

LRESULT CALLBACK FocusHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && (sent->message == WM_SETFOCUS || sent->message == WM_KILLFOCUS)) {
        HWND root = GetAncestor(sent->hwnd, GA_ROOT);
        Win32NativeWindow* window = root != sent->hwnd ? NativeWindowOf(root) : nullptr;
        if (window != nullptr) {
            HWND child = sent->hwnd;
            while (GetParent(child) != root) {
                child = GetParent(child);
            }
            window->Events().OnViewFocus(ToNativeView(child), sent->message == WM_SETFOCUS);
        }
    }
    return CallNextHookEx(g_focusHook, code, wParam, lParam);
}

}  // namespace

LRESULT HitCode(FrameHit hit) {
    switch (hit) {
        case FrameHit::Caption:
            return HTCAPTION;
        case FrameHit::Left:
            return HTLEFT;
        case FrameHit::Top:
            return HTTOP;
        case FrameHit::Right:
            return HTRIGHT;
        case FrameHit::Bottom:
            return HTBOTTOM;
        case FrameHit::TopLeft:
            return HTTOPLEFT;
        case FrameHit::TopRight:
            return HTTOPRIGHT;
        case FrameHit::BottomLeft:
            return HTBOTTOMLEFT;
        case FrameHit::BottomRight:
            return HTBOTTOMRIGHT;
        default:
            return HTCLIENT;
    }
}

void WatchViewFocus() {
    if (g_focusHook == nullptr) {
        g_focusHook = SetWindowsHookExW(WH_CALLWNDPROC, FocusHook, nullptr, GetCurrentThreadId());
    }
}

Win32NativeWindow* NativeWindowOf(HWND hwnd) {
    wchar_t cls[32] = {};
    if (hwnd == nullptr || GetClassNameW(hwnd, cls, 32) == 0 ||
        lstrcmpW(cls, L"ExduiWindow") != 0) {
        return nullptr;
    }
    return reinterpret_cast<Win32NativeWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

Win32NativeWindow* ShownPopupOf(HWND owner) {
    struct Search {
        HWND owner;
        Win32NativeWindow* found;
    } search{owner, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            Win32NativeWindow* window = NativeWindowOf(hwnd);
            if (window != nullptr && window->IsPopup() && IsWindowVisible(hwnd) &&
                GetWindow(hwnd, GW_OWNER) == s->owner) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool TakeKeyFirst(const MSG& msg) {
    const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    const bool up = msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP;
    if (!down && !up) {
        return false;
    }
    Win32NativeWindow* window = NativeWindowOf(GetAncestor(msg.hwnd, GA_ROOT));
    if (window == nullptr || window->m_destroying) {
        return false;
    }
    // A shown popup takes the keys of its owner.
    if (Win32NativeWindow* popup = ShownPopupOf(window->Handle())) {
        if (!(down && popup->Events().OnKeyDown(static_cast<int32_t>(msg.wParam)))) {
            popup->Key(msg.message, msg.wParam);
        }
        return true;
    }
    return down && window->Events().OnKeyDown(static_cast<int32_t>(msg.wParam));
}

void Win32NativeWindow::Key(UINT message, WPARAM wParam) {
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    std::u16string text;
    if (down) {
        // TranslateMessage queued the characters the key types: they come
        // with it.
        MSG typed;
        while (PeekMessageW(&typed, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE)) {
            const auto c = static_cast<char16_t>(typed.wParam);
            if (c >= 0x20 && c != 0x7F) {
                text.push_back(c);
            }
        }
    }
    m_events.OnKey(down, static_cast<int32_t>(wParam), ModifiersNow(), text);
}

void Win32NativeWindow::TrackTo(POINT now) {
    const LONG dx = now.x - m_moveFrom.x;
    const LONG dy = now.y - m_moveFrom.y;
    RECT r = m_moveStart;
    if (m_trackHit == HTCAPTION) {
        OffsetRect(&r, dx, dy);
    } else {
        // The far edge stays put.
        const LONG minWidth = std::max<LONG>(MinTrackWidth, m_minSize.cx);
        const LONG minHeight = std::max<LONG>(MinTrackHeight, m_minSize.cy);
        if (m_trackHit == HTLEFT || m_trackHit == HTTOPLEFT || m_trackHit == HTBOTTOMLEFT) {
            r.left = std::min(r.left + dx, r.right - minWidth);
        }
        if (m_trackHit == HTRIGHT || m_trackHit == HTTOPRIGHT || m_trackHit == HTBOTTOMRIGHT) {
            r.right = std::max(r.right + dx, r.left + minWidth);
        }
        if (m_trackHit == HTTOP || m_trackHit == HTTOPLEFT || m_trackHit == HTTOPRIGHT) {
            r.top = std::min(r.top + dy, r.bottom - minHeight);
        }
        if (m_trackHit == HTBOTTOM || m_trackHit == HTBOTTOMLEFT || m_trackHit == HTBOTTOMRIGHT) {
            r.bottom = std::max(r.bottom + dy, r.top + minHeight);
        }
    }
    SetWindowPos(m_hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32NativeWindow::Dismiss() {
    if (!IsWindowVisible(m_hwnd)) {
        return;
    }
    ShowWindow(m_hwnd, SW_HIDE);
    if (GetCapture() == m_hwnd) {
        ReleaseCapture();
    }
    m_events.OnPopupDismissed();
}

void Win32NativeWindow::PointerAt(ExPoint at, uint32_t keys) {
    if (!m_trackingLeave) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hwnd, 0};
        m_trackingLeave = TrackMouseEvent(&track) != 0;
    }
    if (m_pointerOnFrame) {
        m_pointerOnFrame = false;
        m_events.OnFrameMouse(FrameMouse::Leave, {});
    }
    if (!m_pointerInside) {
        m_pointerInside = true;
        m_events.OnMouseEnter(at);
        if (m_destroying) {
            return;
        }
    }
    m_events.OnMouseMove(at, keys);
}

bool Win32NativeWindow::Mouse(UINT message, WPARAM wParam, LPARAM lParam) {
    MouseButton button;
    bool down = false;
    bool doubleClick = false;
    switch (message) {
        case WM_MOUSEMOVE: {
            const ExPoint at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (m_trackHit != 0) {
                POINT now{at.x, at.y};
                ClientToScreen(m_hwnd, &now);
                const bool resizing = m_trackHit != HTCAPTION;
                TrackTo(now);
                if (resizing || m_destroying) {
                    return true;  // a move still reaches the library, a resize does not
                }
            }
            const bool onFrame =
                m_framePressed || (Contains(m_frame, at) && (wParam & ButtonBits) == 0);
            if (!onFrame) {
                PointerAt(at, KeysOf(wParam));
                return true;
            }
            if (m_pointerInside) {
                m_pointerInside = false;
                m_events.OnMouseLeave();  // onto the frame area
            }
            m_pointerOnFrame = true;
            if (!m_destroying) {
                m_events.OnFrameMouse(FrameMouse::Move, at);
            }
            return true;
        }
        case WM_NCMOUSEMOVE:
            if (wParam == HTCAPTION) {
                POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                ScreenToClient(m_hwnd, &p);
                PointerAt({p.x, p.y}, ModifiersNow());
            }
            return false;
        case WM_MOUSELEAVE:
        case WM_NCMOUSELEAVE:
            m_trackingLeave = false;
            // The system's leave comes also between the caption and the
            // client area; a sent one is the injection's, which has no pointer.
            if (!InSendMessage() && PointerOver(m_hwnd)) {
                return true;  // between the caption and the client area
            }
            if (m_pointerOnFrame) {
                m_pointerOnFrame = false;
                m_events.OnFrameMouse(FrameMouse::Leave, {});
            }
            if (m_pointerInside && !m_destroying) {
                m_pointerInside = false;
                m_events.OnMouseLeave();
            }
            return true;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK: {
            if (wParam != HTCAPTION) {
                return false;  // an edge: the system resizes
            }
            const ExPoint at = ClientOf(m_hwnd, lParam);
            const uint32_t keys = EX_MK_LBUTTON | ModifiersNow();
            if (message == WM_NCLBUTTONDBLCLK) {
                m_events.OnDoubleClick(MouseButton::Left, at, keys);
                return true;
            }
            m_events.OnMouseDown(MouseButton::Left, at, keys);
            if (m_destroying || !IsWindowVisible(m_hwnd)) {
                return true;
            }
            // The system's move loop runs until the button goes up and eats
            // the release: the library hears of it afterwards.
            DefWindowProcW(m_hwnd, message, wParam, lParam);
            if (!m_destroying) {
                POINT p{};
                GetCursorPos(&p);
                ScreenToClient(m_hwnd, &p);
                m_events.OnMouseUp(MouseButton::Left, {p.x, p.y}, ModifiersNow());
            }
            return true;
        }
        case WM_MOUSEWHEEL: {
            const ExPoint at = ClientOf(m_hwnd, lParam);
            return m_events.OnWheel(at, GET_WHEEL_DELTA_WPARAM(wParam),
                                    KeysOf(GET_KEYSTATE_WPARAM(wParam)));
        }
        default:
            break;
    }
    if (!ButtonOf(message, &button, &down, &doubleClick)) {
        return false;
    }
    const ExPoint at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (down && m_popup) {
        RECT client{};
        GetClientRect(m_hwnd, &client);
        if (!Contains(client, at)) {
            Dismiss();  // a press outside a popup closes it, and goes no further
            return true;
        }
    }
    if (button == MouseButton::Left && (m_framePressed || (down && Contains(m_frame, at)))) {
        m_framePressed = down;
        if (down) {
            SetCapture(m_hwnd);
        } else if (!m_popup && (wParam & ButtonBits) == 0) {
            ReleaseCapture();
        }
        m_events.OnFrameMouse(down ? FrameMouse::Press : FrameMouse::Release, at);
        return true;
    }
    if (down && Contains(m_frame, at)) {
        return true;  // of the frame area only the left button is told
    }
    if (down) {
        SetCapture(m_hwnd);  // the moves follow the held button out of the window
        if (doubleClick) {
            m_events.OnDoubleClick(button, at, KeysOf(wParam));
        } else {
            m_events.OnMouseDown(button, at, KeysOf(wParam));
        }
        return true;
    }
    if (button == MouseButton::Left && m_trackHit != 0) {
        const bool resizing = m_trackHit != HTCAPTION;
        m_trackHit = 0;
        if (resizing) {
            ReleaseCapture();
            return true;  // the resize's release is not the library's
        }
    }
    if (!m_popup && (wParam & ButtonBits) == 0 && GetCapture() == m_hwnd) {
        ReleaseCapture();
    }
    if (!m_destroying) {
        m_events.OnMouseUp(button, at, KeysOf(wParam));
    }
    return true;
}

}  // namespace exdui::backend::win32
