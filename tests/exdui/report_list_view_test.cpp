// The "ReportListView" class through the C API, set up as the copy list is:
// three columns, rows appended with a file icon and three cell writes, read
// back cell by cell, deleted by row number and all at once.
#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "list_view_test_support.h"

namespace exdui::test {
namespace {

constexpr ExArgb IconColour = 0xFFFF0000;

intptr_t g_lastCode = 0;
intptr_t g_lastRow = -1;

intptr_t RecordEvent(ExHandle /*object*/, int32_t /*id*/, int32_t code, intptr_t wParam,
                     intptr_t /*lParam*/) {
    g_lastCode = code;
    g_lastRow = wParam;
    return 0;
}

class ReportListViewTest : public ListWindowTest {
  protected:
    void SetUp() override {
        ListWindowTest::SetUp();
        // Style 0xD0000308: visible, both scroll bars, grid lines, style 8.
        list = Ex_ObjCreateEx(-1, u"ReportListView", nullptr, static_cast<int32_t>(0xD0000308), 2,
                              2, 800, 600, surface, 1004, -1, 0, 0, nullptr);
        ASSERT_NE(list, 0);
        Ex_ObjSetColor(list, EX_COLOR_BACKGROUND, 0x00000000, 0);
        Ex_ObjSetColor(list, EX_COLOR_BORDER, 0x2C000000, 0);
        Ex_ObjSetColor(list, EX_COLOR_LIST_HEADER, 0xFF000000, 0);
        EXPECT_EQ(Send(list, EX_LVM_SETROWHEIGHT, 0, 100), 1);
        Ex_ObjSetColor(list, EX_COLOR_TEXT, 0xFFDCDCDC, 0);
        EXPECT_EQ(AddColumn(u"   文件名", 400, 36), 1);
        EXPECT_EQ(AddColumn(u"  大小", 120, 37), 2);
        EXPECT_EQ(AddColumn(u"  路径", 650, 36), 3);
        Ex_ObjHandleEvent(list, EX_NM_DBLCLK, RecordEvent);
        Ex_ObjHandleEvent(list, EX_NM_RCLICK, RecordEvent);
        g_lastCode = 0;
        g_lastRow = -1;
        Ex_ObjSetFocus(list);
        inject::RunEvents(1);
        header = HeaderHeight();
    }

    // The header is painted in slot 8's black, the rows under it are not:
    // the list is transparent over the white window. Column 3's title ends
    // well before x 700.
    int HeaderHeight() const {
        const inject::Snapshot shot = Paint();
        int height = 0;
        while (height < 600 && PixelOf(shot, list, 700, height) == 0xFF000000) {
            ++height;
        }
        return height;
    }

    intptr_t AddColumn(const char16_t* title, int32_t width, int32_t format) {
        ExReportColumn column{title, width, format, 0xFF000000, 0};
        return Send(list, EX_LVM_INSERTCOLUMN, 0, reinterpret_cast<intptr_t>(&column));
    }

    bool Write(intptr_t row, int32_t column, const std::u16string& text) {
        ExReportCell cell{static_cast<int32_t>(row), column, text.c_str(), nullptr, 0};
        return Send(list, EX_LVM_SETITEM, 0, reinterpret_cast<intptr_t>(&cell)) == 1;
    }

    std::u16string Read(intptr_t row, int32_t column) {
        char16_t buffer[512];
        ExReportCell cell{0, column, nullptr, buffer, 512};
        const intptr_t length =
            Send(list, EX_LVM_GETITEMTEXT, row, reinterpret_cast<intptr_t>(&cell));
        return std::u16string(buffer, static_cast<size_t>(length));
    }

    // Appends a row the way the copy list does: insert, then three cells.
    intptr_t Append(const std::u16string& name, const std::u16string& size,
                    const std::u16string& path, int32_t image = 0) {
        ExReportRow row{0, image};
        const intptr_t index = Send(list, EX_LVM_INSERTITEM, 0, reinterpret_cast<intptr_t>(&row));
        Write(index, 1, name);
        Write(index, 2, size);
        Write(index, 3, path);
        return index;
    }

