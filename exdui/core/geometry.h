// Points, sizes and rectangles in pixels with fractions, for painting. Whole
// pixels that cross the C API stay ExPoint and ExRect. Standard C++ only.
#pragma once

#include <utility>

namespace exdui {

struct PointF {
    float x = 0;
    float y = 0;
};

struct SizeF {
    float width = 0;
    float height = 0;
};

// A rectangle by its edges, which lie between pixels: {0, 0, 2, 1} covers
// two pixels. It is empty when right <= left or bottom <= top.
struct RectF {
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;

    static RectF OfSize(float x, float y, float width, float height) {
        return {x, y, x + width, y + height};
    }

    float Width() const { return right - left; }
    float Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    PointF Center() const { return {(left + right) / 2, (top + bottom) / 2}; }
    // The same area with left <= right and top <= bottom.
    RectF Normalized() const {
        RectF r = *this;
        if (r.right < r.left) {
            std::swap(r.left, r.right);
        }
        if (r.bottom < r.top) {
            std::swap(r.top, r.bottom);
        }
        return r;
    }
};

}  // namespace exdui
