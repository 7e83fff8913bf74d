#include "ui/controls/drawn_button.h"

#include "ui/controls/drawn_parts.h"

namespace cj::ui {
namespace {

constexpr std::int32_t ExtraBytes = 24;

void Paint(ExHandle object) {
    ExPaint paint{};
    if (Ex_ObjBeginPaint(object, &paint) == 0) {
        return;
    }
    _canvas_setantialias(paint.canvas, 1);
    _canvas_setimageantialias(paint.canvas, 1);

    auto slot = [object](std::int32_t index) { return Ex_ObjGetLong(object, index); };
    intptr_t colour =
        (paint.state & EX_STATE_HOVER) != 0 ? slot(DrawnButton::Hover) : slot(DrawnButton::Normal);
    if ((paint.state & EX_STATE_DOWN) != 0) {
        colour = slot(DrawnButton::Pressed);
    }
    const ExHandle brush = _brush_create(static_cast<ExArgb>(colour));
    const auto width = static_cast<float>(paint.width);
    const auto height = static_cast<float>(paint.height);
    const auto radius = static_cast<float>(slot(DrawnButton::Radius));
    if (radius != 0) {
        _canvas_fillroundedrect(paint.canvas, brush, 0, 0, width, height, radius, radius);
    } else {
        _canvas_fillrect(paint.canvas, brush, 0, 0, width, height);
    }

    ImageAndTitle content;
    content.image = static_cast<ExHandle>(slot(DrawnButton::Image));
    content.title = ObjectWideText(object);
    content.colour = Ex_ObjGetColor(object, EX_COLOR_TEXT);
    content.imageAbove = slot(DrawnButton::ImageAbove) == 1;
    PaintImageAndTitle(object, paint, content);

    _brush_destroy(brush);
    Ex_ObjEndPaint(object, &paint);
}

}  // namespace

intptr_t DrawnButtonProc(ExHandle window, ExHandle object, std::int32_t message, intptr_t wParam,
                         intptr_t lParam) {
    TrackPointerState(object, message);
    switch (message) {
        case EX_WM_PAINT:
            // Nothing may unwind into the library: a title that cannot be
            // copied (out of memory) leaves the button unpainted instead.
            try {
                Paint(object);
            } catch (...) {
            }
            return 0;
        case EX_WM_DESTROY:
            _img_destroy(static_cast<ExHandle>(Ex_ObjGetLong(object, DrawnButton::Image)));
            Ex_ObjSetLong(object, DrawnButton::Image, 0);
            break;
        default:
            break;
    }
    return Ex_ObjDefProc(window, object, message, wParam, lParam);
}

bool DrawnButton::Create(const DrawnButtonDescription& d) {
    Attach(0);
    if (!EnsureClassRegistered(DrawnButtonClass, ExtraBytes, DrawnButtonProc)) {
        return false;
    }
    Attach(CreateObject(-1, DrawnButtonClass, d.title, -1, d.x, d.y, d.width, d.height, d.parent,
                        d.id, -1, d.procedure));
    const ExHandle object = Handle();
    if (object == 0) {
        return false;
    }
    Ex_ObjSetColor(object, EX_COLOR_TEXT, d.textColour, 0);
    Ex_ObjSetLong(object, Normal, d.normal);
    Ex_ObjSetLong(object, Hover, d.hover);
    Ex_ObjSetLong(object, Pressed, d.pressed);
    Ex_ObjSetLong(object, Radius, d.radius);
    Ex_ObjSetLong(object, Image, ImageFromBytes(d.image));
    Ex_ObjSetLong(object, ImageAbove, d.imageAbove ? 1 : 0);
    Ex_ObjInvalidateRect(object, nullptr);
    return true;
}

void DrawnButton::SetBackgrounds(std::optional<ExArgb> normal, std::optional<ExArgb> hover,
                                 std::optional<ExArgb> pressed) const {
    const ExHandle object = Handle();
    if (normal) {
        Ex_ObjSetLong(object, Normal, *normal);
    }
    if (hover) {
        Ex_ObjSetLong(object, Hover, *hover);
    }
    if (pressed) {
        Ex_ObjSetLong(object, Pressed, *pressed);
    }
    Ex_ObjInvalidateRect(object, nullptr);
}

void DrawnButton::SetImage(std::span<const std::uint8_t> bytes) const {
    const ExHandle object = Handle();
    if (object == 0) {
        return;
    }
    _img_destroy(static_cast<ExHandle>(Ex_ObjGetLong(object, Image)));
    Ex_ObjSetLong(object, Image, ImageFromBytes(bytes));
    Ex_ObjInvalidateRect(object, nullptr);
}

void DrawnButton::SetRadius(int pixels) const {
    Ex_ObjSetLong(Handle(), Radius, pixels);
    Ex_ObjInvalidateRect(Handle(), nullptr);
}

}  // namespace cj::ui
