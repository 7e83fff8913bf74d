#include "ui/controls/drawn_parts.h"

#include <algorithm>

namespace cj::ui {
namespace {

constexpr std::int32_t CentredText = EX_DT_CENTER | EX_DT_VCENTER;

}  // namespace

bool EnsureClassRegistered(const char16_t* className, std::int32_t extraBytes, ExClassProc proc) {
    ExClassInfo info{};
    if (Ex_ObjGetClassInfoEx(className, &info) != 0) {
        return true;
    }
    return Ex_ObjRegister(className, EX_OS_VISIBLE, 0, CentredText | EX_DT_SINGLELINE, extraBytes,
                          0, 0, proc) != 0;
}

ExHandle ImageFromBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return 0;
    }
    return _img_createfrommemory(bytes.data(), bytes.size());
}

std::u16string ObjectWideText(ExHandle object) {
    const std::size_t length = Ex_ObjGetTextLength(object);
    if (length == 0) {
        return {};
    }
    std::u16string text(length + 1, u'\0');
    const std::size_t copied = Ex_ObjGetText(object, text.data(), text.size() * sizeof(char16_t));
    text.resize(std::min(copied, length));
    return text;
}

void PaintImageAndTitle(ExHandle object, const ExPaint& paint, const ImageAndTitle& content) {
    const ExHandle canvas = paint.canvas;
    const ExHandle font = Ex_ObjGetFont(object);
    const float width = static_cast<float>(paint.width);
    const float height = static_cast<float>(paint.height);
    std::int32_t iw = 0;
    std::int32_t ih = 0;
    const bool hasImage = content.image != 0 && _img_getsize(content.image, &iw, &ih) != 0;
    const bool hasTitle = !content.title.empty();

    if (hasImage && hasTitle) {
        float tw = 0;
        float th = 0;
        _canvas_calctextsize(canvas, font, content.title.c_str(), -1, paint.textFormat, width,
                             height, &tw, &th);
        const auto fw = static_cast<float>(iw);
        const auto fh = static_cast<float>(ih);
        float left = 0;
        float top = 0;
        if (content.imageAbove) {
            const auto gap = static_cast<float>(content.gapAbove);
            const auto x = static_cast<int>((width - fw) / 2);
            const auto y = static_cast<int>((height - (fh + th + gap)) / 2);
            _canvas_drawimage(canvas, content.image, static_cast<float>(x), static_cast<float>(y),
                              255);
            left = (width - tw) / 2;
            top = fh + (height - (fh + th - gap)) / 2;
        } else {
            const auto gap = static_cast<float>(content.gapLeft);
            const auto x = static_cast<int>((width - (fw + tw + gap)) / 2);
            const auto y = static_cast<int>((height - fh) / 2);
            _canvas_drawimage(canvas, content.image, static_cast<float>(x), static_cast<float>(y),
                              255);
            left = fw + (width - (fw + tw - gap)) / 2;
            top = (height - th) / 2;
        }
        _canvas_drawtext(canvas, font, content.colour, content.title.c_str(), -1, CentredText, left,
                         top, left + tw, top + th);
    } else if (hasImage) {
        // Whole pixels, so that the image is not resampled.
        const int x = (paint.width - iw) / 2;
        const int y = (paint.height - ih) / 2;
        _canvas_drawimage(canvas, content.image, static_cast<float>(x), static_cast<float>(y), 255);
    } else if (hasTitle) {
        _canvas_drawtext(canvas, font, content.colour, content.title.c_str(), -1, CentredText, 0, 0,
                         width, height);
    }
}

void TrackPointerState(ExHandle object, std::int32_t message) {
    switch (message) {
        case EX_WM_LBUTTONDOWN:
            Ex_ObjSetUIState(object, EX_STATE_DOWN, 0, nullptr, 1);
            break;
        case EX_WM_LBUTTONUP:
            Ex_ObjSetUIState(object, EX_STATE_DOWN, 1, nullptr, 1);
            break;
        case EX_WM_MOUSEHOVER:
            Ex_ObjSetUIState(object, EX_STATE_HOVER, 0, nullptr, 1);
            break;
        case EX_WM_MOUSELEAVE:
            Ex_ObjSetUIState(object, EX_STATE_HOVER, 1, nullptr, 1);
            break;
        default:
            break;
    }
}

}  // namespace cj::ui
