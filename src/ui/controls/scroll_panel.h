// ScrollPanel: a content object that fills its parent (the viewport) and
// scrolls up and down inside it when the parent is lower than the content.
// Controls made as children of the content move with it; the parent clips
// them. A drawn bar of class "gdtDY" sits on the viewport's right edge while
// there is something to scroll: its thumb is dragged, a press on its track
// pages up or down. The wheel scrolls the panel over the content and over
// every child that leaves the wheel alone (labels, buttons, combo boxes; a
// list with rows to scroll takes it). UI thread only.
//
// The content is a "STATIC" object and the bar its sibling on the viewport;
// the bar's extra storage holds the panel's state, so every copy of the
// wrapper and both procedures see the same values:
//   0 the content object
//   1 the offset: pixels of the content scrolled above the viewport's top
//   2 the content's height in pixels
//   3 track colour, 4 thumb colour, 5 thumb colour under the pointer or
//     while dragged (ARGB)
//   6 while the thumb is dragged, the pointer's distance from the thumb's
//     top; -1 otherwise
//   7 pixels a wheel notch scrolls
//   8 pixels left free below the lowest child
//   9 pixels between the bar and the viewport's right edge
#pragma once

#include <cstdint>

#include "ui/controls/control.h"

namespace cj::ui {

inline constexpr char16_t ScrollBarClass[] = u"gdtDY";

struct ScrollPanelDescription {
    ExHandle parent = 0;  // The viewport.
    int bottomMargin = 20;
    int barWidth = 12;
    // Keeps the bar off the outer edge of a resizable window, where a press
    // resizes the window instead (the library takes 6 pixels there).
    int rightMargin = 8;
    int wheelStep = 60;  // Pixels a notch (a wheel delta of 120) scrolls.
    // The blue buttons' colours, on the input boxes' grey.
    ExArgb track = 0x1E000000;
    ExArgb thumb = 0x500060C0;
    ExArgb thumbActive = 0x960060C0;
};

// The wrapper's handle is the content object: make the panel's controls with
// it as their parent, then call Fit.
class ScrollPanel : public Control {
  public:
    enum Slot : std::int32_t {
        Content,
        Scrolled,
        ContentHeight,
        Track,
        Thumb,
        ThumbActive,
        DragAnchor,
        WheelStep,
        BottomMargin,
        RightMargin
    };

    // False when the library refused the content or the bar.
    bool Create(const ScrollPanelDescription& d);
    // Takes the viewport's size and the content's height (the lowest child's
    // bottom and the margin) as they are now, keeps the offset within them,
    // and shows the bar only when the content is the higher: after the
    // viewport was resized or children were added or moved.
    void Fit() const;
    // Scrolls to offset pixels, kept between 0 and MaxOffset.
    void ScrollTo(int offset) const;
    int Offset() const;
    // How far the content can scroll: 0 when it fits.
    int MaxOffset() const;
    ExHandle Bar() const { return m_bar; }

  private:
    ExHandle m_bar = 0;
};

}  // namespace cj::ui