    std::vector<std::u16string> Paths() {
        std::vector<std::u16string> paths;
        for (intptr_t row = 1; row <= Send(list, EX_LVM_GETITEMCOUNT); ++row) {
            paths.push_back(Read(row, 3));
        }
        return paths;
    }

    // An image list of 32-pixel images holding one red 16-pixel PNG.
    static ExHandle RedImageList() {
        const std::string png = SolidPng(16, 16, IconColour);
        const ExHandle image = _img_createfrommemory(png.data(), png.size());
        const ExHandle images = _imglist_create(32, 32);
        _imglist_addimage(images, 0, image);
        _img_destroy(image);
        return images;
    }

    // A point of the rows' area, x across and y down from the top of row 1.
    ExPoint Rows(int x, int y) const { return {x, header + y}; }
    // A point inside row (from 1) with 100-pixel rows.
    ExPoint InRow(int32_t row) const { return Rows(200, (row - 1) * 100 + 50); }

    ExHandle list = 0;
    int header = 0;
};

TEST_F(ReportListViewTest, RowsAreAppendedWrittenAndReadBackCellByCell) {
    EXPECT_EQ(Send(list, EX_LVM_GETCOLUMNCOUNT), 3);
    EXPECT_EQ(Append(u"a.jpg", u"1.50 KB", u"/srv/照片/a.jpg"), 1);
    EXPECT_EQ(Append(u"b.png", u"0", u"/srv/b.png"), 2);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMCOUNT), 2);
    EXPECT_EQ(Read(1, 1), u"a.jpg");
    EXPECT_EQ(Read(1, 2), u"1.50 KB");
    EXPECT_EQ(Read(1, 3), u"/srv/照片/a.jpg");
    EXPECT_EQ(Read(2, 3), u"/srv/b.png");

    // Inserting before row 1 moves the others down.
    ExReportRow first{1, 0};
    EXPECT_EQ(Send(list, EX_LVM_INSERTITEM, 0, reinterpret_cast<intptr_t>(&first)), 1);
    EXPECT_EQ(Paths(), (std::vector<std::u16string>{u"", u"/srv/照片/a.jpg", u"/srv/b.png"}));
    // A row without a record is appended.
    EXPECT_EQ(Send(list, EX_LVM_INSERTITEM, 0, 0), 4);
}

TEST_F(ReportListViewTest, ReadingACellCutsToTheBufferAndReportsTheFullLength) {
    Append(u"name", u"1 B", u"/a/long/path");
    char16_t small[5] = {u'x', u'x', u'x', u'x', u'x'};
    ExReportCell cell{0, 3, nullptr, small, 5};
    EXPECT_EQ(Send(list, EX_LVM_GETITEMTEXT, 1, reinterpret_cast<intptr_t>(&cell)), 12);
    EXPECT_EQ(std::u16string(small), u"/a/l");
    ExReportCell lengthOnly{1, 3, nullptr, nullptr, 0};
    EXPECT_EQ(Send(list, EX_LVM_GETITEMTEXT, 0, reinterpret_cast<intptr_t>(&lengthOnly)), 12)
        << "row from the record when wParam is 0";

    // Missing rows, columns and records.
    char16_t buffer[8] = {u'x'};
    ExReportCell missing{0, 4, nullptr, buffer, 8};
    EXPECT_EQ(Send(list, EX_LVM_GETITEMTEXT, 1, reinterpret_cast<intptr_t>(&missing)), 0);
    EXPECT_EQ(buffer[0], u'\0');
    missing.column = 1;
    EXPECT_EQ(Send(list, EX_LVM_GETITEMTEXT, 2, reinterpret_cast<intptr_t>(&missing)), 0);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMTEXT, 1, 0), 0);
    EXPECT_FALSE(Write(2, 1, u"no such row"));
    EXPECT_FALSE(Write(1, 0, u"no column 0"));
    EXPECT_FALSE(Write(1, 4, u"no column 4"));
    EXPECT_EQ(Send(list, EX_LVM_SETITEM, 0, 0), 0);
}

