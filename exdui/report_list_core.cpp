#include "report_list_core.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace exdui {

namespace {

constexpr std::int32_t CellPadding = 4;
constexpr std::int32_t EdgeGrip = 4;  // pixels either side of a column edge that start a resize
constexpr std::int32_t SortArrowWidth = 8;

// A small filled triangle at the right of a title, vertically centred.
void PaintSortArrow(backend::Painter& painter, const ExRect& inner, bool ascending, ExArgb colour) {
    const std::int32_t right = inner.right - 1;
    const std::int32_t middle = (inner.top + inner.bottom - 1) / 2;
    const std::int32_t half = SortArrowWidth / 2;
    const std::int32_t tip = ascending ? middle - half / 2 - 1 : middle + half / 2 + 1;
    const std::int32_t base = ascending ? middle + half / 2 + 1 : middle - half / 2 - 1;
    auto at = [](std::int32_t x, std::int32_t y) {
        return PointF{static_cast<float>(x), static_cast<float>(y)};
    };
    const PointF points[] = {at(right - SortArrowWidth, base), at(right, base),
                             at(right - half, tip)};
    painter.Save();
    painter.SetAntialias(true);
    painter.FillPolygon(points, colour);
    painter.Restore();
}

// The canvas format of a cell or a title: one line, shortened with an
// ellipsis when it does not fit, aligned as the column's format says (centred
// before right, as a column has only one alignment).
int32_t CellFormat(std::uint32_t textFormat, bool centredDown) {
    int32_t format = EX_DT_SINGLELINE | EX_DT_END_ELLIPSIS;
    if ((textFormat & TextCenter) != 0) {
        format |= EX_DT_CENTER;
    } else if ((textFormat & TextRight) != 0) {
        format |= EX_DT_RIGHT;
    }
    if (centredDown || (textFormat & TextVCenter) != 0) {
        format |= EX_DT_VCENTER;
    } else if ((textFormat & TextBottom) != 0) {
        format |= EX_DT_BOTTOM;
    }
    return format;
}

bool Visible(ExArgb colour) {
    return (colour >> 24) != 0;
}

// Where a row image goes in cell: at its left, centred upright, and scaled
// down to the cell's height (keeping its shape) when taller.
ExRect ImageRect(const backend::Image& image, const ExRect& cell) {
    std::int64_t width = image.Width();
    std::int64_t height = image.Height();
    const std::int32_t room = Height(cell);
    if (height > room) {
        width = height > 0 ? std::int64_t{room} * width / height : width;
        height = room;
    }
    const std::int32_t left = cell.left + CellPadding;
    const std::int32_t top = cell.top + (room - static_cast<std::int32_t>(height)) / 2;
    return {left, top, left + static_cast<std::int32_t>(width),
            top + static_cast<std::int32_t>(height)};
}

ExRect Inset(const ExRect& r, std::int32_t dx) {
    return {r.left + dx, r.top, r.right - dx, r.bottom};
}

}  // namespace

void ReportListCore::SetFont(std::shared_ptr<const backend::Font> font, std::int32_t lineHeight) {
    m_textFont = std::move(font);
    m_headerHeight = std::max(24, lineHeight + 10);
    InvalidateHeader();
}

std::int32_t ReportListCore::InsertColumn(std::int32_t before, ReportColumn column) {
    if (before < 0 || before > ColumnCount()) {
        before = ColumnCount();
    }
    column.width = std::clamp(column.width, MinColumnWidth, MaxColumnWidth);
    m_columns.insert(m_columns.begin() + before, std::move(column));
    // Cells move with their column.
    for (Row& row : m_rows) {
        if (static_cast<std::size_t>(before) < row.cells.size()) {
            row.cells.insert(row.cells.begin() + before, std::u16string());
        }
    }
    ContentChanged();
    return before;
}

const ReportColumn* ReportListCore::Column(std::int32_t column) const {
    if (column < 0 || column >= ColumnCount()) {
        return nullptr;
    }
    return &m_columns[static_cast<std::size_t>(column)];
}

