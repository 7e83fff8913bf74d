// The list's core against what it asks of whatever shows it: which parts to
// repaint and which scroll ranges to show. The class tests see the same list
// through the window; these see the requests themselves.
#include "list_view_core.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// ExRect is the C API's: its comparison goes where lookup finds it.
static bool operator==(const ExRect& a, const ExRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

namespace exdui {
namespace {

class RecordingSurface final : public ListSurface {
  public:
    ExPoint ViewSize() const override { return {100, 95}; }
    void InvalidateView() override { ++whole; }
    void InvalidateRect(const ExRect& rect) override { rects.push_back(rect); }
    void ScrollRangeChanged() override { ++ranges; }

    int whole = 0;
    int ranges = 0;
    std::vector<ExRect> rects;
};

// Ten rows of 30 pixels in a view of 100 x 95.
class ListViewCoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        list.SetSurface(&surface);
        list.SetRowCount(10);
        surface = RecordingSurface();
    }

    ListViewCore list;
    RecordingSurface surface;
};

TEST_F(ListViewCoreTest, TheRangesAreThoseOfTheRowsAndTheView) {
    const ScrollRange& down = list.Vertical();
    EXPECT_EQ(down.maximum, 10 * 30 - 95);
    EXPECT_EQ(down.singleStep, 30);
    EXPECT_EQ(down.pageStep, 95);
    EXPECT_EQ(list.Horizontal().maximum, 0) << "no content wider than the view";

    list.EnsureVisible(9);
    EXPECT_EQ(down.value, 205);
    EXPECT_EQ(surface.ranges, 1) << "the new value is shown";
    EXPECT_EQ(list.RowAt({0, 94}), 9);
    EXPECT_EQ(list.RowRect(9), (ExRect{0, 65, 100, 95}));
}

TEST_F(ListViewCoreTest, HotTrackingRepaintsOnlyTheRowsItLeavesAndEnters) {
    list.MouseMove({10, 5}, 0);
    list.MouseMove({10, 20}, 0);
    list.MouseMove({10, 35}, 0);
    list.MouseLeave();
    EXPECT_EQ(surface.whole, 0);
    const std::vector<ExRect> expected = {
        {0, 0, 100, 30}, {0, 0, 100, 30}, {0, 30, 100, 60}, {0, 30, 100, 60}};
    EXPECT_EQ(surface.rects, expected);
}

TEST_F(ListViewCoreTest, ARowStateRepaintsTheRowOnlyWhenItShows) {
    EXPECT_TRUE(list.SetRowState(8, ListStateSelected));
    EXPECT_TRUE(surface.rects.empty()) << "row 8 is below the view";
    EXPECT_TRUE(list.SetRowState(1, ListStateSelected));
    EXPECT_TRUE(list.SetRowState(1, ListStateSelected));
    EXPECT_EQ(surface.rects, std::vector<ExRect>{(ExRect{0, 30, 100, 60})})
        << "once: the second call changes nothing";
    EXPECT_FALSE(list.SetRowState(10, ListStateSelected));
}

TEST(ScrollRange, ValuesAreHeldInsideTheRange) {
    struct Case {
        std::int32_t maximum, to, expected;
        bool changed;
    };
    for (const Case& c : {Case{10, 5, 5, true}, Case{10, 11, 10, true}, Case{10, -3, 0, false},
                          Case{0, 4, 0, false}, Case{-1, 4, 0, false}}) {
        ScrollRange range{c.maximum, 0, 1, 1};
        EXPECT_EQ(range.SetValue(c.to), c.changed) << c.maximum << " " << c.to;
        EXPECT_EQ(range.value, c.expected) << c.maximum << " " << c.to;
    }
}

}  // namespace
}  // namespace exdui
