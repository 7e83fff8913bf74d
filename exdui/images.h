// Image and image-list handles. Images are backend::Images, immutable, so
// they may be made and destroyed on any thread; a lookup returns a shared
// reference that keeps the image alive while it is drawn.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "backend/graphics.h"
#include "exdui.h"

namespace exdui {

using ImageRef = std::shared_ptr<const backend::Image>;

struct ImageList {
    mutable std::mutex mu;
    int32_t width = 0;  // Fixed at creation, like height.
    int32_t height = 0;
    // Under mu. An entry is null when its image could not be scaled to the
    // list's size: it counts, and draws nothing.
    std::vector<ImageRef> images;
};

ImageRef ImageFromHandle(ExHandle handle);
// Image index (from 1) of a list; null when out of range.
ImageRef ImageListImage(ExHandle list, int32_t index);
// A handle for image; 0 for a null image.
ExHandle AddImage(const ImageRef& image);

}  // namespace exdui
