#include "backend/win32/win32_native_window.h"

#include <shellapi.h>
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <string>
#include <vector>

#include "backend/offscreen.h"
#include "backend/win32/win32_app.h"
#include "backend/win32/win32_cursor.h"
#include "backend/win32/win32_native_view.h"

namespace exdui::backend {
namespace win32 {
namespace {

constexpr wchar_t WindowClass[] = L"ExduiWindow";

void RegisterWindowClass(WNDPROC proc) {
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof(cls);
    cls.style = CS_DBLCLKS;
    cls.lpfnWndProc = proc;
    cls.hInstance = Module();
    cls.hCursor = nullptr;  // WM_SETCURSOR answers
    cls.lpszClassName = WindowClass;
    registered = RegisterClassExW(&cls) != 0;
}

bool Contains(const RECT& r, ExPoint p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// The files of a shell drop (WM_DROPFILES).
std::vector<std::u16string> DroppedFiles(HDROP drop) {
    std::vector<std::u16string> names;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring name(DragQueryFileW(drop, i, nullptr, 0), L'\0');
        DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size() + 1));
        names.emplace_back(name.begin(), name.end());
    }
    return names;
}

}  // namespace

Win32NativeWindow::Win32NativeWindow(NativeWindowEvents& events, bool popup)
    : m_events(events), m_popup(popup) {}

Win32NativeWindow::~Win32NativeWindow() = default;

bool Win32NativeWindow::Create(const NativeWindowOptions& options) {
    RegisterWindowClass(&Win32NativeWindow::Proc);
    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    DWORD exStyle = 0;
    if (m_popup) {
        exStyle |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST;
    } else {
        // The task bar's menu minimises, maximises and closes it.
        style |= WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    }
    if (options.topmost) {
        exStyle |= WS_EX_TOPMOST;
    }
    const std::wstring title(options.title.begin(), options.title.end());
    const ExRect& r = options.rect;
    HWND owner = options.owner != nullptr ? static_cast<Win32NativeWindow*>(options.owner)->Handle()
                                          : nullptr;
    m_hwnd = CreateWindowExW(exStyle, WindowClass, title.c_str(), style, r.left, r.top,
                             std::max(1, r.right - r.left), std::max(1, r.bottom - r.top), owner,
                             nullptr, Module(), this);
    if (m_hwnd == nullptr) {
        return false;
    }
    m_created = true;
    if (!m_popup) {
        DragAcceptFiles(m_hwnd, TRUE);
    }
    return true;
}

