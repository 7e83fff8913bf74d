// ReportList: the copy list's wrapper over the library's "ReportListView", a
// list of text rows under a header of columns, each row with an optional file
// icon before its first cell. Rows and columns count from 1; 0 means none.
//
// UI thread only, except CellText and RowCount, which the copy job reads from
// its worker while the main window is disabled.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/controls/control.h"

namespace cj::ui {

struct ReportListDescription {
    ExHandle parent = 0;
    int id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    bool verticalScrollBar = false;  // The horizontal one is always there.
    std::int32_t styleBits = 0;      // Class bits: EX_LVS_MULTISELECT, EX_RLVS_*LINES.
    ExArgb background = 0;
    ExArgb border = 0;
    ExArgb header = 0;  // The header's background.
    int rowHeight = 30;
    // Size of the row icons: 1 small (16), 2 large (32), 3 extra large (48),
    // 4 jumbo (256); 0 leaves the rows without icons. The list's image list
    // lives until the library shuts down.
    int iconSize = 1;
};

// One row for ReportList::AppendRows: its cells from column 1 on, and the
// file whose desktop icon it shows before its first cell (empty: none).
struct ReportRowTexts {
    std::vector<std::string> cells;
    std::string iconPath;
    ExArgb textColour = 0;  // All its cells' text; 0: each column's colour.
};

class ReportList : public Control {
  public:
    bool Create(const ReportListDescription& d);

    // Appends a column; textFormat -1 gives the class's single-line,
    // vertically centred left alignment. Returns its number or 0.
    int AddColumn(std::string_view title, int width, std::int32_t textFormat = -1,
                  ExArgb textColour = 0xFF000000) const;
    void SetColumnWidth(int column, int width) const;
    // Shows the sort arrow on column's title (0: on none). The list sorts
    // nothing itself: a click on a title comes to the owner as
    // EX_LVN_COLUMNCLICK, which refills the rows in its order.
    void SetSortMark(int column, bool ascending) const;

    // Inserts an empty row before row insertAt (0: appends) and returns its
    // number, or 0.
    int InsertRow(int insertAt = 0) const;
    // As InsertRow, with the icon the desktop shows for the file at path.
    int InsertRowWithIcon(std::string_view path, int insertAt = 0) const;
    // Appends rows after the last in one step, with one repaint: for many
    // rows at once. Returns the number of the first new row, or 0.
    int AppendRows(std::span<const ReportRowTexts> rows) const;
    bool SetCell(int row, int column, std::string_view text) const;
    // The cell's text; "" for a missing cell. Reads the whole text, however long.
    std::string CellText(int row, int column) const;
    bool DeleteRow(int row) const;
    // Deletes the rows numbered in rows (ascending) in one pass, linear in the
    // row count; numbers beyond the last row are ignored. Returns the number
    // of rows deleted.
    int DeleteRows(std::span<const std::size_t> rows) const;
    void DeleteAllRows() const;
    int RowCount() const;
    // Repaints the rows.
    void Update() const;

    // The current row (the selection mark), 0 when none.
    int SelectedRow() const;
    // Makes row the only selected row and the current one, scrolled into view.
    void SelectRow(int row) const;
    bool IsRowSelected(int row) const;

  private:
    // The index in the list's image list of the desktop's icon for path,
    // looked up once per file type; 0 when the list shows no icons.
    int IconIndex(std::string_view path) const;
};

}  // namespace cj::ui
