// The "ListView" class: an owner-data list of up to millions of rows drawn by
// its owner's procedure, driven by messages and by the mouse, the wheel and
// keys, offscreen.
#include <atomic>
#include <thread>
#include <vector>

#include "list_view_test_support.h"

namespace exdui::test {
namespace {

constexpr ExArgb OddRow = 0xFFDCDCDC;
constexpr ExArgb EvenRow = 0xFF808080;

struct Painted {
    int32_t item;
    ExRect rect;
    uint32_t state;
};

struct Noticed {
    int32_t code;
    intptr_t row;
    intptr_t markAtThatTime;
};

// What the owner saw; one list per test.
struct Owner {
    int32_t rowHeight = 60;
    int measured = 0;
    std::vector<Painted> painted;
    std::vector<Noticed> noticed;
};
Owner* g_owner = nullptr;

// The list's own procedure, as a program's row painter is: answers the row
// height and paints odd and even rows in two colours.
intptr_t RowPainter(ExHandle /*window*/, ExHandle object, int32_t message, intptr_t /*wParam*/,
                    intptr_t lParam, intptr_t* result) {
    if (message != EX_WM_NOTIFY) {
        return 0;
    }
    const auto* nm = reinterpret_cast<const ExNotify*>(lParam);
    if (nm->from != object) {
        return 0;
    }
    if (nm->code == EX_NM_CALCSIZE) {
        reinterpret_cast<ExListSize*>(nm->lParam)->height = g_owner->rowHeight;
        ++g_owner->measured;
        return 1;
    }
    if (nm->code == EX_NM_CUSTOMDRAW) {
        const auto* draw = reinterpret_cast<const ExListDraw*>(nm->lParam);
        g_owner->painted.push_back({draw->item, draw->rect, draw->state});
        const ExHandle brush = _brush_create(draw->item % 2 == 1 ? OddRow : EvenRow);
        _canvas_fillrect(draw->canvas, brush, static_cast<float>(draw->rect.left),
                         static_cast<float>(draw->rect.top), static_cast<float>(draw->rect.right),
                         static_cast<float>(draw->rect.bottom));
        _brush_destroy(brush);
        *result = 1;
        return 1;
    }
    return 0;
}

intptr_t RecordEvent(ExHandle object, int32_t /*id*/, int32_t code, intptr_t wParam,
                     intptr_t /*lParam*/) {
    g_owner->noticed.push_back(
        {code, wParam, Ex_ObjSendMessage(object, EX_LVM_GETSELECTIONMARK, 0, 0)});
    return 0;
}

class ListViewTest : public ListWindowTest {
  protected:
    void SetUp() override {
        ListWindowTest::SetUp();
        g_owner = &owner;
        // As the result list is made: style 0x50000008, the row painter as procedure.
        list = Ex_ObjCreateEx(-1, u"ListView", nullptr, 0x50000008, 0, 0, 400, 600, surface, 0, -1,
                              0, 0, RowPainter);
        ASSERT_NE(list, 0);
        Ex_ObjHandleEvent(list, EX_NM_DBLCLK, RecordEvent);
        Ex_ObjHandleEvent(list, EX_NM_RCLICK, RecordEvent);
        Ex_ObjSetFocus(list);
        inject::RunEvents(1);
    }

    void TearDown() override {
        Ex_ObjDestroy(list);
        ListWindowTest::TearDown();
        g_owner = nullptr;
    }

    // The rows the owner is asked to paint when the window is painted now.
    std::vector<Painted> PaintNow() {
        owner.painted.clear();
        Paint();
        return owner.painted;
    }

    // Centre of row (from 1) while the list is scrolled to the top.
    static ExPoint RowCentre(int32_t row) { return {100, (row - 1) * 60 + 30}; }

