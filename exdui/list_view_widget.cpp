#include "list_view_widget.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>

#include "backend/cursor.h"
#include "backend/qt/qt_convert.h"
#include "backend/qt/qt_native_view.h"
#include "backend/qt/qt_painter.h"
#include "backend/qt/qt_tooltip.h"
#include "backend/tooltip.h"

namespace exdui {

namespace {

int ClampToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN / 2, INT_MAX / 2));
}

}  // namespace

ListViewWidget::ListViewWidget(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The list paints its own background (often translucent over the window's).
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
    horizontalScrollBar()->setSingleStep(20);
}

void ListViewWidget::SetRowCount(std::int32_t count) {
    m_selection.SetCount(count);
    UpdateScrollBars();
    if (m_mouseInside) {
        TrackHot(m_lastMouse);
    }
    viewport()->update();
}

std::int32_t ListViewWidget::RowHeight() {
    if (m_rowHeightValid || m_measuring) {
        return m_rowHeight;
    }
    // Set first: the host may send messages that ask for the height again.
    m_rowHeightValid = true;
    if (m_host != nullptr) {
        m_measuring = true;
        const std::int32_t height = m_host->MeasureRowHeight(viewport()->width(), m_rowHeight);
        m_measuring = false;
        m_rowHeight = std::clamp<std::int32_t>(height, 1, MaxRowHeight);
    }
    return m_rowHeight;
}

void ListViewWidget::SetRowHeight(std::int32_t height) {
    m_rowHeight = std::clamp<std::int32_t>(height, 1, MaxRowHeight);
    RemeasureRowHeight();
}

void ListViewWidget::RemeasureRowHeight() {
    m_rowHeightValid = false;
    RowHeight();
    UpdateScrollBars();
    viewport()->update();
}

bool ListViewWidget::SetRowState(std::int32_t row, std::uint32_t state) {
    if (!m_selection.IsValid(row)) {
        return false;
    }
    if (m_selection.SetSelected(row, (state & ListStateSelected) != 0)) {
        UpdateRow(row);
    }
    return true;
}

void ListViewWidget::SetAllSelected(bool selected) {
    const bool changed = selected ? m_selection.SelectAll() : m_selection.ClearSelection();
    if (changed) {
        viewport()->update();
    }
}

void ListViewWidget::SetSelectionMark(std::int32_t row, bool select) {
    m_selection.SetMark(row);
    if (!m_selection.IsValid(row) || !select) {
        return;
    }
    m_selection.SelectOnly(row);
    m_selection.SetAnchor(row);
    EnsureVisible(row);
    viewport()->update();
}

void ListViewWidget::EnsureVisible(std::int32_t row) {
    if (!m_selection.IsValid(row)) {
        return;
    }
    const std::int64_t height = RowHeight();
    const std::int64_t top = row * height;
    const std::int64_t current = ScrollOffset();
    if (top < current) {
        SetScrollOffset(top);
        return;
    }
    const std::int64_t bottom = top + height;
    const std::int64_t viewHeight = viewport()->height();
    if (bottom > current + viewHeight) {
        // Round up to a whole scroll step so that the row's bottom is inside,
        // unless the row is taller than the view: then show its top.
        const std::int64_t wanted = std::min(bottom - viewHeight, top);
        const std::int64_t unit = m_scrollUnit;
        const std::int64_t value = wanted == top ? top / unit : (wanted + unit - 1) / unit;
        verticalScrollBar()->setValue(ClampToInt(value));
    }
}

std::int64_t ListViewWidget::ScrollOffset() const {
    const std::int64_t offset = std::int64_t{verticalScrollBar()->value()} * m_scrollUnit;
    const std::int64_t total = std::int64_t{RowCount()} * m_rowHeight;
    return std::clamp<std::int64_t>(offset, 0,
                                    std::max<std::int64_t>(0, total - viewport()->height()));
}

void ListViewWidget::SetScrollOffset(std::int64_t offset) {
    verticalScrollBar()->setValue(ClampToInt(std::max<std::int64_t>(offset, 0) / m_scrollUnit));
}

std::int32_t ListViewWidget::RowAt(QPoint viewportPos) {
    if (viewportPos.y() < 0 || viewportPos.y() >= viewport()->height() || viewportPos.x() < 0 ||
        viewportPos.x() >= viewport()->width()) {
        return ListViewSelection::None;
    }
    const std::int64_t row = (ScrollOffset() + viewportPos.y()) / RowHeight();
    return row < RowCount() ? static_cast<std::int32_t>(row) : ListViewSelection::None;
}

QRect ListViewWidget::RowRect(std::int32_t row) {
    if (!m_selection.IsValid(row)) {
        return {};
    }
    const std::int64_t height = RowHeight();
    const int width = std::max(viewport()->width(), ContentWidth());
    return {-HorizontalOffset(), ClampToInt(row * height - ScrollOffset()), width,
            static_cast<int>(height)};
}

std::int32_t ListViewWidget::RowsPerPage() {
    return std::max(1, viewport()->height() / RowHeight());
}

void ListViewWidget::SetColours(const ListColours& colours) {
    m_colours = colours;
    viewport()->update();
}

bool ListViewWidget::MultiSelect() const {
    return m_host != nullptr ? m_host->MultiSelect(m_multiSelect) : m_multiSelect;
}

ListColours ListViewWidget::Colours() const {
    return m_host != nullptr ? m_host->Colours(m_colours) : m_colours;
}

void ListViewWidget::PaintRow(backend::Painter& painter, const ListRowPaint& row) {
    PaintRowHighlight(painter, row);
    if (m_host != nullptr) {
        m_host->DrawRow(painter, row);
    }
}

void ListViewWidget::PaintRowHighlight(backend::Painter& painter, const ListRowPaint& row) {
    if ((row.state & ListStateSelected) != 0) {
        painter.FillRect(backend::qt::ToRectF(row.rect), m_paintColours.selected);
    } else if ((row.state & ListStateHot) != 0) {
        painter.FillRect(backend::qt::ToRectF(row.rect), m_paintColours.hot);
    }
}

void ListViewWidget::UpdateScrollBars() {
    const std::int64_t height = RowHeight();
    const std::int64_t viewHeight = viewport()->height();
    const std::int64_t offset = ScrollOffset();
    const std::int64_t maxOffset = std::max<std::int64_t>(0, RowCount() * height - viewHeight);
    // A QScrollBar holds an int: past half its range, scroll by whole rows.
    const std::int64_t unit = maxOffset > INT_MAX / 2 ? height : 1;
    m_scrollUnit = static_cast<std::int32_t>(unit);
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, ClampToInt((maxOffset + unit - 1) / unit));
    bar->setSingleStep(static_cast<int>(std::max<std::int64_t>(1, height / unit)));
    bar->setPageStep(static_cast<int>(std::max<std::int64_t>(1, viewHeight / unit)));
    bar->setValue(ClampToInt(offset / unit));

    const int viewWidth = viewport()->width();
    QScrollBar* across = horizontalScrollBar();
    across->setRange(0, std::max(0, ContentWidth() - viewWidth));
    across->setPageStep(std::max(1, viewWidth));
}

