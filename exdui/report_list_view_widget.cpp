#include "report_list_view_widget.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>

#include "backend/qt/qt_convert.h"
#include "backend/qt/qt_font.h"
#include "backend/qt/qt_native_view.h"
#include "backend/qt/qt_painter.h"

namespace exdui {

using backend::qt::ToExRect;
using backend::qt::ToQRect;
using backend::qt::ToRectF;
using backend::qt::ViewOf;

namespace {

constexpr int CellPadding = 4;
constexpr int EdgeGrip = 4;  // pixels either side of a column edge that start a resize
constexpr int SortArrowWidth = 8;

// A small filled triangle at the right of a title, vertically centred.
void PaintSortArrow(backend::Painter& painter, const QRect& inner, bool ascending, ExArgb colour) {
    const int right = inner.right();
    const int middle = inner.center().y();
    const int half = SortArrowWidth / 2;
    const int tip = ascending ? middle - half / 2 - 1 : middle + half / 2 + 1;
    const int base = ascending ? middle + half / 2 + 1 : middle - half / 2 - 1;
    auto at = [](int x, int y) { return PointF{static_cast<float>(x), static_cast<float>(y)}; };
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

// Where a row image of size goes in cell: at its left, centred upright, and
// scaled down to the cell's height when taller.
QRect ImageRect(QSize size, const QRect& cell) {
    if (size.height() > cell.height()) {
        size.scale(size.width(), cell.height(), Qt::KeepAspectRatio);
    }
    return {cell.left() + CellPadding, cell.top() + (cell.height() - size.height()) / 2,
            size.width(), size.height()};
}

}  // namespace

// The column titles above the rows. It lives in the scroll area's top margin
// and follows the horizontal scroll; dragging a column's right edge resizes
// the column.
class ReportListHeader : public QWidget {
  public:
    explicit ReportListHeader(ReportListWidget* list) : QWidget(list), m_list(list) {
        setMouseTracking(true);
    }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter qpainter(this);
        backend::qt::QtPainter painter(qpainter);
        m_list->PaintHeader(painter, rect());
    }

    void mousePressEvent(QMouseEvent* event) override {
        const int x = event->position().toPoint().x();
        const bool left = event->button() == Qt::LeftButton;
        m_dragging = left ? m_list->ColumnEdgeAt(x) : -1;
        // A press on an edge resizes; elsewhere on a title it may be a click.
        m_pressed = left && m_dragging < 0 ? m_list->ColumnAt(x) : -1;
        event->accept();
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        const int x = event->position().toPoint().x();
        if (m_dragging >= 0) {
            m_list->SetColumnWidth(m_dragging, x - m_list->ColumnLeft(m_dragging));
        } else {
            setCursor(m_list->ColumnEdgeAt(x) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
        }
        event->accept();
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        const std::int32_t pressed = m_pressed;
        m_dragging = -1;
        m_pressed = -1;
        event->accept();
        // Released on the title it was pressed on: the owner hears of it last,
        // as it may refill the list.
        if (event->button() == Qt::LeftButton && pressed >= 0 &&
            m_list->ColumnAt(event->position().toPoint().x()) == pressed) {
            m_list->ColumnClicked(pressed);
        }
    }

  private:
    ReportListWidget* m_list;
    std::int32_t m_dragging = -1;
    std::int32_t m_pressed = -1;  // The title a left press landed on.
};

ReportListWidget::ReportListWidget(QWidget* parent)
    : ListViewWidget(parent),
      m_header(new ReportListHeader(this)),
      m_textFont(backend::qt::WrapFont(font())) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    UpdateHeaderHeight();
}

std::int32_t ReportListWidget::InsertColumn(std::int32_t before, ReportColumn column) {
    if (before < 0 || before > ColumnCount()) {
        before = ColumnCount();
    }
    column.width = std::clamp(column.width, MinColumnWidth, MaxColumnWidth);
    m_columns.insert(m_columns.begin() + before, std::move(column));
    // Cells move with their column.
    for (Row& row : m_rows) {
        if (static_cast<std::size_t>(before) < row.cells.size()) {
            row.cells.insert(row.cells.begin() + before, QString());
        }
    }
    ContentChanged();
    return before;
}

const ReportColumn* ReportListWidget::Column(std::int32_t column) const {
    if (column < 0 || column >= ColumnCount()) {
        return nullptr;
    }
    return &m_columns[static_cast<std::size_t>(column)];
}

bool ReportListWidget::SetColumnWidth(std::int32_t column, std::int32_t width) {
    if (column < 0 || column >= ColumnCount()) {
        return false;
    }
    m_columns[static_cast<std::size_t>(column)].width =
        std::clamp(width, MinColumnWidth, MaxColumnWidth);
    ContentChanged();
    return true;
}

std::int32_t ReportListWidget::InsertRow(std::int32_t before, std::int32_t image) {
    if (before < 0 || before > RowCount()) {
        before = RowCount();
    }
    Row row;
    row.image = image < 0 ? NoImage : image;
    m_rows.insert(m_rows.begin() + before, std::move(row));
    MutableSelection().InsertRow(before);
    UpdateScrollRanges();
    viewport()->update();
    return before;
}

std::int32_t ReportListWidget::AppendRows(std::vector<ReportRow> rows) {
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
    UpdateScrollRanges();
    viewport()->update();
    return first;
}

bool ReportListWidget::RemoveRow(std::int32_t row) {
    if (row < 0 || row >= RowCount()) {
        return false;
    }
    m_rows.erase(m_rows.begin() + row);
    MutableSelection().RemoveRow(row);
    UpdateScrollRanges();
    viewport()->update();
    return true;
}

std::int32_t ReportListWidget::RemoveRows(std::span<const std::int32_t> rows) {
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
    UpdateScrollRanges();
    viewport()->update();
    return static_cast<std::int32_t>(valid.size());
}

void ReportListWidget::RemoveAllRows() {
    m_rows.clear();
    MutableSelection().SetCount(0);
    UpdateScrollRanges();
    viewport()->update();
}

bool ReportListWidget::SetCell(std::int32_t row, std::int32_t column, const QString& text) {
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) {
        return false;
    }
    std::vector<QString>& cells = m_rows[static_cast<std::size_t>(row)].cells;
    if (cells.size() <= static_cast<std::size_t>(column)) {
        cells.resize(static_cast<std::size_t>(column) + 1);
    }
    cells[static_cast<std::size_t>(column)] = text;
    UpdateRow(row);
    return true;
}