    std::vector<int32_t> SelectedRows(int32_t upTo) {
        std::vector<int32_t> rows;
        for (int32_t row = 1; row <= upTo; ++row) {
            if ((Send(list, EX_LVM_GETITEMSTATE, row) & EX_LVIS_SELECTED) != 0) {
                rows.push_back(row);
            }
        }
        return rows;
    }

    Owner owner;
    ExHandle list = 0;
};

TEST_F(ListViewTest, MillionRowsAreSetAndTheVisibleRowsAskedForWithNumbersAndRectangles) {
    EXPECT_EQ(Send(list, 0x102F, 1'000'000, 1'000'000), 1);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMCOUNT), 1'000'000);
    EXPECT_GE(owner.measured, 1);

    const std::vector<Painted> painted = PaintNow();
    ASSERT_EQ(painted.size(), 10u) << "600 pixels of 60-pixel rows";
    // As wide as the list, less a scroll bar where the style puts one beside the rows.
    const int32_t width = painted[0].rect.right;
    EXPECT_GT(width, 300);
    EXPECT_LE(width, 400);
    for (size_t i = 0; i < painted.size(); ++i) {
        const auto top = static_cast<int32_t>(i) * 60;
        EXPECT_EQ(painted[i].item, static_cast<int32_t>(i) + 1);
        EXPECT_EQ(painted[i].rect.left, 0);
        EXPECT_EQ(painted[i].rect.top, top);
        EXPECT_EQ(painted[i].rect.right, width);
        EXPECT_EQ(painted[i].rect.bottom, top + 60);
        EXPECT_EQ(painted[i].state, 0u);
    }

    // What the owner drew is what the window shows.
    const inject::Snapshot shot = Paint();
    EXPECT_EQ(PixelOf(shot, list, 50, 30), OddRow);
    EXPECT_EQ(PixelOf(shot, list, 50, 90), EvenRow);
}

TEST_F(ListViewTest, InvalidatingTheObjectRedrawsTheRows) {
    // The program redraws the result list this way after changing a copy mark.
    Send(list, 0x102F, 100, 100);
    inject::RunEvents(5);
    owner.painted.clear();
    Ex_ObjInvalidateRect(list, nullptr);
    EXPECT_TRUE(inject::RunEventsUntil([&] { return owner.painted.size() >= 10; }, 2000));
    EXPECT_EQ(owner.painted.front().item, 1);
}

TEST_F(ListViewTest, PartScrolledRowsShowAtBothEdgesAndTheWheelScrollsByRows) {
    Send(list, 0x102F, 1'000'000, 1'000'000);
    EXPECT_EQ(Send(list, EX_LVM_GETTOPINDEX), 1);
    // Half a notch is a row and a half: row 2 now starts 30 pixels above the top.
    Wheel(list, RowCentre(2), -60);
    EXPECT_EQ(Send(list, EX_LVM_GETTOPINDEX), 2);
    std::vector<Painted> painted = PaintNow();
    ASSERT_EQ(painted.size(), 11u);
    EXPECT_EQ(painted.front().item, 2);
    EXPECT_EQ(painted.front().rect.top, -30);
    EXPECT_EQ(painted.back().item, 12);
    EXPECT_EQ(painted.back().rect.top, 570);
    const auto hotAt = [&](int y) {
        Hover(list, {5, y});
        for (int32_t row = 1; row <= 20; ++row) {
            if ((Send(list, EX_LVM_GETITEMSTATE, row) & EX_LVIS_HOT) != 0) {
                return row;
            }
        }
        return 0;
    };
    EXPECT_EQ(hotAt(0), 2);
    EXPECT_EQ(hotAt(29), 2);
    EXPECT_EQ(hotAt(30), 3);

    // A whole notch is three rows.
    Wheel(list, RowCentre(2), -120);
    EXPECT_EQ(PaintNow().front().item, 5);
    EXPECT_EQ(Send(list, EX_LVM_GETTOPINDEX), 5);

    Key(EX_VK_END);
    painted = PaintNow();
    ASSERT_FALSE(painted.empty());
    EXPECT_EQ(painted.back().item, 1'000'000);
    EXPECT_EQ(painted.back().rect.bottom, 600);
    EXPECT_EQ(Send(list, EX_LVM_GETTOPINDEX), 1'000'000 - 9);
    Key(EX_VK_HOME);
    EXPECT_EQ(PaintNow().front().item, 1);
    EXPECT_EQ(Send(list, EX_LVM_GETTOPINDEX), 1);
}

