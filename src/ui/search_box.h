// The keyword box in the band: a white rounded field with a placeholder.
#pragma once

#include <cstdint>

#include "exdui/exdui.h"
#include "ui/controls/basic_controls.h"

namespace cj::ui {

inline constexpr char16_t SearchPlaceholder[] = u"请输入你要搜索的快递单号...";

// The box's procedure: paints its background and, while it is empty, the
// placeholder; everything else is the edit's own.
intptr_t SearchBoxPainter(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                          intptr_t lParam, intptr_t* result);

// Keeps typed text between x 15 and x 250 of the box, clear of the search
// button at its right end.
void NarrowSearchBoxText(const EditBox& box);

}  // namespace cj::ui
