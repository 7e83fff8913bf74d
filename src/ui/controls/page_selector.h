// PageSelector: the tab bar that switches the window's pages. One container
// object of class "xzyBJ" holds one item object of class "xzyAN" per page, side
// by side or stacked; each item has a "STATIC" page, a child of the
// container's parent. Clicking an item shows its page, hides the others and
// moves the selection bar to it, animated when an animation kind is chosen;
// clicks are ignored while the bar moves. Items and pages count from 1.
// UI thread only.
//
// Container extra storage (indexes):
//   0 fill of the selected item's cell, 1 colour of the selection bar (ARGB)
//   2, 3 item width and height
//   4 1 when the items are stacked vertically
//   5 1 when no animation runs (clicks are taken), 0 while the bar moves
//   6 the bar's position along the item axis, in pixels
//   7 the container's own record (page handles, running animation); it owns it
//   8 number of items
//   9 animation kind: 0 none, 1 cubic out over 100 ms, 2 back in over 200 ms,
//     3 circular in-out over 200 ms
//   10 1: the bar lies on the far edge (right or bottom); 0: the near edge
//   11 the bar's thickness
//   12 the selected item, from 1
// Item extra storage: 0 title colour, 1 the container, 2 the item's number,
// 3 its image (owned) or 0, 4 1: image above the title, 5 hover fill.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ui/colour.h"
#include "ui/controls/control.h"

namespace cj::ui {

inline constexpr char16_t PageSelectorClass[] = u"xzyBJ";
inline constexpr char16_t PageSelectorItemClass[] = u"xzyAN";

struct PageSelectorDescription {
    ExHandle parent = 0;
    std::vector<std::string> titles{};  // One item and one page per title.
    ExArgb titleColour = 0xFFFFFFFF;
    // Item i gets images[i - 1] (PNG bytes) when there is one; read during
    // Create only.
    std::vector<std::span<const std::uint8_t>> images{};
    bool imageAbove = false;
    int x = 0, y = 0;
    int itemWidth = 0, itemHeight = 0;
    ExArgb selectedFill = MakeArgb(0xFFFFFF, 50);
    ExArgb barColour = MakeArgb(0x0080FF, 200);
    int barThickness = 3;
    bool farEdge = false;
    ExArgb itemHoverFill = MakeArgb(0xFFFFFF, 100);
    bool vertical = false;
    int pageX = 0, pageY = 0, pageWidth = 0, pageHeight = 0;
    bool pageExStyle = false;  // true: the pages get the extended style 0x8000000.
    ExArgb pageBackground = MakeArgb(0xFFFFFF, 100);
    int animation = 0;  // 0 to 3, see the container's index 9.
};

class PageSelector : public Control {
  public:
    enum Slot : std::int32_t {
        SelectedFill,
        BarColour,
        ItemWidth,
        ItemHeight,
        Vertical,
        Idle,
        BarPosition,
        Record,
        ItemCount,
        Animation,
        FarEdge,
        BarThickness,
        Selected
    };
    enum ItemSlot : std::int32_t { TitleColour, Container, Number, Image, ImageAbove, HoverFill };

    // Makes the container, items and pages and ends by selecting item 1.
    // False when the library refused the container; items or pages it refused
    // are 0 in the arrays.
    bool Create(const PageSelectorDescription& d);

    // Shows page index, hides the others and puts the bar on the item at once,
    // stopping an animation that runs. An index without an item does nothing.
    void Select(int index) const;
    int SelectedIndex() const;
    // The easing that moves the bar now, or 0 when it stands still.
    ExHandle RunningAnimation() const;
    ExHandle ItemHandle(int index) const;
    ExHandle PageHandle(int index) const;
    const std::vector<ExHandle>& Items() const { return m_items; }
    const std::vector<ExHandle>& Pages() const { return m_pages; }
    // Attaches a handler to one item (click by default). It runs after the
    // item's own selection, also for clicks ignored during an animation.
    void OnItemEvent(int index, ExEventProc handler, std::int32_t code = EX_NM_CLICK) const;

  private:
    std::vector<ExHandle> m_items;
    std::vector<ExHandle> m_pages;
};

}  // namespace cj::ui
