// Where a window may lie: inside the work area of its screen (the screen less
// its task bars and docks), so that no part of it, and none of its controls,
// is out of reach. Pure functions of rectangles in screen pixels.
#pragma once

#include "exdui/exdui.h"

namespace cj::ui {

// window made no wider and no taller than area, then moved in by the least
// distance that puts it wholly inside. A window already inside is returned as
// it is; an empty area changes nothing.
ExRect FitIntoArea(const ExRect& window, const ExRect& area);

// A window of width by height centred in area, then fitted into it.
ExRect CentreInArea(int width, int height, const ExRect& area);

}  // namespace cj::ui
