// The input injection on the Win32 back end: the messages the system would
// send for the input, sent to the window under the point (or to the one that
// holds the pointer's capture, or to the focus for keys), after the same
// hit test the system asks for. Keys go through the library's first look
// (TakeKeyFirst), as the event loop gives them; the characters a key types
// are queued before it, as TranslateMessage queues them. Moving and resizing
// by the caption and the edges follow the injected pointer, not the system's
// loop, which would wait for a real one; and the pointer leaving is told
// directly, as the system's leave makes the window ask the real pointer.
#include <windows.h>
// These need the types of windows.h.
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "backend/event_loop.h"
#include "backend/tooltip.h"
#include "backend/win32/win32_cursor.h"
#include "backend/win32/win32_native_window.h"
#include "exdui_inject.h"
#include "marshal.h"
#include "object.h"
#include "window.h"

namespace exdui::inject {
namespace {

using backend::win32::Win32NativeWindow;

WPARAM g_held = 0;  // UI thread: the MK_* buttons the injected pointer holds

Win32NativeWindow* NativeOf(ExHandle handle) {
    if (!marshal::IsUiThread()) {
        return nullptr;
    }
    Window* window = WindowFromAny(handle);
    if (window == nullptr || window->IsDestroying()) {
        return nullptr;
    }
    return dynamic_cast<Win32NativeWindow*>(window->Native());
}

// The same, shown: only a window on the screen takes input.
HWND ShownWindow(ExHandle handle) {
    if (Win32NativeWindow* native = NativeOf(handle)) {
        return IsWindowVisible(native->Handle()) ? native->Handle() : nullptr;
    }
    return nullptr;
}

WPARAM ModifierBits(uint32_t modifiers) {
    return (modifiers & EX_MK_SHIFT ? MK_SHIFT : 0) | (modifiers & EX_MK_CONTROL ? MK_CONTROL : 0);
}

// Shift and Ctrl as GetKeyState reads them from now on.
void HoldModifiers(uint32_t modifiers) {
    BYTE state[256];
    GetKeyboardState(state);
    constexpr BYTE Down = 0x80;
    state[VK_SHIFT] = (modifiers & EX_MK_SHIFT) != 0 ? Down : BYTE{0};
    state[VK_CONTROL] = (modifiers & EX_MK_CONTROL) != 0 ? Down : BYTE{0};
    SetKeyboardState(state);
}

LPARAM PointParam(POINT p) {
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(p.x)),
                      static_cast<WORD>(static_cast<SHORT>(p.y)));
}