QString ReportListWidget::Cell(std::int32_t row, std::int32_t column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) {
        return {};
    }
    const std::vector<QString>& cells = m_rows[static_cast<std::size_t>(row)].cells;
    if (static_cast<std::size_t>(column) >= cells.size()) {
        return QLatin1String("");  // an existing cell that was never written: empty, not null
    }
    return cells[static_cast<std::size_t>(column)];
}

bool ReportListWidget::SetRowImage(std::int32_t row, std::int32_t image) {
    if (row < 0 || row >= RowCount()) {
        return false;
    }
    m_rows[static_cast<std::size_t>(row)].image = image < 0 ? NoImage : image;
    UpdateRow(row);
    return true;
}

std::int32_t ReportListWidget::RowImage(std::int32_t row) const {
    if (row < 0 || row >= RowCount()) {
        return NoImage;
    }
    return m_rows[static_cast<std::size_t>(row)].image;
}

void ReportListWidget::SetGridLines(bool horizontal, bool vertical) {
    m_horizontalLines = horizontal;
    m_verticalLines = vertical;
    viewport()->update();
}

bool ReportListWidget::SetSortMark(std::int32_t column, bool ascending) {
    if (column >= ColumnCount()) {
        return false;
    }
    m_sortColumn = column < 0 ? -1 : column;
    m_sortAscending = ascending;
    m_header->update();
    return true;
}

void ReportListWidget::RepaintAll() {
    viewport()->update();
    m_header->update();
}

void ReportListWidget::PaintHeader(backend::Painter& painter, const QRect& rect) {
    const ListColours colours = Colours();
    painter.FillRect(ToRectF(rect), colours.headerBackground);
    int left = -HorizontalOffset();
    for (std::int32_t index = 0; index < ColumnCount(); ++index) {
        const ReportColumn& column = m_columns[static_cast<std::size_t>(index)];
        const QRect cell(left, rect.top(), column.width, rect.height());
        left += column.width;
        if (cell.right() < rect.left() || cell.width() <= 2 * CellPadding) {
            continue;
        }
        QRect inner = cell.adjusted(CellPadding, 0, -CellPadding, 0);
        if (index == m_sortColumn && inner.width() > 2 * SortArrowWidth) {
            PaintSortArrow(painter, inner, m_sortAscending, colours.headerText);
            inner.setRight(inner.right() - SortArrowWidth - CellPadding);
        }
        painter.DrawFormattedText(*m_textFont, colours.headerText, ViewOf(column.title),
                                  CellFormat(column.textFormat, true), ToRectF(inner));
        painter.FillRect(ToRectF(QRect(cell.right(), rect.top() + 4, 1, rect.height() - 8)),
                         colours.lines);
    }
}

std::int32_t ReportListWidget::ColumnAt(int x) const {
    int left = -HorizontalOffset();
    for (std::int32_t column = 0; column < ColumnCount(); ++column) {
        const int right = left + m_columns[static_cast<std::size_t>(column)].width;
        if (x >= left && x < right) {
            return column;
        }
        left = right;
    }
    return -1;
}

void ReportListWidget::ColumnClicked(std::int32_t column) {
    if (Host() != nullptr) {
        Host()->ColumnClick(column);
    }
}