TEST_F(ListViewTest, SelectingByMessageMarksSelectsAndScrollsTheRowIntoView) {
    Send(list, 0x102F, 1'000'000, 1'000'000);
    EXPECT_EQ(Send(list, 0x1042), 0) << "no selection mark yet";
    Send(list, 0x1043, 1, 500'000);
    EXPECT_EQ(Send(list, 0x1042), 500'000);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTIONMARK), 500'000);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 500'000), 2);
    bool shown = false;
    for (const Painted& row : PaintNow()) {
        if (row.item == 500'000) {
            shown = row.rect.top >= 0 && row.rect.bottom <= 600 && row.state == 2;
        }
    }
    EXPECT_TRUE(shown) << "the selected row is painted, whole and selected";

    // A second selection by message replaces the first.
    Send(list, EX_LVM_SETSELECTIONMARK, 1, 3);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 500'000), 0);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTEDCOUNT), 1);
    // With wParam 0 only the mark moves.
    Send(list, EX_LVM_SETSELECTIONMARK, 0, 7);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTIONMARK), 7);
    EXPECT_EQ(SelectedRows(10), (std::vector<int32_t>{3}));
}

TEST_F(ListViewTest, TheHotRowFollowsThePointerTheRowsUnderItAndLeavesWithIt) {
    Send(list, 0x102F, 20, 20);
    Click(list, RowCentre(2));
    Hover(list, RowCentre(2));
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 2), 130) << "selected and hot";
    Hover(list, RowCentre(4));
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 2), 2);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 4), 0x80);
    const std::vector<Painted> painted = PaintNow();
    EXPECT_EQ(painted[3].state, 0x80u) << "the owner is told the row is hot";
    EXPECT_EQ(painted[1].state, 2u);

    // Rows moving under a resting pointer change the hot row: half a notch
    // is a row and a half.
    Wheel(list, RowCentre(4), -60);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 6), 0x80);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 4), 0);

    inject::Leave(window);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 6), 0) << "no row is hot once the pointer is gone";

    // Setting a state takes only the selected bit; the hot bit is the mouse's.
    EXPECT_EQ(Send(list, EX_LVM_SETITEMSTATE, 5, 0x82), 1);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 5), 2);
    EXPECT_EQ(Send(list, EX_LVM_SETITEMSTATE, 2, 0), 1);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 2), 0);
    EXPECT_EQ(Send(list, EX_LVM_SETITEMSTATE, 4, 0x80), 1);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 4), 0);
}

TEST_F(ListViewTest, SelectAllRowByRowOverAMillionRows) {
    // The "全选" command sets every row's state to 2, one message per row.
    const int32_t count = 1'000'000;
    Send(list, 0x102F, count, count);
    Click(list, RowCentre(1));
    for (int32_t row = 1; row <= count; ++row) {
        Send(list, EX_LVM_SETITEMSTATE, row, 2);
    }
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTEDCOUNT), count);
    // ... and the commands then find them by asking each row's state.
    int32_t selected = 0;
    for (int32_t row = 1; row <= count; ++row) {
        const intptr_t state = Send(list, EX_LVM_GETITEMSTATE, row);
        selected += state == 2 || state == 130 ? 1 : 0;
    }
    EXPECT_EQ(selected, count);
    for (const Painted& row : PaintNow()) {
        EXPECT_EQ(row.state & 2u, 2u) << row.item;
    }
    // Every row at once, and back.
    EXPECT_EQ(Send(list, EX_LVM_SETITEMSTATE, -1, 0), 1);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTEDCOUNT), 0);
    EXPECT_EQ(Send(list, EX_LVM_SETITEMSTATE, -1, 2), 1);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, count), 2);
}

