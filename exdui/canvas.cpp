#include "canvas.h"

#include <algorithm>
#include <string_view>

#include "backend/graphics.h"
#include "fonts.h"
#include "handle_table.h"
#include "images.h"
#include "marshal.h"

namespace exdui {

namespace {

struct Canvas {
    backend::Painter* painter = nullptr;  // Set only during a paint.
};

}  // namespace

ExHandle CreateCanvas() {
    return handles::AddRaw(Kind::Canvas, new Canvas);
}

void DestroyCanvas(ExHandle canvas) {
    auto* c = handles::RawAs<Canvas>(canvas, Kind::Canvas);
    handles::Remove(canvas);
    delete c;
}

void BindCanvas(ExHandle canvas, backend::Painter* painter) {
    if (auto* c = handles::RawAs<Canvas>(canvas, Kind::Canvas)) {
        c->painter = painter;
        if (painter != nullptr) {
            painter->SetAntialias(false);
            painter->SetImageSmoothing(false);
        }
    }
}

backend::Painter* CanvasPainter(ExHandle canvas) {
    // Painters live on the UI thread and only during a paint.
    if (!marshal::IsUiThread()) {
        return nullptr;
    }
    auto* c = handles::RawAs<Canvas>(canvas, Kind::Canvas);
    return c != nullptr ? c->painter : nullptr;
}

void FillRoundedBox(backend::Painter& painter, const RectF& rect, const float radius[4],
                    ExArgb color) {
    if ((color >> 24) == 0 || rect.IsEmpty()) {
        return;
    }
    if (std::all_of(radius, radius + 4, [](float r) { return r <= 0; })) {
        painter.FillRect(rect, color);
        return;
    }
    const float most = std::min(rect.Width(), rect.Height()) / 2;
    backend::CornerRadii radii;
    for (int i = 0; i < 4; ++i) {
        const float r = std::clamp(radius[i], 0.0F, most);
        radii.corner[i] = {r, r};
    }
    painter.Save();
    painter.SetAntialias(true);
    painter.FillRoundedRect(rect, radii, color);
    painter.Restore();
}

}  // namespace exdui

using namespace exdui;

namespace {

// The colour of a brush, or false for a bad handle.
bool BrushColor(ExHandle brush, ExArgb* color) {
    auto b = handles::SharedAs<Brush>(brush, Kind::Brush);
    if (!b) {
        return false;
    }
    *color = b->color.load();
    return true;
}

std::u16string_view TextOf(const char16_t* text, intptr_t length) {
    return length < 0 ? std::u16string_view(text)
                      : std::u16string_view(text, static_cast<size_t>(length));
}

}  // namespace

