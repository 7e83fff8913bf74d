#include "canvas.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QTextOption>
#include <algorithm>

#include "fonts.h"
#include "handle_table.h"
#include "images.h"
#include "marshal.h"

namespace exdui {

ExHandle CreateCanvas() {
    return handles::AddRaw(Kind::Canvas, new Canvas);
}

void DestroyCanvas(ExHandle canvas) {
    auto* c = handles::RawAs<Canvas>(canvas, Kind::Canvas);
    handles::Remove(canvas);
    delete c;
}

void BindCanvas(ExHandle canvas, QPainter* painter) {
    if (auto* c = handles::RawAs<Canvas>(canvas, Kind::Canvas)) {
        c->painter = painter;
        c->antialias = false;
        c->imageAntialias = false;
        if (painter != nullptr) {
            painter->setRenderHint(QPainter::Antialiasing, false);
            painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
            painter->setRenderHint(QPainter::TextAntialiasing, true);
        }
    }
}

QPainter* CanvasPainter(ExHandle canvas) {
    // Painters live on the UI thread and only during a paint.
    if (!marshal::IsUiThread()) {
        return nullptr;
    }
    auto* c = handles::RawAs<Canvas>(canvas, Kind::Canvas);
    return c != nullptr ? c->painter : nullptr;
}

QString FromUtf16(const char16_t* text, intptr_t length) {
    if (text == nullptr) {
        return {};
    }
    if (length < 0) {
        return QString::fromUtf16(text);
    }
    return QString::fromUtf16(text, static_cast<qsizetype>(length));
}

namespace {

int AlignmentOf(int32_t format) {
    int align = (format & EX_DT_RIGHT) != 0    ? Qt::AlignRight
                : (format & EX_DT_CENTER) != 0 ? Qt::AlignHCenter
                                               : Qt::AlignLeft;
    align |= (format & EX_DT_VCENTER) != 0  ? Qt::AlignVCenter
             : (format & EX_DT_BOTTOM) != 0 ? Qt::AlignBottom
                                            : Qt::AlignTop;
    return align;
}

int FlagsOf(int32_t format) {
    int flags = AlignmentOf(format);
    if ((format & EX_DT_SINGLELINE) != 0) {
        flags |= Qt::TextSingleLine;
    } else if ((format & EX_DT_WORDBREAK) != 0) {
        flags |= Qt::TextWordWrap;
    }
    return flags;
}

QString Prepared(const QFont& font, const QString& text, int32_t format, qreal width) {
    if ((format & (EX_DT_END_ELLIPSIS | EX_DT_PATH_ELLIPSIS)) == 0 || width <= 0) {
        return text;
    }
    Qt::TextElideMode mode = (format & EX_DT_PATH_ELLIPSIS) != 0 ? Qt::ElideMiddle : Qt::ElideRight;
    return QFontMetricsF(font).elidedText(text, mode, width);
}

}  // namespace

void DrawFormattedText(QPainter& painter, const QFont& font, ExArgb color, const QString& text,
                       int32_t format, const QRectF& rect) {
    if (text.isEmpty() || (color >> 24) == 0) {
        return;
    }
    painter.save();
    painter.setFont(font);
    painter.setPen(ToColor(color));
    painter.drawText(rect, FlagsOf(format), Prepared(font, text, format, rect.width()));
    painter.restore();
}

QSizeF MeasureText(const QFont& font, const QString& text, int32_t format, QSizeF layout) {
    QFontMetricsF metrics(font);
    QRectF bound(0, 0, std::max<qreal>(layout.width(), 0), std::max<qreal>(layout.height(), 0));
    // Measured from the top left: the alignment would only move the box.
    int flags = FlagsOf(format & ~(EX_DT_CENTER | EX_DT_RIGHT | EX_DT_VCENTER | EX_DT_BOTTOM));
    QRectF r = metrics.boundingRect(bound, flags, Prepared(font, text, format, layout.width()));
    qreal w = layout.width() > 0 ? std::min(r.width(), layout.width()) : r.width();
    qreal h = layout.height() > 0 ? std::min(r.height(), layout.height()) : r.height();
    return {w, h};
}

void FillRoundedRect(QPainter& painter, const QRectF& rect, const float radius[4], ExArgb color) {
    if ((color >> 24) == 0 || rect.isEmpty()) {
        return;
    }
    if (radius[0] <= 0 && radius[1] <= 0 && radius[2] <= 0 && radius[3] <= 0) {
        painter.fillRect(rect, ToColor(color));
        return;
    }
    auto clampRadius = [&](float r) {
        return std::clamp<qreal>(r, 0, std::min(rect.width(), rect.height()) / 2);
    };
    qreal tl = clampRadius(radius[0]), tr = clampRadius(radius[1]);
    qreal br = clampRadius(radius[2]), bl = clampRadius(radius[3]);
    QPainterPath path;
    path.moveTo(rect.left() + tl, rect.top());
    path.lineTo(rect.right() - tr, rect.top());
    path.arcTo(rect.right() - 2 * tr, rect.top(), 2 * tr, 2 * tr, 90, -90);
    path.lineTo(rect.right(), rect.bottom() - br);
    path.arcTo(rect.right() - 2 * br, rect.bottom() - 2 * br, 2 * br, 2 * br, 0, -90);
    path.lineTo(rect.left() + bl, rect.bottom());
    path.arcTo(rect.left(), rect.bottom() - 2 * bl, 2 * bl, 2 * bl, 270, -90);
    path.lineTo(rect.left(), rect.top() + tl);
    path.arcTo(rect.left(), rect.top(), 2 * tl, 2 * tl, 180, -90);
    path.closeSubpath();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillPath(path, ToColor(color));
    painter.restore();
}

}  // namespace exdui