TEST_F(ListViewTest, MouseSelectsWithCtrlAndShift) {
    Send(list, 0x102F, 1'000'000, 1'000'000);
    Click(list, RowCentre(2));
    Click(list, RowCentre(5), EX_MK_SHIFT);
    EXPECT_EQ(SelectedRows(10), (std::vector<int32_t>{2, 3, 4, 5}));
    EXPECT_EQ(Send(list, 0x1042), 5);
    Click(list, RowCentre(3), EX_MK_CONTROL);
    Click(list, RowCentre(8), EX_MK_CONTROL);
    EXPECT_EQ(SelectedRows(10), (std::vector<int32_t>{2, 4, 5, 8}));
    // Shift now extends from the last Ctrl-clicked row and replaces the rest.
    Click(list, RowCentre(10), EX_MK_SHIFT);
    EXPECT_EQ(SelectedRows(10), (std::vector<int32_t>{8, 9, 10}));
    Click(list, RowCentre(6));
    EXPECT_EQ(SelectedRows(10), (std::vector<int32_t>{6}));
}

TEST_F(ListViewTest, WithoutStyleEightEveryClickSelectsOneRow) {
    Ex_ObjSetLong(list, EX_OL_STYLE, 0x50000000);
    Send(list, 0x102F, 20, 20);
    Click(list, RowCentre(2));
    Click(list, RowCentre(5), EX_MK_SHIFT);
    Click(list, RowCentre(7), EX_MK_CONTROL);
    EXPECT_EQ(SelectedRows(20), (std::vector<int32_t>{7}));
}

TEST_F(ListViewTest, DoubleClickAndRightClickNotifyWithTheRowAfterSelecting) {
    Send(list, 0x102F, 100, 100);
    DoubleClick(list, RowCentre(3));
    ASSERT_EQ(owner.noticed.size(), 1u);
    EXPECT_EQ(owner.noticed[0].code, EX_NM_DBLCLK);
    EXPECT_EQ(owner.noticed[0].row, 3);
    EXPECT_EQ(owner.noticed[0].markAtThatTime, 3) << "the handler reads the row it was clicked on";

    Click(list, RowCentre(6), 0, inject::Button::Right);
    ASSERT_EQ(owner.noticed.size(), 2u);
    EXPECT_EQ(owner.noticed[1].code, EX_NM_RCLICK);
    EXPECT_EQ(owner.noticed[1].row, 6);
    EXPECT_EQ(owner.noticed[1].markAtThatTime, 6);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 6), 130) << "selected, and under the pointer";
}

TEST_F(ListViewTest, ARightClickKeepsASelectionItFallsInAndTheEmptyAreaKeepsAnyButSaysNoRow) {
    Send(list, 0x102F, 8, 8);
    Click(list, RowCentre(2));
    Click(list, RowCentre(4), EX_MK_SHIFT);
    Click(list, RowCentre(3), 0, inject::Button::Right);
    EXPECT_EQ(SelectedRows(8), (std::vector<int32_t>{2, 3, 4}));
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTIONMARK), 3);
    ASSERT_EQ(owner.noticed.size(), 1u);
    EXPECT_EQ(owner.noticed[0].row, 3);

    Click(list, RowCentre(7), 0, inject::Button::Right);
    EXPECT_EQ(SelectedRows(8), (std::vector<int32_t>{7}));

    Click(list, {10, 599}, 0, inject::Button::Right);
    EXPECT_EQ(SelectedRows(8), (std::vector<int32_t>{7})) << "the empty area keeps the selection";
    ASSERT_EQ(owner.noticed.size(), 3u);
    EXPECT_EQ(owner.noticed[2].code, EX_NM_RCLICK);
    EXPECT_EQ(owner.noticed[2].row, 0);
}

