#include "ui/controls/basic_controls.h"

#include <algorithm>
#include <utility>

#include "platform/code_page.h"

namespace cj::ui {
namespace {

constexpr std::int32_t Visible = EX_OS_VISIBLE;

std::int32_t EditStyle(const EditBoxDescription& d) {
    std::int32_t style = 0;
    switch (d.scrollBars) {
        case 1:
            style |= Visible | EX_OS_VSCROLL;
            break;
        case 2:
            style |= Visible | HorizontalScrollStyle;
            break;
        case 3:
            style |= Visible | EX_OS_VSCROLL | HorizontalScrollStyle;
            break;
        default:
            break;
    }
    if (d.readOnly) {
        style |= Visible | 0x2;
    }
    if (d.password) {
        style |= Visible | 0x20;
    }
    if (d.multiLine) {
        style |= Visible | EX_EDIT_MULTILINE;
    }
    return style == 0 ? -1 : style;
}

std::int32_t EditExStyle(const EditBoxDescription& d) {
    std::int32_t exStyle = 0;
    if (d.acceptFiles) {
        exStyle |= EX_OS_EX_DRAGDROP | EX_OS_EX_ACCEPTFILES;
    }
    if (d.drawnFrameStyle) {
        exStyle |= static_cast<std::int32_t>(0xD8000000u);
    }
    return exStyle == 0 ? -1 : exStyle;
}

}  // namespace

bool EditBox::Create(const EditBoxDescription& d) {
    Attach(CreateObject(EditExStyle(d), u"Edit", d.text, EditStyle(d), d.x, d.y, d.width, d.height,
                        d.parent, d.id, d.textFormat.value_or(-1), d.procedure));
    Ex_ObjSetColor(Handle(), EX_COLOR_TEXT, d.textColour, 1);
    return Handle() != 0;
}

bool Label::Create(const LabelDescription& d) {
    Attach(CreateObject(-1, u"STATIC", d.text, -1, d.x, d.y, d.width, d.height, d.parent, d.id,
                        d.textFormat.value_or(-1), d.procedure));
    Ex_ObjSetColor(Handle(), EX_COLOR_TEXT, d.textColour, 0);
    return Handle() != 0;
}

void Label::SetTextWithTip(std::string_view text) const {
    SetText(text);
    RefreshTip();
}

void Label::RefreshTip() const {
    SetTooltip(IsTextCut() ? GetText() : std::string());
}

bool Label::IsTextCut() const {
    const std::size_t length = Ex_ObjGetTextLength(Handle());
    std::u16string text(length + 1, u'\0');
    text.resize(Ex_ObjGetText(Handle(), text.data(), text.size() * sizeof(char16_t)));
    float width = 0;
    float height = 0;
    // Measured on one line without a bound: the text's whole width.
    _canvas_calctextsize(0, Ex_ObjGetFont(Handle()), text.c_str(),
                         static_cast<intptr_t>(text.size()), EX_DT_SINGLELINE, 0, 0, &width,
                         &height);
    return width > static_cast<float>(Width());
}

bool ProgressBar::Create(const ProgressBarDescription& d) {
    Attach(CreateObject(-1, u"progressBar", {}, -1, d.x, d.y, d.width, d.height, d.parent, d.id));
    Ex_ObjSetColor(Handle(), EX_COLOR_BORDER, d.border, 0);
    Ex_ObjSetColor(Handle(), EX_COLOR_BACKGROUND, d.background, 0);
    Ex_ObjSetColor(Handle(), EX_COLOR_TEXT_CHECKED, d.fill, 0);
    SetMaximum(d.maximum);
    SetPosition(d.position);
    return Handle() != 0;
}

void ProgressBar::SetPosition(int value) const {
    Send(EX_PBM_SETPOS, 1, value);
}

void ProgressBar::SetMaximum(int value) const {
    Send(EX_PBM_SETRANGE, 1, value);
}

bool ComboBox::Create(const ComboBoxDescription& d) {
    const std::int32_t style = Visible | (d.editable ? EX_CBS_EDITABLE : 0);
    Attach(
        CreateObject(-1, u"combobox", d.text, style, d.x, d.y, d.width, d.height, d.parent, d.id));
    if (d.textColour) {
        Ex_ObjSetColor(Handle(), EX_COLOR_TEXT, *d.textColour, 1);
    }
    return Handle() != 0;
}

void ComboBox::AddItems(const std::vector<std::string>& texts) const {
    for (const std::string& text : texts) {
        const std::u16string wide = platform::NarrowToUtf16(text);
        Send(EX_CB_ADDSTRING, 0, reinterpret_cast<intptr_t>(wide.c_str()));
    }
}

void ComboBox::InsertItem(int index, std::string_view text) const {
    const std::u16string wide = platform::NarrowToUtf16(text);
    Send(EX_CB_INSERTSTRING, index, reinterpret_cast<intptr_t>(wide.c_str()));
}

void ComboBox::ClearItems() const {
    Send(EX_CB_RESETCONTENT);
}

void ComboBox::SelectItem(int index) const {
    Send(EX_CB_SETCURSEL, index);
}

int ComboBox::ItemCount() const {
    return static_cast<int>(Send(EX_CB_GETCOUNT));
}

int ComboBox::CurrentItem() const {
    return static_cast<int>(Send(EX_CB_GETCURSEL));
}

std::string ComboBox::ItemText(int index) const {
    const intptr_t length = Send(EX_CB_GETLBTEXTLEN, index);
    if (length <= 0) {
        return {};
    }
    std::u16string wide(static_cast<std::size_t>(length) + 1, u'\0');
    const intptr_t copied = Send(EX_CB_GETLBTEXT, index, reinterpret_cast<intptr_t>(wide.data()));
    wide.resize(static_cast<std::size_t>(std::clamp<intptr_t>(copied, 0, length)));
    return platform::Utf16ToNarrow(wide);
}

bool GroupBox::Create(const GroupBoxDescription& d) {
    Attach(CreateObject(-1, u"GroupBox", d.title, -1, d.x, d.y, d.width, d.height, d.parent, d.id));
    Ex_ObjSetColor(Handle(), EX_COLOR_TEXT, d.textColour, 0);
    Ex_ObjSetColor(Handle(), EX_COLOR_BORDER, d.border, 0);
    Ex_ObjSetColor(Handle(), EX_COLOR_BACKGROUND, d.background, 1);
    return Handle() != 0;
}

bool RadioButton::Create(const RadioButtonDescription& d) {
    Attach(
        CreateObject(-1, u"RadioButton", d.title, -1, d.x, d.y, d.width, d.height, d.parent, d.id));
    const std::pair<std::int32_t, const std::optional<ExArgb>*> slots[] = {
        {EX_COLOR_TEXT, &d.textColour},
        {EX_COLOR_TEXT_HOVER, &d.hoverTextColour},
        {EX_COLOR_TEXT_DOWN, &d.pressedTextColour},
        {EX_COLOR_TEXT_CHECKED, &d.checkedTextColour},
    };
    for (const auto& [slot, colour] : slots) {
        if (colour->has_value()) {
            Ex_ObjSetColor(Handle(), slot, **colour, 1);
        }
    }
    return Handle() != 0;
}

void RadioButton::SetChecked(bool on) const {
    Send(EX_BM_SETCHECK, on ? 1 : 0);
}

bool RadioButton::IsChecked() const {
    return Send(EX_BM_GETCHECK) != 0;
}

}  // namespace cj::ui