TEST_F(ReportListViewTest, DeletingRowsMovesTheSelectionWithTheRows) {
    for (const char16_t* path : {u"/1", u"/2", u"/3", u"/4", u"/5"}) {
        Append(u"n", u"s", path);
    }
    Send(list, EX_LVM_SETSELECTIONMARK, 1, 4);
    Send(list, EX_LVM_SETITEMSTATE, 2, 2);
    // "删除选中" walks the rows from the last to the first.
    for (intptr_t row = Send(list, EX_LVM_GETITEMCOUNT); row >= 1; --row) {
        const intptr_t state = Send(list, EX_LVM_GETITEMSTATE, row);
        if (state == 2 || state == 130) {
            EXPECT_EQ(Send(list, EX_LVM_DELETEITEM, 1, row), 1);
        }
    }
    EXPECT_EQ(Paths(), (std::vector<std::u16string>{u"/1", u"/3", u"/5"}));
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTEDCOUNT), 0);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTIONMARK), 0) << "the marked row went";

    Send(list, EX_LVM_SETSELECTIONMARK, 1, 3);
    Send(list, EX_LVM_DELETEITEM, 1, 1);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTIONMARK), 2) << "the mark follows its row";
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 2), 2);
    EXPECT_EQ(Send(list, EX_LVM_DELETEITEM, 1, 3), 0) << "no row 3 any more";

    EXPECT_EQ(Send(list, EX_LVM_DELETEALLITEMS), 1);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMCOUNT), 0);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTIONMARK), 0);
}

TEST_F(ReportListViewTest, ManyRowsAreAppendedInOneMessage) {
    Append(u"first", u"1 B", u"/first");
    Send(list, EX_LVM_SETSELECTIONMARK, 1, 1);
    const char16_t* full[] = {u"a.jpg", u"2 B", u"/srv/照片/a.jpg"};
    const char16_t* partial[] = {u"b.png", nullptr};
    const ExReportRowCells rows[] = {{1, 3, full}, {0, 2, partial}, {0, 0, nullptr}};
    EXPECT_EQ(Send(list, EX_LVM_INSERTITEMS, 3, reinterpret_cast<intptr_t>(rows)), 2)
        << "the number of the first new row";
    EXPECT_EQ(Send(list, EX_LVM_GETITEMCOUNT), 4);
    EXPECT_EQ(Read(2, 1), u"a.jpg");
    EXPECT_EQ(Read(2, 3), u"/srv/照片/a.jpg");
    EXPECT_EQ(Read(3, 1), u"b.png");
    EXPECT_EQ(Read(3, 2), u"") << "a NULL text is empty";
    EXPECT_EQ(Read(4, 1), u"");
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTIONMARK), 1) << "the selection stays";
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 4), 0);
    // The new rows take part in selection like any other.
    Send(list, EX_LVM_SETITEMSTATE, static_cast<intptr_t>(-1), EX_LVIS_SELECTED);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTEDCOUNT), 4);

    EXPECT_EQ(Send(list, EX_LVM_INSERTITEMS, 0, reinterpret_cast<intptr_t>(rows)), 0);
    EXPECT_EQ(Send(list, EX_LVM_INSERTITEMS, 2, 0), 0);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMCOUNT), 4);
}

TEST_F(ReportListViewTest, AppendedRowsShowTheirImages) {
    const ExHandle images = RedImageList();
    Send(list, EX_LVM_SETIMAGELIST, 0, images);
    const char16_t* cells[] = {u"icon"};
    const ExReportRowCells rows[] = {{0, 1, cells}, {1, 1, cells}};
    Send(list, EX_LVM_INSERTITEMS, 2, reinterpret_cast<intptr_t>(rows));
    const inject::Snapshot shot = Paint();
    const ExPoint first = Rows(20, 50);
    EXPECT_NE(PixelOf(shot, list, first.x, first.y), IconColour);
    EXPECT_EQ(PixelOf(shot, list, first.x, first.y + 100), IconColour);
}