std::int32_t ReportListWidget::ColumnEdgeAt(int x) const {
    int edge = -HorizontalOffset();
    for (std::int32_t column = 0; column < ColumnCount(); ++column) {
        edge += m_columns[static_cast<std::size_t>(column)].width;
        if (x >= edge - EdgeGrip && x <= edge + EdgeGrip) {
            return column;
        }
    }
    return -1;
}

int ReportListWidget::ColumnLeft(std::int32_t column) const {
    int left = -HorizontalOffset();
    for (std::int32_t i = 0; i < column && i < ColumnCount(); ++i) {
        left += m_columns[static_cast<std::size_t>(i)].width;
    }
    return left;
}

QRect ReportListWidget::CellTextRect(const Row& row, std::int32_t column, const QRect& cell) {
    QRect inner = cell.adjusted(CellPadding, 0, -CellPadding, 0);
    if (column == 0 && row.image != NoImage && Host() != nullptr) {
        if (const auto image = Host()->RowImage(row.image)) {
            inner.setLeft(ImageRect(QSize(image->Width(), image->Height()), cell).right() + 1 +
                          CellPadding);
        }
    }
    return inner;
}

ListTip ReportListWidget::RowTipAt(std::int32_t rowIndex, ExPoint pos) {
    const QRect rowRect = ToQRect(RowRect(rowIndex));
    int left = rowRect.left();
    for (std::int32_t index = 0; index < ColumnCount(); ++index) {
        const int width = m_columns[static_cast<std::size_t>(index)].width;
        if (pos.x >= left && pos.x < left + width) {
            const QRect cell(left, rowRect.top(), width, rowRect.height());
            const Row& row = m_rows[static_cast<std::size_t>(rowIndex)];
            QString text;
            if (static_cast<std::size_t>(index) < row.cells.size()) {
                const QString& whole = row.cells[static_cast<std::size_t>(index)];
                const int room = CellTextRect(row, index, cell).width();
                if (fontMetrics().horizontalAdvance(whole) > room) {
                    text = whole;
                }
            }
            return {index, ToExRect(cell), text.toStdU16String()};
        }
        left += width;
    }
    return {-1, ToExRect(rowRect), {}};
}

void ReportListWidget::PaintRow(backend::Painter& painter, const ListRowPaint& paint) {
    PaintRowHighlight(painter, paint);
    const ListColours& colours = PaintColours();
    const Row& row = m_rows[static_cast<std::size_t>(paint.row)];
    const QRect clip = viewport()->rect();
    const QRect rowRect = ToQRect(paint.rect);
    int left = rowRect.left();
    for (std::int32_t index = 0; index < ColumnCount(); ++index) {
        const ReportColumn& column = m_columns[static_cast<std::size_t>(index)];
        const QRect cell(left, rowRect.top(), column.width, rowRect.height());
        left += column.width;
        if (cell.right() < clip.left() || cell.left() > clip.right() || cell.width() == 0) {
            continue;
        }
        const QRect inner = CellTextRect(row, index, cell);
        if (index == 0 && row.image != NoImage && Host() != nullptr) {
            if (const auto image = Host()->RowImage(row.image)) {
                const QRect target = ImageRect(QSize(image->Width(), image->Height()), cell);
                painter.DrawImage(*image, ToRectF(target));
            }
        }
        if (static_cast<std::size_t>(index) < row.cells.size() && inner.width() > 0) {
            const ExArgb colour = Visible(row.textColour)      ? row.textColour
                                  : Visible(column.textColour) ? column.textColour
                                                               : colours.text;
            painter.DrawFormattedText(*m_textFont, colour,
                                      ViewOf(row.cells[static_cast<std::size_t>(index)]),
                                      CellFormat(column.textFormat, false), ToRectF(inner));
        }
        if (m_verticalLines) {
            painter.FillRect(ToRectF(QRect(cell.right(), cell.top(), 1, cell.height())),
                             colours.lines);
        }
    }
    if (m_horizontalLines) {
        painter.FillRect(ToRectF(QRect(rowRect.left(), rowRect.bottom(), rowRect.width(), 1)),
                         colours.lines);
    }
}

std::int32_t ReportListWidget::ContentWidth() const {
    std::int64_t width = 0;
    for (const ReportColumn& column : m_columns) {
        width += column.width;
    }
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(width, std::int64_t{MaxColumnWidth} * 16));
}

void ReportListWidget::LayoutChanged() {
    const QRect view = viewport()->geometry();
    m_header->setGeometry(view.left(), view.top() - m_headerHeight, view.width(), m_headerHeight);
    m_header->update();
}

void ReportListWidget::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        m_textFont = backend::qt::WrapFont(font());
        UpdateHeaderHeight();
    }
    ListViewWidget::changeEvent(event);
}

void ReportListWidget::UpdateHeaderHeight() {
    m_headerHeight = std::max(24, fontMetrics().height() + 10);
    setViewportMargins(0, m_headerHeight, 0, 0);
    LayoutChanged();
}

void ReportListWidget::ContentChanged() {
    UpdateScrollRanges();
    LayoutChanged();
    viewport()->update();
}

}  // namespace exdui
