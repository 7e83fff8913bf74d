// The result list of the search page: a "ListView" in owner-data mode whose
// rows this module draws from the window's result rows, two lines a row.
#pragma once

#include <cstdint>

#include "exdui/exdui.h"
#include "ui/result_rows.h"

namespace cj::ui {

inline constexpr int ResultRowHeight = 60;
// Sent to the list when a search starts: it empties the rows.
inline constexpr int32_t ResultListClearMessage = 6000;
// The list's window style: visible, a child, owner data.
inline constexpr int32_t ResultListStyle = 0x50000008;

// Row colours (ARGB).
inline constexpr ExArgb OddRowColour = 0xFFDCDCDC;
inline constexpr ExArgb EvenRowColour = 0xFFD3D3D3;
inline constexpr ExArgb HighlightColour = 0xE8FFFF00;  // Selected rows.
// The row under the pointer: a light wash of the selection's yellow, so that
// it never reads as selected.
inline constexpr ExArgb HotColour = 0x50FFFF00;
inline constexpr ExArgb NameColour = 0xFF0000FF;
inline constexpr ExArgb TypeAndSizeColour = 0xE8FF0000;
inline constexpr ExArgb PathColour = 0xFF808080;
// The marker at the row's left by copy mark 1, 2 and 3.
inline constexpr ExArgb MarkerColours[] = {0xE8FF0000, 0xE8000000, 0xE80000FF};

// Creates the list on parent; it draws the rows of rows, which must outlive
// the list (the window owns both). Returns the list's handle or 0.
ExHandle CreateResultList(ExHandle parent, int x, int y, int width, int height, ResultRows& rows);

// The list's procedure: row height, row drawing, a row's tooltip (its whole
// name and path, when the row shows either cut), message 6000 and the
// window's destruction. UI thread.
intptr_t ResultListProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                        intptr_t lParam, intptr_t* result);

}  // namespace cj::ui
