// ExtendedListBox: the program's list box class "kzlbkDY", derived from the
// library's owner-data "ListView". The wrapper keeps the rows (a text and an
// optional image each) in a row array that the object owns; the class
// procedure answers the list's row-height question and draws every row:
// odd and even backgrounds, then the selected or hovered fill, the image and
// the text. Rows count from 1. UI thread only.
//
// Extra storage (indexes):
//   0 the row array (owned by the object, freed with it)
//   1 hover fill, 2 selected fill (ARGB)
//   3 row height in pixels
//   4 text colour
//   5 odd-row background, 6 even-row background
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ui/colour.h"
#include "ui/controls/control.h"

namespace cj::ui {

inline constexpr char16_t ExtendedListBoxClass[] = u"kzlbkDY";

struct ExtendedListBoxDescription {
    ExHandle parent = 0;
    int id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    ExArgb hover = MakeArgb(0xFF8800, 50);
    ExArgb selected = MakeArgb(0xFF8800, 100);
    int rowHeight = 30;
    ExArgb textColour = 0xFF000000;
    std::optional<int> fontSize{};  // Sets the font from fontFamily when given.
    std::string fontFamily{};       // Empty: DefaultFontFamily.
    ExArgb oddRow = MakeArgb(0xFF8800, 0);
    ExArgb evenRow = MakeArgb(0xFF8800, 0);
    ExArgb background = MakeArgb(0xFFFFFF, 200);
    bool multiSelect = false;  // Style bit 8.
    bool acceptFiles = false;  // Dropped files reach the procedure (EX_WM_DROPFILES).
    ExObjProc procedure = nullptr;
};

class ExtendedListBox : public Control {
  public:
    enum Slot : std::int32_t { Rows, Hover, Selected, RowHeight, TextColour, OddRow, EvenRow };

    // False when the library has no "ListView" class to derive from or
    // refuses the object.
    bool Create(const ExtendedListBoxDescription& d);

    // Appends a row with an image from PNG bytes (none when empty or not
    // decodable); returns its number, 0 without an object.
    int AddRow(std::string_view text, std::span<const std::uint8_t> image = {}) const;
    // Appends a row with the icon the desktop shows for the file or folder at
    // path; sizeClass 0 small (16), 1 large (32), 2 extra large (48), 3 jumbo
    // (256), any other value large.
    int AddRowWithFileIcon(std::string_view text, std::string_view path, int sizeClass = 2) const;
    bool RemoveRow(int row) const;
    void ClearRows() const;
    int RowCount() const;
    // "" for a row that does not exist.
    std::string RowText(int row) const;
    bool SetRowText(int row, std::string_view text) const;
    void SetRowHeight(int pixels) const;
    // The current row, 0 when none.
    int SelectedRow() const;
    // Makes row the only selected and the current row (0 clears the mark).
    void SelectRow(int row) const;
    void Redraw() const;
};

// The "ListView" class procedure that "kzlbkDY" chains to; null until the
// class is registered in this run of the library.
ExClassProc ListViewClassProc();

}  // namespace cj::ui
