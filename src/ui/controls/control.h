// Control: the common wrapper over one UI library object. Every control of the
// program is reached through a wrapper derived from it. A wrapper holds the
// object's handle and nothing else, so copying it copies the handle; the
// object belongs to its parent and goes with it.
//
// Texts are the program's narrow text (UTF-8 on Linux); they become UTF-16
// only when they cross into the library. Colours are ARGB.
//
// Threads: UI thread, except Send, SetText and Show, which workers may call
// (the library carries such calls over to the UI thread). A wrapper whose
// object was never made holds 0; operations then pass 0 to the library, which
// ignores them and answers 0, false or empty text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "exdui/exdui.h"

namespace cj::ui {

// The family every control's font defaults to; the library maps it to a font
// that draws Simplified Chinese.
inline constexpr char DefaultFontFamily[] = "微软雅黑";

// The library's EX_OS_HSCROLL and EX_KEEP are written with C casts, which the
// C++ warnings reject at every use; these are the same values.
inline constexpr std::int32_t HorizontalScrollStyle = static_cast<std::int32_t>(0x80000000u);
inline constexpr std::int32_t KeepValue = static_cast<std::int32_t>(0x80000000u);

class Control {
  public:
    Control() = default;
    explicit Control(ExHandle handle) : m_handle(handle) {}

    void Attach(ExHandle handle) { m_handle = handle; }
    ExHandle Handle() const { return m_handle; }

    // Attaches a plain function as the handler of a notification code
    // (EX_NM_CLICK, EX_NM_DBLCLK, EX_NM_KEYDOWN, ...). Several handlers of one
    // code run in the order attached until one returns nonzero. To reach an
    // object from the handler, use BindEvent below.
    void OnEvent(std::int32_t code, ExEventProc handler) const;
    // The same with a user value the handler gets back at every call; both
    // kinds run in one order.
    void OnEvent(std::int32_t code, ExEventProcEx handler, void* user) const;

    // Colour slot 0, repainting.
    void SetBackground(ExArgb colour) const;
    // The title, repainting.
    void SetText(std::string_view text) const;
    // The whole text as narrow text; "" without an object.
    std::string GetText() const;

    // The text shown when the pointer rests on the control; empty removes it.
    void SetTooltip(std::string_view text) const;
    std::string Tooltip() const;

    intptr_t Send(std::int32_t message, intptr_t wParam = 0, intptr_t lParam = 0) const;
    void Enable(bool on) const;
    void Show(bool on) const;
    void Focus() const;
    // Focuses the control and selects its whole text, so that typing replaces it.
    void FocusAndSelectAll() const;

    // Sets the text colour (slot 2, without repainting) when one is given, then
    // the font from family (empty: DefaultFontFamily), size in pixels and
    // style bits (1 bold, 2 italic, 4 underline, 8 strikeout), repainting. An
    // omitted size or style keeps the library's default.
    void SetFont(std::string_view family = {}, std::optional<int> size = {},
                 std::optional<ExArgb> textColour = {}, std::optional<int> style = {}) const;

    // Moves and sizes relative to the parent; an omitted value keeps the
    // current one. Repaints.
    void Move(std::optional<int> x, std::optional<int> y, std::optional<int> width = {},
              std::optional<int> height = {}) const;
    // The rectangle relative to the parent; all 0 without an object.
    ExRect Rect() const;
    int Left() const { return Rect().left; }
    int Top() const { return Rect().top; }
    int Width() const;
    int Height() const;

    // Destroys the object and its children; the wrapper then holds 0. Other
    // copies keep the old handle, which the library treats as unknown.
    void Destroy();

  private:
    ExHandle m_handle = 0;
};

// One notification as a bound handler receives it.
struct ControlEvent {
    ExHandle object = 0;
    std::int32_t id = 0;
    std::int32_t code = 0;
    intptr_t wParam = 0;
    intptr_t lParam = 0;
};

// Attaches owner's member function Method (intptr_t (Owner::*)(const
// ControlEvent&)) as the handler of code. The handler carries owner as its
// own user value, so any number of owners may bind to one control, and the
// control's user slot (EX_OL_USERDATA) stays its maker's. owner must outlive
// the control's events. An exception from Method stops at the library's
// boundary: the event counts as not handled.
template <auto Method, class Owner>
void BindEvent(const Control& control, std::int32_t code, Owner& owner) {
    control.OnEvent(
        code,
        [](ExHandle object, std::int32_t id, std::int32_t eventCode, intptr_t wParam,
           intptr_t lParam, void* user) -> intptr_t {
            try {
                return (static_cast<Owner*>(user)->*Method)(
                    ControlEvent{object, id, eventCode, wParam, lParam});
            } catch (...) {
                return 0;
            }
        },
        &owner);
}

// Ex_ObjCreateEx with a narrow title: the object, or 0 when the library
// refuses it (unknown class, bad parent). -1 for a style, extended style or
// text format takes the class's default.
ExHandle CreateObject(std::int32_t exStyle, const char16_t* className, std::string_view title,
                      std::int32_t style, int x, int y, int width, int height, ExHandle parent,
                      int id, std::int32_t textFormat = -1, ExObjProc procedure = nullptr);

}  // namespace cj::ui
