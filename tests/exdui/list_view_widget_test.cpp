// The owner-data list widget driven through real mouse, wheel and key events,
// offscreen, with a host that records what the list asks of its owner. The
// widget is compiled into this test; the Qt application is the one that
// exdui_env.cpp starts for the whole run.
#include "list_view_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <vector>

namespace exdui {
namespace {

struct Drawn {
    std::int32_t row;
    QRect rect;
    std::uint32_t state;
};

struct Event {
    ListRowEvent what;
    std::int32_t row;
};

class RecordingHost : public ListViewHost {
  public:
    std::int32_t MeasureRowHeight(std::int32_t /*width*/, std::int32_t /*height*/) override {
        ++measured;
        return rowHeight;
    }
    void DrawRow(backend::Painter& /*painter*/, const ListRowPaint& row) override {
        drawn.push_back({row.row, row.rect, row.state});
    }
    void RowEvent(ListRowEvent what, std::int32_t row, QPoint /*pos*/) override {
        events.push_back({what, row});
    }

    std::int32_t rowHeight = 60;
    int measured = 0;
    std::vector<Drawn> drawn;
    std::vector<Event> events;
};

class ListViewWidgetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        list.SetHost(&host);
        list.resize(400, 600);  // 10 rows of 60 pixels
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    }

    // Repaints the whole viewport now and returns the rows the owner was asked for.
    std::vector<Drawn> Repaint() {
        host.drawn.clear();
        list.viewport()->repaint();
        return host.drawn;
    }

    QPoint RowCentre(std::int32_t row) { return list.RowRect(row).center(); }

    void Click(std::int32_t row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, RowCentre(row));
    }

    // Sent as the event itself; see list_view_test_support.h for why.
    void Hover(QPoint pos) {
        QMouseEvent move(QEvent::MouseMove, pos, list.viewport()->mapToGlobal(pos), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &move);
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&list, key, modifiers);
    }

    std::vector<std::int32_t> SelectedRows() {
        std::vector<std::int32_t> rows;
        for (std::int32_t r = 0; r < list.RowCount(); ++r) {
            if (list.Selection().IsSelected(r)) {
                rows.push_back(r);
            }
        }
        return rows;
    }

    RecordingHost host;
    ListViewWidget list;
};

TEST_F(ListViewWidgetTest, PartialScrollShowsPartialRowsAtBothEdges) {
    list.SetRowCount(100);
    list.SetScrollOffset(90);  // row 1 starts 30 pixels above the top
    const std::vector<Drawn> drawn = Repaint();
    ASSERT_EQ(drawn.size(), 11u);
    EXPECT_EQ(drawn.front().row, 1);
    EXPECT_EQ(drawn.front().rect.top(), -30);
    EXPECT_EQ(drawn.back().row, 11);
    EXPECT_EQ(list.RowAt(QPoint(5, 0)), 1);
    EXPECT_EQ(list.RowAt(QPoint(5, 29)), 1);
    EXPECT_EQ(list.RowAt(QPoint(5, 30)), 2);
}

TEST_F(ListViewWidgetTest, WheelScrollsByRows) {
    list.SetRowCount(1'000'000);
    const QPoint pos = RowCentre(2);
    QWheelEvent down(pos, list.viewport()->mapToGlobal(pos), QPoint(), QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list.viewport(), &down);
    EXPECT_EQ(list.ScrollOffset(), 3 * 60) << "one notch is three rows";
    EXPECT_EQ(Repaint().front().row, 3);
}