bool ReportListCore::SetColumnWidth(std::int32_t column, std::int32_t width) {
    if (column < 0 || column >= ColumnCount()) {
        return false;
    }
    m_columns[static_cast<std::size_t>(column)].width =
        std::clamp(width, MinColumnWidth, MaxColumnWidth);
    ContentChanged();
    return true;
}

std::int32_t ReportListCore::InsertRow(std::int32_t before, std::int32_t image) {
    if (before < 0 || before > RowCount()) {
        before = RowCount();
    }
    Row row;
    row.image = image < 0 ? NoImage : image;
    m_rows.insert(m_rows.begin() + before, std::move(row));
    MutableSelection().InsertRow(before);
    RowsChanged();
    return before;
}

std::int32_t ReportListCore::AppendRows(std::vector<ReportRow> rows) {
    const std::int32_t first = RowCount();
    const auto room = static_cast<std::size_t>(INT32_MAX - first);
    if (rows.size() > room) {
        rows.resize(room);
    }
    for (ReportRow& row : rows) {
        if (row.image < 0) {
            row.image = NoImage;
        }
        m_rows.push_back(std::move(row));
    }
    MutableSelection().SetCount(static_cast<std::int32_t>(m_rows.size()));
    RowsChanged();
    return first;
}

bool ReportListCore::RemoveRow(std::int32_t row) {
    if (row < 0 || row >= RowCount()) {
        return false;
    }
    m_rows.erase(m_rows.begin() + row);
    MutableSelection().RemoveRow(row);
    RowsChanged();
    return true;
}

std::int32_t ReportListCore::RemoveRows(std::span<const std::int32_t> rows) {
    std::vector<std::int32_t> valid;
    valid.reserve(rows.size());
    for (const std::int32_t row : rows) {
        if (row >= 0 && row < RowCount() && (valid.empty() || row > valid.back())) {
            valid.push_back(row);
        }
    }
    if (valid.empty()) {
        return 0;
    }
    std::size_t next = 0;
    auto kept = static_cast<std::size_t>(valid.front());
    for (auto row = kept; row < m_rows.size(); ++row) {
        if (next < valid.size() && static_cast<std::size_t>(valid[next]) == row) {
            ++next;
            continue;
        }
        m_rows[kept++] = std::move(m_rows[row]);
    }
    m_rows.resize(kept);
    MutableSelection().RemoveRows(valid);
    RowsChanged();
    return static_cast<std::int32_t>(valid.size());
}

void ReportListCore::RemoveAllRows() {
    m_rows.clear();
    MutableSelection().SetCount(0);
    RowsChanged();
}

bool ReportListCore::SetCell(std::int32_t row, std::int32_t column, std::u16string text) {
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) {
        return false;
    }
    std::vector<std::u16string>& cells = m_rows[static_cast<std::size_t>(row)].cells;
    if (cells.size() <= static_cast<std::size_t>(column)) {
        cells.resize(static_cast<std::size_t>(column) + 1);
    }
    cells[static_cast<std::size_t>(column)] = std::move(text);
    UpdateRow(row);
    return true;
}

const std::u16string* ReportListCore::Cell(std::int32_t row, std::int32_t column) const {
    static const std::u16string Empty;
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) {
        return nullptr;
    }
    const std::vector<std::u16string>& cells = m_rows[static_cast<std::size_t>(row)].cells;
    if (static_cast<std::size_t>(column) >= cells.size()) {
        return &Empty;
    }
    return &cells[static_cast<std::size_t>(column)];
}

bool ReportListCore::SetRowImage(std::int32_t row, std::int32_t image) {
    if (row < 0 || row >= RowCount()) {
        return false;
    }
    m_rows[static_cast<std::size_t>(row)].image = image < 0 ? NoImage : image;
    UpdateRow(row);
    return true;
}

std::int32_t ReportListCore::RowImage(std::int32_t row) const {
    if (row < 0 || row >= RowCount()) {
        return NoImage;
    }
    return m_rows[static_cast<std::size_t>(row)].image;
}