TEST_F(ListViewTest, DoubleClickBelowTheLastRowDoesNotNotify) {
    // A double-click on the empty area would act on the old selection mark,
    // a row the user did not point at.
    Send(list, 0x102F, 3, 3);
    Click(list, RowCentre(2));
    DoubleClick(list, {100, 500});
    EXPECT_TRUE(owner.noticed.empty());
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTEDCOUNT), 0);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTIONMARK), 2) << "the mark stays where it was";
}

TEST_F(ListViewTest, AHandlerMayDestroyTheListItIsCalledFor) {
    Send(list, 0x102F, 10, 10);
    Ex_ObjHandleEvent(list, EX_NM_DBLCLK, nullptr);
    Ex_ObjHandleEvent(list, EX_NM_DBLCLK,
                      [](ExHandle object, int32_t, int32_t, intptr_t, intptr_t) -> intptr_t {
                          Ex_ObjDestroy(object);
                          return 1;
                      });
    DoubleClick(list, RowCentre(2));
    inject::RunEvents(5);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMCOUNT), 0) << "the handle is gone";
    list = 0;
}

TEST_F(ListViewTest, KeysMoveTheSelectionThroughAMillionRows) {
    Send(list, 0x102F, 1'000'000, 1'000'000);
    Click(list, RowCentre(1));
    Key(EX_VK_DOWN);
    Key(EX_VK_DOWN);
    EXPECT_EQ(Send(list, 0x1042), 3);
    Key(EX_VK_NEXT);
    EXPECT_EQ(Send(list, 0x1042), 13);
    Key(EX_VK_END);
    EXPECT_EQ(Send(list, 0x1042), 1'000'000);
    EXPECT_EQ(PaintNow().back().item, 1'000'000);
    Key(EX_VK_UP, EX_MK_SHIFT);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTEDCOUNT), 2);
    Key(EX_VK_PRIOR);
    EXPECT_EQ(Send(list, 0x1042), 999'989);
    Key(EX_VK_HOME);
    EXPECT_EQ(Send(list, 0x1042), 1);
    EXPECT_EQ(PaintNow().front().item, 1);
}

TEST_F(ListViewTest, KeysWithCtrlMoveOnlyTheMark) {
    Send(list, 0x102F, 1'000'000, 1'000'000);
    Key(EX_VK_DOWN);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTIONMARK), 1)
        << "with no mark the first key takes the first row";
    EXPECT_EQ(SelectedRows(20), (std::vector<int32_t>{1}));
    Key(EX_VK_NEXT);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTIONMARK), 11);
    // Brought into view at the bottom, exactly.
    EXPECT_EQ(Send(list, EX_LVM_GETTOPINDEX), 2);
    const std::vector<Painted> painted = PaintNow();
    ASSERT_FALSE(painted.empty());
    EXPECT_EQ(painted.back().item, 11);
    EXPECT_EQ(painted.back().rect.bottom, 600);
    Key(EX_VK_DOWN, EX_MK_CONTROL);
    Key(EX_VK_DOWN, EX_MK_CONTROL);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTIONMARK), 13);
    EXPECT_EQ(SelectedRows(20), (std::vector<int32_t>{11}));
    Key(EX_VK_SPACE, EX_MK_CONTROL);
    EXPECT_EQ(SelectedRows(20), (std::vector<int32_t>{11, 13}));
    Key(EX_VK_SPACE, EX_MK_CONTROL);
    EXPECT_EQ(SelectedRows(20), (std::vector<int32_t>{11}));
    Key('A', EX_MK_CONTROL);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTEDCOUNT), 1'000'000);
}

