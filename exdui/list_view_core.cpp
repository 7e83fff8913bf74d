#include "list_view_core.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "backend/cursor.h"

namespace exdui {

namespace {

std::int32_t ClampToInt(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT_MIN / 2, INT_MAX / 2));
}

bool Intersects(const ExRect& a, const ExRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom &&
           a.left < a.right && a.top < a.bottom;
}

}  // namespace

ExPoint ListViewCore::ViewSize() const {
    return m_surface != nullptr ? m_surface->ViewSize() : ExPoint{0, 0};
}

void ListViewCore::InvalidateView() {
    if (m_surface != nullptr) {
        m_surface->InvalidateView();
    }
}

void ListViewCore::InvalidateHeader() {
    if (m_surface != nullptr) {
        m_surface->InvalidateHeader();
    }
}

void ListViewCore::InvalidateRect(const ExRect& rect) {
    if (m_surface != nullptr) {
        m_surface->InvalidateRect(rect);
    }
}

void ListViewCore::ScrollRangeChanged() {
    if (m_surface != nullptr) {
        m_surface->ScrollRangeChanged();
    }
}

void ListViewCore::SetRowCount(std::int32_t count) {
    m_selection.SetCount(count);
    UpdateScrollRanges();
    if (m_mouseInside) {
        TrackHot(m_lastMouse);
    }
    InvalidateView();
}

std::int32_t ListViewCore::RowHeight() {
    if (m_rowHeightValid || m_measuring) {
        return m_rowHeight;
    }
    // Set first: the host may send messages that ask for the height again.
    m_rowHeightValid = true;
    if (m_host != nullptr) {
        m_measuring = true;
        const std::int32_t height = m_host->MeasureRowHeight(ViewSize().x, m_rowHeight);
        m_measuring = false;
        m_rowHeight = std::clamp<std::int32_t>(height, 1, MaxRowHeight);
    }
    return m_rowHeight;
}

void ListViewCore::SetRowHeight(std::int32_t height) {
    m_rowHeight = std::clamp<std::int32_t>(height, 1, MaxRowHeight);
    RemeasureRowHeight();
}

void ListViewCore::RemeasureRowHeight() {
    m_rowHeightValid = false;
    RowHeight();
    UpdateScrollRanges();
    InvalidateView();
}

bool ListViewCore::SetRowState(std::int32_t row, std::uint32_t state) {
    if (!m_selection.IsValid(row)) {
        return false;
    }
    if (m_selection.SetSelected(row, (state & ListStateSelected) != 0)) {
        UpdateRow(row);
    }
    return true;
}

void ListViewCore::SetAllSelected(bool selected) {
    const bool changed = selected ? m_selection.SelectAll() : m_selection.ClearSelection();
    if (changed) {
        InvalidateView();
    }
}

void ListViewCore::SetSelectionMark(std::int32_t row, bool select) {
    m_selection.SetMark(row);
    if (!m_selection.IsValid(row) || !select) {
        return;
    }
    m_selection.SelectOnly(row);
    m_selection.SetAnchor(row);
    EnsureVisible(row);
    InvalidateView();
}

void ListViewCore::EnsureVisible(std::int32_t row) {
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
    const std::int64_t viewHeight = ViewSize().y;
    if (bottom > current + viewHeight) {
        // Round up to a whole scroll step so that the row's bottom is inside,
        // unless the row is taller than the view: then show its top.
        const std::int64_t wanted = std::min(bottom - viewHeight, top);
        const std::int64_t unit = m_scrollUnit;
        const std::int64_t value = wanted == top ? top / unit : (wanted + unit - 1) / unit;
        SetVerticalValue(ClampToInt(value));
    }
}

std::int64_t ListViewCore::ScrollOffset() const {
    const std::int64_t offset = std::int64_t{m_vertical.value} * m_scrollUnit;
    const std::int64_t total = std::int64_t{RowCount()} * m_rowHeight;
    return std::clamp<std::int64_t>(offset, 0, std::max<std::int64_t>(0, total - ViewSize().y));
}

void ListViewCore::SetScrollOffset(std::int64_t offset) {
    SetVerticalValue(ClampToInt(std::max<std::int64_t>(offset, 0) / m_scrollUnit));
}

