// The Win32 back end's text input: an EDIT control, a child of the view,
// subclassed for the key, paste and focus callbacks; the view is subclassed
// too, for the control's change notices and colours. The input method comes
// with the control.
#pragma once

#include <windows.h>

#include <memory>

#include "backend/text_input.h"

namespace exdui::backend::win32 {

class Win32TextInput final : public TextInput {
  public:
    Win32TextInput(HWND view, const TextInputOptions& options, TextInputCallbacks& callbacks);
    ~Win32TextInput() override;
    Win32TextInput(const Win32TextInput&) = delete;
    Win32TextInput& operator=(const Win32TextInput&) = delete;

    NativeView* View() const override;
    void SetGeometry(const ExRect& rect) override;
    void SetVisibleRect(const ExRect& visible) override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void SetFont(const Font& font) override;
    void SetColors(ExArgb text, ExArgb caret) override;
    std::u16string Text() const override;
    void SetText(std::u16string_view text) override;
    TextRange Selection() const override;
    void Select(TextRange range) override;
    void Deselect() override;
    void ReplaceSelection(std::u16string_view text) override;
    void Focus() override;
    bool HasFocus() const override;

  private:
    static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
    static LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
    std::u16string NativeText() const;
    // The colour around the editor in its view, which it paints its
    // background in.
    HBRUSH BackgroundBrush();
    void ReportText();
    // Puts a caret of ours in the caret colour in place of the control's,
    // whenever the control has made its own; none while read only.
    void ReplaceCaret();
    // Cuts the control to the part of m_rect inside m_visibleRect.
    void ApplyVisibleRect();

    TextInputCallbacks& m_callbacks;
    HWND m_view = nullptr;
    HWND m_edit = nullptr;  // null once destroyed with its view
    ExRect m_rect{};
    ExRect m_visibleRect{};
    bool m_limited = false;  // m_visibleRect holds; unlimited until the first SetVisibleRect
    bool m_multiLine = false;
    bool m_readOnly = false;
    bool m_quiet = false;        // changes made by the owner, reported once at the end
    bool m_swallowChar = false;  // the character of a key the owner took
    COLORREF m_textColor = RGB(0, 0, 0);
    COLORREF m_backColor = CLR_INVALID;
    COLORREF m_caretColor = RGB(0, 0, 0);
    HBITMAP m_caretBitmap = nullptr;  // the caret's shape while it is ours
    HBRUSH m_backBrush = nullptr;
    // Cleared when this goes, so that a callback that destroyed the owner
    // (and so this) is seen afterwards.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace exdui::backend::win32
