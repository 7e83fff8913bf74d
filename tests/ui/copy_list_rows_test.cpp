// The copy page's list as the copy list's view: what each entry's row reads.
#include "ui/copy_list_rows.h"

#include <vector>

#include "controls/controls_fixture.h"

namespace cj::ui {
namespace {

class CopyListRowsTest : public test::ControlsTest {
  protected:
    void SetUp() override {
        ControlsTest::SetUp();
        ASSERT_TRUE(m_list.Create({.parent = Surface(),
                                   .id = 1004,
                                   .width = 600,
                                   .height = 400,
                                   .styleBits = EX_LVS_MULTISELECT}));
        m_list.AddColumn("文件名", 200);
        m_list.AddColumn("大小", 100);
        m_list.AddColumn("路径", 300);
    }

    std::vector<std::string> Column(int column) const {
        std::vector<std::string> cells;
        for (int row = 1; row <= m_list.RowCount(); ++row) {
            cells.push_back(m_list.CellText(row, column));
        }
        return cells;
    }

    ReportList m_list;
};

TEST_F(CopyListRowsTest, EachEntryShowsItsNameWithExtensionSizeAndPath) {
    CopyListRows rows(m_list);
    const std::vector<copylist::CopyEntry> entries = {
        {"/srv/扫描/SF1400000000001.jpg", 1536},
        {"/srv/gone/JD0002.png", -1},
        {"/srv/folder", 0},
        {"/srv/big.tif", std::int64_t{5} << 30},
    };
    rows.AppendRows(entries);
    rows.AppendRows(std::span(entries).first(1));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"SF1400000000001.jpg", "JD0002.png", "folder",
                                                   "big.tif", "SF1400000000001.jpg"}));
    EXPECT_EQ(Column(2), (std::vector<std::string>{"1.50 KB", "0", "0 B", "5.00 GB", "1.50 KB"}));
    EXPECT_EQ(Column(3), (std::vector<std::string>{
                             "/srv/扫描/SF1400000000001.jpg", "/srv/gone/JD0002.png", "/srv/folder",
                             "/srv/big.tif", "/srv/扫描/SF1400000000001.jpg"}));
}

TEST_F(CopyListRowsTest, RemovedRowsGoAndTheOthersMoveUp) {
    CopyListRows rows(m_list);
    std::vector<copylist::CopyEntry> entries;
    for (int i = 1; i <= 6; ++i) {
        entries.push_back({"/p/" + std::to_string(i) + ".jpg", i});
    }
    rows.AppendRows(entries);
    const std::size_t removed[] = {1, 3, 6};
    rows.RemoveRows(removed);
    EXPECT_EQ(Column(3), (std::vector<std::string>{"/p/2.jpg", "/p/4.jpg", "/p/5.jpg"}));
    rows.RemoveAllRows();
    EXPECT_EQ(m_list.RowCount(), 0);
}

}  // namespace
}  // namespace cj::ui