void ListViewCore::SetVerticalValue(std::int32_t value) {
    if (m_vertical.SetValue(value)) {
        ScrollRangeChanged();
        Scrolled();
    }
}

void ListViewCore::SetScrollValues(std::int32_t vertical, std::int32_t horizontal) {
    const bool down = m_vertical.SetValue(vertical);
    const bool across = m_horizontal.SetValue(horizontal);
    if (down || across) {
        Scrolled();
    }
}

std::int32_t ListViewCore::RowAt(ExPoint viewPos) {
    const ExPoint size = ViewSize();
    if (viewPos.y < 0 || viewPos.y >= size.y || viewPos.x < 0 || viewPos.x >= size.x) {
        return ListViewSelection::None;
    }
    const std::int64_t row = (ScrollOffset() + viewPos.y) / RowHeight();
    return row < RowCount() ? static_cast<std::int32_t>(row) : ListViewSelection::None;
}

ExRect ListViewCore::RowRect(std::int32_t row) {
    if (!m_selection.IsValid(row)) {
        return {};
    }
    const std::int64_t height = RowHeight();
    const std::int32_t width = std::max(ViewSize().x, ContentWidth());
    const std::int32_t left = -HorizontalOffset();
    const std::int32_t top = ClampToInt(row * height - ScrollOffset());
    return {left, top, left + width, top + static_cast<std::int32_t>(height)};
}

std::int32_t ListViewCore::RowsPerPage() {
    return std::max(1, ViewSize().y / RowHeight());
}

void ListViewCore::SetColours(const ListColours& colours) {
    m_colours = colours;
    InvalidateView();
}

bool ListViewCore::MultiSelect() const {
    return m_host != nullptr ? m_host->MultiSelect(m_multiSelect) : m_multiSelect;
}

ListColours ListViewCore::Colours() const {
    return m_host != nullptr ? m_host->Colours(m_colours) : m_colours;
}

void ListViewCore::PaintRow(backend::Painter& painter, const ListRowPaint& row) {
    PaintRowHighlight(painter, row);
    if (m_host != nullptr) {
        m_host->DrawRow(painter, row);
    }
}

void ListViewCore::PaintRowHighlight(backend::Painter& painter, const ListRowPaint& row) {
    if ((row.state & ListStateSelected) != 0) {
        painter.FillRect(RectFOf(row.rect), m_paintColours.selected);
    } else if ((row.state & ListStateHot) != 0) {
        painter.FillRect(RectFOf(row.rect), m_paintColours.hot);
    }
}

void ListViewCore::UpdateScrollRanges() {
    const std::int64_t height = RowHeight();
    const ExPoint size = ViewSize();
    const std::int64_t viewHeight = size.y;
    const std::int64_t offset = ScrollOffset();
    const std::int64_t maxOffset = std::max<std::int64_t>(0, RowCount() * height - viewHeight);
    // A scroll bar holds an int: past half its range, scroll by whole rows.
    const std::int64_t unit = maxOffset > INT_MAX / 2 ? height : 1;
    m_scrollUnit = static_cast<std::int32_t>(unit);
    m_vertical.maximum = ClampToInt((maxOffset + unit - 1) / unit);
    m_vertical.singleStep = static_cast<std::int32_t>(std::max<std::int64_t>(1, height / unit));
    m_vertical.pageStep = static_cast<std::int32_t>(std::max<std::int64_t>(1, viewHeight / unit));
    bool moved = m_vertical.SetValue(ClampToInt(offset / unit));

    m_horizontal.maximum = std::max(0, ContentWidth() - size.x);
    m_horizontal.pageStep = std::max(1, size.x);
    moved = m_horizontal.SetValue(m_horizontal.value) || moved;
    ScrollRangeChanged();
    if (moved) {
        Scrolled();
    }
}

void ListViewCore::UpdateRow(std::int32_t row) {
    const ExRect rect = RowRect(row);
    const ExPoint size = ViewSize();
    if (Intersects(rect, ExRect{0, 0, size.x, size.y})) {
        InvalidateRect(rect);
    }
}

void ListViewCore::Scrolled() {
    InvalidateView();
    // The row under a resting pointer changes when the rows move under it.
    if (m_mouseInside) {
        TrackHot(m_lastMouse);
    }
}