ExRect Win32NativeWindow::Rect() const {
    RECT r{};
    GetClientRect(m_hwnd, &r);
    MapWindowPoints(m_hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return ToExRect(r);
}

ExRect Win32NativeWindow::OuterRect() const {
    RECT r{};
    GetWindowRect(m_hwnd, &r);
    return ToExRect(r);
}

void Win32NativeWindow::SetRect(const ExRect& rect) {
    const int width = std::max({1, rect.right - rect.left, static_cast<int>(m_minSize.cx)});
    const int height = std::max({1, rect.bottom - rect.top, static_cast<int>(m_minSize.cy)});
    SetWindowPos(m_hwnd, nullptr, rect.left, rect.top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32NativeWindow::Show(int32_t command) {
    switch (command) {
        case EX_SW_HIDE:
            ShowWindow(m_hwnd, SW_HIDE);
            if (GetCapture() == m_hwnd) {
                ReleaseCapture();  // hidden first: no dismissal is told
            }
            break;
        case EX_SW_SHOWMINIMIZED:
            ShowWindow(m_hwnd, SW_SHOWMINIMIZED);
            break;
        case EX_SW_SHOWMAXIMIZED:
            ShowWindow(m_hwnd, SW_SHOWMAXIMIZED);
            break;
        case EX_SW_SHOWNOACTIVATE:
            ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
            break;
        case EX_SW_SHOWNORMAL:
        case EX_SW_RESTORE:
            ShowWindow(m_hwnd, m_popup ? SW_SHOWNOACTIVATE : SW_RESTORE);
            if (!m_popup) {
                SetForegroundWindow(m_hwnd);
            }
            break;
        default:
            ShowWindow(m_hwnd, m_popup ? SW_SHOWNA : SW_SHOW);
            break;
    }
    if (m_popup && IsWindowVisible(m_hwnd)) {
        SetCapture(m_hwnd);  // every press comes here, outside it too
    }
}

WindowState Win32NativeWindow::State() const {
    if (IsIconic(m_hwnd)) {
        return WindowState::Minimized;
    }
    return IsZoomed(m_hwnd) ? WindowState::Maximized : WindowState::Normal;
}

bool Win32NativeWindow::IsVisible() const {
    return IsWindowVisible(m_hwnd) != 0;
}

void Win32NativeWindow::Enable(bool enable) {
    EnableWindow(m_hwnd, enable ? TRUE : FALSE);
}

void Win32NativeWindow::SetTopmost(bool topmost) {
    SetWindowPos(m_hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32NativeWindow::SetMinSize(int32_t width, int32_t height) {
    m_minSize = {std::max(0, width), std::max(0, height)};
    RECT r{};
    GetWindowRect(m_hwnd, &r);
    if (r.right - r.left < m_minSize.cx || r.bottom - r.top < m_minSize.cy) {
        SetRect(ToExRect(r));
    }
}

void Win32NativeWindow::Invalidate(const ExRect* area) {
    if (area != nullptr) {
        const RECT r = ToRECT(*area);
        InvalidateRect(m_hwnd, &r, FALSE);
    } else {
        InvalidateRect(m_hwnd, nullptr, FALSE);
    }
}

void Win32NativeWindow::SetFrameArea(const ExRect& area) {
    const RECT old = m_frame;
    m_frame = ToRECT(area);
    if (IsRectEmpty(&m_frame)) {
        m_frame = {};
    }
    InvalidateRect(m_hwnd, &old, FALSE);
    InvalidateRect(m_hwnd, &m_frame, FALSE);
}

NativeView* Win32NativeWindow::View() {
    return ToNativeView(m_hwnd);
}

void Win32NativeWindow::TakeFocus() {
    SetFocus(m_hwnd);
}

bool Win32NativeWindow::HasFocus() const {
    return GetFocus() == m_hwnd;
}

void Win32NativeWindow::Destroy() {
    m_destroying = true;
    if (GetCapture() == m_hwnd) {
        ReleaseCapture();
    }
    ShowWindow(m_hwnd, SW_HIDE);
    HWND hwnd = m_hwnd;
    DeferDelete([hwnd] {
        if (IsWindow(hwnd)) {
            DestroyWindow(hwnd);
        }
    });
}

void Win32NativeWindow::TrackByHand(LRESULT hit, POINT from) {
    m_trackHit = hit;
    m_moveFrom = from;
    GetWindowRect(m_hwnd, &m_moveStart);
    SetCapture(m_hwnd);
}

void Win32NativeWindow::Paint(HDC dc, const RECT& dirty) {
    const int width = dirty.right - dirty.left;
    const int height = dirty.bottom - dirty.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    const ExRect area = ToExRect(dirty);
    RECT frame{};
    const bool frameDirty = IntersectRect(&frame, &m_frame, &dirty) != 0;
    const Pixels pixels = PaintOffscreen(width, height, [&](Painter& painter) {
        painter.Translate(static_cast<float>(-dirty.left), static_cast<float>(-dirty.top));
        m_events.OnPaint(painter, area);
        if (frameDirty) {
            painter.Save();
            painter.ClipRect(RectF::OfSize(static_cast<float>(frame.left),
                                           static_cast<float>(frame.top),
                                           static_cast<float>(frame.right - frame.left),
                                           static_cast<float>(frame.bottom - frame.top)));
            m_events.OnPaintFrame(painter, ToExRect(frame));
            painter.Restore();
        }
    });
    if (pixels.width != width || pixels.height != height) {
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, dirty.left, dirty.top, static_cast<DWORD>(width),
                      static_cast<DWORD>(height), 0, 0, 0, static_cast<UINT>(height),
                      pixels.argb.data(), &info, DIB_RGB_COLORS);
}

void Win32NativeWindow::PaintInto(HDC dc) {
    RECT client{};
    GetClientRect(m_hwnd, &client);
    Paint(dc, client);
}

LRESULT Win32NativeWindow::HitTest(LPARAM lParam) {
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(m_hwnd, &p);
    if (m_popup || Contains(m_frame, {p.x, p.y})) {
        return HTCLIENT;
    }
    return HitCode(m_events.OnHitTest({p.x, p.y}));
}

void Win32NativeWindow::SetState(WindowState state) {
    if (state != m_state) {
        m_state = state;
        m_events.OnStateChanged(state);
    }
}

void Win32NativeWindow::DismissPopups() {
    // The popups this window owns: windows of the thread owned by it.
    std::vector<HWND> owned;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&owned));
    for (HWND hwnd : owned) {
        Win32NativeWindow* window = NativeWindowOf(hwnd);
        if (window != nullptr && window->m_popup && GetWindow(hwnd, GW_OWNER) == m_hwnd) {
            window->Dismiss();
        }
    }
}

LRESULT CALLBACK Win32NativeWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window = static_cast<Win32NativeWindow*>(
            reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Win32NativeWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (!window->m_created) {
            return DefWindowProcW(hwnd, message, wParam, lParam);  // Create fails and deletes it
        }
        ForgetViewCursor(hwnd);
        NativeWindowEvents& events = window->m_events;
        delete window;
        events.OnDestroyed();
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (window->m_destroying) {
        return DefWindowProcW(hwnd, message, wParam, lParam);  // nothing more for the library
    }
    return window->Handle(message, wParam, lParam);
}

LRESULT Win32NativeWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(m_hwnd, &ps);
            Paint(dc, ps.rcPaint);
            EndPaint(m_hwnd, &ps);
            return 0;
        }
        case WM_PRINTCLIENT:
            PaintInto(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        case WM_NCHITTEST:
            return HitTest(lParam);
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                SetCursor(ViewCursor(m_hwnd));
                return TRUE;
            }
            break;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            // The user's resizing keeps a usable size; the library's own
            // calls keep only its least size.
            const LONG floorWidth = m_sizing ? MinTrackWidth : 1;
            const LONG floorHeight = m_sizing ? MinTrackHeight : 1;
            info->ptMinTrackSize = {std::max(floorWidth, m_minSize.cx),
                                    std::max(floorHeight, m_minSize.cy)};
            return 0;
        }
        case WM_ENTERSIZEMOVE:
            m_sizing = true;
            return 0;
        case WM_EXITSIZEMOVE:
            m_sizing = false;
            return 0;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) {
                m_events.OnResized(LOWORD(lParam), HIWORD(lParam));
            }
            SetState(wParam == SIZE_MINIMIZED   ? WindowState::Minimized
                     : wParam == SIZE_MAXIMIZED ? WindowState::Maximized
                                                : WindowState::Normal);
            return 0;
        case WM_MOVE:
            m_events.OnMoved(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            DismissPopups();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                DismissPopups();
            }
            m_events.OnActivated(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case WM_MOUSEACTIVATE:
            if (m_popup) {
                return MA_NOACTIVATE;
            }
            break;
        case WM_SHOWWINDOW:
            m_events.OnVisible(wParam != 0);
            break;
        case WM_CLOSE:
            if (m_popup) {
                Dismiss();
            } else {
                m_events.OnCloseRequested();
            }
            return 0;
        case WM_CAPTURECHANGED:
            if (m_popup && reinterpret_cast<HWND>(lParam) != m_hwnd) {
                Dismiss();  // another window took the pointer
            }
            m_trackHit = 0;
            m_framePressed = false;
            return 0;
        case WM_SETFOCUS:
            m_events.OnFocusChanged(true);
            return 0;
        case WM_KILLFOCUS:
            m_events.OnFocusChanged(false);
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP:
            Key(message, wParam);
            if (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP) {
                break;  // Alt+F4 and the system menu stay the system's
            }
            return 0;
        case WM_CHAR:
            return 0;  // told with its key (OnKey)
        case WM_DROPFILES: {
            auto drop = reinterpret_cast<HDROP>(wParam);
            POINT p{};
            DragQueryPoint(drop, &p);
            const std::vector<std::u16string> files = DroppedFiles(drop);
            DragFinish(drop);
            if (!files.empty() && m_events.OnFilesOver({p.x, p.y}, files)) {
                m_events.OnFilesDropped({p.x, p.y}, files);
            }
            return 0;
        }
        default:
            if (Mouse(message, wParam, lParam)) {
                return 0;
            }
            break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

}  // namespace win32

NativeWindow* CreateNativeWindow(const NativeWindowOptions& options, NativeWindowEvents& events) {
    auto* window = new win32::Win32NativeWindow(events, options.popup);
    if (!window->Create(options)) {
        delete window;
        return nullptr;
    }
    win32::WatchViewFocus();
    return window;
}

}  // namespace exdui::backend
