// The logic of the "ListView" class, free of any toolkit: an owner-data list
// that knows only the number of rows, one row height for all of them and the
// per-row selection; the owner draws each visible row when asked. It takes
// client points, EX_MK_* modifiers and EX_VK_* keys, paints through
// backend::Painter and keeps its scroll positions in two ScrollRange values
// that whatever shows the scroll bars mirrors. Setting a million rows costs a
// 1 MB state resize and a scroll-range update, and a repaint walks only the
// rows inside the dirty rectangle.
//
// Rows are numbered from 0 here. UI thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "backend/graphics.h"
#include "backend/painter.h"
#include "exdui.h"
#include "list_view_selection.h"
#include "scroll_bar.h"

namespace exdui {

// One row to paint: its number, its rectangle in view coordinates (the full
// content width, shifted by the horizontal scroll) and its state bits.
struct ListRowPaint {
    std::int32_t row = 0;
    ExRect rect{};
    std::uint32_t state = 0;
};

enum class ListRowEvent {
    Click,        // left button pressed on a row or on the empty area
    DoubleClick,  // left double-click on a row (never on the empty area)
    RightClick,   // right button released; row is -1 on the empty area
    // The left button, pressed on a selected row, moved by the platform's drag
    // distance while held: the owner may drag the selection out now. pos is
    // where the press was.
    BeginDrag,
};

// The tooltip over a row.
struct ListTip {
    std::int32_t column = -1;  // report list: the column under the pointer; else -1
    ExRect area{};             // view coordinates: the tooltip goes when the pointer leaves it
    std::u16string text;       // empty: none
};

// ARGB colours of a list. Report lists also use the header and line colours.
struct ListColours {
    ExArgb background = 0x00000000;
    ExArgb text = 0xFF000000;
    ExArgb lines = 0x2C000000;
    ExArgb selected = 0x600078D7;
    ExArgb hot = 0x280078D7;
    ExArgb headerBackground = 0x14000000;
    ExArgb headerText = 0xFF000000;
};

// What a list needs from its owner. Called on the UI thread, from inside the
// list's input handlers and painting; the calls may re-enter the list.
class ListViewHost {
  public:
    virtual ~ListViewHost() = default;
    // The row height to use, given the list's width and the current height.
    virtual std::int32_t MeasureRowHeight(std::int32_t width, std::int32_t height) = 0;
    // Brackets the rows of one paint.
    virtual void BeginDraw(backend::Painter& /*painter*/) {}
    virtual void EndDraw(backend::Painter& /*painter*/) {}
    // Draws one row, over the list's highlight of selected and hot rows.
    virtual void DrawRow(backend::Painter& painter, const ListRowPaint& row) = 0;
    virtual void RowEvent(ListRowEvent what, std::int32_t row, ExPoint pos) = 0;
    // A report list's column title was clicked (column from 0).
    virtual void ColumnClick(std::int32_t /*column*/) {}
    // The row image with this index (report list); null draws nothing.
    virtual std::shared_ptr<const backend::Image> RowImage(std::int32_t /*index*/) {
        return nullptr;
    }
    // Whether Ctrl and Shift select several rows; asked at each click and key,
    // so that a style change takes effect at once. fallback is the list's own.
    virtual bool MultiSelect(bool fallback) { return fallback; }
    // The colours to paint with now; fallback holds the list's own.
    virtual ListColours Colours(const ListColours& fallback) { return fallback; }
    // The tooltip text over a row; tip holds the list's own.
    virtual std::u16string RowTip(std::int32_t /*row*/, const ListTip& tip) { return tip.text; }
};

// What shows a list: the size of the view its rows scroll in, and the
// requests to repaint it or to show new scroll positions.
class ListSurface {
  public:
    virtual ~ListSurface() = default;
    virtual ExPoint ViewSize() const = 0;
    virtual void InvalidateView() = 0;
    virtual void InvalidateRect(const ExRect& rect) = 0;
    // A report list's header.
    virtual void InvalidateHeader() {}
    // The ranges or values of the scroll positions changed; the view moved
    // when a value did.
    virtual void ScrollRangeChanged() = 0;
};

class ListViewCore {
  public:
    static constexpr std::int32_t DefaultRowHeight = 30;
    static constexpr std::int32_t MaxRowHeight = 4096;

    ListViewCore() = default;
    virtual ~ListViewCore() = default;
    ListViewCore(const ListViewCore&) = delete;
    ListViewCore& operator=(const ListViewCore&) = delete;

    // The surface must outlive the list or be reset to nullptr first; with
    // none, the view is empty.
    void SetSurface(ListSurface* surface) { m_surface = surface; }

    // The host must outlive the list or be reset to nullptr first.
    void SetHost(ListViewHost* host) { m_host = host; }
    ListViewHost* Host() const { return m_host; }

    std::int32_t RowCount() const { return m_selection.Count(); }
    // Rows that remain keep their selection; see ListViewSelection::SetCount.
    void SetRowCount(std::int32_t count);

    // The height asked of the host the first time it is needed, and again after
    // RemeasureRowHeight. SetRowHeight is the proposal the host sees (and the
    // height used when it has no opinion); it re-measures as well.
    std::int32_t RowHeight();
    void SetRowHeight(std::int32_t height);
    void RemeasureRowHeight();

    // Multiple selection with Ctrl and Shift; otherwise every click selects one row.
    void SetMultiSelect(bool on) { m_multiSelect = on; }
    bool MultiSelect() const;

