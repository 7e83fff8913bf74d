// A scroll bar the library draws and drives itself, for objects that scroll
// their content (the lists): an arrow button at each end, a track and a thumb
// whose length shows the page, in the grey of the Fusion style the rest of
// our windows were made with. The owner places it, gives it the position it
// shows, paints it and passes it the left button; the bar calls back with
// each value the user picks (dragging the thumb, pressing an arrow or the
// track, repeated while held). Standard C++ only; UI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "backend/painter.h"
#include "backend/timer.h"
#include "exdui.h"

namespace exdui {

// One scroll position as a scroll bar holds it: a value in [0, maximum] in
// whole steps of some unit, with the step of an arrow and of a page.
struct ScrollRange {
    std::int32_t maximum = 0;
    std::int32_t value = 0;
    std::int32_t singleStep = 1;
    std::int32_t pageStep = 1;

    // Clamps to the range; true when the value changed.
    bool SetValue(std::int32_t to);
};

class ScrollBar {
  public:
    enum class Part { None, SubLine, AddLine, SubPage, AddPage, Thumb };

    // The bar's thickness, and the shortest thumb it draws.
    static constexpr std::int32_t Extent = 14;
    static constexpr std::int32_t MinThumb = 26;
    // A held arrow or track steps again after the first delay, then at the
    // repeat interval (milliseconds), as Qt's scroll bars do.
    static constexpr std::int32_t RepeatDelay = 500;
    static constexpr std::int32_t RepeatInterval = 50;

    // onScroll hears each value the user picks; invalidate repaints part of
    // the owner (its coordinates).
    ScrollBar(bool vertical, std::function<void(std::int32_t)> onScroll,
              std::function<void(const ExRect&)> invalidate);
    ~ScrollBar();
    ScrollBar(const ScrollBar&) = delete;
    ScrollBar& operator=(const ScrollBar&) = delete;

    // Where it lies, in the owner's coordinates; empty hides it.
    void SetBounds(const ExRect& bounds);
    const ExRect& Bounds() const { return m_bounds; }
    bool Contains(ExPoint at) const;
    // The position to show; repaints when the thumb moved.
    void SetRange(const ScrollRange& range);
    const ScrollRange& Range() const { return m_range; }

    Part PartAt(ExPoint at) const;
    ExRect PartRect(Part part) const;
    void Paint(backend::Painter& painter) const;

    // The left button. MouseDown acts at once on an arrow or the track and
    // keeps acting while held; a press on the thumb drags it. The arrow or
    // thumb under the pointer shows it.
    void MouseDown(ExPoint at);
    void MouseMove(ExPoint at);
    void MouseUp();
    void MouseLeave();
    bool Held() const { return m_pressed != Part::None; }

  private:
    // Along the bar: the track between the arrows, and the thumb in it.
    std::int32_t Length() const;
    std::int32_t TrackStart() const;
    std::int32_t TrackLength() const;
    std::int32_t ThumbLength() const;
    std::int32_t ThumbStart() const;
    ExRect Span(std::int32_t from, std::int32_t to) const;  // along the bar, across all of it
    void Step();                                            // the held part acts once
    void Pick(std::int32_t value);
    void Repeat();
    void SetHot(Part part);

    bool m_vertical;
    std::function<void(std::int32_t)> m_onScroll;
    std::function<void(const ExRect&)> m_invalidate;
    ExRect m_bounds{};
    ScrollRange m_range;
    Part m_pressed = Part::None;
    Part m_hot = Part::None;    // under the pointer
    ExPoint m_pointer{};        // the last pointer position while held
    std::int32_t m_grabAt = 0;  // a dragged thumb: the pointer's distance from its start
    std::unique_ptr<backend::Timer> m_repeat;
};

}  // namespace exdui