void ListViewCore::Paint(backend::Painter& painter, const ExRect& dirty) {
    m_paintColours = Colours();
    if ((m_paintColours.background >> 24) != 0) {
        painter.FillRect(RectFOf(dirty), m_paintColours.background);
    }
    const std::int64_t height = RowHeight();
    const std::int64_t offset = ScrollOffset();
    const std::int64_t first = std::max<std::int64_t>(0, (offset + dirty.top) / height);
    const std::int64_t last =
        std::min<std::int64_t>(RowCount() - 1, (offset + dirty.bottom - 1) / height);
    if (first > last) {
        return;
    }
    if (m_host != nullptr) {
        m_host->BeginDraw(painter);
    }
    const std::int32_t left = -HorizontalOffset();
    const std::int32_t width = std::max(ViewSize().x, ContentWidth());
    for (std::int64_t row = first; row <= last; ++row) {
        ListRowPaint paint;
        paint.row = static_cast<std::int32_t>(row);
        const auto top = static_cast<std::int32_t>(row * height - offset);
        paint.rect = ExRect{left, top, left + width, top + static_cast<std::int32_t>(height)};
        paint.state = m_selection.State(paint.row);
        // Each row is clipped to itself: a row repainted alone (hot tracking)
        // must not leave drawing over its neighbours.
        painter.Save();
        painter.ClipRect(RectFOf(paint.rect));
        PaintRow(painter, paint);
        painter.Restore();
    }
    if (m_host != nullptr) {
        m_host->EndDraw(painter);
    }
}

ListTip ListViewCore::RowTipAt(std::int32_t row, ExPoint /*pos*/) {
    return {-1, RowRect(row), {}};
}

ListTip ListViewCore::TipAt(ExPoint pos) {
    const std::int32_t row = RowAt(pos);
    if (row == ListViewSelection::None) {
        return {};
    }
    ListTip tip = RowTipAt(row, pos);
    if (m_host != nullptr) {
        tip.text = m_host->RowTip(row, tip);
    }
    return tip;
}

void ListViewCore::MouseDown(std::int32_t button, ExPoint pos, std::int32_t modifiers) {
    TrackHot(pos);
    const std::int32_t row = RowAt(pos);
    if (button == EX_MK_LBUTTON) {
        const bool plain = (modifiers & (EX_MK_CONTROL | EX_MK_SHIFT)) == 0;
        m_clickOnRelease = ListViewSelection::None;
        if (plain && row != ListViewSelection::None && m_selection.IsSelected(row) &&
            m_selection.SelectedCount() > 1) {
            // As in a Windows list view: the selection stays until the release.
            m_clickOnRelease = row;
            m_selection.SetMark(row);
        } else {
            ClickRow(row, modifiers);
        }
        const bool canDrag = row != ListViewSelection::None && m_selection.IsSelected(row);
        m_dragRow = canDrag ? row : ListViewSelection::None;
        m_dragFrom = pos;
        Notify(ListRowEvent::Click, row, pos);
    } else if (button == EX_MK_RBUTTON) {
        // As in a Windows list view: a right press on an unselected row selects
        // it alone, on a selected row it keeps the selection.
        m_rightPressed = true;
        if (row != ListViewSelection::None) {
            if (!m_selection.IsSelected(row)) {
                m_selection.SelectOnly(row);
                m_selection.SetAnchor(row);
                InvalidateView();
            }
            m_selection.SetMark(row);
        }
    }
}

void ListViewCore::MouseUp(std::int32_t button, ExPoint pos, std::int32_t modifiers) {
    if (button == EX_MK_LBUTTON) {
        const std::int32_t row = m_clickOnRelease;
        m_clickOnRelease = ListViewSelection::None;
        m_dragRow = ListViewSelection::None;
        if (row != ListViewSelection::None && m_selection.IsValid(row)) {
            ClickRow(row, modifiers);
        }
    } else if (button == EX_MK_RBUTTON && m_rightPressed) {
        m_rightPressed = false;
        Notify(ListRowEvent::RightClick, RowAt(pos), pos);
    }
}

