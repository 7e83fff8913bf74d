// The screens. Rectangles are in screen pixels. UI thread only.
#pragma once

#include <optional>

#include "exdui.h"

namespace exdui::backend {

// The primary screen; nothing when the system has no screen.
std::optional<ExRect> PrimaryScreen();
// The work area (the screen less its task bars and docks) of the screen
// showing the largest part of window; of the primary screen for no window or
// one that lies on no screen. Nothing when the system has no screen.
std::optional<ExRect> WorkArea(const ExRect* window);
// The scale of the screen showing the largest part of window (the primary
// screen for none): its dots per inch over 96, so 1.0 at 96 dpi and 1.5 at
// 144. 1.0 when the system has no screen.
double DpiScale(const ExRect* window);

}  // namespace exdui::backend
