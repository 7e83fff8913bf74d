#include "qt_image.h"

namespace exdui::backend::qt {

// Premultiplied once here: the raster engine draws it without converting.
QtImage::QtImage(const QImage& image)
    : m_image(image.convertToFormat(QImage::Format_ARGB32_Premultiplied)) {}

std::shared_ptr<const Image> QtImage::ScaledToFit(int32_t width, int32_t height) const {
    return WrapImage(
        m_image.scaled(QSize(width, height), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

std::shared_ptr<const Image> WrapImage(const QImage& image) {
    if (image.isNull()) {
        return nullptr;
    }
    return std::make_shared<QtImage>(image);
}

}  // namespace exdui::backend::qt