extern "C" {

EXDUI_API int _canvas_clear(ExHandle canvas, ExArgb color) {
    backend::Painter* p = CanvasPainter(canvas);
    if (p == nullptr) {
        return 0;
    }
    p->Clear(color);
    return 1;
}

EXDUI_API int _canvas_fillrect(ExHandle canvas, ExHandle brush, float left, float top, float right,
                               float bottom) {
    backend::Painter* p = CanvasPainter(canvas);
    ExArgb color = 0;
    if (p == nullptr || !BrushColor(brush, &color)) {
        return 0;
    }
    p->FillRect(RectF{left, top, right, bottom}.Normalized(), color);
    return 1;
}

EXDUI_API int _canvas_fillroundedrect(ExHandle canvas, ExHandle brush, float left, float top,
                                      float right, float bottom, float radiusX, float radiusY) {
    backend::Painter* p = CanvasPainter(canvas);
    ExArgb color = 0;
    if (p == nullptr || !BrushColor(brush, &color)) {
        return 0;
    }
    p->FillRoundedRect(RectF{left, top, right, bottom}.Normalized(),
                       backend::CornerRadii::Same(radiusX, radiusY), color);
    return 1;
}

EXDUI_API int _canvas_drawrect(ExHandle canvas, ExHandle brush, float left, float top, float right,
                               float bottom, float strokeWidth) {
    backend::Painter* p = CanvasPainter(canvas);
    ExArgb color = 0;
    if (p == nullptr || !BrushColor(brush, &color)) {
        return 0;
    }
    // The stroke stays inside the rectangle.
    const float half = strokeWidth / 2;
    RectF r = RectF{left, top, right, bottom}.Normalized();
    p->StrokeRect({r.left + half, r.top + half, r.right - half, r.bottom - half}, color,
                  strokeWidth);
    return 1;
}

EXDUI_API int _canvas_drawline(ExHandle canvas, ExHandle brush, float x1, float y1, float x2,
                               float y2, float strokeWidth) {
    backend::Painter* p = CanvasPainter(canvas);
    ExArgb color = 0;
    if (p == nullptr || !BrushColor(brush, &color)) {
        return 0;
    }
    p->DrawLine({x1, y1}, {x2, y2}, color, strokeWidth);
    return 1;
}

EXDUI_API int _canvas_fillellipse(ExHandle canvas, ExHandle brush, float centerX, float centerY,
                                  float radiusX, float radiusY) {
    backend::Painter* p = CanvasPainter(canvas);
    ExArgb color = 0;
    if (p == nullptr || !BrushColor(brush, &color)) {
        return 0;
    }
    p->FillEllipse({centerX - radiusX, centerY - radiusY, centerX + radiusX, centerY + radiusY},
                   color);
    return 1;
}

EXDUI_API int _canvas_drawtext(ExHandle canvas, ExHandle font, ExArgb color, const char16_t* text,
                               intptr_t length, int32_t format, float left, float top, float right,
                               float bottom) {
    backend::Painter* p = CanvasPainter(canvas);
    if (p == nullptr || text == nullptr) {
        return 0;
    }
    p->DrawFormattedText(*FontFromHandle(font), color, TextOf(text, length), format,
                         RectF{left, top, right, bottom});
    return 1;
}

EXDUI_API int _canvas_calctextsize(ExHandle canvas, ExHandle font, const char16_t* text,
                                   intptr_t length, int32_t format, float layoutWidth,
                                   float layoutHeight, float* width, float* height) {
    (void)canvas;  // Measuring needs only the font: it works outside a paint too.
    if (text == nullptr || width == nullptr || height == nullptr) {
        return 0;
    }
    return marshal::Call(
        [&] {
            SizeF size = FontFromHandle(font)->Measure(TextOf(text, length), format,
                                                       SizeF{layoutWidth, layoutHeight});
            *width = size.width;
            *height = size.height;
            return 1;
        },
        0);
}

EXDUI_API int _canvas_drawimagerect(ExHandle canvas, ExHandle image, float left, float top,
                                    float right, float bottom, int32_t alpha) {
    backend::Painter* p = CanvasPainter(canvas);
    auto img = ImageFromHandle(image);
    if (p == nullptr || !img) {
        return 0;
    }
    p->DrawImage(*img, RectF{left, top, right, bottom},
                 static_cast<uint8_t>(std::clamp(alpha, 0, 255)));
    return 1;
}

EXDUI_API int _canvas_drawimage(ExHandle canvas, ExHandle image, float left, float top,
                                int32_t alpha) {
    auto img = ImageFromHandle(image);
    if (!img) {
        return 0;
    }
    return _canvas_drawimagerect(canvas, image, left, top, left + static_cast<float>(img->Width()),
                                 top + static_cast<float>(img->Height()), alpha);
}

EXDUI_API int _canvas_setantialias(ExHandle canvas, int on) {
    backend::Painter* p = CanvasPainter(canvas);
    if (p == nullptr) {
        return 0;
    }
    p->SetAntialias(on != 0);
    return 1;
}

EXDUI_API int _canvas_setimageantialias(ExHandle canvas, int on) {
    backend::Painter* p = CanvasPainter(canvas);
    if (p == nullptr) {
        return 0;
    }
    p->SetImageSmoothing(on != 0);
    return 1;
}

EXDUI_API ExHandle _brush_create(ExArgb color) {
    auto brush = std::make_shared<Brush>();
    brush->color = color;
    return handles::AddShared(Kind::Brush, brush);
}

EXDUI_API ExArgb _brush_setcolor(ExHandle brush, ExArgb color) {
    auto b = handles::SharedAs<Brush>(brush, Kind::Brush);
    return b ? b->color.exchange(color) : 0;
}

EXDUI_API int _brush_destroy(ExHandle brush) {
    if (!handles::IsLive(brush, Kind::Brush)) {
        return 0;
    }
    handles::Remove(brush);
    return 1;
}

}  // extern "C"
