// The system's tooltip. UI thread only.
#pragma once

#include <string_view>

#include "backend/native_view.h"
#include "exdui.h"

namespace exdui::backend {

// Shows text as the tooltip of view at the screen point at: plain text, as it
// is (a file named "<b>.jpg" never turns bold), its line breaks kept and long
// lines wrapped as the system wraps tooltips. It goes when the pointer leaves
// area (view coordinates), presses, or at HideTooltip. An empty text hides it.
void ShowTooltip(NativeView* view, ExPoint at, std::u16string_view text, const ExRect& area);
void HideTooltip();

}  // namespace exdui::backend