void ListViewWidget::UpdateRow(std::int32_t row) {
    const QRect rect = RowRect(row);
    if (rect.intersects(viewport()->rect())) {
        viewport()->update(rect);
    }
}

std::int32_t ListViewWidget::HorizontalOffset() const {
    return horizontalScrollBar()->value();
}

void ListViewWidget::paintEvent(QPaintEvent* event) {
    QPainter qpainter(viewport());
    backend::qt::QtPainter painter(qpainter);
    const QRect dirty = event->rect();
    m_paintColours = Colours();
    if ((m_paintColours.background >> 24) != 0) {
        painter.FillRect(backend::qt::ToRectF(dirty), m_paintColours.background);
    }
    const std::int64_t height = RowHeight();
    const std::int64_t offset = ScrollOffset();
    const std::int64_t first = std::max<std::int64_t>(0, (offset + dirty.top()) / height);
    const std::int64_t last =
        std::min<std::int64_t>(RowCount() - 1, (offset + dirty.bottom()) / height);
    if (first > last) {
        return;
    }
    if (m_host != nullptr) {
        m_host->BeginDraw(painter);
    }
    const int left = -HorizontalOffset();
    const int width = std::max(viewport()->width(), ContentWidth());
    for (std::int64_t row = first; row <= last; ++row) {
        ListRowPaint paint;
        paint.row = static_cast<std::int32_t>(row);
        paint.rect =
            QRect(left, static_cast<int>(row * height - offset), width, static_cast<int>(height));
        paint.state = m_selection.State(paint.row);
        // Each row is clipped to itself: a row repainted alone (hot tracking)
        // must not leave drawing over its neighbours.
        painter.Save();
        painter.ClipRect(backend::qt::ToRectF(paint.rect));
        PaintRow(painter, paint);
        painter.Restore();
    }
    if (m_host != nullptr) {
        m_host->EndDraw(painter);
    }
}

