// Painting off screen: a canvas of the back end over an image of its own,
// read back as plain pixels. It lets the painter's contract be checked by
// the pixels it paints, the same way against every back end. Standard C++
// only.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "backend/painter.h"
#include "exdui.h"

namespace exdui::backend {

// Pixels row by row from the top left, ARGB not premultiplied.
struct Pixels {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<ExArgb> argb;

    ExArgb At(int32_t x, int32_t y) const {
        return argb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

// UI thread. The pixels of a width x height image, transparent at first,
// after draw has painted on it with the back end's Painter (a paint's
// starting state: no translation, no clip, no antialiasing). The Painter
// lives only for the call. Empty pixels when a side is 0 or less.
Pixels PaintOffscreen(int32_t width, int32_t height, const std::function<void(Painter&)>& draw);

}  // namespace exdui::backend