// The window mouse input at the screen point goes to: the capture's holder,
// else the innermost shown window under the point inside top or its popup.
HWND MouseTarget(HWND top, POINT screen) {
    if (HWND capture = GetCapture()) {
        return capture;
    }
    HWND target = top;
    for (;;) {
        POINT local = screen;
        ScreenToClient(target, &local);
        HWND child = ChildWindowFromPointEx(target, local, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
        if (child == nullptr || child == target) {
            return target;
        }
        target = child;
    }
}

// Sends a mouse message as the system would: the hit test, then the client
// message or, outside the client area, its non-client twin.
void SendMouse(HWND target, UINT clientMessage, POINT screen, WPARAM keys) {
    const backend::win32::InjectedDelivery delivery;
    const auto hit = static_cast<LRESULT>(
        GetCapture() == target ? HTCLIENT
                               : SendMessageW(target, WM_NCHITTEST, 0, PointParam(screen)));
    if (hit == HTCLIENT) {
        POINT local = screen;
        ScreenToClient(target, &local);
        SendMessageW(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                     MAKELPARAM(HTCLIENT, clientMessage));
        SendMessageW(target, clientMessage, keys, PointParam(local));
        return;
    }
    const UINT nonClient = clientMessage - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
    if (clientMessage == WM_LBUTTONDOWN && hit != HTCAPTION) {
        // An edge: the resize follows this pointer.
        if (Win32NativeWindow* window = backend::win32::NativeWindowOf(target)) {
            window->TrackByHand(hit, screen);
        }
        return;
    }
    if (clientMessage == WM_LBUTTONDOWN) {
        // The caption: the library hears of the press as from the system,
        // then the window follows this pointer.
        Win32NativeWindow* window = backend::win32::NativeWindowOf(target);
        POINT local = screen;
        ScreenToClient(target, &local);
        if (window != nullptr) {
            window->Events().OnMouseDown(backend::MouseButton::Left, {local.x, local.y},
                                         static_cast<uint32_t>(keys));
            if (IsWindow(target) && IsWindowVisible(target) &&
                backend::win32::NativeWindowOf(target) == window) {
                window->TrackByHand(HTCAPTION, screen);
            }
        }
        return;
    }
    SendMessageW(target, nonClient, static_cast<WPARAM>(hit), PointParam(screen));
}

bool Mouse(ExHandle window, ExPoint at, UINT message, WPARAM keys) {
    HWND top = ShownWindow(window);
    if (top == nullptr) {
        return false;
    }
    POINT screen{at.x, at.y};
    ClientToScreen(top, &screen);
    backend::win32::PlaceInjectedPointer(screen);
    SendMouse(MouseTarget(top, screen), message, screen, keys);
    backend::RunEvents(0);
    return true;
}

WPARAM ButtonBit(Button button) {
    return button == Button::Right ? MK_RBUTTON : MK_LBUTTON;
}

bool Press(ExHandle window, ExPoint at, Button button, uint32_t modifiers, bool second) {
    g_held |= ButtonBit(button);
    HoldModifiers(modifiers);
    UINT message = button == Button::Right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
    if (second) {
        message = WM_LBUTTONDBLCLK;
    }
    HWND top = ShownWindow(window);
    if (top == nullptr) {
        return false;
    }
    POINT screen{at.x, at.y};
    ClientToScreen(top, &screen);
    backend::win32::PlaceInjectedPointer(screen);
    HWND target = MouseTarget(top, screen);
    const WPARAM keys = g_held | ModifierBits(modifiers);
    if (second) {
        const backend::win32::InjectedDelivery delivery;
        const auto hit = SendMessageW(target, WM_NCHITTEST, 0, PointParam(screen));
        if (hit != HTCLIENT) {
            SendMessageW(target, WM_NCLBUTTONDBLCLK, static_cast<WPARAM>(hit), PointParam(screen));
            backend::RunEvents(0);
            return true;
        }
    }
    SendMouse(target, message, screen, keys);
    backend::RunEvents(0);
    return true;
}

// The focus a key goes to: the focused window if it lies in top, else top.
HWND KeyTarget(HWND top) {
    HWND focus = GetFocus();
    return focus != nullptr && (focus == top || IsChild(top, focus)) ? focus : top;
}

// One key, down or up, with what it types (queued before it).
void SendKey(HWND top, UINT message, int32_t key, std::u16string_view text) {
    HWND target = KeyTarget(top);
    const MSG msg{target, message, static_cast<WPARAM>(key), 1, 0, {}};
    if (backend::win32::TakeKeyFirst(msg)) {
        backend::RunEvents(0);
        return;
    }
    for (char16_t c : text) {
        PostMessageW(target, WM_CHAR, c, 1);
    }
    SendMessageW(target, message, static_cast<WPARAM>(key),
                 message == WM_KEYUP ? static_cast<LPARAM>(0xC0000001) : 1);
    backend::RunEvents(0);
}

// What a key types: letters (capitals with Shift), digits and the space bar;
// nothing while Ctrl is held.
std::u16string KeyText(int32_t key, uint32_t modifiers) {
    if ((modifiers & EX_MK_CONTROL) != 0) {
        return {};
    }
    if (key >= 'A' && key <= 'Z') {
        const char16_t base = (modifiers & EX_MK_SHIFT) != 0 ? u'A' : u'a';
        return std::u16string(1, static_cast<char16_t>(base + key - 'A'));
    }
    if ((key >= '0' && key <= '9') || key == VK_SPACE) {
        return std::u16string(1, static_cast<char16_t>(key));
    }
    return {};
}

bool Stroke(ExHandle window, int32_t key, uint32_t modifiers, std::u16string_view text) {
    if (key <= 0 || key > 0xFE) {
        return false;
    }
    const bool shift = (modifiers & EX_MK_SHIFT) != 0;
    const bool control = (modifiers & EX_MK_CONTROL) != 0;
    struct Step {
        UINT message;
        int32_t key;
        uint32_t held;
        std::u16string_view text;
    };
    std::vector<Step> steps;
    if (shift) {
        steps.push_back({WM_KEYDOWN, VK_SHIFT, EX_MK_SHIFT, {}});
    }
    if (control) {
        steps.push_back({WM_KEYDOWN, VK_CONTROL, modifiers, {}});
    }
    steps.push_back({WM_KEYDOWN, key, modifiers, text});
    steps.push_back({WM_KEYUP, key, modifiers, {}});
    if (control) {
        steps.push_back({WM_KEYUP, VK_CONTROL, modifiers & EX_MK_SHIFT, {}});
    }
    if (shift) {
        steps.push_back({WM_KEYUP, VK_SHIFT, 0, {}});
    }
    if (ShownWindow(window) == nullptr) {
        return false;
    }
    for (const Step& step : steps) {
        HWND top = ShownWindow(window);
        if (top == nullptr) {
            break;  // a key closed the window: the rest reaches nothing
        }
        HoldModifiers(step.held);
        SendKey(top, step.message, step.key, step.text);
    }
    HoldModifiers(0);
    return true;
}

// Text an input method commits: characters without a key.
bool Commit(ExHandle window, std::u16string_view text) {
    HWND top = ShownWindow(window);
    if (top == nullptr) {
        return false;
    }
    HWND target = KeyTarget(top);
    for (char16_t c : text) {
        SendMessageW(target, WM_CHAR, c, 1);
    }
    backend::RunEvents(0);
    return true;
}

// A block of CF_HDROP for paths, as the shell hands a drop.
HGLOBAL DropBlock(const std::vector<std::u16string>& paths, POINT at) {
    size_t chars = 1;
    for (const std::u16string& path : paths) {
        chars += path.size() + 1;
    }
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(block));
    files->pFiles = sizeof(DROPFILES);
    files->pt = at;
    files->fWide = TRUE;
    auto* names = reinterpret_cast<char16_t*>(files + 1);
    for (const std::u16string& path : paths) {
        names = std::copy(path.begin(), path.end(), names) + 1;  // GHND zeroed the terminators
    }
    GlobalUnlock(block);
    return block;
}

