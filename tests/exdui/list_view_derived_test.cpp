// A class derived from "ListView" the way the program's extended list box is:
// registered with the list view's class data, its own procedure handling the
// row height and the row drawing and then chaining to the list view's.
#include <string>
#include <vector>

#include "list_view_test_support.h"

namespace exdui::test {
namespace {

constexpr ExArgb SelectedFill = 0xFFFF0000;
constexpr ExArgb RowFill = 0xFFA9A9A9;

ExClassProc g_listViewProc = nullptr;

struct BoxRows {
    std::vector<std::u16string> texts;
    std::vector<int32_t> drawnItems;
    int notices = 0;
};

// Extra storage: index 0 the rows, index 3 the row height.
intptr_t BoxProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                 intptr_t lParam) {
    auto* rows = reinterpret_cast<BoxRows*>(Ex_ObjGetLong(object, 0));
    if (message == EX_WM_NOTIFY && rows != nullptr) {
        const auto* nm = reinterpret_cast<const ExNotify*>(lParam);
        if (nm->from == object && nm->code == EX_NM_CALCSIZE) {
            reinterpret_cast<ExListSize*>(nm->lParam)->height =
                static_cast<int32_t>(Ex_ObjGetLong(object, 3));
        } else if (nm->from == object && nm->code == EX_NM_CUSTOMDRAW) {
            const auto* draw = reinterpret_cast<const ExListDraw*>(nm->lParam);
            if (draw->item >= 1 && static_cast<size_t>(draw->item) <= rows->texts.size()) {
                rows->drawnItems.push_back(draw->item);
                const ExHandle brush =
                    _brush_create((draw->state & 2) != 0 ? SelectedFill : RowFill);
                _canvas_fillrect(draw->canvas, brush, static_cast<float>(draw->rect.left),
                                 static_cast<float>(draw->rect.top),
                                 static_cast<float>(draw->rect.right),
                                 static_cast<float>(draw->rect.bottom));
                _brush_destroy(brush);
                const std::u16string& text = rows->texts[static_cast<size_t>(draw->item - 1)];
                _canvas_drawtext(
                    draw->canvas, Ex_ObjGetFont(object), 0xFF000000, text.c_str(), -1, 36,
                    static_cast<float>(draw->rect.left), static_cast<float>(draw->rect.top),
                    static_cast<float>(draw->rect.right), static_cast<float>(draw->rect.bottom));
            }
        } else if (nm->from == object) {
            ++rows->notices;
        }
    }
    return Ex_ObjCallProc(g_listViewProc, window, object, message, wParam, lParam);
}

class DerivedListTest : public ListWindowTest {
  protected:
    void SetUp() override {
        ListWindowTest::SetUp();
        ExClassInfo info{};
        ASSERT_TRUE(Ex_ObjGetClassInfoEx(u"ListView", &info));
        ASSERT_NE(info.proc, nullptr);
        g_listViewProc = info.proc;
        // Classes live as long as the library, which the whole test run shares.
        ExClassInfo existing{};
        if (!Ex_ObjGetClassInfoEx(u"kzlbkDY", &existing)) {
            ASSERT_TRUE(Ex_ObjRegister(u"kzlbkDY", info.style, info.styleEx, info.textFormat, 40,
                                       info.cursor, info.flags, BoxProc));
        }
        box = Ex_ObjCreateEx(0x06000000, u"kzlbkDY", nullptr, static_cast<int32_t>(0xD0000000), 10,
                             90, 300, 250, surface, 1032, -1, 0, 0, nullptr);
        ASSERT_NE(box, 0);
        Ex_ObjSetLong(box, 0, reinterpret_cast<intptr_t>(&rows));
        Ex_ObjSetLong(box, 3, 40);
        Send(box, EX_WM_SIZE);  // the row height changed
        inject::RunEvents(1);
    }

    void AddRow(const std::u16string& text) {
        rows.texts.push_back(text);
        Send(box, EX_LVM_SETITEMCOUNT, static_cast<intptr_t>(rows.texts.size()));
    }

    BoxRows rows;
    ExHandle box = 0;
};

TEST_F(DerivedListTest, DrawsItsOwnRowsAtItsOwnHeight) {
    AddRow(u"/home/a");
    AddRow(u"/home/b");
    AddRow(u"/srv/照片");
    EXPECT_EQ(Send(box, EX_LVM_GETITEMCOUNT), 3);
    rows.drawnItems.clear();
    const inject::Snapshot shot = Paint();
    EXPECT_EQ(rows.drawnItems, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(PixelOf(shot, box, 270, 2), RowFill);
    EXPECT_EQ(PixelOf(shot, box, 270, 118), RowFill) << "row 3 ends at 120";
    EXPECT_NE(PixelOf(shot, box, 270, 125), RowFill) << "nothing below the last row";
}

TEST_F(DerivedListTest, SelectsOneRowAndDrawsItSelected) {
    for (const char16_t* text : {u"a", u"b", u"c", u"d"}) {
        AddRow(text);
    }
    Click(box, {100, 60});                // row 2
    Click(box, {100, 140}, EX_MK_SHIFT);  // row 4; no style 8, no range
    EXPECT_EQ(Send(box, EX_LVM_GETSELECTIONMARK), 4);
    EXPECT_EQ(Send(box, EX_LVM_GETSELECTEDCOUNT), 1);
    EXPECT_EQ(PixelOf(Paint(), box, 270, 140), SelectedFill);

    Send(box, EX_LVM_SETSELECTIONMARK, 1, 1);
    EXPECT_EQ(Send(box, EX_LVM_GETITEMSTATE, 1), 2);
    EXPECT_EQ(Send(box, EX_LVM_GETITEMSTATE, 4), 0x80)
        << "no longer selected; the pointer rests on it";
}

TEST_F(DerivedListTest, RemovingRowsAndChangingTheHeightKeepTheListInStep) {
    for (const char16_t* text : {u"a", u"b", u"c"}) {
        AddRow(text);
    }
    Send(box, EX_LVM_SETSELECTIONMARK, 1, 3);
    rows.texts.pop_back();
    Send(box, EX_LVM_SETITEMCOUNT, 2);
    EXPECT_EQ(Send(box, EX_LVM_GETSELECTIONMARK), 0) << "the marked row is gone";

    Ex_ObjSetLong(box, 3, 100);
    Send(box, EX_WM_SIZE);
    Click(box, {100, 150});
    EXPECT_EQ(Send(box, EX_LVM_GETSELECTIONMARK), 2) << "rows are 100 pixels high now";
}

TEST_F(DerivedListTest, NotificationsPassThroughTheDerivedProcedureToHandlers) {
    AddRow(u"a");
    static int doubleClicks = 0;
    doubleClicks = 0;
    Ex_ObjHandleEvent(box, EX_NM_DBLCLK,
                      [](ExHandle, int32_t id, int32_t, intptr_t row, intptr_t) -> intptr_t {
                          doubleClicks += id == 1032 && row == 1 ? 1 : 0;
                          return 0;
                      });
    DoubleClick(box, {100, 20});
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_GE(rows.notices, 1) << "the derived procedure saw the notification first";
}

}  // namespace
}  // namespace exdui::test