void ListViewWidget::resizeEvent(QResizeEvent* /*event*/) {
    UpdateScrollBars();
    LayoutChanged();
}

void ListViewWidget::scrollContentsBy(int /*dx*/, int /*dy*/) {
    viewport()->update();
    LayoutChanged();
    // The row under a resting pointer changes when the rows move under it.
    if (m_mouseInside) {
        TrackHot(m_lastMouse);
    }
}

ListTip ListViewWidget::TipAt(std::int32_t row, QPoint /*pos*/) {
    return {-1, RowRect(row), {}};
}

bool ListViewWidget::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave) {
        ClearHot();
    }
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const std::int32_t row = RowAt(help->pos());
        if (row != ListViewSelection::None) {
            ListTip tip = TipAt(row, help->pos());
            if (m_host != nullptr) {
                tip.text = m_host->RowTip(row, tip);
            }
            if (!tip.text.isEmpty()) {
                const QPoint at = help->globalPos();
                backend::ShowTooltip(backend::qt::ToNativeView(viewport()), ExPoint{at.x(), at.y()},
                                     tip.text.toStdU16String(), backend::qt::ToExRect(tip.area));
                return true;
            }
        }
        // Nothing of the row's own: the object's tooltip, if any, shows.
        backend::HideTooltip();
        event->ignore();
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void ListViewWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    TrackHot(pos);
    const std::int32_t row = RowAt(pos);
    if (event->button() == Qt::LeftButton) {
        const bool plain = (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) == 0;
        m_clickOnRelease = ListViewSelection::None;
        if (plain && row != ListViewSelection::None && m_selection.IsSelected(row) &&
            m_selection.SelectedCount() > 1) {
            // As in a Windows list view: the selection stays until the release.
            m_clickOnRelease = row;
            m_selection.SetMark(row);
        } else {
            ClickRow(row, event->modifiers());
        }
        const bool canDrag = row != ListViewSelection::None && m_selection.IsSelected(row);
        m_dragRow = canDrag ? row : ListViewSelection::None;
        m_dragFrom = pos;
        Notify(ListRowEvent::Click, row, pos);
    } else if (event->button() == Qt::RightButton) {
        // As in a Windows list view: a right press on an unselected row selects
        // it alone, on a selected row it keeps the selection.
        m_rightPressed = true;
        if (row != ListViewSelection::None) {
            if (!m_selection.IsSelected(row)) {
                m_selection.SelectOnly(row);
                m_selection.SetAnchor(row);
                viewport()->update();
            }
            m_selection.SetMark(row);
        }
    }
    event->accept();
}

void ListViewWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const std::int32_t row = m_clickOnRelease;
        m_clickOnRelease = ListViewSelection::None;
        m_dragRow = ListViewSelection::None;
        if (row != ListViewSelection::None && m_selection.IsValid(row)) {
            ClickRow(row, event->modifiers());
        }
    }
    if (event->button() == Qt::RightButton && m_rightPressed) {
        m_rightPressed = false;
        const QPoint pos = event->position().toPoint();
        Notify(ListRowEvent::RightClick, RowAt(pos), pos);
    }
    event->accept();
}

void ListViewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    const std::int32_t row = RowAt(pos);
    // A drag starts from a single press, not from the second press of a
    // double-click.
    m_dragRow = ListViewSelection::None;
    m_clickOnRelease = ListViewSelection::None;
    ClickRow(row, event->modifiers());
    // A double-click on the empty area would otherwise act on a row the user
    // never pointed at (the old selection mark).
    if (row != ListViewSelection::None) {
        Notify(ListRowEvent::DoubleClick, row, pos);
    }
    event->accept();
}

void ListViewWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    TrackHot(pos);
    event->accept();
    if (m_dragRow == ListViewSelection::None || (event->buttons() & Qt::LeftButton) == 0 ||
        (pos - m_dragFrom).manhattanLength() < backend::DragDistance()) {
        return;
    }
    // The drag keeps the selection as it is; the owner's drag (a nested event
    // loop) takes the release, so nothing is left pending for it.
    const std::int32_t row = m_dragRow;
    m_dragRow = ListViewSelection::None;
    m_clickOnRelease = ListViewSelection::None;
    Notify(ListRowEvent::BeginDrag, row, m_dragFrom);
}

