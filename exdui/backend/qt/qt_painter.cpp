#include "qt_painter.h"

#include <QPainterPath>
#include <QRegion>
#include <algorithm>
#include <vector>

#include "qt_convert.h"
#include "qt_font.h"
#include "qt_image.h"

namespace exdui::backend::qt {

namespace {

bool Invisible(ExArgb color) {
    return (color >> 24) == 0;
}

bool AllCornersAlike(const CornerRadii& radii) {
    const SizeF& first = radii.corner[0];
    return std::all_of(std::begin(radii.corner), std::end(radii.corner), [&](const SizeF& c) {
        return c.width == first.width && c.height == first.height;
    });
}

// The outline of a rectangle with corners of their own, each radius cut to
// half the rectangle's side as QPainter::drawRoundedRect cuts it.
QPainterPath RoundedPath(const QRectF& rect, const CornerRadii& radii) {
    qreal rx[4];
    qreal ry[4];
    for (int i = 0; i < 4; ++i) {
        rx[i] = std::clamp<qreal>(radii.corner[i].width, 0, rect.width() / 2);
        ry[i] = std::clamp<qreal>(radii.corner[i].height, 0, rect.height() / 2);
    }
    const qreal left = rect.left(), top = rect.top(), right = rect.right(), bottom = rect.bottom();
    QPainterPath path;
    path.moveTo(left + rx[0], top);
    path.lineTo(right - rx[1], top);
    path.arcTo(right - 2 * rx[1], top, 2 * rx[1], 2 * ry[1], 90, -90);
    path.lineTo(right, bottom - ry[2]);
    path.arcTo(right - 2 * rx[2], bottom - 2 * ry[2], 2 * rx[2], 2 * ry[2], 0, -90);
    path.lineTo(left + rx[3], bottom);
    path.arcTo(left, bottom - 2 * ry[3], 2 * rx[3], 2 * ry[3], 270, -90);
    path.lineTo(left, top + ry[0]);
    path.arcTo(left, top, 2 * rx[0], 2 * ry[0], 180, -90);
    path.closeSubpath();
    return path;
}

std::vector<QPointF> ToQPoints(std::span<const PointF> points) {
    std::vector<QPointF> out;
    out.reserve(points.size());
    for (PointF p : points) {
        out.push_back(ToQPointF(p));
    }
    return out;
}

}  // namespace

QtPainter::QtPainter(QPainter& painter) : m_painter(painter) {
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
}

QtPainter::~QtPainter() {
    while (m_depth > 0) {
        Restore();
    }
}

template <class Draw>
void QtPainter::WithPenAndBrush(const QPen& pen, const QBrush& brush, Draw draw) {
    m_painter.save();
    m_painter.setPen(pen);
    m_painter.setBrush(brush);
    draw();
    m_painter.restore();
}

void QtPainter::Save() {
    m_painter.save();
    ++m_depth;
}

void QtPainter::Restore() {
    if (m_depth > 0) {
        m_painter.restore();
        --m_depth;
    }
}

void QtPainter::Translate(float dx, float dy) {
    m_painter.translate(dx, dy);
}

void QtPainter::ClipRect(const RectF& rect) {
    m_painter.setClipRect(ToQRectF(rect.Normalized()), Qt::IntersectClip);
}

void QtPainter::ExcludeClip(const RectF& rect) {
    constexpr int Far = 1 << 24;
    QRegion outside(QRect(QPoint(-Far, -Far), QPoint(Far, Far)));
    outside -= ToQRectF(rect.Normalized()).toAlignedRect();
    m_painter.setClipRegion(outside, Qt::IntersectClip);
}

void QtPainter::SetAntialias(bool on) {
    m_painter.setRenderHint(QPainter::Antialiasing, on);
}

void QtPainter::SetImageSmoothing(bool on) {
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, on);
}

void QtPainter::Clear(ExArgb color) {
    m_painter.save();
    m_painter.resetTransform();
    m_painter.setCompositionMode(QPainter::CompositionMode_Source);
    m_painter.fillRect(m_painter.window(), ToQColor(color));
    m_painter.restore();
}

