#include "ui/controls/page_selector.h"

#include "controls_fixture.h"
#include "ui/controls/drawn_parts.h"

namespace cj::ui {
namespace {

using test::ControlsTest;
using test::Opaque;
using test::SameColour;

constexpr ExArgb Bar = 0xFF00C0FF;
constexpr ExArgb Cell = 0xFFF0F0F0;
constexpr ExArgb HoverFill = 0x90FFFFFF;

int itemClicks = 0;
intptr_t CountItemClick(ExHandle, std::int32_t, std::int32_t, intptr_t, intptr_t) {
    ++itemClicks;
    return 0;
}

class PageSelectorTest : public ControlsTest {
  protected:
    PageSelectorDescription Description(int animation) {
        PageSelectorDescription d;
        d.parent = Surface();
        d.titles = {"搜索栏", "复制栏", "设置"};
        d.x = 20;
        d.y = 20;
        d.itemWidth = 100;
        d.itemHeight = 40;
        d.selectedFill = Cell;
        d.barColour = Bar;
        d.itemHoverFill = HoverFill;
        d.farEdge = true;
        d.pageX = 0;
        d.pageY = 70;
        d.pageWidth = 480;
        d.pageHeight = 290;
        d.pageBackground = 0x00FFFFFF;
        d.animation = animation;
        return d;
    }

    // Which pages are visible, as a bit per page (page 1 the lowest bit).
    static int VisiblePages(const PageSelector& selector) {
        int bits = 0;
        for (int i = 1; i <= static_cast<int>(selector.Pages().size()); ++i) {
            bits |= Ex_ObjIsVisible(selector.PageHandle(i)) != 0 ? 1 << (i - 1) : 0;
        }
        return bits;
    }

    static intptr_t Long(const PageSelector& selector, std::int32_t index) {
        return Ex_ObjGetLong(selector.Handle(), index);
    }

    void ClickItem(const PageSelector& selector, int index) {
        Click(selector.ItemHandle(index), 50, 20);
    }