TEST_F(ListViewWidgetTest, HotRowFollowsThePointerAndLeavesWithIt) {
    list.SetRowCount(100);
    Click(4);
    Hover(RowCentre(4));
    EXPECT_EQ(list.RowState(4), 130u);
    Hover(RowCentre(6));
    EXPECT_EQ(list.RowState(4), 2u);
    EXPECT_EQ(list.RowState(6), 0x80u);
    const std::vector<Drawn> drawn = Repaint();
    EXPECT_EQ(drawn[6].state, 0x80u);
    EXPECT_EQ(drawn[4].state, 2u);

    // Rows moving under a resting pointer change the hot row.
    list.SetScrollOffset(60);
    EXPECT_EQ(list.RowState(7), 0x80u);
    EXPECT_EQ(list.RowState(6), 0u);

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(list.viewport(), &leave);
    EXPECT_EQ(list.Selection().Hot(), ListViewSelection::None);
}

TEST_F(ListViewWidgetTest, RightClickSelectsAnUnselectedRowAndKeepsASelectedOne) {
    list.SetRowCount(8);
    Click(1);
    Click(3, Qt::ShiftModifier);
    QTest::mouseClick(list.viewport(), Qt::RightButton, Qt::NoModifier, RowCentre(2));
    EXPECT_EQ(SelectedRows(), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(list.SelectionMark(), 2);
    ASSERT_EQ(host.events.back().what, ListRowEvent::RightClick);
    EXPECT_EQ(host.events.back().row, 2);

    QTest::mouseClick(list.viewport(), Qt::RightButton, Qt::NoModifier, RowCentre(6));
    EXPECT_EQ(SelectedRows(), (std::vector<std::int32_t>{6}));

    QTest::mouseClick(list.viewport(), Qt::RightButton, Qt::NoModifier, QPoint(10, 599));
    EXPECT_EQ(SelectedRows(), (std::vector<std::int32_t>{6})) << "empty area keeps the selection";
    EXPECT_EQ(host.events.back().what, ListRowEvent::RightClick);
    EXPECT_EQ(host.events.back().row, -1);
}

TEST_F(ListViewWidgetTest, KeysWithCtrlMoveOnlyTheMark) {
    list.SetRowCount(1'000'000);
    list.setFocus();
    Key(Qt::Key_Down);
    EXPECT_EQ(list.SelectionMark(), 0) << "with no mark the first key takes the first row";
    EXPECT_EQ(SelectedRows(), (std::vector<std::int32_t>{0}));
    Key(Qt::Key_PageDown);
    EXPECT_EQ(list.SelectionMark(), 10);
    EXPECT_EQ(list.ScrollOffset(), 11 * 60 - 600) << "brought into view at the bottom, exactly";
    Key(Qt::Key_Down, Qt::ControlModifier);
    Key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(list.SelectionMark(), 12);
    EXPECT_EQ(SelectedRows(), (std::vector<std::int32_t>{10}));
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(SelectedRows(), (std::vector<std::int32_t>{10, 12}));
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(SelectedRows(), (std::vector<std::int32_t>{10}));
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list.Selection().SelectedCount(), 1'000'000);
}

TEST_F(ListViewWidgetTest, RowHeightIsMeasuredAgainOnRequest) {
    list.SetRowCount(100);
    host.rowHeight = 20;
    EXPECT_EQ(list.RowHeight(), 60) << "cached until asked to measure again";
    list.RemeasureRowHeight();
    EXPECT_EQ(list.RowHeight(), 20);
    EXPECT_EQ(Repaint().size(), 30u);
    host.rowHeight = 0;  // nonsense from the owner
    list.RemeasureRowHeight();
    EXPECT_EQ(list.RowHeight(), 1);
}

TEST_F(ListViewWidgetTest, HugeContentScrollsByRowsAndStillReachesTheEnd) {
    host.rowHeight = 100;
    list.SetRowCount(50'000'000);  // 5e9 pixels: beyond a scroll bar's int range
    list.verticalScrollBar()->setValue(list.verticalScrollBar()->maximum());
    const std::vector<Drawn> drawn = Repaint();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().row, 49'999'999);
    list.SetSelectionMark(25'000'000, true);
    EXPECT_TRUE(list.viewport()->rect().contains(list.RowRect(25'000'000)));
}

}  // namespace
}  // namespace exdui
