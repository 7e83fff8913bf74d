// The logic of the "ReportListView" class, free of any toolkit: rows of text
// cells under a header of columns, with an optional image per row from the
// owner's image list. Selection, scrolling, hot tracking and the mouse and
// keys are those of ListViewCore; this class adds the data, paints it and
// answers the header's mouse (title clicks, dragging a column's right edge).
//
// Rows and columns are numbered from 0 here. UI thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "backend/graphics.h"
#include "list_view_core.h"

namespace exdui {

// Text-format bits shared with the canvas calls (Windows DT_* values).
inline constexpr std::uint32_t TextCenter = 0x01;
inline constexpr std::uint32_t TextRight = 0x02;
inline constexpr std::uint32_t TextVCenter = 0x04;
inline constexpr std::uint32_t TextBottom = 0x08;

struct ReportColumn {
    std::u16string title;
    std::int32_t width = 100;         // pixels
    std::uint32_t textFormat = 0x24;  // single line, vertically centred, left
    ExArgb textColour = 0;            // cell text; alpha 0 uses the list's text colour
};

// One row's data: its cells from column 0 on, and its image (NoImage: none).
struct ReportRow {
    std::vector<std::u16string> cells;  // grows to the highest column written
    std::int32_t image = -1;
    ExArgb textColour = 0;  // every cell's text; alpha 0 uses the column's colour
};

class ReportListCore final : public ListViewCore {
  public:
    static constexpr std::int32_t NoImage = -1;
    static constexpr std::int32_t MinColumnWidth = 0;
    static constexpr std::int32_t MaxColumnWidth = 1 << 16;

    // The font of titles and cells, and its line height in whole pixels (the
    // header is that plus a margin, 24 at least).
    void SetFont(std::shared_ptr<const backend::Font> font, std::int32_t lineHeight);

    std::int32_t ColumnCount() const { return static_cast<std::int32_t>(m_columns.size()); }
    // Inserts before `before`; out of range appends. Returns the new column's index.
    std::int32_t InsertColumn(std::int32_t before, ReportColumn column);
    const ReportColumn* Column(std::int32_t column) const;
    bool SetColumnWidth(std::int32_t column, std::int32_t width);

    // Inserts an empty row before `before`; out of range appends. Returns the
    // new row's index. The selection moves with the rows.
    std::int32_t InsertRow(std::int32_t before, std::int32_t image);
    bool RemoveRow(std::int32_t row);
    // Appends rows after the last with one scroll-range update and one repaint
    // (inserting them one by one costs both for every row). Returns the index
    // of the first new row.
    std::int32_t AppendRows(std::vector<ReportRow> rows);
    // Removes the rows numbered in rows in one pass, linear in the row count.
    // Numbers out of range, or not above the number before them, are ignored.
    // Returns the number of rows removed.
    std::int32_t RemoveRows(std::span<const std::int32_t> rows);
    void RemoveAllRows();

    // A cell of an existing row and column; false otherwise.
    bool SetCell(std::int32_t row, std::int32_t column, std::u16string text);
    // The cell's text; nullptr when the row or column does not exist, an
    // empty text for a cell never written.
    const std::u16string* Cell(std::int32_t row, std::int32_t column) const;
    bool SetRowImage(std::int32_t row, std::int32_t image);
    std::int32_t RowImage(std::int32_t row) const;

    void SetGridLines(bool horizontal, bool vertical);
    // The column whose title shows the sort arrow (-1: none), pointing up for
    // ascending. False for a column that does not exist.
    bool SetSortMark(std::int32_t column, bool ascending);
    void RepaintAll() override;
    std::int32_t HeaderHeight() const { return m_headerHeight; }

    // The header, in its own coordinates (x follows the horizontal scroll).
    void PaintHeader(backend::Painter& painter, const ExRect& rect);
    // The column whose right edge is within a few pixels of x, or -1.
    std::int32_t ColumnEdgeAt(std::int32_t x) const;
    // The column under x, or -1.
    std::int32_t ColumnAt(std::int32_t x) const;
    std::int32_t ColumnLeft(std::int32_t column) const;
    // The header's mouse: a left press on an edge resizes that column while
    // the button is held; pressed and released on one title, it is a click
    // the host hears of. HeaderMouseMove says whether x is over an edge
    // (never while resizing).
    void HeaderMouseDown(bool left, std::int32_t x);
    bool HeaderMouseMove(std::int32_t x);
    void HeaderMouseUp(bool left, std::int32_t x);
    bool HeaderResizing() const { return m_dragging >= 0; }

  protected:
    void PaintRow(backend::Painter& painter, const ListRowPaint& row) override;
    // A cell whose text shows cut has its whole text as its tooltip.
    ListTip RowTipAt(std::int32_t row, ExPoint pos) override;
    std::int32_t ContentWidth() const override;

  private:
    using Row = ReportRow;

    // Where a cell's text goes: the cell less its padding, and in the first
    // column less the row's image.
    ExRect CellTextRect(const Row& row, std::int32_t column, const ExRect& cell);
    void ContentChanged();
    void RowsChanged();

    std::shared_ptr<const backend::Font> m_textFont;
    std::vector<ReportColumn> m_columns;
    std::vector<Row> m_rows;
    bool m_horizontalLines = false;
    bool m_verticalLines = false;
    std::int32_t m_sortColumn = -1;
    bool m_sortAscending = true;
    std::int32_t m_headerHeight = 24;
    std::int32_t m_dragging = -1;  // the column whose edge a left press took
    std::int32_t m_pressed = -1;   // the title a left press landed on
};

}  // namespace exdui
