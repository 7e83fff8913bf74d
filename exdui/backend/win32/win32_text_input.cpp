#include "backend/win32/win32_text_input.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "backend/clipboard.h"
#include "backend/win32/gdiplus_graphics.h"
#include "backend/win32/win32_native_view.h"
#include "backend/win32/win32_text_lines.h"

namespace exdui::backend {
namespace win32 {
namespace {

constexpr UINT_PTR EditSubclassId = 1;
// The password character, a dot as the system's own password boxes show.
constexpr wchar_t PasswordDot = 0x25CF;

std::wstring Wide(std::u16string_view text) {
    return {text.begin(), text.end()};
}

intptr_t Modifiers() {
    intptr_t modifiers = 0;
    if (GetKeyState(VK_SHIFT) < 0) {
        modifiers |= EX_MK_SHIFT;
    }
    if (GetKeyState(VK_CONTROL) < 0) {
        modifiers |= EX_MK_CONTROL;
    }
    return modifiers;
}

// What the editing keys with Ctrl or Shift do, acted on at the key: the
// control does some of them only when the control character that the key
// makes follows, and Shift+Insert pastes without a WM_PASTE, which the owner
// must see. 0 for any other key.
UINT ClipboardAction(WPARAM key, intptr_t modifiers) {
    struct Binding {
        WPARAM key;
        intptr_t modifiers;
        UINT action;
    };
    static constexpr Binding Bindings[] = {
        {'A', EX_MK_CONTROL, EM_SETSEL},  // select all, which a one-line EDIT lacks
        {'C', EX_MK_CONTROL, WM_COPY},   {VK_INSERT, EX_MK_CONTROL, WM_COPY},
        {'X', EX_MK_CONTROL, WM_CUT},    {VK_DELETE, EX_MK_SHIFT, WM_CUT},
        {'V', EX_MK_CONTROL, WM_PASTE},  {VK_INSERT, EX_MK_SHIFT, WM_PASTE},
        {'Z', EX_MK_CONTROL, EM_UNDO},
    };
    for (const Binding& binding : Bindings) {
        if (binding.key == key && binding.modifiers == modifiers) {
            return binding.action;
        }
    }
    return 0;
}

COLORREF ToColorRef(ExArgb argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

}  // namespace

Win32TextInput::Win32TextInput(HWND view, const TextInputOptions& options,
                               TextInputCallbacks& callbacks)
    : m_callbacks(callbacks),
      m_view(view),
      m_multiLine(options.multiLine),
      m_readOnly(options.readOnly) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
    if (options.multiLine) {
        style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
        if (options.verticalScrollBar) {
            style |= WS_VSCROLL;
        }
    } else if (options.password) {
        style |= ES_PASSWORD;
    }
    if (options.readOnly) {
        style |= ES_READONLY;
    }
    const std::wstring text = Wide(m_multiLine ? ToCrLf(options.text) : options.text);
    m_edit = CreateWindowExW(0, L"EDIT", text.c_str(), style, 0, 0, 0, 0, view, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    if (m_edit == nullptr) {
        return;
    }
    SendMessageW(m_edit, EM_SETLIMITTEXT, 0, 0);  // no limit but memory
    // The system parts' font until the owner sets one: the control's own is
    // the old bitmap System font.
    SendMessageW(m_edit, WM_SETFONT, reinterpret_cast<WPARAM>(SystemFont()), FALSE);
    if (options.password && !options.multiLine) {
        SendMessageW(m_edit, EM_SETPASSWORDCHAR, PasswordDot, 0);
    }
    SetWindowSubclass(m_edit, EditProc, EditSubclassId, reinterpret_cast<DWORD_PTR>(this));
    SetWindowSubclass(m_view, ViewProc, reinterpret_cast<UINT_PTR>(this),
                      reinterpret_cast<DWORD_PTR>(this));
}

Win32TextInput::~Win32TextInput() {
    *m_alive = false;
    RemoveWindowSubclass(m_view, ViewProc, reinterpret_cast<UINT_PTR>(this));
    if (m_edit != nullptr) {
        RemoveWindowSubclass(m_edit, EditProc, EditSubclassId);
        DestroyWindow(m_edit);
    }
    if (m_backBrush != nullptr) {
        DeleteObject(m_backBrush);
    }
    if (m_caretBitmap != nullptr) {
        DeleteObject(m_caretBitmap);
    }
}

LRESULT CALLBACK Win32TextInput::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR self) {
    auto* input = reinterpret_cast<Win32TextInput*>(self);
    const std::shared_ptr<bool> alive = input->m_alive;
    switch (message) {
        case WM_KEYDOWN: {
            input->m_swallowChar = false;
            const bool taken =
                input->m_callbacks.KeyDown(static_cast<int32_t>(wParam), Modifiers());
            if (!*alive) {
                return 0;
            }
            if (taken) {
                input->m_swallowChar = true;
                return 0;
            }
            if (const UINT action = ClipboardAction(wParam, Modifiers())) {
                SendMessageW(window, action, 0, action == EM_SETSEL ? -1 : 0);
                if (*alive) {
                    input->m_swallowChar = true;  // the control character it makes
                }
                return 0;
            }
            break;
        }
        case WM_CHAR:
            if (input->m_swallowChar) {
                return 0;
            }
            break;
        case WM_KEYUP:
            input->m_swallowChar = false;  // a taken key with no character
            break;
        case WM_PASTE:
            if (!input->m_readOnly) {
                const std::u16string text = ToLf(ClipboardText());
                if (input->m_callbacks.Pasting(text) || !*alive) {
                    return 0;
                }
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
            if (message == WM_SETFOCUS) {
                input->ReplaceCaret();
            }
            input->m_callbacks.FocusChanged(message == WM_SETFOCUS);
            return result;
        }
        case WM_SETFONT: {
            // The control makes a caret of the new line height.
            const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
            input->ReplaceCaret();
            return result;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, EditProc, EditSubclassId);
            input->m_edit = nullptr;
            break;
        default:
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK Win32TextInput::ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR self) {
    auto* input = reinterpret_cast<Win32TextInput*>(self);
    const bool fromEdit =
        input->m_edit != nullptr && reinterpret_cast<HWND>(lParam) == input->m_edit;
    switch (message) {
        case WM_COMMAND:
            if (fromEdit && HIWORD(wParam) == EN_CHANGE) {
                if (!input->m_quiet) {
                    input->ReportText();
                }
                return 0;
            }
            break;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            if (fromEdit) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                HBRUSH brush = input->BackgroundBrush();
                SetTextColor(dc, input->m_textColor);
                SetBkColor(dc, input->m_backColor);
                return reinterpret_cast<LRESULT>(brush);
            }
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, ViewProc, reinterpret_cast<UINT_PTR>(input));
            input->m_view = nullptr;
            break;
        default:
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

HBRUSH Win32TextInput::BackgroundBrush() {
    // The library paints the box around the editor; its colour just left of
    // the editor stands for the background the text sits on.
    COLORREF color = CLR_INVALID;
    RECT rect{};
    if (m_edit != nullptr && GetWindowRect(m_edit, &rect)) {
        POINT beside{rect.left - 1, (rect.top + rect.bottom) / 2};
        ScreenToClient(m_view, &beside);
        if (HDC dc = GetDC(m_view)) {
            color = GetPixel(dc, beside.x, beside.y);
            ReleaseDC(m_view, dc);
        }
    }
    if (color == CLR_INVALID) {
        color = GetSysColor(COLOR_WINDOW);
    }
    if (color != m_backColor || m_backBrush == nullptr) {
        if (m_backBrush != nullptr) {
            DeleteObject(m_backBrush);
        }
        m_backBrush = CreateSolidBrush(color);
        m_backColor = color;
    }
    return m_backBrush;
}

void Win32TextInput::ReplaceCaret() {
    if (m_edit == nullptr || GetFocus() != m_edit) {
        return;
    }
    if (m_readOnly) {
        HideCaret(m_edit);  // one more hide than the control's shows
        return;
    }
    // The system draws a caret by inverting the screen with its shape, so a
    // shape of caret XOR background shows the caret colour on the background.
    if (m_backColor == CLR_INVALID) {
        BackgroundBrush();
    }
    TEXTMETRICW metrics{};
    if (HDC dc = GetDC(m_edit)) {
        auto* font = reinterpret_cast<HFONT>(SendMessageW(m_edit, WM_GETFONT, 0, 0));
        HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(m_edit, dc);
    }
    const int height = std::max<int>(metrics.tmHeight, 1);
    const COLORREF shape = m_caretColor ^ (m_backColor & 0xFFFFFF);
    std::vector<uint32_t> pixels(static_cast<size_t>(height), (GetRValue(shape) << 16) |
                                                                  (GetGValue(shape) << 8) |
                                                                  GetBValue(shape));
    HBITMAP bitmap = CreateBitmap(1, height, 1, 32, pixels.data());
    if (bitmap == nullptr) {
        return;
    }
    POINT at{};
    GetCaretPos(&at);
    if (CreateCaret(m_edit, bitmap, 0, 0)) {
        SetCaretPos(at.x, at.y);
        ShowCaret(m_edit);
        std::swap(bitmap, m_caretBitmap);
    }
    if (bitmap != nullptr) {
        DeleteObject(bitmap);
    }
}

void Win32TextInput::ReportText() {
    const std::u16string text = Text();
    m_callbacks.TextChanged(text);
}

NativeView* Win32TextInput::View() const {
    return ToNativeView(m_edit);
}

// Every call below does nothing once the control is gone with its view: the
// object may still be asked.
void Win32TextInput::SetGeometry(const ExRect& rect) {
    if (m_edit == nullptr) {
        return;
    }
    RECT now{};
    GetWindowRect(m_edit, &now);
    MapWindowPoints(HWND_DESKTOP, m_view, reinterpret_cast<POINT*>(&now), 2);
    const LONG width = rect.right > rect.left ? rect.right - rect.left : 0;
    const LONG height = rect.bottom > rect.top ? rect.bottom - rect.top : 0;
    if (now.left != rect.left || now.top != rect.top || now.right - now.left != width ||
        now.bottom - now.top != height) {
        MoveWindow(m_edit, rect.left, rect.top, width, height, TRUE);
    }
    m_rect = rect;
    ApplyVisibleRect();
}

void Win32TextInput::SetVisibleRect(const ExRect& visible) {
    m_visibleRect = visible;
    m_limited = true;
    ApplyVisibleRect();
}

void Win32TextInput::ApplyVisibleRect() {
    if (m_edit == nullptr || !m_limited) {
        return;
    }
    // The region is in the control's own coordinates, and the system owns
    // it once set. An empty cut shows nothing but keeps the focus.
    const LONG left = std::max(m_rect.left, m_visibleRect.left) - m_rect.left;
    const LONG top = std::max(m_rect.top, m_visibleRect.top) - m_rect.top;
    const LONG right = std::min(m_rect.right, m_visibleRect.right) - m_rect.left;
    const LONG bottom = std::min(m_rect.bottom, m_visibleRect.bottom) - m_rect.top;
    HRGN region = right > left && bottom > top ? CreateRectRgn(left, top, right, bottom)
                                               : CreateRectRgn(0, 0, 0, 0);
    if (region != nullptr && SetWindowRgn(m_edit, region, TRUE) == 0) {
        DeleteObject(region);
    }
}

void Win32TextInput::SetVisible(bool visible) {
    if (m_edit != nullptr) {
        ShowWindow(m_edit, visible ? SW_SHOWNA : SW_HIDE);
    }
}

void Win32TextInput::SetEnabled(bool enabled) {
    if (m_edit != nullptr) {
        EnableWindow(m_edit, enabled ? TRUE : FALSE);
    }
}

void Win32TextInput::SetFont(const Font& font) {
    // The GDI twin of the font lives as long as the font, which the owner
    // keeps while it is set.
    if (m_edit != nullptr) {
        SendMessageW(m_edit, WM_SETFONT, reinterpret_cast<WPARAM>(HfontOf(font)), TRUE);
    }
}

void Win32TextInput::SetColors(ExArgb text, ExArgb caret) {
    m_textColor = ToColorRef(text);
    m_caretColor = ToColorRef(caret);
    ReplaceCaret();
    if (m_edit != nullptr) {
        InvalidateRect(m_edit, nullptr, TRUE);
    }
}

std::u16string Win32TextInput::NativeText() const {
    if (m_edit == nullptr) {
        return {};
    }
    const int length = GetWindowTextLengthW(m_edit);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(m_edit, text.data(), length + 1);
    return {text.begin(), text.begin() + std::max(copied, 0)};
}

std::u16string Win32TextInput::Text() const {
    return m_multiLine ? ToLf(NativeText()) : NativeText();
}

void Win32TextInput::SetText(std::u16string_view text) {
    if (m_edit == nullptr || text == Text()) {
        return;
    }
    m_quiet = true;
    SetWindowTextW(m_edit, Wide(m_multiLine ? ToCrLf(text) : std::u16string(text)).c_str());
    SendMessageW(m_edit, EM_EMPTYUNDOBUFFER, 0, 0);
    m_quiet = false;
    ReportText();
}

TextRange Win32TextInput::Selection() const {
    if (m_edit == nullptr) {
        return {};
    }
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(m_edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    TextRange range{static_cast<int32_t>(start), static_cast<int32_t>(end)};
    if (m_multiLine) {
        const std::u16string native = NativeText();
        range = {ToLfPosition(native, range.start), ToLfPosition(native, range.end)};
    }
    return range;
}

void Win32TextInput::Select(TextRange range) {
    if (m_edit == nullptr) {
        return;
    }
    if (m_multiLine) {
        const std::u16string native = NativeText();
        range = {ToCrLfPosition(native, range.start), ToCrLfPosition(native, range.end)};
    }
    SendMessageW(m_edit, EM_SETSEL, static_cast<WPARAM>(range.start), range.end);
    SendMessageW(m_edit, EM_SCROLLCARET, 0, 0);
}

void Win32TextInput::Deselect() {
    if (m_edit == nullptr) {
        return;
    }
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(m_edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    DWORD caret = end;
    // The user may have selected backwards: the caret then sits at the start.
    POINT at{};
    if (start != end && GetFocus() == m_edit && GetCaretPos(&at)) {
        const LRESULT hit = SendMessageW(m_edit, EM_CHARFROMPOS, 0, MAKELPARAM(at.x, at.y));
        if (LOWORD(hit) == (start & 0xFFFF)) {
            caret = start;
        }
    }
    SendMessageW(m_edit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
}

void Win32TextInput::ReplaceSelection(std::u16string_view text) {
    if (m_edit == nullptr) {
        return;
    }
    m_quiet = true;
    SendMessageW(
        m_edit, EM_REPLACESEL, TRUE,
        reinterpret_cast<LPARAM>(Wide(m_multiLine ? ToCrLf(text) : std::u16string(text)).c_str()));
    m_quiet = false;
    ReportText();
}

void Win32TextInput::Focus() {
    if (m_edit != nullptr) {
        SetFocus(m_edit);
    }
}

bool Win32TextInput::HasFocus() const {
    return m_edit != nullptr && GetFocus() == m_edit;
}

}  // namespace win32

std::unique_ptr<TextInput> MakeTextInput(NativeView* view, const TextInputOptions& options,
                                         TextInputCallbacks& callbacks) {
    return std::make_unique<win32::Win32TextInput>(win32::ToHwnd(view), options, callbacks);
}

}  // namespace exdui::backend
