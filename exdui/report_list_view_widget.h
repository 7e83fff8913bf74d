// The Qt side of the "ReportListView" class: a list of rows of text cells
// under a header of columns, with an optional image per row from the owner's
// image list. Selection, scrolling, hot tracking and the mouse and keys are
// those of ListViewWidget; this class adds the data and paints it.
//
// Rows and columns are numbered from 0 here. UI thread only.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "list_view_widget.h"

namespace exdui {

// Text-format bits shared with the canvas calls (Windows DT_* values).
inline constexpr std::uint32_t TextCenter = 0x01;
inline constexpr std::uint32_t TextRight = 0x02;
inline constexpr std::uint32_t TextVCenter = 0x04;
inline constexpr std::uint32_t TextBottom = 0x08;

struct ReportColumn {
    QString title;
    std::int32_t width = 100;         // pixels
    std::uint32_t textFormat = 0x24;  // single line, vertically centred, left
    ExArgb textColour = 0;            // cell text; alpha 0 uses the list's text colour
};

class ReportListHeader;

// One row's data: its cells from column 0 on, and its image (NoImage: none).
struct ReportRow {
    std::vector<QString> cells;  // grows to the highest column written
    std::int32_t image = -1;
    ExArgb textColour = 0;  // every cell's text; alpha 0 uses the column's colour
};

class ReportListWidget : public ListViewWidget {
  public:
    static constexpr std::int32_t NoImage = -1;
    static constexpr std::int32_t MinColumnWidth = 0;
    static constexpr std::int32_t MaxColumnWidth = 1 << 16;

    explicit ReportListWidget(QWidget* parent = nullptr);

    std::int32_t ColumnCount() const { return static_cast<std::int32_t>(m_columns.size()); }
    // Inserts before `before`; out of range appends. Returns the new column's index.
    std::int32_t InsertColumn(std::int32_t before, ReportColumn column);
    const ReportColumn* Column(std::int32_t column) const;
    bool SetColumnWidth(std::int32_t column, std::int32_t width);

    // Inserts an empty row before `before`; out of range appends. Returns the
    // new row's index. The selection moves with the rows.
    std::int32_t InsertRow(std::int32_t before, std::int32_t image);
    bool RemoveRow(std::int32_t row);
    // Appends rows after the last with one scroll-bar update and one repaint
    // (inserting them one by one costs both for every row). Returns the index
    // of the first new row.
    std::int32_t AppendRows(std::vector<ReportRow> rows);
    // Removes the rows numbered in rows in one pass, linear in the row count.
    // Numbers out of range, or not above the number before them, are ignored.
    // Returns the number of rows removed.
    std::int32_t RemoveRows(std::span<const std::int32_t> rows);
    void RemoveAllRows();

    // A cell of an existing row and column; false otherwise.
    bool SetCell(std::int32_t row, std::int32_t column, const QString& text);
    // The cell's text; a null string when the row or column does not exist.
    QString Cell(std::int32_t row, std::int32_t column) const;
    bool SetRowImage(std::int32_t row, std::int32_t image);
    std::int32_t RowImage(std::int32_t row) const;

    void SetGridLines(bool horizontal, bool vertical);
    // The column whose title shows the sort arrow (-1: none), pointing up for
    // ascending. False for a column that does not exist.
    bool SetSortMark(std::int32_t column, bool ascending);
    void RepaintAll() override;
    std::int32_t HeaderHeight() const { return m_headerHeight; }

    // For the header: paints the titles at the current horizontal scroll.
    void PaintHeader(backend::Painter& painter, const QRect& rect);
    // The column whose right edge is within a few pixels of x (header
    // coordinates), or -1.
    std::int32_t ColumnEdgeAt(int x) const;
    // The column under x (header coordinates), or -1.
    std::int32_t ColumnAt(int x) const;
    // For the header: a click on a column's title.
    void ColumnClicked(std::int32_t column);
    int ColumnLeft(std::int32_t column) const;  // header coordinates

  protected:
    void PaintRow(backend::Painter& painter, const ListRowPaint& row) override;
    // A cell whose text shows cut has its whole text as its tooltip.
    ListTip RowTipAt(std::int32_t row, ExPoint pos) override;
    std::int32_t ContentWidth() const override;
    void LayoutChanged() override;
    void changeEvent(QEvent* event) override;

  private:
    using Row = ReportRow;

    // Where a cell's text goes: the cell less its padding, and in the first
    // column less the row's image.
    QRect CellTextRect(const Row& row, std::int32_t column, const QRect& cell);
    void UpdateHeaderHeight();
    void ContentChanged();

    ReportListHeader* m_header = nullptr;
    std::shared_ptr<const backend::Font> m_textFont;  // the widget's font, to paint with
    std::vector<ReportColumn> m_columns;
    std::vector<Row> m_rows;
    bool m_horizontalLines = false;
    bool m_verticalLines = false;
    std::int32_t m_sortColumn = -1;
    bool m_sortAscending = true;
    std::int32_t m_headerHeight = 0;
};

}  // namespace exdui