TEST_F(ReportListViewTest, ManyRowsGoInOnePassWithTheirSelection) {
    for (int i = 1; i <= 8; ++i) {
        Append(u"n", u"s", u"/" + std::u16string(1, static_cast<char16_t>(u'0' + i)));
    }
    Send(list, EX_LVM_SETSELECTIONMARK, 1, 7);
    Send(list, EX_LVM_SETITEMSTATE, 2, 2);
    Send(list, EX_LVM_SETITEMSTATE, 4, 2);
    // 0, 9 (past the end) and 3 after 5 (not ascending) are ignored.
    const std::int32_t rows[] = {0, 2, 5, 3, 6, 9};
    EXPECT_EQ(Send(list, EX_LVM_DELETEITEMS, 6, reinterpret_cast<intptr_t>(rows)), 3);
    EXPECT_EQ(Paths(), (std::vector<std::u16string>{u"/1", u"/3", u"/4", u"/7", u"/8"}));
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTEDCOUNT), 2);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 3), 2) << "row 4 moved up to 3, selected";
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTIONMARK), 4) << "the mark moved with row 7";
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 4) & EX_LVIS_SELECTED, EX_LVIS_SELECTED);

    const std::int32_t marked[] = {4};
    EXPECT_EQ(Send(list, EX_LVM_DELETEITEMS, 1, reinterpret_cast<intptr_t>(marked)), 1);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTIONMARK), 0) << "the marked row went";
    EXPECT_EQ(Send(list, EX_LVM_DELETEITEMS, 0, reinterpret_cast<intptr_t>(marked)), 0);
    EXPECT_EQ(Send(list, EX_LVM_DELETEITEMS, 3, 0), 0);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMCOUNT), 4);
}

TEST_F(ReportListViewTest, MouseSelectsRowsBelowTheHeaderAtTheRowHeight) {
    for (int i = 0; i < 5; ++i) {
        Append(u"n", u"s", u"/p");
    }
    Click(list, InRow(2));
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTIONMARK), 2);
    Hover(list, InRow(2));
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 2), 130);
    Click(list, InRow(4), EX_MK_SHIFT);
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTEDCOUNT), 3);
    Hover(list, InRow(5));
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 2), 2);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 5), 0x80);

    // The header sits above the rows: a click on it selects no row.
    ASSERT_GT(header, 0);
    Click(list, {200, header / 2});
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTEDCOUNT), 3);
}

TEST_F(ReportListViewTest, DoubleClickAndRightClickNotifyWithTheRow) {
    Append(u"n", u"s", u"/1");
    Append(u"n", u"s", u"/2");
    DoubleClick(list, InRow(2));
    EXPECT_EQ(g_lastCode, EX_NM_DBLCLK);
    EXPECT_EQ(g_lastRow, 2);
    // The copy list's double-click re-marks the current row and nothing else.
    Send(list, EX_LVM_SETSELECTIONMARK, 1, Send(list, EX_LVM_GETSELECTIONMARK));
    EXPECT_EQ(Send(list, EX_LVM_GETSELECTEDCOUNT), 1);
    EXPECT_EQ(Send(list, EX_LVM_GETITEMSTATE, 2), 130);

    Click(list, Rows(200, 450), 0, inject::Button::Right);
    EXPECT_EQ(g_lastCode, EX_NM_RCLICK);
    EXPECT_EQ(g_lastRow, 0) << "below the rows";
}

TEST_F(ReportListViewTest, AClickOnATitleNotifiesWithItsColumnAndAnEdgeDragDoesNot) {
    Ex_ObjHandleEvent(list, EX_LVN_COLUMNCLICK, RecordEvent);
    const int middle = header / 2;
    Click(list, {450, middle});
    EXPECT_EQ(g_lastCode, EX_LVN_COLUMNCLICK);
    EXPECT_EQ(g_lastRow, 2) << "the column, from 1";

    // Column 1's right edge, at 400, is dragged: a resize, no click.
    g_lastCode = 0;
    inject::MouseMove(window, inject::PointIn(list, 400, middle));
    inject::MouseDown(window, inject::PointIn(list, 400, middle));
    inject::MouseMove(window, inject::PointIn(list, 300, middle));
    inject::MouseUp(window, inject::PointIn(list, 300, middle));
    EXPECT_EQ(g_lastCode, 0);
    // Column 2 now starts at 300.
    Click(list, {350, middle});
    EXPECT_EQ(g_lastCode, EX_LVN_COLUMNCLICK);
    EXPECT_EQ(g_lastRow, 2);
    EXPECT_EQ(Send(list, EX_LVM_SETSORTMARK, 2, -1), 1);
    EXPECT_EQ(Send(list, EX_LVM_SETSORTMARK, 4, 1), 0) << "no such column";
}

