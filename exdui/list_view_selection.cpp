#include "list_view_selection.h"

#include <algorithm>
#include <cstring>

namespace exdui {

namespace {

// Moves a row reference for a row inserted before `row`.
std::int32_t ShiftForInsert(std::int32_t ref, std::int32_t row) {
    return ref != ListViewSelection::None && ref >= row ? ref + 1 : ref;
}

// Moves a row reference for the removal of `row`; the removed row itself is gone.
std::int32_t ShiftForRemove(std::int32_t ref, std::int32_t row) {
    if (ref == ListViewSelection::None || ref < row) {
        return ref;
    }
    return ref == row ? ListViewSelection::None : ref - 1;
}

}  // namespace

void ListViewSelection::SetCount(std::int32_t count) {
    count = std::max<std::int32_t>(count, 0);
    if (count < Count()) {
        const auto dropped = m_selected.begin() + count;
        m_selectedCount -= static_cast<std::int32_t>(std::count(dropped, m_selected.end(), 1));
        m_high = std::min(m_high, count - 1);
    }
    m_selected.resize(static_cast<std::size_t>(count), 0);
    if (m_mark >= count) {
        m_mark = None;
    }
    if (m_anchor >= count) {
        m_anchor = None;
    }
    if (m_hot >= count) {
        m_hot = None;
    }
}

void ListViewSelection::InsertRow(std::int32_t row) {
    row = std::clamp<std::int32_t>(row, 0, Count());
    m_selected.insert(m_selected.begin() + row, 0);
    if (m_low <= m_high) {
        if (m_low >= row) {
            ++m_low;
        }
        if (m_high >= row) {
            ++m_high;
        }
    }
    m_mark = ShiftForInsert(m_mark, row);
    m_anchor = ShiftForInsert(m_anchor, row);
    m_hot = ShiftForInsert(m_hot, row);
}

void ListViewSelection::RemoveRow(std::int32_t row) {
    if (!IsValid(row)) {
        return;
    }
    if (m_selected[static_cast<std::size_t>(row)] != 0) {
        --m_selectedCount;
    }
    m_selected.erase(m_selected.begin() + row);
    if (m_high >= row) {
        --m_high;
    }
    if (m_low > row) {
        --m_low;
    }
    m_mark = ShiftForRemove(m_mark, row);
    m_anchor = ShiftForRemove(m_anchor, row);
    m_hot = ShiftForRemove(m_hot, row);
}

void ListViewSelection::RemoveRows(std::span<const std::int32_t> rows) {
    if (rows.empty()) {
        return;
    }
    // Each reference moves up by the number of removed rows before it; one
    // that was removed itself becomes None.
    const auto shift = [rows](std::int32_t ref) {
        if (ref == None) {
            return ref;
        }
        const auto below = std::lower_bound(rows.begin(), rows.end(), ref);
        if (below != rows.end() && *below == ref) {
            return None;
        }
        return ref - static_cast<std::int32_t>(below - rows.begin());
    };
    m_mark = shift(m_mark);
    m_anchor = shift(m_anchor);
    m_hot = shift(m_hot);

    std::size_t next = 0;  // The next removed row in rows.
    std::size_t kept = static_cast<std::size_t>(rows.front());
    for (auto row = static_cast<std::size_t>(rows.front()); row < m_selected.size(); ++row) {
        if (next < rows.size() && static_cast<std::size_t>(rows[next]) == row) {
            m_selectedCount -= m_selected[row];
            ++next;
            continue;
        }
        m_selected[kept++] = m_selected[row];
    }
    m_selected.resize(kept);
    // The span of selected rows is recomputed rather than shifted: its ends
    // may have been removed.
    m_low = 0;
    m_high = -1;
    if (m_selectedCount > 0) {
        const auto first = std::find(m_selected.begin(), m_selected.end(), std::uint8_t{1});
        const auto last = std::find(m_selected.rbegin(), m_selected.rend(), std::uint8_t{1});
        m_low = static_cast<std::int32_t>(first - m_selected.begin());
        m_high = static_cast<std::int32_t>(m_selected.rend() - last) - 1;
    }
}

bool ListViewSelection::IsSelected(std::int32_t row) const {
    return IsValid(row) && m_selected[static_cast<std::size_t>(row)] != 0;
}

bool ListViewSelection::SetSelected(std::int32_t row, bool selected) {
    if (!IsValid(row)) {
        return false;
    }
    std::uint8_t& cell = m_selected[static_cast<std::size_t>(row)];
    if ((cell != 0) == selected) {
        return false;
    }
    cell = selected ? 1 : 0;
    if (selected) {
        ++m_selectedCount;
        Widen(row, row);
    } else {
        --m_selectedCount;
    }
    return true;
}

bool ListViewSelection::SelectOnly(std::int32_t row) {
    if (!IsValid(row)) {
        return ClearSelection();
    }
    if (m_selectedCount == 1 && IsSelected(row)) {
        return false;
    }
    ClearSelection();
    return SetSelected(row, true);
}

bool ListViewSelection::SelectRange(std::int32_t from, std::int32_t to) {
    if (Count() == 0) {
        return false;
    }
    if (from > to) {
        std::swap(from, to);
    }
    from = std::max<std::int32_t>(from, 0);
    to = std::min<std::int32_t>(to, Count() - 1);
    if (from > to) {
        return false;
    }
    const auto first = m_selected.begin() + from;
    const auto last = m_selected.begin() + to + 1;
    const auto already = static_cast<std::int32_t>(std::count(first, last, 1));
    const std::int32_t span = to - from + 1;
    if (already == span) {
        return false;
    }
    std::fill(first, last, 1);
    m_selectedCount += span - already;
    Widen(from, to);
    return true;
}

bool ListViewSelection::SelectAll() {
    return SelectRange(0, Count() - 1);
}

bool ListViewSelection::ClearSelection() {
    const bool changed = m_selectedCount > 0;
    const std::int32_t high = std::min(m_high, Count() - 1);
    if (changed && m_low <= high) {
        std::memset(m_selected.data() + m_low, 0, static_cast<std::size_t>(high - m_low) + 1);
    }
    m_selectedCount = 0;
    m_low = 0;
    m_high = -1;
    return changed;
}

std::uint32_t ListViewSelection::State(std::int32_t row) const {
    if (!IsValid(row)) {
        return 0;
    }
    std::uint32_t state = IsSelected(row) ? ListStateSelected : 0;
    if (row == m_hot) {
        state |= ListStateHot;
    }
    return state;
}

void ListViewSelection::Widen(std::int32_t from, std::int32_t to) {
    if (m_low > m_high) {
        m_low = from;
        m_high = to;
        return;
    }
    m_low = std::min(m_low, from);
    m_high = std::max(m_high, to);
}

}  // namespace exdui