    const ListViewSelection& Selection() const { return m_selection; }
    std::uint32_t RowState(std::int32_t row) const { return m_selection.State(row); }
    // Takes the selected bit of state; the hot bit follows the mouse and is
    // not settable. O(1); repaints the row only when it is visible.
    bool SetRowState(std::int32_t row, std::uint32_t state);
    void SetAllSelected(bool selected);
    std::int32_t SelectionMark() const { return m_selection.Mark(); }
    // Moves the mark; with select, the row becomes the only selected row and
    // is scrolled into view. A row out of range clears the mark.
    void SetSelectionMark(std::int32_t row, bool select);

    // Repaints every part of the list (rows, and a report list's header).
    virtual void RepaintAll() { InvalidateView(); }

    void EnsureVisible(std::int32_t row);
    // Pixels from the top of row 0 to the top of the view.
    std::int64_t ScrollOffset() const;
    void SetScrollOffset(std::int64_t offset);
    std::int32_t RowAt(ExPoint viewPos);
    ExRect RowRect(std::int32_t row);  // view coordinates; empty when out of range
    std::int32_t RowsPerPage();

    // The list's own colours, used when the host does not say otherwise.
    void SetColours(const ListColours& colours);
    ListColours Colours() const;

    // The scroll positions, for the scroll bars that show them. A change made
    // from outside is told with ScrollRangeChanged.
    const ScrollRange& Vertical() const { return m_vertical; }
    const ScrollRange& Horizontal() const { return m_horizontal; }
    void SetScrollValues(std::int32_t vertical, std::int32_t horizontal);
    // Fits the ranges to the rows and the view, after either changed.
    void UpdateScrollRanges();

    // Input, in view coordinates. Keys: true when the list used the key.
    // button: EX_MK_LBUTTON, EX_MK_RBUTTON, or 0 for another button.
    void MouseDown(std::int32_t button, ExPoint pos, std::int32_t modifiers);
    void MouseUp(std::int32_t button, ExPoint pos, std::int32_t modifiers);
    void MouseDoubleClick(ExPoint pos, std::int32_t modifiers);
    void MouseMove(ExPoint pos, std::int32_t modifiers);
    void MouseLeave();
    bool KeyDown(std::int32_t key, std::int32_t modifiers);
    // The tooltip at pos, its text already asked of the host; no text when
    // the row has none or pos is on no row.
    ListTip TipAt(ExPoint pos);
    // Paints the rows that meet dirty (view coordinates).
    void Paint(backend::Painter& painter, const ExRect& dirty);

  protected:
    // Paints one row; the base paints the highlight of selected and hot rows
    // and lets the host draw over it.
    virtual void PaintRow(backend::Painter& painter, const ListRowPaint& row);
    // Content width for horizontal scrolling; 0 means the view's width.
    virtual std::int32_t ContentWidth() const { return 0; }
    // The list's own tooltip at pos over row: none by default.
    virtual ListTip RowTipAt(std::int32_t row, ExPoint pos);

    ExPoint ViewSize() const;
    void InvalidateView();
    void InvalidateHeader();

    ListViewSelection& MutableSelection() { return m_selection; }
    void UpdateRow(std::int32_t row);
    std::int32_t HorizontalOffset() const { return m_horizontal.value; }
    void PaintRowHighlight(backend::Painter& painter, const ListRowPaint& row);
    const ListColours& PaintColours() const { return m_paintColours; }
    // The rows moved under the view: repaint, and track the row under a
    // resting pointer.
    void Scrolled();

  private:
    void ClickRow(std::int32_t row, std::int32_t modifiers);
    void MoveByKey(std::int32_t target, std::int32_t modifiers);
    void TrackHot(ExPoint viewPos);
    void ClearHot();
    void Notify(ListRowEvent what, std::int32_t row, ExPoint pos);
    void SetVerticalValue(std::int32_t value);
    void InvalidateRect(const ExRect& rect);
    void ScrollRangeChanged();

    ListSurface* m_surface = nullptr;
    ListViewHost* m_host = nullptr;
    ListViewSelection m_selection;
    ListColours m_colours;
    ListColours m_paintColours;  // Colours() at the start of the current paint
    std::int32_t m_rowHeight = DefaultRowHeight;
    bool m_rowHeightValid = false;
    bool m_measuring = false;
    bool m_multiSelect = true;
    ScrollRange m_vertical;
    ScrollRange m_horizontal{0, 0, 20, 1};
    // Pixels per vertical scroll step: 1, or the row height when the content
    // is too tall for an int range.
    std::int32_t m_scrollUnit = 1;
    bool m_rightPressed = false;
    // The selected row a left press landed on, and where: moving far enough
    // with the button held drags from it. None once a drag began or the
    // button went up.
    std::int32_t m_dragRow = ListViewSelection::None;
    ExPoint m_dragFrom{};
    // A plain press on one of several selected rows keeps them selected, so
    // that all of them can be dragged; the release selects it alone unless a
    // drag began.
    std::int32_t m_clickOnRelease = ListViewSelection::None;
    bool m_mouseInside = false;
    ExPoint m_lastMouse{};
};

// Rectangle helpers in view coordinates.
inline std::int32_t Width(const ExRect& r) {
    return r.right - r.left;
}
inline std::int32_t Height(const ExRect& r) {
    return r.bottom - r.top;
}
inline RectF RectFOf(const ExRect& r) {
    return RectF{static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.right),
                 static_cast<float>(r.bottom)};
}

}  // namespace exdui