TEST_F(ReportListViewTest, ARowWithItsOwnTextColourDrawsEveryCellInIt) {
    const char16_t* cells[] = {u"缺少缺少缺少", u"0", u"缺少缺少缺少"};
    ExReportRowCells rows[] = {{0, 3, cells}, {0, 3, cells}};
    rows[0].textColor = 0xFFFF0000;
    Send(list, EX_LVM_INSERTITEMS, 2, reinterpret_cast<intptr_t>(rows));
    const inject::Snapshot shot = Paint();
    const auto redPixels = [&](int top) {
        int red = 0;
        for (int x = 0; x < 780; ++x) {
            for (int y = top; y < top + 100; ++y) {
                const ExArgb c = PixelOf(shot, list, x, header + y);
                red += ((c >> 16) & 0xFF) > 200 && ((c >> 8) & 0xFF) < 90 && (c & 0xFF) < 90;
            }
        }
        return red;
    };
    EXPECT_GT(redPixels(0), 50);
    EXPECT_EQ(redPixels(100), 0) << "the other row keeps its columns' colour";
}

TEST_F(ReportListViewTest, RowImagesComeFromTheImageListAndFollowColumnOne) {
    const ExHandle images = RedImageList();
    ASSERT_EQ(_imglist_count(images), 1);

    EXPECT_EQ(Send(list, EX_LVM_SETIMAGELIST, 0, images), 0);
    EXPECT_EQ(Send(list, EX_LVM_GETIMAGELIST), images);
    Append(u"with icon", u"1 B", u"/a", 1);
    Append(u"without", u"1 B", u"/b", 0);

    // The 32-pixel icon sits 4 pixels in, centred in the 100-pixel row.
    const ExPoint icon = Rows(20, 50);
    const inject::Snapshot shot = Paint();
    EXPECT_EQ(PixelOf(shot, list, icon.x, icon.y), IconColour);
    EXPECT_NE(PixelOf(shot, list, icon.x, icon.y + 100), IconColour);

    // A column 1 narrowed to nothing hides its icon too.
    EXPECT_EQ(Send(list, EX_LVM_SETCOLUMNWIDTH, 1, 0), 1);
    EXPECT_NE(PixelOf(Paint(), list, icon.x, icon.y), IconColour);
    EXPECT_EQ(Send(list, EX_LVM_SETCOLUMNWIDTH, 9, 10), 0);

    // An image list that was destroyed draws nothing rather than crashing.
    _imglist_destroy(images);
    Send(list, EX_LVM_SETCOLUMNWIDTH, 1, 400);
    EXPECT_NE(PixelOf(Paint(), list, icon.x, icon.y), IconColour);
    EXPECT_EQ(Send(list, EX_LVM_SETIMAGELIST, 0, 12345), 0) << "not an image list";
}

TEST_F(ReportListViewTest, TheListDestroysItsImageListUnlessShared) {
    const ExHandle owned = RedImageList();
    const ExHandle replaced = RedImageList();
    Send(list, EX_LVM_SETIMAGELIST, 0, replaced);
    EXPECT_EQ(Send(list, EX_LVM_SETIMAGELIST, 0, owned), replaced) << "back to the caller";
    const ExHandle shared = RedImageList();
    const ExHandle other =
        Ex_ObjCreateEx(-1, u"ReportListView", nullptr, EX_OS_VISIBLE | EX_LVS_SHAREIMAGELISTS, 0,
                       620, 100, 50, surface, 0, -1, 0, 0, nullptr);
    Send(other, EX_LVM_SETIMAGELIST, 0, shared);

    Ex_ObjDestroy(list);
    Ex_ObjDestroy(other);
    list = 0;
    inject::RunEvents(5);
    EXPECT_EQ(_imglist_count(owned), 0) << "destroyed with its list";
    EXPECT_EQ(_imglist_count(replaced), 1);
    EXPECT_EQ(_imglist_count(shared), 1);
    _imglist_destroy(replaced);
    _imglist_destroy(shared);
}

