// The library's own scroll bar on its own: where its thumb lies for a range,
// in whole pixels, from a short list to a range at the top of an int.
#include "scroll_bar.h"

#include <gtest/gtest.h>

#include <climits>

namespace exdui {
namespace {

TEST(ScrollBar, TheThumbShowsThePageAndTheValueAlongTheTrack) {
    struct Case {
        const char* what;
        std::int32_t length;  // of the bar, arrows included
        ScrollRange range;
        ExRect thumb;  // in a vertical bar at (0, 0)
    };
    const Case cases[] = {
        {"at the top", 600, {59'400, 0, 60, 600}, {0, 14, 14, 40}},
        {"half way", 600, {59'400, 29'700, 60, 600}, {0, 287, 14, 313}},
        {"at the end", 600, {59'400, 59'400, 60, 600}, {0, 560, 14, 586}},
        {"a page of half the rows", 600, {1000, 500, 1, 1000}, {0, 157, 14, 443}},
        {"nothing to scroll", 600, {0, 0, 1, 600}, {0, 14, 14, 586}},
        {"at the end of an int's range",
         600,
         {INT_MAX / 2, INT_MAX / 2, 1, 600},
         {0, 560, 14, 586}},
        {"arrows that fill the bar", 20, {100, 50, 1, 10}, {0, 10, 14, 10}},
    };
    for (const Case& c : cases) {
        ScrollBar bar(
            true, [](std::int32_t) {}, [](const ExRect&) {});
        bar.SetBounds({0, 0, ScrollBar::Extent, c.length});
        bar.SetRange(c.range);
        const ExRect thumb = bar.PartRect(ScrollBar::Part::Thumb);
        EXPECT_EQ(thumb.top, c.thumb.top) << c.what;
        EXPECT_EQ(thumb.bottom, c.thumb.bottom) << c.what;
        EXPECT_EQ(thumb.right - thumb.left, ScrollBar::Extent) << c.what;
    }
}

}  // namespace
}  // namespace exdui
