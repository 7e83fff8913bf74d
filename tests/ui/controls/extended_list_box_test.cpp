#include "ui/controls/extended_list_box.h"

#include "controls_fixture.h"

namespace cj::ui {
namespace {

using test::Area;
using test::ControlsTest;
using test::Opaque;
using test::SameColour;

constexpr ExArgb Odd = 0xFFA9A9A9;
constexpr ExArgb Even = 0xFF607080;
constexpr ExArgb Selected = 0xFFF40000;
constexpr ExArgb Hover = 0xFF30C030;
constexpr int RowHeight = 40;

class ExtendedListBoxTest : public ControlsTest {
  protected:
    ExtendedListBox MakeList() {
        ExtendedListBox list;
        ExtendedListBoxDescription d;
        d.parent = Surface();
        d.id = 1032;
        d.x = 10;
        d.y = 10;
        d.width = 300;
        d.height = 250;
        d.hover = Hover;
        d.selected = Selected;
        d.rowHeight = RowHeight;
        d.oddRow = Odd;
        d.evenRow = Even;
        d.background = 0xFFFFFFFF;
        d.acceptFiles = true;
        EXPECT_TRUE(list.Create(d));
        return list;
    }

    // A pixel at the row's left end, where no text is drawn.
    ExArgb RowPixel(const ExtendedListBox& list, int row, int height = RowHeight) const {
        return Pixel(list.Handle(), 3, (row - 1) * height + height / 2);
    }
};

TEST_F(ExtendedListBoxTest, RowsAreStripedAndTheSelectionAndHoverFillThem) {
    const ExtendedListBox list = MakeList();
    for (const char* text : {"/srv/photos", "/srv/scans", "/home/照片", "/mnt/archive"}) {
        list.AddRow(text);
    }
    EXPECT_TRUE(SameColour(RowPixel(list, 1), Opaque(Odd)));
    EXPECT_TRUE(SameColour(RowPixel(list, 2), Opaque(Even)));
    EXPECT_TRUE(SameColour(RowPixel(list, 3), Opaque(Odd)));

    list.SelectRow(3);
    EXPECT_EQ(list.SelectedRow(), 3);
    MoveTo(list.Handle(), 150, 3 * RowHeight + RowHeight / 2);  // Row 4.
    EXPECT_TRUE(SameColour(RowPixel(list, 3), Opaque(Selected)));
    EXPECT_TRUE(SameColour(RowPixel(list, 4), Opaque(Hover)));
    EXPECT_TRUE(SameColour(RowPixel(list, 2), Opaque(Even)));

    MoveTo(list.Handle(), 150, 2 * RowHeight + RowHeight / 2);  // Onto the selected row 3.
    EXPECT_TRUE(SameColour(RowPixel(list, 3), Opaque(Selected))) << "selection wins over hover";
    EXPECT_TRUE(SameColour(RowPixel(list, 4), Opaque(Even)));

    Click(list.Handle(), 150, RowHeight / 2);
    EXPECT_EQ(list.SelectedRow(), 1) << "a click selects as the list view does";
}

TEST_F(ExtendedListBoxTest, EveryChangeOfRowsReachesTheList) {
    const ExtendedListBox list = MakeList();
    auto listCount = [&] { return list.Send(EX_LVM_GETITEMCOUNT); };
    EXPECT_EQ(list.AddRow("a"), 1);
    EXPECT_EQ(list.AddRow("b"), 2);
    EXPECT_EQ(list.AddRow("c"), 3);
    EXPECT_EQ(listCount(), 3);

    EXPECT_TRUE(list.RemoveRow(2));
    EXPECT_EQ(listCount(), 2);
    EXPECT_EQ(list.RowText(2), "c");
    EXPECT_FALSE(list.RemoveRow(3));
    EXPECT_FALSE(list.RemoveRow(0));
    EXPECT_EQ(listCount(), 2);

    EXPECT_TRUE(list.SetRowText(1, "/目录/一"));
    EXPECT_EQ(list.RowText(1), "/目录/一");
    EXPECT_FALSE(list.SetRowText(5, "x"));
    EXPECT_EQ(list.RowText(5), "");

    list.ClearRows();
    EXPECT_EQ(list.RowCount(), 0);
    EXPECT_EQ(listCount(), 0);
}

TEST_F(ExtendedListBoxTest, RowHeightChangesTakeEffect) {
    const ExtendedListBox list = MakeList();
    list.AddRow("a");
    list.AddRow("b");
    list.SetRowHeight(25);
    EXPECT_TRUE(SameColour(RowPixel(list, 2, 25), Opaque(Even)));
    EXPECT_TRUE(SameColour(Pixel(list.Handle(), 3, 45), Opaque(Even)))
        << "row 2 now ends at 50, not 80";
    EXPECT_FALSE(SameColour(Pixel(list.Handle(), 3, 60), Opaque(Even)));
}

TEST_F(ExtendedListBoxTest, ImageSitsAtTheLeftCentredInTheRow) {
    const ExtendedListBox list = MakeList();
    const auto png = test::SolidPng(16, 16, 0xFFFFFF00);
    list.AddRow("with image", png);
    list.AddRow("without");
    const ExPoint origin = Origin(list.Handle());
    const exdui::inject::Snapshot window = Grab();
    EXPECT_EQ(test::BoundsOf(window, 0xFFFFFF00, {origin.x, origin.y, 300, RowHeight}),
              (Area{origin.x + 10, origin.y + (RowHeight - 16) / 2, 16, 16}));
    EXPECT_TRUE(test::BoundsOf(window, 0xFFFFFF00, {origin.x, origin.y + RowHeight, 300, RowHeight})
                    .Empty());
}

TEST_F(ExtendedListBoxTest, FileIconRowsGetAnImage) {
    const ExtendedListBox list = MakeList();
    list.AddRowWithFileIcon("/tmp", "/tmp", 0);
    list.AddRowWithFileIcon("/tmp", "/tmp", 99);  // Any other size class: large.
    EXPECT_EQ(list.RowCount(), 2);
    EXPECT_EQ(list.Send(EX_LVM_GETITEMCOUNT), 2);
}

TEST_F(ExtendedListBoxTest, DerivesFromTheListViewClass) {
    const ExtendedListBox list = MakeList();
    ExClassInfo base{};
    ExClassInfo mine{};
    ASSERT_TRUE(Ex_ObjGetClassInfoEx(u"ListView", &base));
    ASSERT_TRUE(Ex_ObjGetClassInfoEx(ExtendedListBoxClass, &mine));
    EXPECT_EQ(mine.flags, base.flags);
    EXPECT_EQ(mine.extraBytes, 40);
    EXPECT_EQ(ListViewClassProc(), base.proc);
    EXPECT_EQ(static_cast<std::uint32_t>(Ex_ObjGetLong(list.Handle(), EX_OL_STYLE)), 0xD0000000u);
    EXPECT_EQ(Ex_ObjGetLong(list.Handle(), EX_OL_EXSTYLE), 0x06000000);
    EXPECT_EQ(Ex_ObjGetColor(list.Handle(), EX_COLOR_BACKGROUND), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace cj::ui
