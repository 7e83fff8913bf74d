#include "ui/controls/link_label.h"

#include "platform/code_page.h"
#include "ui/controls/drawn_parts.h"

namespace cj::ui {
namespace {

constexpr std::int32_t ExtraBytes = 7 * 4;  // Seven slots: the library gives one per 4 bytes.
constexpr std::int32_t LineFormat = EX_DT_SINGLELINE | EX_DT_VCENTER | EX_DT_NOPREFIX;
constexpr float Huge = 100000;

float TextWidth(ExHandle canvas, ExHandle font, const std::u16string& text) {
    float width = 0;
    float height = 0;
    if (!text.empty()) {
        _canvas_calctextsize(canvas, font, text.c_str(), -1, LineFormat, Huge, Huge, &width,
                             &height);
    }
    return width;
}

void Paint(ExHandle object) {
    ExPaint paint{};
    if (Ex_ObjBeginPaint(object, &paint) == 0) {
        return;
    }
    auto slot = [object](std::int32_t index) { return Ex_ObjGetLong(object, index); };
    const std::u16string line = ObjectWideText(object);
    const auto beforeLength = std::min<std::size_t>(
        line.size(),
        static_cast<std::size_t>(std::max<intptr_t>(slot(LinkLabel::BeforeLength), 0)));
    const std::u16string before = line.substr(0, beforeLength);
    const std::u16string link = line.substr(
        beforeLength, static_cast<std::size_t>(std::max<intptr_t>(slot(LinkLabel::LinkLength), 0)));
    const std::u16string after = line.substr(beforeLength + link.size());

    const ExHandle canvas = paint.canvas;
    const ExHandle font = Ex_ObjGetFont(object);
    const float beforeWidth = TextWidth(canvas, font, before);
    const float linkWidth = TextWidth(canvas, font, link);
    const float afterWidth = TextWidth(canvas, font, after);
    const auto height = static_cast<float>(paint.height);
    // Whole pixels, so that the three parts meet without a seam or overlap.
    float left = static_cast<float>(static_cast<int>(
        (static_cast<float>(paint.width) - beforeWidth - linkWidth - afterWidth) / 2));
    const ExArgb text = Ex_ObjGetColor(object, EX_COLOR_TEXT);
    const auto linkColour = static_cast<ExArgb>(slot(LinkLabel::LinkColour));
    _canvas_setantialias(paint.canvas, 1);
    _canvas_drawtext(canvas, font, text, before.c_str(), -1, LineFormat, left, 0,
                     left + beforeWidth + 1, height);
    left += beforeWidth;
    _canvas_drawtext(canvas, font, linkColour, link.c_str(), -1, LineFormat, left, 0,
                     left + linkWidth + 1, height);
    float lineHeight = 0;
    float unused = 0;
    _canvas_calctextsize(canvas, font, u"设", -1, LineFormat, Huge, Huge, &unused, &lineHeight);
    const float underline = (height + lineHeight) / 2;
    const ExHandle brush = _brush_create(linkColour);
    _canvas_drawline(canvas, brush, left, underline, left + linkWidth, underline, 1);
    _brush_destroy(brush);
    Ex_ObjSetLong(object, LinkLabel::LinkLeft, static_cast<intptr_t>(left));
    Ex_ObjSetLong(object, LinkLabel::LinkTop, static_cast<intptr_t>((height - lineHeight) / 2));
    Ex_ObjSetLong(object, LinkLabel::LinkRight, static_cast<intptr_t>(left + linkWidth));
    Ex_ObjSetLong(object, LinkLabel::LinkBottom, static_cast<intptr_t>(underline + 2));
    left += linkWidth;
    _canvas_drawtext(canvas, font, text, after.c_str(), -1, LineFormat, left, 0,
                     left + afterWidth + 1, height);
    Ex_ObjEndPaint(object, &paint);
}

bool OnLink(ExHandle object, intptr_t lParam) {
    const int x = static_cast<std::int16_t>(lParam & 0xFFFF);
    const int y = static_cast<std::int16_t>((lParam >> 16) & 0xFFFF);
    const ExRect link = LinkLabel(object).LinkRect();
    return x >= link.left && x < link.right && y >= link.top && y < link.bottom;
}

intptr_t LinkLabelProc(ExHandle window, ExHandle object, std::int32_t message, intptr_t wParam,
                       intptr_t lParam) {
    switch (message) {
        case EX_WM_PAINT:
            try {
                Paint(object);
            } catch (...) {
                // A line that cannot be copied (out of memory) stays unpainted.
            }
            return 0;
        case EX_WM_LBUTTONDOWN:
            // Only a press on the link can become a click.
            if (!OnLink(object, lParam)) {
                return 0;
            }
            break;
        default:
            break;
    }
    return Ex_ObjDefProc(window, object, message, wParam, lParam);
}

}  // namespace

bool LinkLabel::Create(const LinkLabelDescription& d) {
    Attach(0);
    if (!EnsureClassRegistered(LinkLabelClass, ExtraBytes, LinkLabelProc)) {
        return false;
    }
    Attach(CreateObject(-1, LinkLabelClass, d.before + d.link + d.after, -1, d.x, d.y, d.width,
                        d.height, d.parent, d.id));
    const ExHandle object = Handle();
    if (object == 0) {
        return false;
    }
    Ex_ObjSetLong(object, BeforeLength,
                  static_cast<intptr_t>(platform::NarrowToUtf16(d.before).size()));
    Ex_ObjSetLong(object, LinkLength,
                  static_cast<intptr_t>(platform::NarrowToUtf16(d.link).size()));
    Ex_ObjSetLong(object, LinkColour, d.linkColour);
    SetFont({}, d.fontSize > 0 ? std::optional<int>(d.fontSize) : std::nullopt, d.textColour);
    return true;
}

ExRect LinkLabel::LinkRect() const {
    const auto at = [this](std::int32_t index) {
        return static_cast<std::int32_t>(Ex_ObjGetLong(Handle(), index));
    };
    return {at(LinkLeft), at(LinkTop), at(LinkRight), at(LinkBottom)};
}

}  // namespace cj::ui
