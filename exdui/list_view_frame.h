// How a list object shows its core: the rows' view, a report list's header
// above it and the scroll bars beside it, all laid out, painted and
// hit-tested here over the object's client area. It takes the object's
// messages (paint, mouse, wheel, keys, a resting pointer) as plain calls and
// turns them into the core's neutral input; the core's requests to repaint
// come back as rectangles of the object. No toolkit widget of its own.
//
// UI thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "backend/timer.h"
#include "exdui.h"
#include "list_view_core.h"
#include "report_list_core.h"
#include "scroll_bar.h"

namespace exdui {

class Object;

class ListFrame final : public ListSurface {
  public:
    // Rows scroll three a notch of the wheel, as the system's lists do.
    static constexpr std::int32_t WheelLines = 3;
    static constexpr std::int32_t WheelNotch = 120;
    // A pointer resting this long (milliseconds) on a row shows its tooltip.
    static constexpr std::int32_t TipDelay = 700;

    ListFrame(Object& obj, std::unique_ptr<ListViewCore> core);
    ~ListFrame() override;
    ListFrame(const ListFrame&) = delete;
    ListFrame& operator=(const ListFrame&) = delete;

    ListViewCore& Core() const { return *m_core; }
    ReportListCore* Report() const { return m_report; }  // null for a "ListView"

    // Takes the object's size.
    void Fit();
    // Which bars may show; each shows only while there is something to scroll.
    void ShowScrollBars(bool vertical, bool horizontal);
    // Takes the object's font (a report list's header and cells).
    void FontChanged();
    // A point of the rows' view in the object's client coordinates.
    ExPoint ToClient(ExPoint viewPos) const;

    // The object's messages; points are its client coordinates, keys and
    // modifiers EX_MK_* bits, button EX_MK_LBUTTON or EX_MK_RBUTTON.
    void Paint(backend::Painter& painter);
    void MouseMove(ExPoint at, std::int32_t keys);
    void MouseDown(std::int32_t button, ExPoint at, std::int32_t keys);
    void MouseUp(std::int32_t button, ExPoint at, std::int32_t keys);
    void DoubleClick(ExPoint at, std::int32_t keys);
    void MouseLeave();
    // True when the rows moved (or will, with more of a notch): a wheel
    // turned at the end of the rows is left to the parent.
    bool Wheel(std::int32_t delta, std::int32_t keys);
    bool KeyDown(std::int32_t key, std::int32_t modifiers);
    // The pointer rests at at (screen is the same point on the screen): shows
    // the row's tooltip and returns true, or false when it has none. The
    // system says so where it can (a library message); the list also keeps
    // its own time of rest, for where nothing else does.
    bool ShowTip(ExPoint at, ExPoint screen);

    ExPoint ViewSize() const override;
    void InvalidateView() override;
    void InvalidateRect(const ExRect& rect) override;
    void InvalidateHeader() override;
    void ScrollRangeChanged() override;

  private:
    enum class Zone { None, Rows, Header, Vertical, Horizontal };

    Zone ZoneAt(ExPoint at) const;
    std::int32_t HeaderHeight() const;
    ExRect ViewRect() const;  // client coordinates
    ExRect HeaderRect() const;
    ExPoint ToView(ExPoint client) const { return {client.x, client.y - HeaderHeight()}; }
    // Shows or hides the bars for the core's ranges, and places them.
    void Relayout();
    void PlaceParts();
    void Invalidate(const ExRect& client);
    // The pointer left zone (not held).
    void Leave(Zone zone);
    void SetSizeCursor(bool on);
    // The user moved a bar.
    void BarScrolled(bool vertical, std::int32_t value);
    // The pointer moved over the rows (at) or left them (nullptr).
    void RestartTipDelay(const ExPoint* at);
    // The row's tooltip at at, if it has one; hideOtherwise hides any shown.
    bool ShowRowTip(ExPoint at, ExPoint screen, bool hideOtherwise);

    Object& m_obj;
    std::unique_ptr<ListViewCore> m_core;
    ReportListCore* m_report;  // m_core, when it is a report list
    ScrollBar m_vertical;
    ScrollBar m_horizontal;
    ExPoint m_size{};
    bool m_allowVertical = true;
    bool m_allowHorizontal = false;
    bool m_showVertical = false;
    bool m_showHorizontal = false;
    int m_relayouts = 0;        // nesting of Relayout: a bar shown can call for another
    Zone m_hover = Zone::None;  // under the pointer
    Zone m_held = Zone::None;   // where a held button went down: it keeps the mouse
    double m_wheelSteps = 0;    // scroll steps of a wheel turned less than a line
    bool m_sizeCursor = false;
    std::unique_ptr<backend::Timer> m_tipDelay;
    ExPoint m_restAt{};  // where the pointer was last seen over the rows
};

}  // namespace exdui
