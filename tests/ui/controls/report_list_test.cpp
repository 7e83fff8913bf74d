#include "ui/controls/report_list.h"

#include "controls_fixture.h"
#include "temp_dir.h"

namespace cj::ui {
namespace {

using test::ControlsTest;

class ReportListTest : public ControlsTest {
  protected:
    ReportList MakeList(int iconSize = 1) {
        ReportList list;
        ReportListDescription d;
        d.parent = Surface();
        d.id = 1004;
        d.x = 2;
        d.y = 2;
        d.width = 460;
        d.height = 300;
        d.verticalScrollBar = true;
        d.styleBits = EX_RLVS_HLINES | EX_RLVS_VLINES | EX_LVS_MULTISELECT;
        d.background = 0x00000000;
        d.border = 0x2C000000;
        d.header = 0xFF000000;
        d.iconSize = iconSize;
        EXPECT_TRUE(list.Create(d));
        EXPECT_EQ(list.AddColumn("   文件名", 200, 36), 1);
        EXPECT_EQ(list.AddColumn("  大小", 80, 37), 2);
        EXPECT_EQ(list.AddColumn("  路径", 150, 36), 3);
        return list;
    }
};

TEST_F(ReportListTest, CreationSetsStyleColoursAndRowHeight) {
    const ReportList list = MakeList();
    EXPECT_EQ(static_cast<std::uint32_t>(Ex_ObjGetLong(list.Handle(), EX_OL_STYLE)), 0xD0000308u);
    EXPECT_EQ(Ex_ObjGetColor(list.Handle(), EX_COLOR_BORDER), 0x2C000000u);
    EXPECT_EQ(Ex_ObjGetColor(list.Handle(), EX_COLOR_LIST_HEADER), 0xFF000000u);
    EXPECT_EQ(list.Send(EX_LVM_GETCOLUMNCOUNT), 3);
    EXPECT_NE(list.Send(EX_LVM_GETIMAGELIST), 0);

    ReportList noIcons;
    ReportListDescription d;
    d.parent = Surface();
    d.width = 100;
    d.height = 100;
    d.iconSize = 0;
    ASSERT_TRUE(noIcons.Create(d));
    EXPECT_EQ(static_cast<std::uint32_t>(Ex_ObjGetLong(noIcons.Handle(), EX_OL_STYLE)), 0x90000000u)
        << "no vertical scroll bar unless asked";
    EXPECT_EQ(noIcons.Send(EX_LVM_GETIMAGELIST), 0);
    EXPECT_NE(noIcons.InsertRow(), 0);
}

TEST_F(ReportListTest, RowsHoldTheirCellsWhole) {
    const ReportList list = MakeList();
    const std::string path = "/srv/扫描/" + std::string(3000, 'x') + ".jpg";
    const int row = list.InsertRow();
    ASSERT_EQ(row, 1);
    EXPECT_TRUE(list.SetCell(row, 1, "快递单.jpg"));
    EXPECT_TRUE(list.SetCell(row, 2, "1.25 MB"));
    EXPECT_TRUE(list.SetCell(row, 3, path));
    EXPECT_FALSE(list.SetCell(2, 1, "no such row"));
    EXPECT_EQ(list.CellText(1, 1), "快递单.jpg");
    EXPECT_EQ(list.CellText(1, 3), path) << "a long path is read in full";
    EXPECT_EQ(list.CellText(1, 4), "");
    EXPECT_EQ(list.CellText(2, 1), "");
}

TEST_F(ReportListTest, SelectionDeletionAndCount) {
    const ReportList list = MakeList();
    for (int i = 0; i < 4; ++i) {
        const int row = list.InsertRow();
        list.SetCell(row, 3, "/p/" + std::to_string(i));
    }
    ASSERT_EQ(list.RowCount(), 4);
    list.SelectRow(3);
    EXPECT_EQ(list.SelectedRow(), 3);
    EXPECT_TRUE(list.IsRowSelected(3));
    EXPECT_FALSE(list.IsRowSelected(2));

    MoveTo(list.Handle(), 100, 200);  // A hot row still counts as selected or not by its bit.
    EXPECT_TRUE(list.IsRowSelected(3));

    EXPECT_TRUE(list.DeleteRow(2));
    EXPECT_EQ(list.RowCount(), 3);
    EXPECT_EQ(list.CellText(2, 3), "/p/2");
    EXPECT_FALSE(list.DeleteRow(9));
    list.DeleteAllRows();
    EXPECT_EQ(list.RowCount(), 0);
}

TEST_F(ReportListTest, ManyRowsAreAppendedAndDeletedAtOnce) {
    cj::test::TempDir dir;
    dir.WriteFile("a.txt", "x");
    dir.WriteFile("b.txt", "x");
    const ReportList list = MakeList(1);
    const auto images = static_cast<ExHandle>(list.Send(EX_LVM_GETIMAGELIST));
    std::vector<ReportRowTexts> rows;
    for (int i = 1; i <= 6; ++i) {
        rows.push_back(
            {{"名" + std::to_string(i), std::to_string(i) + " B", "/p/" + std::to_string(i)},
             dir / (i % 2 == 0 ? "a.txt" : "b.txt")});
    }
    rows.push_back({{"no icon"}, ""});
    EXPECT_EQ(list.AppendRows(rows), 1);
    EXPECT_EQ(list.AppendRows({}), 0);
    ASSERT_EQ(list.RowCount(), 7);
    EXPECT_EQ(list.CellText(4, 1), "名4");
    EXPECT_EQ(list.CellText(4, 2), "4 B");
    EXPECT_EQ(list.CellText(4, 3), "/p/4");
    EXPECT_EQ(list.CellText(7, 1), "no icon");
    EXPECT_EQ(_imglist_count(images), 1) << "one type, one lookup";

    const std::size_t gone[] = {1, 4, 5, 99};
    EXPECT_EQ(list.DeleteRows(gone), 3);
    ASSERT_EQ(list.RowCount(), 4);
    EXPECT_EQ(list.CellText(1, 3), "/p/2");
    EXPECT_EQ(list.CellText(2, 3), "/p/3");
    EXPECT_EQ(list.CellText(3, 3), "/p/6");
    const std::size_t beyondTheLibrary[] = {std::size_t{1} << 40};
    EXPECT_EQ(list.DeleteRows(beyondTheLibrary), 0);
    EXPECT_EQ(list.RowCount(), 4);
}

TEST_F(ReportListTest, FilesOfOneTypeShareOneIcon) {
    cj::test::TempDir dir;
    for (const char* name : {"a.txt", "b.TXT", "c.png", "noext"}) {
        dir.WriteFile(name, "x");
    }
    const ReportList list = MakeList(1);
    const auto images = static_cast<ExHandle>(list.Send(EX_LVM_GETIMAGELIST));
    ASSERT_NE(images, 0);
    for (const char* name : {"a.txt", "b.TXT", "c.png", "noext"}) {
        EXPECT_NE(list.InsertRowWithIcon(dir / name), 0);
    }
    EXPECT_EQ(list.RowCount(), 4);
    EXPECT_EQ(_imglist_count(images), 3) << ".txt and .TXT share one image";
    list.DeleteAllRows();
    EXPECT_NE(list.InsertRowWithIcon(dir / "a.txt"), 0);
    EXPECT_EQ(_imglist_count(images), 3) << "a cleared list reuses the images it has";
}

}  // namespace
}  // namespace cj::ui
