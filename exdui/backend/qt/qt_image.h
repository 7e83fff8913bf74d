// Images of the Qt back end: a premultiplied QImage.
#pragma once

#include <QImage>
#include <memory>

#include "backend/graphics.h"

namespace exdui::backend::qt {

class QtImage final : public Image {
  public:
    // image is not null.
    explicit QtImage(const QImage& image);

    const QImage& Get() const { return m_image; }

    int32_t Width() const override { return m_image.width(); }
    int32_t Height() const override { return m_image.height(); }
    std::shared_ptr<const Image> ScaledToFit(int32_t width, int32_t height) const override;

  private:
    QImage m_image;
};

// The image of this back end, or null for a null QImage.
std::shared_ptr<const Image> WrapImage(const QImage& image);

// The QImage of an image made by this back end.
inline const QImage& QImageOf(const Image& image) {
    return static_cast<const QtImage&>(image).Get();
}

}  // namespace exdui::backend::qt
