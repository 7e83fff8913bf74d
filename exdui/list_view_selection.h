// Selection bookkeeping of the two list classes: which rows are selected, the
// selection mark (the current row), the anchor of Shift ranges and the hot row
// under the mouse.
//
// Rows are numbered from 0 here; the list messages number them from 1 and
// convert at the message boundary. The store costs one byte a row and every
// single-row operation is O(1), so a caller may walk a million rows one
// message at a time ("select all" from a menu does exactly that). Clearing the
// selection touches only the span of rows that were ever selected since the
// last clear.
//
// Not thread-safe: owned by a list widget and used on the UI thread only.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace exdui {

// Item state bits as the list messages report them. No other bit is ever
// reported: callers test for a state of exactly 2 or 130.
inline constexpr std::uint32_t ListStateSelected = 0x02;
inline constexpr std::uint32_t ListStateHot = 0x80;

class ListViewSelection {
  public:
    static constexpr std::int32_t None = -1;

    std::int32_t Count() const { return static_cast<std::int32_t>(m_selected.size()); }

    // A new row count. Rows that remain keep their state; the mark, the anchor
    // and the hot row are dropped when they fall beyond the new end.
    void SetCount(std::int32_t count);

    // Row insertion before row (0..Count()) and removal; the states, the mark,
    // the anchor and the hot row move with their rows. A removed mark becomes
    // None. Both cost O(rows after it).
    void InsertRow(std::int32_t row);
    void RemoveRow(std::int32_t row);
    // Removes many rows in one pass: rows holds row numbers in strictly
    // ascending order, all valid. States, mark, anchor and hot row move as
    // with RemoveRow. O(Count()), whatever the number removed.
    void RemoveRows(std::span<const std::int32_t> rows);

    bool IsValid(std::int32_t row) const { return row >= 0 && row < Count(); }
    bool IsSelected(std::int32_t row) const;
    std::int32_t SelectedCount() const { return m_selectedCount; }

    // Each returns true when some state changed. Rows out of range are ignored.
    bool SetSelected(std::int32_t row, bool selected);
    bool SelectOnly(std::int32_t row);
    bool SelectRange(std::int32_t from, std::int32_t to);  // inclusive, either order, additive
    bool SelectAll();
    bool ClearSelection();

    // The bits above for row: selected, and hot when it is the hot row.
    std::uint32_t State(std::int32_t row) const;

    std::int32_t Mark() const { return m_mark; }
    void SetMark(std::int32_t row) { m_mark = IsValid(row) ? row : None; }
    std::int32_t Anchor() const { return m_anchor; }
    void SetAnchor(std::int32_t row) { m_anchor = IsValid(row) ? row : None; }
    std::int32_t Hot() const { return m_hot; }
    void SetHot(std::int32_t row) { m_hot = IsValid(row) ? row : None; }

  private:
    void Widen(std::int32_t from, std::int32_t to);

    std::vector<std::uint8_t> m_selected;  // 1 when the row is selected
    std::int32_t m_selectedCount = 0;
    // Every selected row lies in [m_low, m_high]; empty when m_low > m_high.
    std::int32_t m_low = 0;
    std::int32_t m_high = -1;
    std::int32_t m_mark = None;
    std::int32_t m_anchor = None;
    std::int32_t m_hot = None;
};

}  // namespace exdui
