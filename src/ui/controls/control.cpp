#include "ui/controls/control.h"

#include "platform/code_page.h"
#include "ui/object_text.h"

namespace cj::ui {

void Control::OnEvent(std::int32_t code, ExEventProc handler) const {
    Ex_ObjHandleEvent(m_handle, code, handler);
}

void Control::OnEvent(std::int32_t code, ExEventProcEx handler, void* user) const {
    Ex_ObjHandleEventEx(m_handle, code, handler, user);
}

void Control::SetBackground(ExArgb colour) const {
    Ex_ObjSetColor(m_handle, EX_COLOR_BACKGROUND, colour, 1);
}

void Control::SetText(std::string_view text) const {
    SetObjectText(m_handle, text, true);
}

std::string Control::GetText() const {
    return ObjectText(m_handle);
}

void Control::SetTooltip(std::string_view text) const {
    const std::u16string wide = platform::NarrowToUtf16(text);
    Ex_ObjSetTooltip(m_handle, wide.c_str());
}

std::string Control::Tooltip() const {
    // Room for a long path; a longer tooltip is cut, as the library cuts it.
    std::u16string wide(8192, u'\0');
    wide.resize(Ex_ObjGetTooltip(m_handle, wide.data(), wide.size() * sizeof(char16_t)));
    return platform::Utf16ToNarrow(wide);
}

intptr_t Control::Send(std::int32_t message, intptr_t wParam, intptr_t lParam) const {
    return Ex_ObjSendMessage(m_handle, message, wParam, lParam);
}

void Control::Enable(bool on) const {
    Ex_ObjEnable(m_handle, on ? 1 : 0);
}

void Control::Show(bool on) const {
    Ex_ObjShow(m_handle, on ? 1 : 0);
}

void Control::Focus() const {
    Ex_ObjSetFocus(m_handle);
}

void Control::FocusAndSelectAll() const {
    Focus();
    // The selection is counted in the library's UTF-16 units; a byte count of
    // the narrow text would overshoot for every non-ASCII character.
    const auto length = static_cast<intptr_t>(Ex_ObjGetTextLength(m_handle));
    Send(EX_EM_SETSEL, 0, length);
}

void Control::SetFont(std::string_view family, std::optional<int> size,
                      std::optional<ExArgb> textColour, std::optional<int> style) const {
    // An omitted colour leaves the text colour alone: passing -1 through
    // would paint the text opaque white.
    if (textColour) {
        Ex_ObjSetColor(m_handle, EX_COLOR_TEXT, *textColour, 0);
    }
    const std::u16string wideFamily =
        platform::NarrowToUtf16(family.empty() ? std::string_view(DefaultFontFamily) : family);
    Ex_ObjSetFontFromFamily(m_handle, wideFamily.c_str(), size.value_or(-1), style.value_or(-1), 1);
}

void Control::Move(std::optional<int> x, std::optional<int> y, std::optional<int> width,
                   std::optional<int> height) const {
    Ex_ObjMove(m_handle, x.value_or(KeepValue), y.value_or(KeepValue), width.value_or(KeepValue),
               height.value_or(KeepValue), 1);
}

ExRect Control::Rect() const {
    ExRect rect{};
    if (Ex_ObjGetRect(m_handle, &rect) == 0) {
        rect = ExRect{};
    }
    return rect;
}

int Control::Width() const {
    const ExRect rect = Rect();
    return rect.right - rect.left;
}

int Control::Height() const {
    const ExRect rect = Rect();
    return rect.bottom - rect.top;
}

ExHandle CreateObject(std::int32_t exStyle, const char16_t* className, std::string_view title,
                      std::int32_t style, int x, int y, int width, int height, ExHandle parent,
                      int id, std::int32_t textFormat, ExObjProc procedure) {
    const std::u16string wideTitle = platform::NarrowToUtf16(title);
    return Ex_ObjCreateEx(exStyle, className, wideTitle.c_str(), style, x, y, width, height, parent,
                          id, textFormat, 0, 0, procedure);
}

void Control::Destroy() {
    Ex_ObjDestroy(m_handle);
    m_handle = 0;
}

}  // namespace cj::ui
