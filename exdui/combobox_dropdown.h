// The combo box's drop-down list: a popup window of the library's own over
// the box's window, holding one object that draws the items and runs them.
// It opens under the box (above it when there is more room there), as wide
// as the box, with up to DropDownMaxRows rows and the wheel and the keys for
// the rest. The row under the pointer, or the one the arrows moved to, is
// highlighted, starting on the item chosen before; a click or Enter chooses
// it, Escape or a press outside closes the list without a choice. One list
// is open at a time. UI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "exdui.h"

namespace exdui {

class Object;

constexpr int32_t DropDownMaxRows = 10;

// Where a list of rows rows, rowHeight pixels each and a pixel of border
// around, goes for a box at box on the screen: under it when they fit in
// area, else on the side with more room, with as many rows as fit there (at
// least one); as wide as the box, moved sideways into area.
struct DropDownPlace {
    ExRect rect;
    int32_t rows = 1;
};
DropDownPlace PlaceDropDown(const ExRect& box, int32_t rows, int32_t rowHeight, const ExRect& area);

// Runs with the item chosen (numbered from 1), once the list has closed.
using DropDownChoice = std::function<void(int32_t index)>;

// Opens box's list of items (shown in box's font) with current (numbered from
// 1, 0 for none) highlighted; closes any list open before.
void OpenDropDown(Object& box, const std::vector<std::u16string>& items, int32_t current,
                  DropDownChoice choose);
// Closes box's list if it is open, without a choice.
void CloseDropDown(const Object& box);

// Registers the list's class; called with the combo box's.
void RegisterDropDownClass();

}  // namespace exdui