void QtPainter::FillRect(const RectF& rect, ExArgb color) {
    m_painter.fillRect(ToQRectF(rect), ToQColor(color));
}

void QtPainter::StrokeRect(const RectF& rect, ExArgb color, double width) {
    WithPenAndBrush(QPen(ToQColor(color), width), Qt::NoBrush,
                    [&] { m_painter.drawRect(ToQRectF(rect)); });
}

void QtPainter::FillRoundedRect(const RectF& rect, const CornerRadii& radii, ExArgb color) {
    const QRectF r = ToQRectF(rect);
    if (AllCornersAlike(radii)) {
        WithPenAndBrush(Qt::NoPen, ToQColor(color), [&] {
            m_painter.drawRoundedRect(r, radii.corner[0].width, radii.corner[0].height);
        });
        return;
    }
    m_painter.fillPath(RoundedPath(r, radii), ToQColor(color));
}

void QtPainter::StrokeRoundedRect(const RectF& rect, const CornerRadii& radii, ExArgb color,
                                  double width) {
    const QRectF r = ToQRectF(rect);
    const QPen pen(ToQColor(color), width);
    if (AllCornersAlike(radii)) {
        WithPenAndBrush(pen, Qt::NoBrush, [&] {
            m_painter.drawRoundedRect(r, radii.corner[0].width, radii.corner[0].height);
        });
        return;
    }
    m_painter.strokePath(RoundedPath(r, radii), pen);
}

void QtPainter::FillEllipse(const RectF& bounds, ExArgb color) {
    WithPenAndBrush(Qt::NoPen, ToQColor(color), [&] { m_painter.drawEllipse(ToQRectF(bounds)); });
}

void QtPainter::StrokeEllipse(const RectF& bounds, ExArgb color, double width) {
    WithPenAndBrush(QPen(ToQColor(color), width), Qt::NoBrush,
                    [&] { m_painter.drawEllipse(ToQRectF(bounds)); });
}

void QtPainter::DrawLine(PointF from, PointF to, ExArgb color, double width) {
    WithPenAndBrush(QPen(ToQColor(color), width), Qt::NoBrush,
                    [&] { m_painter.drawLine(ToQPointF(from), ToQPointF(to)); });
}

void QtPainter::StrokePolyline(std::span<const PointF> points, ExArgb color, double width) {
    if (points.size() < 2) {
        return;
    }
    const std::vector<QPointF> q = ToQPoints(points);
    WithPenAndBrush(QPen(ToQColor(color), width), Qt::NoBrush,
                    [&] { m_painter.drawPolyline(q.data(), static_cast<int>(q.size())); });
}

void QtPainter::FillPolygon(std::span<const PointF> points, ExArgb color) {
    if (points.size() < 3) {
        return;
    }
    const std::vector<QPointF> q = ToQPoints(points);
    WithPenAndBrush(Qt::NoPen, ToQColor(color),
                    [&] { m_painter.drawPolygon(q.data(), static_cast<int>(q.size())); });
}

void QtPainter::DrawImage(const Image& image, const RectF& target, uint8_t alpha) {
    if (alpha == 255) {
        m_painter.drawImage(ToQRectF(target), QImageOf(image));
        return;
    }
    m_painter.save();
    m_painter.setOpacity(alpha / 255.0);
    m_painter.drawImage(ToQRectF(target), QImageOf(image));
    m_painter.restore();
}

void QtPainter::DrawFormattedText(const Font& font, ExArgb color, std::u16string_view text,
                                  int32_t format, const RectF& rect) {
    if (text.empty() || Invisible(color)) {
        return;
    }
    const auto& qtFont = static_cast<const QtFont&>(font);
    const QRectF r = ToQRectF(rect);
    m_painter.save();
    m_painter.setFont(qtFont.Get());
    m_painter.setPen(ToQColor(color));
    m_painter.drawText(r, TextFlags(format),
                       Elided(qtFont.Metrics(), ToQString(text), format, r.width()));
    m_painter.restore();
}

}  // namespace exdui::backend::qt
