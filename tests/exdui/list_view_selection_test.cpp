#include "list_view_selection.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace exdui {
namespace {

constexpr std::int32_t None = ListViewSelection::None;

TEST(ListViewSelection, StateIsExactlyTwoOrHotOrBoth) {
    ListViewSelection sel;
    sel.SetCount(3);
    sel.SetSelected(0, true);
    sel.SetSelected(1, true);
    sel.SetHot(1);
    EXPECT_EQ(sel.State(0), 2u);
    EXPECT_EQ(sel.State(1), 130u);
    EXPECT_EQ(sel.State(2), 0u);
    sel.SetHot(2);
    EXPECT_EQ(sel.State(1), 2u);
    EXPECT_EQ(sel.State(2), 0x80u);
    EXPECT_EQ(sel.State(3), 0u) << "a row past the end has no state";
    EXPECT_EQ(sel.State(-1), 0u);
}

TEST(ListViewSelection, ShrinkingDropsStatesAndReferencesPastTheEnd) {
    ListViewSelection sel;
    sel.SetCount(10);
    sel.SelectRange(2, 8);
    sel.SetMark(7);
    sel.SetAnchor(3);
    sel.SetHot(9);
    sel.SetCount(5);
    EXPECT_EQ(sel.SelectedCount(), 3);
    EXPECT_EQ(sel.Mark(), None);
    EXPECT_EQ(sel.Anchor(), 3);
    EXPECT_EQ(sel.Hot(), None);
    // Growing again brings no stale state back.
    sel.SetCount(10);
    EXPECT_FALSE(sel.IsSelected(7));
    EXPECT_EQ(sel.SelectedCount(), 3);
    EXPECT_TRUE(sel.ClearSelection());
    for (std::int32_t row = 0; row < 10; ++row) {
        EXPECT_FALSE(sel.IsSelected(row)) << row;
    }
}

TEST(ListViewSelection, InsertAndRemoveMoveStatesAndReferencesWithTheirRows) {
    ListViewSelection sel;
    sel.SetCount(5);
    sel.SetSelected(1, true);
    sel.SetSelected(3, true);
    sel.SetMark(3);
    sel.SetAnchor(1);
    sel.SetHot(4);

    sel.InsertRow(2);  // rows 3 and 4 become 4 and 5
    EXPECT_EQ(sel.Count(), 6);
    EXPECT_TRUE(sel.IsSelected(1));
    EXPECT_FALSE(sel.IsSelected(2));
    EXPECT_TRUE(sel.IsSelected(4));
    EXPECT_EQ(sel.Mark(), 4);
    EXPECT_EQ(sel.Anchor(), 1);
    EXPECT_EQ(sel.Hot(), 5);

    sel.RemoveRow(4);  // the marked, selected row goes
    EXPECT_EQ(sel.Count(), 5);
    EXPECT_EQ(sel.SelectedCount(), 1);
    EXPECT_EQ(sel.Mark(), None);
    EXPECT_EQ(sel.Hot(), 4);
    sel.RemoveRow(0);
    EXPECT_TRUE(sel.IsSelected(0));
    EXPECT_EQ(sel.Anchor(), 0);
    sel.RemoveRow(99);  // ignored
    EXPECT_EQ(sel.Count(), 4);
}

TEST(ListViewSelection, SelectAllAndClearOverAMillionRows) {
    ListViewSelection sel;
    sel.SetCount(1'000'000);
    EXPECT_TRUE(sel.SelectAll());
    EXPECT_EQ(sel.SelectedCount(), 1'000'000);
    EXPECT_EQ(sel.State(999'999), 2u);
    EXPECT_FALSE(sel.SelectAll()) << "nothing changed the second time";
    EXPECT_TRUE(sel.SelectOnly(500'000));
    EXPECT_EQ(sel.SelectedCount(), 1);
    EXPECT_FALSE(sel.IsSelected(0));
    EXPECT_FALSE(sel.IsSelected(999'999));
    EXPECT_FALSE(sel.SelectOnly(500'000));
}

// The clear walks only the span of rows selected since the last clear; hold it
// against a plain vector under random operations, including the row moves
// that shift the span.
TEST(ListViewSelection, MatchesANaiveModelUnderRandomOperations) {
    std::mt19937 random(12345);
    ListViewSelection sel;
    std::vector<bool> model;
    auto pick = [&](std::int32_t bound) {
        return static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(bound));
    };
    for (int step = 0; step < 20'000; ++step) {
        const std::int32_t count = static_cast<std::int32_t>(model.size());
        switch (pick(9)) {
            case 0:
                if (count > 0) {
                    const std::int32_t row = pick(count);
                    const bool on = pick(2) == 1;
                    sel.SetSelected(row, on);
                    model[static_cast<std::size_t>(row)] = on;
                }
                break;
            case 1:
                if (count > 0) {
                    const std::int32_t a = pick(count);
                    const std::int32_t b = pick(count);
                    sel.SelectRange(a, b);
                    for (std::int32_t r = std::min(a, b); r <= std::max(a, b); ++r) {
                        model[static_cast<std::size_t>(r)] = true;
                    }
                }
                break;
            case 2:
                sel.ClearSelection();
                model.assign(model.size(), false);
                break;
            case 3: {
                const std::int32_t row = pick(count + 1);
                sel.InsertRow(row);
                model.insert(model.begin() + row, false);
                break;
            }
            case 4:
                if (count > 0) {
                    const std::int32_t row = pick(count);
                    sel.RemoveRow(row);
                    model.erase(model.begin() + row);
                }
                break;
            case 5: {
                const std::int32_t newCount = pick(64);
                sel.SetCount(newCount);
                model.resize(static_cast<std::size_t>(newCount), false);
                break;
            }
            case 6:
                if (count > 0) {
                    const std::int32_t row = pick(count);
                    sel.SelectOnly(row);
                    model.assign(model.size(), false);
                    model[static_cast<std::size_t>(row)] = true;
                }
                break;
            case 7: {
                std::vector<std::int32_t> rows;
                for (std::int32_t r = 0; r < count; ++r) {
                    if (pick(3) == 0) {
                        rows.push_back(r);
                    }
                }
                sel.RemoveRows(rows);
                for (auto r = rows.rbegin(); r != rows.rend(); ++r) {
                    model.erase(model.begin() + *r);
                }
                break;
            }
            default: {
                const std::int32_t extra = pick(4);
                for (std::int32_t i = 0; i < extra; ++i) {
                    sel.InsertRow(static_cast<std::int32_t>(model.size()));
                    model.push_back(false);
                }
                break;
            }
        }
        ASSERT_EQ(sel.Count(), static_cast<std::int32_t>(model.size())) << "step " << step;
        std::int32_t selected = 0;
        for (std::size_t r = 0; r < model.size(); ++r) {
            ASSERT_EQ(sel.IsSelected(static_cast<std::int32_t>(r)), model[r])
                << "step " << step << " row " << r;
            selected += model[r] ? 1 : 0;
        }
        ASSERT_EQ(sel.SelectedCount(), selected) << "step " << step;
    }
}

TEST(ListViewSelection, RemovingManyRowsAtOnceEqualsRemovingThemOneByOne) {
    std::mt19937 random(777);
    for (int round = 0; round < 200; ++round) {
        const auto count = static_cast<std::int32_t>(1 + random() % 300);
        ListViewSelection bulk;
        bulk.SetCount(count);
        for (std::int32_t r = 0; r < count; ++r) {
            bulk.SetSelected(r, random() % 2 == 0);
        }
        const auto any = [&] {
            return static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(count));
        };
        bulk.SetMark(any());
        bulk.SetAnchor(any());
        bulk.SetHot(any());
        ListViewSelection single = bulk;
        std::vector<std::int32_t> rows;
        for (std::int32_t r = 0; r < count; ++r) {
            // Runs at both ends are the cases that move the selected span.
            if (random() % 4 == 0 || r < round % 5 || r >= count - round % 7) {
                rows.push_back(r);
            }
        }
        bulk.RemoveRows(rows);
        for (auto r = rows.rbegin(); r != rows.rend(); ++r) {
            single.RemoveRow(*r);
        }
        ASSERT_EQ(bulk.Count(), single.Count());
        ASSERT_EQ(bulk.SelectedCount(), single.SelectedCount()) << "round " << round;
        for (std::int32_t r = 0; r < bulk.Count(); ++r) {
            ASSERT_EQ(bulk.State(r), single.State(r)) << "round " << round << " row " << r;
        }
        EXPECT_EQ(bulk.Mark(), single.Mark());
        EXPECT_EQ(bulk.Anchor(), single.Anchor());
        EXPECT_EQ(bulk.Hot(), single.Hot());
        // Clearing afterwards must reach every selected row that is left.
        bulk.ClearSelection();
        for (std::int32_t r = 0; r < bulk.Count(); ++r) {
            ASSERT_FALSE(bulk.IsSelected(r)) << "round " << round << " row " << r;
        }
    }
}

}  // namespace
}  // namespace exdui