void ListViewCore::MouseDoubleClick(ExPoint pos, std::int32_t modifiers) {
    const std::int32_t row = RowAt(pos);
    // A drag starts from a single press, not from the second press of a
    // double-click.
    m_dragRow = ListViewSelection::None;
    m_clickOnRelease = ListViewSelection::None;
    ClickRow(row, modifiers);
    // A double-click on the empty area would otherwise act on a row the user
    // never pointed at (the old selection mark).
    if (row != ListViewSelection::None) {
        Notify(ListRowEvent::DoubleClick, row, pos);
    }
}

void ListViewCore::MouseMove(ExPoint pos, std::int32_t modifiers) {
    TrackHot(pos);
    if (m_dragRow == ListViewSelection::None || (modifiers & EX_MK_LBUTTON) == 0 ||
        std::abs(pos.x - m_dragFrom.x) + std::abs(pos.y - m_dragFrom.y) < backend::DragDistance()) {
        return;
    }
    // The drag keeps the selection as it is; the owner's drag (a nested event
    // loop) takes the release, so nothing is left pending for it.
    const std::int32_t row = m_dragRow;
    m_dragRow = ListViewSelection::None;
    m_clickOnRelease = ListViewSelection::None;
    Notify(ListRowEvent::BeginDrag, row, m_dragFrom);
}

void ListViewCore::MouseLeave() {
    ClearHot();
}

bool ListViewCore::KeyDown(std::int32_t key, std::int32_t modifiers) {
    const std::int32_t count = RowCount();
    const std::int32_t mark = m_selection.Mark();
    const std::int32_t page = RowsPerPage();
    const bool ctrl = (modifiers & EX_MK_CONTROL) != 0;
    const bool multi = MultiSelect();
    std::int64_t target = 0;
    switch (key) {
        case EX_VK_UP:
            target = mark == ListViewSelection::None ? 0 : std::int64_t{mark} - 1;
            break;
        case EX_VK_DOWN:
            target = mark == ListViewSelection::None ? 0 : std::int64_t{mark} + 1;
            break;
        case EX_VK_PRIOR:
            target = std::int64_t{std::max(mark, 0)} - page;
            break;
        case EX_VK_NEXT:
            target = std::int64_t{std::max(mark, 0)} + page;
            break;
        case EX_VK_HOME:
            target = 0;
            break;
        case EX_VK_END:
            target = std::int64_t{count} - 1;
            break;
        case EX_VK_SPACE:
            if (ctrl && multi && mark != ListViewSelection::None) {
                m_selection.SetSelected(mark, !m_selection.IsSelected(mark));
                UpdateRow(mark);
                return true;
            }
            return false;
        case 'A':
            if (ctrl && multi) {
                SetAllSelected(true);
                return true;
            }
            return false;
        default:
            return false;
    }
    if (count > 0) {
        MoveByKey(static_cast<std::int32_t>(std::clamp<std::int64_t>(target, 0, count - 1)),
                  modifiers);
    }
    return true;
}

void ListViewCore::ClickRow(std::int32_t row, std::int32_t modifiers) {
    const bool ctrl = (modifiers & EX_MK_CONTROL) != 0;
    const bool shift = (modifiers & EX_MK_SHIFT) != 0;
    const bool multi = MultiSelect();
    if (row == ListViewSelection::None) {
        // The empty area clears the selection; the mark stays where it was.
        if (!ctrl && m_selection.ClearSelection()) {
            InvalidateView();
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
    InvalidateView();
}

void ListViewCore::MoveByKey(std::int32_t target, std::int32_t modifiers) {
    const bool ctrl = (modifiers & EX_MK_CONTROL) != 0;
    const bool shift = (modifiers & EX_MK_SHIFT) != 0;
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
    InvalidateView();
}

void ListViewCore::TrackHot(ExPoint viewPos) {
    m_mouseInside = true;
    m_lastMouse = viewPos;
    const std::int32_t row = RowAt(viewPos);
    const std::int32_t old = m_selection.Hot();
    if (row == old) {
        return;
    }
    m_selection.SetHot(row);
    UpdateRow(old);
    UpdateRow(row);
}

void ListViewCore::ClearHot() {
    m_mouseInside = false;
    const std::int32_t old = m_selection.Hot();
    m_selection.SetHot(ListViewSelection::None);
    UpdateRow(old);
}

void ListViewCore::Notify(ListRowEvent what, std::int32_t row, ExPoint pos) {
    if (m_host != nullptr) {
        m_host->RowEvent(what, row, pos);
    }
}

}  // namespace exdui
