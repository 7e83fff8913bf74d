// The "ListView" class through the C API: an owner-data list of a million
// rows drawn by its owner's procedure, driven by messages and by real mouse
// and key events, offscreen.
#include <QImage>
#include <QScrollBar>
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
        ASSERT_NE(AreaOf(list), nullptr);
        Pump(1);
    }

    void TearDown() override {
        Ex_ObjDestroy(list);
        ListWindowTest::TearDown();
        g_owner = nullptr;
    }

    std::vector<Painted> PaintNow() {
        owner.painted.clear();
        Repaint(list);
        return owner.painted;
    }

    // Centre of row (from 1) while the list is scrolled to the top.
    static QPoint RowCentre(int32_t row) { return {100, (row - 1) * 60 + 30}; }

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
    const int width = Viewport(list)->width();
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
    const QImage shot = Viewport(list)->grab().toImage();
    EXPECT_EQ(shot.pixel(50, 30), OddRow);
    EXPECT_EQ(shot.pixel(50, 90), EvenRow);
}

TEST_F(ListViewTest, InvalidatingTheObjectRedrawsTheRows) {
    // The program redraws the result list this way after changing a copy mark.
    Send(list, 0x102F, 100, 100);
    Pump(5);
    owner.painted.clear();
    Ex_ObjInvalidateRect(list, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return owner.painted.size() >= 10; }, 2000));
    EXPECT_EQ(owner.painted.front().item, 1);
}

TEST_F(ListViewTest, ScrollStepsAtAMillionRowsAskOnlyForTheRowsNowVisible) {
    Send(list, 0x102F, 1'000'000, 1'000'000);
    QAbstractScrollArea* area = AreaOf(list);
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->value() + 90);
    std::vector<Painted> painted = PaintNow();
    ASSERT_EQ(painted.size(), 11u);
    EXPECT_EQ(painted.front().item, 2);
    EXPECT_EQ(painted.front().rect.top, -30);

    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    painted = PaintNow();
    ASSERT_FALSE(painted.empty());
    EXPECT_EQ(painted.back().item, 1'000'000);
    EXPECT_EQ(painted.back().rect.bottom, 600);

    Key(list, Qt::Key_Home);
    EXPECT_EQ(PaintNow().front().item, 1);
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

TEST_F(ListViewTest, ItemStatesAreTwoHotOrBothAndSetOneByOne) {
    Send(list, 0x102F, 20, 20);
    Click(list, RowCentre(2));
    Hover(list, RowCentre(2));
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 2), 130) << "selected and hot";
    Hover(list, RowCentre(4));
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 2), 2);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 4), 0x80);
    const std::vector<Painted> painted = PaintNow();
    EXPECT_EQ(painted[3].state, 0x80u) << "the owner is told the row is hot";

    // Setting a state takes only the selected bit; the hot bit is the mouse's.
    EXPECT_EQ(Send(list, EX_LVM_SETITEMSTATE, 5, 0x82), 1);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 5), 2);
    EXPECT_EQ(Send(list, EX_LVM_SETITEMSTATE, 2, 0), 1);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 2), 0);
    EXPECT_EQ(Send(list, EX_LVM_SETITEMSTATE, 4, 0x80), 1);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 4), 0x80);
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
    Click(list, RowCentre(5), Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(10), (std::vector<int32_t>{2, 3, 4, 5}));
    EXPECT_EQ(Send(list, 0x1042), 5);
    Click(list, RowCentre(3), Qt::ControlModifier);
    Click(list, RowCentre(8), Qt::ControlModifier);
    EXPECT_EQ(SelectedRows(10), (std::vector<int32_t>{2, 4, 5, 8}));
    // Shift now extends from the last Ctrl-clicked row and replaces the rest.
    Click(list, RowCentre(10), Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(10), (std::vector<int32_t>{8, 9, 10}));
    Click(list, RowCentre(6));
    EXPECT_EQ(SelectedRows(10), (std::vector<int32_t>{6}));
}