TEST_F(ListViewTest, ANewRowCountKeepsRemainingStatesAndDropsTheRest) {
    Send(list, 0x102F, 100, 100);
    Send(list, EX_LVM_SETITEMSTATE, 2, 2);
    Send(list, EX_LVM_SETITEMSTATE, 50, 2);
    Send(list, 0x1043, 0, 50);
    Send(list, 0x102F, 10, 10);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMCOUNT), 10);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 2), 2);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTIONMARK), 0);
    Send(list, 0x102F, 100, 100);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 50), 0) << "no stale state comes back";
    Send(list, 0x102F, 0, 0);
    EXPECT_TRUE(PaintNow().empty());
    EXPECT_EQ(Send(list, EX_LVM_GETTOPINDEX), 0) << "an empty list has no top row";
}

TEST_F(ListViewTest, RowHeightIsAskedAgainOnSize) {
    Send(list, 0x102F, 100, 100);
    EXPECT_EQ(PaintNow().size(), 10u);
    owner.rowHeight = 30;
    EXPECT_EQ(PaintNow().size(), 10u) << "kept until the list is told";
    Send(list, EX_WM_SIZE, 0, 0);  // an owner that changed its row height says so
    std::vector<Painted> painted = PaintNow();
    // Still all 600 pixels of the object: a size message without a size
    // leaves the list filling it.
    ASSERT_EQ(painted.size(), 20u);
    EXPECT_EQ(painted[1].rect.top, 30);
    owner.rowHeight = 0;  // nonsense from the owner
    Send(list, EX_WM_SIZE, 0, 0);
    painted = PaintNow();
    ASSERT_FALSE(painted.empty());
    EXPECT_EQ(painted[0].rect.bottom - painted[0].rect.top, 1);
}

TEST_F(ListViewTest, HugeContentScrollsByRowsAndStillReachesTheEnd) {
    owner.rowHeight = 100;
    Send(list, 0x102F, 50'000'000, 50'000'000);  // 5e9 pixels: beyond an int's range
    Key(EX_VK_END);
    std::vector<Painted> painted = PaintNow();
    ASSERT_FALSE(painted.empty());
    EXPECT_EQ(painted.back().item, 50'000'000);
    EXPECT_EQ(painted.back().rect.bottom, 600);
    Send(list, EX_LVM_SETSELECTIONMARK, 1, 25'000'001);
    bool whole = false;
    for (const Painted& row : PaintNow()) {
        whole = whole || (row.item == 25'000'001 && row.rect.top >= 0 && row.rect.bottom <= 600);
    }
    EXPECT_TRUE(whole);
}

TEST_F(ListViewTest, BadHandlesAndRowsAnswerZero) {
    EXPECT_EQ(Ex_ObjSendMessage(0, EX_LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(Ex_ObjSendMessage(list + 1000, 0x102F, 5, 5), 0);
    Send(list, 0x102F, 5, 5);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 0), 0);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 6), 0);
    EXPECT_EQ(Send(list, EX_LVM_SETITEMSTATE, 0, 2), 0);
    EXPECT_EQ(Send(list, EX_LVM_SETITEMSTATE, 6, 2), 0);
    EXPECT_EQ(Send(list, EX_LVM_SETITEMSTATE, intptr_t{1} << 40, 2), 0);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTEDCOUNT), 0);
    Send(list, 0x1043, 1, 2);
    Send(list, 0x1043, 1, 99);
    EXPECT_EQ(Send(list, 0x1042), 0) << "a row out of range clears the mark";
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 2), 2) << "and leaves the selection";
    Send(list, 0x102F, -5, -5);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMCOUNT), 0);
    // Report-list messages mean nothing to an owner-data list.
    EXPECT_EQ(Send(list, EX_LVM_INSERTITEM), 0);
    EXPECT_EQ(Send(list, EX_LVM_DELETEALLITEMS), 0);
}

