#include "ui/window_placement.h"

#include <algorithm>
#include <cstdint>

namespace cj::ui {
namespace {

// The span [start, start + length) fitted into [low, high).
void FitSpan(std::int32_t& start, std::int32_t& end, std::int32_t low, std::int32_t high) {
    const std::int32_t length = std::min(end - start, high - low);
    start = std::clamp(start, low, high - length);
    end = start + length;
}

}  // namespace

ExRect FitIntoArea(const ExRect& window, const ExRect& area) {
    if (area.right <= area.left || area.bottom <= area.top) {
        return window;
    }
    ExRect fitted = window;
    FitSpan(fitted.left, fitted.right, area.left, area.right);
    FitSpan(fitted.top, fitted.bottom, area.top, area.bottom);
    return fitted;
}

ExRect CentreInArea(int width, int height, const ExRect& area) {
    const std::int32_t left = area.left + (area.right - area.left - width) / 2;
    const std::int32_t top = area.top + (area.bottom - area.top - height) / 2;
    return FitIntoArea({left, top, left + width, top + height}, area);
}

}  // namespace cj::ui