// The text of the tooltip shown on the thread, if one is.
std::u16string ShownTooltip() {
    std::u16string text;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM param) -> BOOL {
            wchar_t cls[64] = {};
            if (IsWindowVisible(hwnd) && GetClassNameW(hwnd, cls, 64) > 0 &&
                lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0) {
                std::wstring tip(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
                tip.resize(static_cast<size_t>(
                    GetWindowTextW(hwnd, tip.data(), static_cast<int>(tip.size()))));
                reinterpret_cast<std::u16string*>(param)->assign(tip.begin(), tip.end());
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    return text;
}

}  // namespace

bool MouseMove(ExHandle window, ExPoint at, uint32_t keys) {
    HoldModifiers(keys);
    const WPARAM bits = g_held | (keys & (EX_MK_LBUTTON | EX_MK_RBUTTON)) | ModifierBits(keys);
    return Mouse(window, at, WM_MOUSEMOVE, bits);
}

bool MouseDown(ExHandle window, ExPoint at, Button button, uint32_t modifiers) {
    return Press(window, at, button, modifiers, false);
}

bool MouseUp(ExHandle window, ExPoint at, Button button, uint32_t modifiers) {
    g_held &= ~ButtonBit(button);  // up, whether the window still is or not
    HoldModifiers(modifiers);
    return Mouse(window, at, button == Button::Right ? WM_RBUTTONUP : WM_LBUTTONUP,
                 g_held | ModifierBits(modifiers));
}

bool DoubleClickAndHold(ExHandle window, ExPoint at, uint32_t modifiers) {
    return Click(window, at, Button::Left, modifiers) &&
           Press(window, at, Button::Left, modifiers, true);
}

bool Wheel(ExHandle window, ExPoint at, int32_t delta, uint32_t modifiers) {
    HWND top = ShownWindow(window);
    if (top == nullptr) {
        return false;
    }
    POINT screen{at.x, at.y};
    ClientToScreen(top, &screen);
    backend::win32::PlaceInjectedPointer(screen);
    HoldModifiers(modifiers);
    const WPARAM keys = g_held | ModifierBits(modifiers);
    const backend::win32::InjectedDelivery delivery;
    SendMessageW(MouseTarget(top, screen), WM_MOUSEWHEEL,
                 MAKEWPARAM(static_cast<WORD>(keys), static_cast<WORD>(static_cast<SHORT>(delta))),
                 PointParam(screen));
    backend::RunEvents(0);
    return true;
}

bool Leave(ExHandle window) {
    HWND top = ShownWindow(window);
    if (top == nullptr) {
        return false;
    }
    // The system's leave says nothing of where the pointer went: the window
    // asks the real pointer, which is not this one.
    backend::win32::UseInjectedPointer();
    backend::win32::NativeWindowOf(top)->PointerLeft();
    backend::RunEvents(0);
    return true;
}

bool KeyDown(ExHandle window, int32_t key, uint32_t modifiers) {
    HWND top = ShownWindow(window);
    if (top == nullptr || key <= 0 || key > 0xFE) {
        return false;
    }
    HoldModifiers(modifiers);
    SendKey(top, WM_KEYDOWN, key, KeyText(key, modifiers));
    return true;
}

bool KeyUp(ExHandle window, int32_t key, uint32_t modifiers) {
    HWND top = ShownWindow(window);
    if (top == nullptr || key <= 0 || key > 0xFE) {
        return false;
    }
    HoldModifiers(modifiers);
    SendKey(top, WM_KEYUP, key, {});
    return true;
}

bool Key(ExHandle window, int32_t key, uint32_t modifiers) {
    return Stroke(window, key, modifiers, KeyText(key, modifiers));
}

bool Type(ExHandle window, std::u16string_view text) {
    if (ShownWindow(window) == nullptr) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        bool typed = false;
        if (c == u'\n' || c == u'\t') {
            typed = Stroke(window, c == u'\n' ? VK_RETURN : VK_TAB, 0,
                           c == u'\n' ? std::u16string_view(u"\r") : std::u16string_view(u"\t"));
        } else if (c >= 0x20 && c < 0x7F) {
            // The key that types it on the keyboard, with Shift if it needs it.
            const SHORT scan = VkKeyScanW(static_cast<wchar_t>(c));
            const bool shifted = (scan & 0x100) != 0;
            typed = scan != -1
                        ? Stroke(window, scan & 0xFF, shifted ? EX_MK_SHIFT : 0, text.substr(i, 1))
                        : Commit(window, text.substr(i, 1));
        } else {
            // Beyond the keyboard: an input method commits it, both halves of
            // a surrogate pair at once.
            const size_t units = IS_HIGH_SURROGATE(c) && i + 1 < text.size() ? 2 : 1;
            typed = Commit(window, text.substr(i, units));
            i += units - 1;
        }
        if (!typed) {
            return false;
        }
    }
    return true;
}