void ReportListCore::SetGridLines(bool horizontal, bool vertical) {
    m_horizontalLines = horizontal;
    m_verticalLines = vertical;
    InvalidateView();
}

bool ReportListCore::SetSortMark(std::int32_t column, bool ascending) {
    if (column >= ColumnCount()) {
        return false;
    }
    m_sortColumn = column < 0 ? -1 : column;
    m_sortAscending = ascending;
    InvalidateHeader();
    return true;
}

void ReportListCore::RepaintAll() {
    InvalidateView();
    InvalidateHeader();
}

void ReportListCore::PaintHeader(backend::Painter& painter, const ExRect& rect) {
    const ListColours colours = Colours();
    painter.FillRect(RectFOf(rect), colours.headerBackground);
    if (m_textFont == nullptr) {
        return;
    }
    std::int32_t left = -HorizontalOffset();
    for (std::int32_t index = 0; index < ColumnCount(); ++index) {
        const ReportColumn& column = m_columns[static_cast<std::size_t>(index)];
        const ExRect cell{left, rect.top, left + column.width, rect.bottom};
        left += column.width;
        if (cell.right - 1 < rect.left || Width(cell) <= 2 * CellPadding) {
            continue;
        }
        ExRect inner = Inset(cell, CellPadding);
        if (index == m_sortColumn && Width(inner) > 2 * SortArrowWidth) {
            PaintSortArrow(painter, inner, m_sortAscending, colours.headerText);
            inner.right -= SortArrowWidth + CellPadding;
        }
        painter.DrawFormattedText(*m_textFont, colours.headerText, column.title,
                                  CellFormat(column.textFormat, true), RectFOf(inner));
        painter.FillRect(RectFOf(ExRect{cell.right - 1, rect.top + 4, cell.right, rect.bottom - 4}),
                         colours.lines);
    }
}

std::int32_t ReportListCore::ColumnAt(std::int32_t x) const {
    std::int32_t left = -HorizontalOffset();
    for (std::int32_t column = 0; column < ColumnCount(); ++column) {
        const std::int32_t right = left + m_columns[static_cast<std::size_t>(column)].width;
        if (x >= left && x < right) {
            return column;
        }
        left = right;
    }
    return -1;
}

std::int32_t ReportListCore::ColumnEdgeAt(std::int32_t x) const {
    std::int32_t edge = -HorizontalOffset();
    for (std::int32_t column = 0; column < ColumnCount(); ++column) {
        edge += m_columns[static_cast<std::size_t>(column)].width;
        if (x >= edge - EdgeGrip && x <= edge + EdgeGrip) {
            return column;
        }
    }
    return -1;
}

std::int32_t ReportListCore::ColumnLeft(std::int32_t column) const {
    std::int32_t left = -HorizontalOffset();
    for (std::int32_t i = 0; i < column && i < ColumnCount(); ++i) {
        left += m_columns[static_cast<std::size_t>(i)].width;
    }
    return left;
}

void ReportListCore::HeaderMouseDown(bool left, std::int32_t x) {
    m_dragging = left ? ColumnEdgeAt(x) : -1;
    // A press on an edge resizes; elsewhere on a title it may be a click.
    m_pressed = left && m_dragging < 0 ? ColumnAt(x) : -1;
}

bool ReportListCore::HeaderMouseMove(std::int32_t x) {
    if (m_dragging >= 0) {
        SetColumnWidth(m_dragging, x - ColumnLeft(m_dragging));
        return false;
    }
    return ColumnEdgeAt(x) >= 0;
}

void ReportListCore::HeaderMouseUp(bool left, std::int32_t x) {
    const std::int32_t pressed = m_pressed;
    m_dragging = -1;
    m_pressed = -1;
    // Released on the title it was pressed on: the owner hears of it last,
    // as it may refill the list.
    if (left && pressed >= 0 && ColumnAt(x) == pressed && Host() != nullptr) {
        Host()->ColumnClick(pressed);
    }
}