TEST_F(ListViewTest, WithoutStyleEightEveryClickSelectsOneRow) {
    Ex_ObjSetLong(list, EX_OL_STYLE, 0x50000000);
    Send(list, 0x102F, 20, 20);
    Click(list, RowCentre(2));
    Click(list, RowCentre(5), Qt::ShiftModifier);
    Click(list, RowCentre(7), Qt::ControlModifier);
    EXPECT_EQ(SelectedRows(20), (std::vector<int32_t>{7}));
}

TEST_F(ListViewTest, DoubleClickAndRightClickNotifyWithTheRowAfterSelecting) {
    Send(list, 0x102F, 100, 100);
    DoubleClick(list, RowCentre(3));
    ASSERT_EQ(owner.noticed.size(), 1u);
    EXPECT_EQ(owner.noticed[0].code, EX_NM_DBLCLK);
    EXPECT_EQ(owner.noticed[0].row, 3);
    EXPECT_EQ(owner.noticed[0].markAtThatTime, 3) << "the handler reads the row it was clicked on";

    Click(list, RowCentre(6), Qt::NoModifier, Qt::RightButton);
    ASSERT_EQ(owner.noticed.size(), 2u);
    EXPECT_EQ(owner.noticed[1].code, EX_NM_RCLICK);
    EXPECT_EQ(owner.noticed[1].row, 6);
    EXPECT_EQ(owner.noticed[1].markAtThatTime, 6);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 6), 130) << "selected, and under the pointer";
}

TEST_F(ListViewTest, DoubleClickBelowTheLastRowDoesNotNotify) {
    // A double-click on the empty area would act on the old selection mark,
    // a row the user did not point at.
    Send(list, 0x102F, 3, 3);
    Click(list, RowCentre(2));
    DoubleClick(list, QPoint(100, 500));
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
    Pump(5);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMCOUNT), 0) << "the handle is gone";
    list = 0;
}

TEST_F(ListViewTest, KeysMoveTheSelectionThroughAMillionRows) {
    Send(list, 0x102F, 1'000'000, 1'000'000);
    Click(list, RowCentre(1));
    Key(list, Qt::Key_Down);
    Key(list, Qt::Key_Down);
    EXPECT_EQ(Send(list, 0x1042), 3);
    Key(list, Qt::Key_PageDown);
    EXPECT_EQ(Send(list, 0x1042), 13);
    Key(list, Qt::Key_End);
    EXPECT_EQ(Send(list, 0x1042), 1'000'000);
    EXPECT_EQ(PaintNow().back().item, 1'000'000);
    Key(list, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTEDCOUNT), 2);
    Key(list, Qt::Key_PageUp);
    EXPECT_EQ(Send(list, 0x1042), 999'989);
    Key(list, Qt::Key_Home);
    EXPECT_EQ(Send(list, 0x1042), 1);
    EXPECT_EQ(PaintNow().front().item, 1);
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
}

TEST_F(ListViewTest, RowHeightIsAskedAgainOnSize) {
    Send(list, 0x102F, 100, 100);
    EXPECT_EQ(PaintNow().size(), 10u);
    owner.rowHeight = 30;
    Send(list, EX_WM_SIZE, 0, 0);  // an owner that changed its row height says so
    const std::vector<Painted> painted = PaintNow();
    ASSERT_EQ(painted.size(), 20u);
    EXPECT_EQ(painted[1].rect.top, 30);
    // The list still fills its object after a size message without a size.
    EXPECT_EQ(Viewport(list)->height(), 600);
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
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }, 10'000));
    worker.join();
    EXPECT_EQ(Send(list, EX_LVM_GETITEMCOUNT), 250'000);
    EXPECT_EQ(Send(list, 0x1042), 1);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 1), 2);
}

}  // namespace
}  // namespace exdui::test