using namespace exdui;

namespace {

// The colour of a brush, or false for a bad handle.
bool BrushColor(ExHandle brush, QColor* color) {
    auto b = handles::SharedAs<Brush>(brush, Kind::Brush);
    if (!b) {
        return false;
    }
    *color = ToColor(b->color.load());
    return true;
}

QRectF RectOf(float left, float top, float right, float bottom) {
    return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
}

}  // namespace

extern "C" {

EXDUI_API int _canvas_clear(ExHandle canvas, ExArgb color) {
    QPainter* p = CanvasPainter(canvas);
    if (p == nullptr) {
        return 0;
    }
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->fillRect(p->window(), ToColor(color));
    p->restore();
    return 1;
}

EXDUI_API int _canvas_fillrect(ExHandle canvas, ExHandle brush, float left, float top, float right,
                               float bottom) {
    QPainter* p = CanvasPainter(canvas);
    QColor color;
    if (p == nullptr || !BrushColor(brush, &color)) {
        return 0;
    }
    p->fillRect(RectOf(left, top, right, bottom), color);
    return 1;
}

EXDUI_API int _canvas_fillroundedrect(ExHandle canvas, ExHandle brush, float left, float top,
                                      float right, float bottom, float radiusX, float radiusY) {
    QPainter* p = CanvasPainter(canvas);
    QColor color;
    if (p == nullptr || !BrushColor(brush, &color)) {
        return 0;
    }
    p->save();
    p->setPen(Qt::NoPen);
    p->setBrush(color);
    p->drawRoundedRect(RectOf(left, top, right, bottom), radiusX, radiusY);
    p->restore();
    return 1;
}

EXDUI_API int _canvas_drawrect(ExHandle canvas, ExHandle brush, float left, float top, float right,
                               float bottom, float strokeWidth) {
    QPainter* p = CanvasPainter(canvas);
    QColor color;
    if (p == nullptr || !BrushColor(brush, &color)) {
        return 0;
    }
    p->save();
    p->setPen(QPen(color, static_cast<qreal>(strokeWidth)));
    p->setBrush(Qt::NoBrush);
    qreal half = static_cast<qreal>(strokeWidth) / 2;
    p->drawRect(RectOf(left, top, right, bottom).adjusted(half, half, -half, -half));
    p->restore();
    return 1;
}

EXDUI_API int _canvas_drawline(ExHandle canvas, ExHandle brush, float x1, float y1, float x2,
                               float y2, float strokeWidth) {
    QPainter* p = CanvasPainter(canvas);
    QColor color;
    if (p == nullptr || !BrushColor(brush, &color)) {
        return 0;
    }
    p->save();
    p->setPen(QPen(color, static_cast<qreal>(strokeWidth)));
    p->drawLine(QPointF(x1, y1), QPointF(x2, y2));
    p->restore();
    return 1;
}

EXDUI_API int _canvas_fillellipse(ExHandle canvas, ExHandle brush, float centerX, float centerY,
                                  float radiusX, float radiusY) {
    QPainter* p = CanvasPainter(canvas);
    QColor color;
    if (p == nullptr || !BrushColor(brush, &color)) {
        return 0;
    }
    p->save();
    p->setPen(Qt::NoPen);
    p->setBrush(color);
    p->drawEllipse(QPointF(centerX, centerY), static_cast<qreal>(radiusX),
                   static_cast<qreal>(radiusY));
    p->restore();
    return 1;
}

EXDUI_API int _canvas_drawtext(ExHandle canvas, ExHandle font, ExArgb color, const char16_t* text,
                               intptr_t length, int32_t format, float left, float top, float right,
                               float bottom) {
    QPainter* p = CanvasPainter(canvas);
    if (p == nullptr || text == nullptr) {
        return 0;
    }
    DrawFormattedText(*p, FontFromHandle(font), color, FromUtf16(text, length), format,
                      QRectF(QPointF(left, top), QPointF(right, bottom)));
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
            QSizeF size = MeasureText(FontFromHandle(font), FromUtf16(text, length), format,
                                      QSizeF(layoutWidth, layoutHeight));
            *width = static_cast<float>(size.width());
            *height = static_cast<float>(size.height());
            return 1;
        },
        0);
}

EXDUI_API int _canvas_drawimagerect(ExHandle canvas, ExHandle image, float left, float top,
                                    float right, float bottom, int32_t alpha) {
    QPainter* p = CanvasPainter(canvas);
    auto img = ImageFromHandle(image);
    if (p == nullptr || !img) {
        return 0;
    }
    p->save();
    p->setOpacity(std::clamp(alpha, 0, 255) / 255.0);
    p->drawImage(QRectF(QPointF(left, top), QPointF(right, bottom)), img->image);
    p->restore();
    return 1;
}

EXDUI_API int _canvas_drawimage(ExHandle canvas, ExHandle image, float left, float top,
                                int32_t alpha) {
    auto img = ImageFromHandle(image);
    if (!img) {
        return 0;
    }
    return _canvas_drawimagerect(canvas, image, left, top,
                                 left + static_cast<float>(img->image.width()),
                                 top + static_cast<float>(img->image.height()), alpha);
}

EXDUI_API int _canvas_setantialias(ExHandle canvas, int on) {
    QPainter* p = CanvasPainter(canvas);
    if (p == nullptr) {
        return 0;
    }
    p->setRenderHint(QPainter::Antialiasing, on != 0);
    return 1;
}

EXDUI_API int _canvas_setimageantialias(ExHandle canvas, int on) {
    QPainter* p = CanvasPainter(canvas);
    if (p == nullptr) {
        return 0;
    }
    p->setRenderHint(QPainter::SmoothPixmapTransform, on != 0);
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