TEST_F(ReportListViewTest, WideColumnsScrollSideways) {
    Append(u"n", u"s", u"/p");
    // The grid line after column 1 shows where it ends; a step to the right
    // moves it 20 pixels left while 1170 pixels of columns are more than the
    // 800 shown.
    const ExPoint edge = Rows(399, 50);
    const auto lineAt = [&](int x) { return PixelOf(Paint(), list, x, edge.y) != 0xFFFFFFFF; };
    ASSERT_TRUE(lineAt(edge.x));
    Key(EX_VK_RIGHT);
    EXPECT_TRUE(lineAt(edge.x - 20));
    EXPECT_FALSE(lineAt(edge.x));
    // The right arrow of the bar along the bottom steps as far.
    inject::Click(window, inject::PointIn(list, 793, 593));
    EXPECT_TRUE(lineAt(edge.x - 40));
    // Narrowed to fit, the columns stand still.
    Send(list, EX_LVM_SETCOLUMNWIDTH, 3, 100);
    EXPECT_TRUE(lineAt(edge.x));
    Key(EX_VK_RIGHT);
    EXPECT_TRUE(lineAt(edge.x));
}

intptr_t TipFromOwner(ExHandle /*object*/, int32_t /*id*/, int32_t /*code*/, intptr_t /*wParam*/,
                      intptr_t lParam) {
    auto* tip = reinterpret_cast<ExListTip*>(lParam);
    if (tip->column == 2) {
        std::u16string text =
            u"第 " + std::u16string(1, static_cast<char16_t>(u'0' + tip->item)) + u" 行";
        std::copy(text.begin(), text.end(), tip->buffer);
        tip->buffer[text.size()] = 0;
    }
    return 1;
}

TEST_F(ReportListViewTest, ACutCellShowsItsWholeTextInATooltipWhichTheOwnerMayReplace) {
    const std::u16string longPath =
        u"/srv/扫描件/" + std::u16string(120, u'长') + u"/SF1400000000001-<b>正面</b>.jpg";
    Append(u"SF1400000000001.jpg", u"1.50 KB", longPath);
    const auto tipAt = [&](int x, int y) {
        const ExPoint at = Rows(x, y);
        return inject::TooltipAt(window, inject::PointIn(list, at.x, at.y));
    };
    EXPECT_EQ(tipAt(600, 50), longPath) << "the path, cut";
    EXPECT_TRUE(tipAt(10, 50).empty()) << "the name shows whole";
    EXPECT_TRUE(tipAt(10, 150).empty()) << "below the rows";

    Ex_ObjHandleEvent(list, EX_LVN_GETINFOTIP, TipFromOwner);
    EXPECT_EQ(tipAt(410, 50), u"第 1 行") << "the size column";
    EXPECT_EQ(tipAt(600, 50), longPath) << "left to the list";
    // Without a text of the row's own, the object's tooltip shows.
    Ex_ObjSetTooltip(list, u"复制栏");
    EXPECT_EQ(tipAt(10, 50), u"复制栏");
}

TEST_F(ReportListViewTest, AWorkerReadsTheRowsWhileTheUiRuns) {
    // The copy job reads row count and paths from its own thread.
    for (int i = 1; i <= 50; ++i) {
        Append(u"n", u"s", u"/srv/" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)));
    }
    std::atomic<bool> done{false};
    std::vector<std::u16string> seen;
    std::thread worker([&] {
        const intptr_t count = Ex_ObjSendMessage(list, EX_LVM_GETITEMCOUNT, 0, 0);
        for (intptr_t row = 1; row <= count; ++row) {
            char16_t text[64];
            ExReportCell cell{0, 3, nullptr, text, 64};
            const intptr_t length =
                Ex_ObjSendMessage(list, EX_LVM_GETITEMTEXT, row, reinterpret_cast<intptr_t>(&cell));
            seen.emplace_back(text, static_cast<size_t>(length));
        }
        done = true;
    });
    EXPECT_TRUE(inject::RunEventsUntil([&] { return done.load(); }, 10'000));
    worker.join();
    EXPECT_EQ(seen, Paths());
    EXPECT_EQ(seen.size(), 50u);
}

}  // namespace
}  // namespace exdui::test
