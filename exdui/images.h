// Images and image lists. They are plain QImages, so they may be made and
// destroyed on any thread; a lookup returns a shared reference that keeps the
// image alive while it is drawn.
#pragma once

#include <QImage>
#include <memory>
#include <mutex>
#include <vector>

#include "exdui.h"

namespace exdui {

struct Image {
    QImage image;
};

struct ImageList {
    mutable std::mutex mu;
    QSize size;                  // Fixed at creation.
    std::vector<QImage> images;  // Under mu.
};

std::shared_ptr<const Image> ImageFromHandle(ExHandle handle);
// Image index (from 1) of a list; a null image when out of range.
QImage ImageListImage(ExHandle list, int32_t index);
QSize ImageListSize(ExHandle list);
ExHandle AddImage(const QImage& image);

}  // namespace exdui