TEST_F(ListViewTest, AWorkerSetsTheRowCountAndSelectsTheFirstRow) {
    // The search's collector fills the list from its own thread.
    std::atomic<bool> done{false};
    std::thread worker([&] {
        Ex_ObjSendMessage(list, 0x102F, 250'000, 250'000);
        Ex_ObjSendMessage(list, 0x1043, 1, 1);
        done = true;
    });
    EXPECT_TRUE(inject::RunEventsUntil([&] { return done.load(); }, 10'000));
    worker.join();
    EXPECT_EQ(Send(list, EX_LVM_GETITEMCOUNT), 250'000);
    EXPECT_EQ(Send(list, 0x1042), 1);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 1), 2);
}

// The list's vertical bar, at the right of its 400 x 600 pixels: arrows of 14
// pixels at both ends, the track between. A thousand rows of 60 pixels scroll
// by 59,400 pixels: a line is a row, a page 600 pixels (ten rows), and the
// thumb is the shortest one, 26 pixels.
constexpr int BarX = 393;
constexpr int TrackTop = 14;
constexpr int ThumbLength = 26;
constexpr int ScrollSpan = 600 - 2 * TrackTop - ThumbLength;  // the thumb's travel

TEST_F(ListViewTest, ThePartsOfTheScrollBarScrollByARowOrAPage) {
    struct Case {
        const char* what;
        bool fromEnd;
        int y;
        intptr_t top;  // EX_LVM_GETTOPINDEX after the click
    };
    const Case cases[] = {
        {"down arrow", false, 593, 2},
        {"track below the thumb", false, 300, 11},
        {"up arrow at the top", false, 5, 1},
        {"up arrow", true, 5, 990},
        {"track above the thumb", true, 300, 981},
        {"down arrow at the end", true, 593, 991},
    };
    Send(list, 0x102F, 1000, 1000);
    for (const Case& c : cases) {
        Key(c.fromEnd ? EX_VK_END : EX_VK_HOME);
        Click(list, {BarX, c.y});
        EXPECT_EQ(Send(list, EX_LVM_GETTOPINDEX), c.top) << c.what;
    }
}

TEST_F(ListViewTest, DraggingTheThumbMovesTheRowsInProportionAndTheThumbWithThem) {
    Send(list, 0x102F, 1000, 1000);
    const ExPoint grab{BarX, TrackTop + ThumbLength / 2};
    const auto thumbShowsAt = [&](int y) {
        const ExArgb pixel = PixelOf(Paint(), list, BarX, y);
        return (pixel & 0xFF) > 0xEE;  // the thumb's face is lighter than the track
    };
    ASSERT_TRUE(thumbShowsAt(grab.y));
    inject::MouseDown(window, inject::PointIn(list, grab.x, grab.y));
    // Half its travel, and past the list's edge at the side: still held.
    inject::MouseMove(window, inject::PointIn(list, 600, grab.y + ScrollSpan / 2), EX_MK_LBUTTON);
    inject::MouseUp(window, inject::PointIn(list, 600, grab.y + ScrollSpan / 2));
    EXPECT_EQ(Send(list, EX_LVM_GETTOPINDEX), 29'700 / 60 + 1);
    EXPECT_FALSE(thumbShowsAt(grab.y));
    EXPECT_TRUE(thumbShowsAt(grab.y + ScrollSpan / 2));
    // Dragged past the end of the track, it stops at the last page.
    const ExPoint middle{BarX, grab.y + ScrollSpan / 2};
    inject::MouseDown(window, inject::PointIn(list, middle.x, middle.y));
    inject::MouseMove(window, inject::PointIn(list, middle.x, 900), EX_MK_LBUTTON);
    inject::MouseUp(window, inject::PointIn(list, middle.x, 900));
    EXPECT_EQ(Send(list, EX_LVM_GETTOPINDEX), 991);
}

TEST_F(ListViewTest, TheBarShowsOnlyWhileTheRowsOverflowAndTheRowsMakeRoomForIt) {
    struct Case {
        const char* what;
        intptr_t rows;
        bool scrollStyle;
        bool bar;
    };
    const Case cases[] = {
        {"ten rows fit", 10, true, false},
        {"eleven do not", 11, true, true},
        {"without the style", 1000, false, false},
    };
    for (const Case& c : cases) {
        const int32_t style = 0x10000008 | (c.scrollStyle ? EX_OS_VSCROLL : 0);
        Ex_ObjSetLong(list, EX_OL_STYLE, style);
        Send(list, EX_WM_SIZE);
        Send(list, 0x102F, c.rows, c.rows);
        const std::vector<Painted> painted = PaintNow();
        ASSERT_FALSE(painted.empty()) << c.what;
        EXPECT_EQ(painted.front().rect.right, c.bar ? 400 - 14 : 400) << c.what;
        EXPECT_EQ(PixelOf(Paint(), list, BarX, 270) == OddRow, !c.bar) << c.what;
    }
}

TEST_F(ListViewTest, HoldingTheTrackPagesUntilTheThumbIsUnderThePointer) {
    Send(list, 0x102F, 1000, 1000);
    // The thumb reaches y = 60 after four pages.
    inject::MouseDown(window, inject::PointIn(list, BarX, 60));
    EXPECT_TRUE(inject::RunEventsUntil([&] { return Send(list, EX_LVM_GETTOPINDEX) == 41; }));
    inject::RunEvents(200);
    inject::MouseUp(window, inject::PointIn(list, BarX, 60));
    EXPECT_EQ(Send(list, EX_LVM_GETTOPINDEX), 41);
}

TEST_F(ListViewTest, TheWheelScrollsThreeRowsANotchOrAPageWithCtrlOrShift) {
    struct Case {
        int32_t delta;
        uint32_t modifiers;
        intptr_t top;  // from the top
    };
    const Case cases[] = {
        {-120, 0, 4}, {-240, 0, 7}, {-120, EX_MK_CONTROL, 11}, {-120, EX_MK_SHIFT, 11}, {-40, 0, 2},
    };
    Send(list, 0x102F, 1000, 1000);
    for (const Case& c : cases) {
        Key(EX_VK_HOME);
        inject::Wheel(window, inject::PointIn(list, 100, 100), c.delta, c.modifiers);
        EXPECT_EQ(Send(list, EX_LVM_GETTOPINDEX), c.top) << c.delta << " " << c.modifiers;
    }
}

std::vector<int32_t>* g_parentWheels = nullptr;

intptr_t RecordWheel(ExHandle /*window*/, ExHandle /*object*/, int32_t message, intptr_t wParam,
                     intptr_t /*lParam*/, intptr_t* /*result*/) {
    if (message == EX_WM_MOUSEWHEEL) {
        g_parentWheels->push_back(static_cast<int16_t>((wParam >> 16) & 0xFFFF));
    }
    return 0;
}

TEST_F(ListViewTest, AWheelTurnedWhereTheRowsCannotGoIsLeftToTheParent) {
    std::vector<int32_t> wheels;
    g_parentWheels = &wheels;
    const ExHandle parent = Ex_ObjCreateEx(-1, u"Static", nullptr, -1, 450, 0, 400, 600, surface, 0,
                                           -1, 0, 0, RecordWheel);
    const ExHandle inner = Ex_ObjCreateEx(-1, u"ListView", nullptr, 0x50000008, 0, 0, 400, 600,
                                          parent, 0, -1, 0, 0, RowPainter);
    Send(inner, 0x102F, 1000, 1000);
    const ExPoint over = inject::PointIn(inner, 100, 100);
    inject::Wheel(window, over, 120);  // up, at the top
    inject::Wheel(window, over, -120);
    EXPECT_EQ(Send(inner, EX_LVM_GETTOPINDEX), 4);
    Send(inner, EX_LVM_SETSELECTIONMARK, 1, 1000);
    inject::Wheel(window, over, -120);  // down, at the end
    EXPECT_EQ(wheels, (std::vector<int32_t>{120, -120}));
    Ex_ObjDestroy(parent);
    g_parentWheels = nullptr;
}

}  // namespace
}  // namespace exdui::test
