#include <QImage>
#include <QPainter>

#include "backend/offscreen.h"
#include "qt_painter.h"

namespace exdui::backend {

Pixels PaintOffscreen(int32_t width, int32_t height, const std::function<void(Painter&)>& draw) {
    if (width <= 0 || height <= 0) {
        return {};
    }
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter qpainter(&image);
        qt::QtPainter painter(qpainter);
        draw(painter);
    }
    const QImage plain = image.convertToFormat(QImage::Format_ARGB32);
    Pixels pixels{width, height, {}};
    pixels.argb.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(plain.constScanLine(y));
        pixels.argb.insert(pixels.argb.end(), row, row + width);
    }
    return pixels;
}

}  // namespace exdui::backend