ExRect ReportListCore::CellTextRect(const Row& row, std::int32_t column, const ExRect& cell) {
    ExRect inner = Inset(cell, CellPadding);
    if (column == 0 && row.image != NoImage && Host() != nullptr) {
        if (const auto image = Host()->RowImage(row.image)) {
            inner.left = ImageRect(*image, cell).right + CellPadding;
        }
    }
    return inner;
}

ListTip ReportListCore::RowTipAt(std::int32_t rowIndex, ExPoint pos) {
    const ExRect rowRect = RowRect(rowIndex);
    std::int32_t left = rowRect.left;
    for (std::int32_t index = 0; index < ColumnCount(); ++index) {
        const std::int32_t width = m_columns[static_cast<std::size_t>(index)].width;
        if (pos.x >= left && pos.x < left + width) {
            const ExRect cell{left, rowRect.top, left + width, rowRect.bottom};
            const Row& row = m_rows[static_cast<std::size_t>(rowIndex)];
            std::u16string text;
            if (static_cast<std::size_t>(index) < row.cells.size() && m_textFont != nullptr) {
                const std::u16string& whole = row.cells[static_cast<std::size_t>(index)];
                const std::int32_t room = Width(CellTextRect(row, index, cell));
                if (std::lround(m_textFont->Advance(whole)) > room) {
                    text = whole;
                }
            }
            return {index, cell, text};
        }
        left += width;
    }
    return {-1, rowRect, {}};
}

void ReportListCore::PaintRow(backend::Painter& painter, const ListRowPaint& paint) {
    PaintRowHighlight(painter, paint);
    if (m_textFont == nullptr) {
        return;
    }
    const ListColours& colours = PaintColours();
    const Row& row = m_rows[static_cast<std::size_t>(paint.row)];
    const std::int32_t viewWidth = ViewSize().x;
    std::int32_t left = paint.rect.left;
    for (std::int32_t index = 0; index < ColumnCount(); ++index) {
        const ReportColumn& column = m_columns[static_cast<std::size_t>(index)];
        const ExRect cell{left, paint.rect.top, left + column.width, paint.rect.bottom};
        left += column.width;
        if (cell.right <= 0 || cell.left >= viewWidth || column.width == 0) {
            continue;
        }
        const ExRect inner = CellTextRect(row, index, cell);
        if (index == 0 && row.image != NoImage && Host() != nullptr) {
            if (const auto image = Host()->RowImage(row.image)) {
                painter.DrawImage(*image, RectFOf(ImageRect(*image, cell)));
            }
        }
        if (static_cast<std::size_t>(index) < row.cells.size() && Width(inner) > 0) {
            const ExArgb colour = Visible(row.textColour)      ? row.textColour
                                  : Visible(column.textColour) ? column.textColour
                                                               : colours.text;
            painter.DrawFormattedText(*m_textFont, colour,
                                      row.cells[static_cast<std::size_t>(index)],
                                      CellFormat(column.textFormat, false), RectFOf(inner));
        }
        if (m_verticalLines) {
            painter.FillRect(RectFOf(ExRect{cell.right - 1, cell.top, cell.right, cell.bottom}),
                             colours.lines);
        }
    }
    if (m_horizontalLines) {
        painter.FillRect(RectFOf(ExRect{paint.rect.left, paint.rect.bottom - 1, paint.rect.right,
                                        paint.rect.bottom}),
                         colours.lines);
    }
}

std::int32_t ReportListCore::ContentWidth() const {
    std::int64_t width = 0;
    for (const ReportColumn& column : m_columns) {
        width += column.width;
    }
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(width, std::int64_t{MaxColumnWidth} * 16));
}

void ReportListCore::ContentChanged() {
    UpdateScrollRanges();
    InvalidateHeader();
    InvalidateView();
}

void ReportListCore::RowsChanged() {
    UpdateScrollRanges();
    InvalidateView();
}

}  // namespace exdui
