// Integer rectangles and points of the C API (ExRect, ExPoint): right and
// bottom are one past the last pixel, so a rectangle with right <= left or
// bottom <= top is empty. Standard C++ only.
#pragma once

#include <algorithm>

#include "exdui.h"

namespace exdui {

inline bool IsEmpty(const ExRect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

inline bool Contains(const ExRect& r, ExPoint p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

inline ExRect Intersect(const ExRect& a, const ExRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

inline ExRect Offset(const ExRect& r, int32_t dx, int32_t dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

inline bool SameRect(const ExRect& a, const ExRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace exdui