void ListViewWidget::keyPressEvent(QKeyEvent* event) {
    const std::int32_t count = RowCount();
    const std::int32_t mark = m_selection.Mark();
    const std::int32_t page = RowsPerPage();
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    const bool multi = MultiSelect();
    std::int64_t target = 0;
    switch (event->key()) {
        case Qt::Key_Up:
            target = mark == ListViewSelection::None ? 0 : std::int64_t{mark} - 1;
            break;
        case Qt::Key_Down:
            target = mark == ListViewSelection::None ? 0 : std::int64_t{mark} + 1;
            break;
        case Qt::Key_PageUp:
            target = std::int64_t{std::max(mark, 0)} - page;
            break;
        case Qt::Key_PageDown:
            target = std::int64_t{std::max(mark, 0)} + page;
            break;
        case Qt::Key_Home:
            target = 0;
            break;
        case Qt::Key_End:
            target = std::int64_t{count} - 1;
            break;
        case Qt::Key_Space:
            if (ctrl && multi && mark != ListViewSelection::None) {
                m_selection.SetSelected(mark, !m_selection.IsSelected(mark));
                UpdateRow(mark);
                event->accept();
                return;
            }
            QAbstractScrollArea::keyPressEvent(event);
            return;
        case Qt::Key_A:
            if (ctrl && multi) {
                SetAllSelected(true);
                event->accept();
                return;
            }
            QAbstractScrollArea::keyPressEvent(event);
            return;
        default:
            QAbstractScrollArea::keyPressEvent(event);
            return;
    }
    event->accept();
    if (count > 0) {
        MoveByKey(static_cast<std::int32_t>(std::clamp<std::int64_t>(target, 0, count - 1)),
                  event->modifiers());
    }
}

void ListViewWidget::ClickRow(std::int32_t row, Qt::KeyboardModifiers modifiers) {
    const bool ctrl = (modifiers & Qt::ControlModifier) != 0;
    const bool shift = (modifiers & Qt::ShiftModifier) != 0;
    const bool multi = MultiSelect();
    if (row == ListViewSelection::None) {
        // The empty area clears the selection; the mark stays where it was.
        if (!ctrl && m_selection.ClearSelection()) {
            viewport()->update();
        }
        return;
    }
    if (multi && shift) {
        std::int32_t anchor = m_selection.Anchor();
        if (anchor == ListViewSelection::None) {
            anchor = m_selection.Mark() != ListViewSelection::None ? m_selection.Mark() : row;
        }
        if (!ctrl) {
            m_selection.ClearSelection();
        }
        m_selection.SelectRange(anchor, row);
        m_selection.SetAnchor(anchor);
    } else if (multi && ctrl) {
        m_selection.SetSelected(row, !m_selection.IsSelected(row));
        m_selection.SetAnchor(row);
    } else {
        m_selection.SelectOnly(row);
        m_selection.SetAnchor(row);
    }
    m_selection.SetMark(row);
    EnsureVisible(row);
    viewport()->update();
}

void ListViewWidget::MoveByKey(std::int32_t target, Qt::KeyboardModifiers modifiers) {
    const bool ctrl = (modifiers & Qt::ControlModifier) != 0;
    const bool shift = (modifiers & Qt::ShiftModifier) != 0;
    const bool multi = MultiSelect();
    if (multi && shift) {
        std::int32_t anchor = m_selection.Anchor();
        if (anchor == ListViewSelection::None) {
            anchor = m_selection.Mark() != ListViewSelection::None ? m_selection.Mark() : target;
        }
        if (!ctrl) {
            m_selection.ClearSelection();
        }
        m_selection.SelectRange(anchor, target);
        m_selection.SetAnchor(anchor);
    } else if (!(multi && ctrl)) {
        m_selection.SelectOnly(target);
        m_selection.SetAnchor(target);
    }
    // Ctrl alone moves only the mark, as in a Windows list view.
    m_selection.SetMark(target);
    EnsureVisible(target);
    viewport()->update();
}

void ListViewWidget::TrackHot(QPoint viewportPos) {
    m_mouseInside = true;
    m_lastMouse = viewportPos;
    const std::int32_t row = RowAt(viewportPos);
    const std::int32_t old = m_selection.Hot();
    if (row == old) {
        return;
    }
    m_selection.SetHot(row);
    UpdateRow(old);
    UpdateRow(row);
}

void ListViewWidget::ClearHot() {
    m_mouseInside = false;
    const std::int32_t old = m_selection.Hot();
    m_selection.SetHot(ListViewSelection::None);
    UpdateRow(old);
}

void ListViewWidget::Notify(ListRowEvent what, std::int32_t row, QPoint pos) {
    if (m_host != nullptr) {
        m_host->RowEvent(what, row, pos);
    }
}

}  // namespace exdui