bool Compose(ExHandle window, std::u16string_view preedit, std::u16string_view commit) {
    HWND top = ShownWindow(window);
    if (top == nullptr) {
        return false;
    }
    // The composition's start and end as an input method sends them; the
    // preedit itself lives in the input method's context, which only a real
    // one has.
    static_cast<void>(preedit);
    HWND target = KeyTarget(top);
    SendMessageW(target, WM_IME_STARTCOMPOSITION, 0, 0);
    SendMessageW(target, WM_IME_ENDCOMPOSITION, 0, 0);
    return Commit(window, commit);
}

ExHandle FocusedObject(ExHandle window) {
    if (NativeOf(window) == nullptr) {
        return 0;
    }
    const Object* obj = WindowFromAny(window)->FocusedObject();
    return obj != nullptr && !obj->destroyed ? obj->Handle() : 0;
}

bool DragFilesOver(ExHandle window, ExPoint at, const std::vector<std::u16string>& paths) {
    Win32NativeWindow* native = NativeOf(window);
    if (native == nullptr || !IsWindowVisible(native->Handle()) || paths.empty()) {
        return false;
    }
    const bool taken = native->Events().OnFilesOver(at, paths);
    backend::RunEvents(0);
    return taken;
}

bool DropFiles(ExHandle window, ExPoint at, const std::vector<std::u16string>& paths) {
    Win32NativeWindow* native = NativeOf(window);
    if (native == nullptr || !IsWindowVisible(native->Handle()) || paths.empty()) {
        return false;
    }
    // Taken when the drop is: the window answers WM_DROPFILES with nothing,
    // so the answer is asked of the library first, as a drag over would.
    if (!native->Events().OnFilesOver(at, paths)) {
        return false;
    }
    SendMessageW(native->Handle(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(DropBlock(paths, {at.x, at.y})), 0);
    backend::RunEvents(0);
    return true;
}

std::u16string TooltipAt(ExHandle window, ExPoint at) {
    backend::HideTooltip();
    if (!MouseMove(window, at)) {
        return {};
    }
    if (NativeOf(window) == nullptr) {
        return {};
    }
    WindowFromAny(window)->ShowTooltipAt(at);
    backend::RunEvents(0);
    return ShownTooltip();
}

Snapshot Grab(ExHandle window) {
    Win32NativeWindow* native = NativeOf(window);
    if (native == nullptr) {
        return {};
    }
    HWND hwnd = native->Handle();
    RECT client{};
    GetClientRect(hwnd, &client);
    Snapshot shot;
    shot.width = client.right;
    shot.height = client.bottom;
    if (shot.width <= 0 || shot.height <= 0) {
        return {};
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    // The window and the views inside it, as they paint themselves.
    SendMessageW(hwnd, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                 PRF_CLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
    GdiFlush();
    const auto* pixels = static_cast<const ExArgb*>(bits);
    shot.pixels.assign(pixels,
                       pixels + static_cast<size_t>(shot.width) * static_cast<size_t>(shot.height));
    for (ExArgb& pixel : shot.pixels) {
        pixel |= 0xFF000000u;  // the window is opaque on the screen
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return shot;
}

void RunEvents(int32_t ms) {
    backend::RunEvents(std::max(0, ms));
}

}  // namespace exdui::inject
