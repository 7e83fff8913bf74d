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

// The search button's room at the box's right end: the button is
// SearchButtonWidth wide and ends 2 pixels short of the edge.
inline constexpr int SearchButtonWidth = 40;
inline constexpr int SearchButtonRoom = 50;

// Keeps typed text between x 15 and SearchButtonRoom short of the right edge
// of a box boxWidth wide (250 in a box of 300), clear of the search button.
void NarrowSearchBoxText(const EditBox& box, int boxWidth);

}  // namespace cj::ui