    bool WaitIdle(const PageSelector& selector) {
        return exdui::inject::RunEventsUntil(
            [&] { return Long(selector, PageSelector::Idle) == 1; }, 5000);
    }
};

TEST_F(PageSelectorTest, CreateLaysOutItemsAndShowsPageOne) {
    PageSelector selector;
    ASSERT_TRUE(selector.Create(Description(1)));
    EXPECT_EQ(selector.Width(), 300);
    EXPECT_EQ(selector.Height(), 40);
    ASSERT_EQ(selector.Items().size(), 3u);
    ASSERT_EQ(selector.Pages().size(), 3u);
    ExRect third{};
    Ex_ObjGetRect(selector.ItemHandle(3), &third);
    EXPECT_EQ(third.left, 200);
    EXPECT_EQ(third.right, 300);
    EXPECT_EQ(selector.SelectedIndex(), 1);
    EXPECT_EQ(VisiblePages(selector), 0b001);
    EXPECT_EQ(Long(selector, PageSelector::BarThickness), 3);
    EXPECT_EQ(ObjectWideText(selector.ItemHandle(2)), u"复制栏");
}

TEST_F(PageSelectorTest, ClickingAnItemShowsItsPageAndMovesTheBar) {
    PageSelector selector;
    ASSERT_TRUE(selector.Create(Description(0)));
    const ExHandle c = selector.Handle();
    // Far edge, horizontal: the bar runs along the bottom of the selected cell.
    EXPECT_TRUE(SameColour(Pixel(c, 50, 39), Opaque(Bar)));
    EXPECT_TRUE(SameColour(Pixel(c, 50, 36), Opaque(Cell)));

    ClickItem(selector, 2);
    EXPECT_EQ(selector.SelectedIndex(), 2);
    EXPECT_EQ(VisiblePages(selector), 0b010);
    EXPECT_EQ(Long(selector, PageSelector::BarPosition), 100) << "no animation: at once";
    MoveAway();
    EXPECT_TRUE(SameColour(Pixel(c, 150, 39), Opaque(Bar)));
    EXPECT_TRUE(SameColour(Pixel(c, 50, 39), Opaque(WindowBackground)));
}

TEST_F(PageSelectorTest, AClickDuringTheAnimationChangesNothing) {
    PageSelector selector;
    ASSERT_TRUE(selector.Create(Description(2)));
    ClickItem(selector, 3);
    EXPECT_EQ(Long(selector, PageSelector::Idle), 0) << "busy from the click on";
    EXPECT_EQ(selector.SelectedIndex(), 3);

    ClickItem(selector, 2);
    EXPECT_EQ(selector.SelectedIndex(), 3);
    EXPECT_EQ(VisiblePages(selector), 0b100);

    ASSERT_TRUE(WaitIdle(selector));
    EXPECT_EQ(Long(selector, PageSelector::BarPosition), 200);
    EXPECT_EQ(selector.SelectedIndex(), 3);

    ClickItem(selector, 2);
    EXPECT_EQ(selector.SelectedIndex(), 2) << "taken again once the bar stopped";
    ASSERT_TRUE(WaitIdle(selector));
    EXPECT_EQ(Long(selector, PageSelector::BarPosition), 100);
}

TEST_F(PageSelectorTest, ClickingTheSelectedItemAgainDoesNothing) {
    for (int kind : {0, 1, 2, 3}) {
        SCOPED_TRACE(kind);
        PageSelector selector;
        ASSERT_TRUE(selector.Create(Description(kind)));
        ClickItem(selector, 1);
        EXPECT_EQ(Long(selector, PageSelector::Idle), 1) << "no animation started";
        EXPECT_EQ(Long(selector, PageSelector::BarPosition), 0);
        EXPECT_EQ(selector.SelectedIndex(), 1);
        EXPECT_EQ(VisiblePages(selector) & 0b001, 0b001) << "its page stays";
        selector.Destroy();
    }
}

TEST_F(PageSelectorTest, SelectMovesAtOnceAndStopsARunningAnimation) {
    PageSelector selector;
    ASSERT_TRUE(selector.Create(Description(3)));
    ClickItem(selector, 2);
    ASSERT_EQ(Long(selector, PageSelector::Idle), 0);
    const ExHandle moving = selector.RunningAnimation();
    ASSERT_NE(moving, 0);
    ASSERT_NE(_easing_isrunning(moving), 0);

    selector.Select(3);
    EXPECT_EQ(Long(selector, PageSelector::Idle), 1);
    EXPECT_EQ(Long(selector, PageSelector::BarPosition), 200);
    EXPECT_EQ(VisiblePages(selector), 0b100);
    // The stopped animation must not pull the bar back to item 2 later: it
    // no longer runs at all.
    EXPECT_EQ(_easing_isrunning(moving), 0);
    EXPECT_EQ(selector.RunningAnimation(), 0);
    EXPECT_EQ(selector.SelectedIndex(), 3);

    selector.Select(4);
    selector.Select(0);
    EXPECT_EQ(selector.SelectedIndex(), 3) << "an index without an item does nothing";
}

TEST_F(PageSelectorTest, ItemsBeyondTheImagesHaveNone) {
    const auto png = test::SolidPng(21, 21, 0xFFFFFF00);
    PageSelectorDescription d = Description(0);
    d.images = {png};
    PageSelector selector;
    ASSERT_TRUE(selector.Create(d));
    EXPECT_NE(Ex_ObjGetLong(selector.ItemHandle(1), PageSelector::Image), 0);
    EXPECT_EQ(Ex_ObjGetLong(selector.ItemHandle(2), PageSelector::Image), 0);
    EXPECT_EQ(Ex_ObjGetLong(selector.ItemHandle(3), PageSelector::Image), 0);

    const exdui::inject::Snapshot window = Grab();
    const ExPoint origin = Origin(selector.Handle());
    EXPECT_FALSE(test::BoundsOf(window, 0xFFFFFF00, {origin.x, origin.y, 100, 40}).Empty());
    EXPECT_TRUE(test::BoundsOf(window, 0xFFFFFF00, {origin.x + 100, origin.y, 200, 40}).Empty());
}

TEST_F(PageSelectorTest, HoverFillsTheItemAndPressingAloneDoesNot) {
    PageSelector selector;
    ASSERT_TRUE(selector.Create(Description(0)));
    const ExHandle item = selector.ItemHandle(2);
    EXPECT_TRUE(SameColour(Pixel(item, 3, 3), Opaque(WindowBackground)));
    MoveTo(item, 3, 3);
    EXPECT_TRUE(SameColour(Pixel(item, 3, 3), test::Over(HoverFill, WindowBackground)));

    Ex_ObjSetUIState(item, EX_STATE_HOVER, 1, nullptr, 1);
    Ex_ObjSetUIState(item, EX_STATE_DOWN, 0, nullptr, 1);
    EXPECT_TRUE(SameColour(Pixel(item, 3, 3), Opaque(WindowBackground)));
}

TEST_F(PageSelectorTest, VerticalNearEdgeBarRunsDownTheLeft) {
    PageSelectorDescription d = Description(0);
    d.vertical = true;
    d.farEdge = false;
    d.barThickness = 5;
    d.pageX = 130;  // Beside the stacked items, not over them.
    d.pageY = 0;
    d.pageWidth = 300;
    PageSelector selector;
    ASSERT_TRUE(selector.Create(d));
    EXPECT_EQ(selector.Width(), 100);
    EXPECT_EQ(selector.Height(), 120);
    ClickItem(selector, 3);
    MoveAway();
    const ExHandle c = selector.Handle();
    EXPECT_EQ(Long(selector, PageSelector::BarPosition), 80);
    EXPECT_TRUE(SameColour(Pixel(c, 4, 100), Opaque(Bar)));
    EXPECT_TRUE(SameColour(Pixel(c, 5, 100), Opaque(Cell)));
    EXPECT_TRUE(SameColour(Pixel(c, 4, 20), Opaque(WindowBackground)));
}

TEST_F(PageSelectorTest, ItemHandlersRunOnClick) {
    PageSelector selector;
    ASSERT_TRUE(selector.Create(Description(0)));
    itemClicks = 0;
    selector.OnItemEvent(2, CountItemClick);
    ClickItem(selector, 2);
    ClickItem(selector, 3);
    EXPECT_EQ(itemClicks, 1);
    EXPECT_EQ(selector.SelectedIndex(), 3) << "the handler does not stop the selection";
}

}  // namespace
}  // namespace cj::ui
