#include "ui/controls/basic_controls.h"

#include <thread>
#include <utility>

#include "controls_fixture.h"

namespace cj::ui {
namespace {

using test::ControlsTest;

class BasicControlsTest : public ControlsTest {};

std::int32_t StyleOf(const Control& control) {
    return static_cast<std::int32_t>(Ex_ObjGetLong(control.Handle(), EX_OL_STYLE));
}
std::int32_t ExStyleOf(const Control& control) {
    return static_cast<std::int32_t>(Ex_ObjGetLong(control.Handle(), EX_OL_EXSTYLE));
}

TEST_F(BasicControlsTest, EditBoxStyleIsTheUnionOfTheChoicesOrTheClassDefault) {
    ExClassInfo edit{};
    ASSERT_TRUE(Ex_ObjGetClassInfoEx(u"Edit", &edit));
    const auto make = [&](auto choose) {
        EditBox box;
        EditBoxDescription d;
        d.parent = Surface();
        d.width = 200;
        d.height = 30;
        choose(d);
        EXPECT_TRUE(box.Create(d));
        const std::pair styles{StyleOf(box), ExStyleOf(box)};
        EXPECT_EQ(Ex_ObjGetColor(box.Handle(), EX_COLOR_TEXT), 0xFF000000u);
        box.Destroy();
        EXPECT_EQ(box.Handle(), 0);
        return styles;
    };
    // No choice at all: the class's own defaults.
    EXPECT_EQ(make([](EditBoxDescription&) {}), std::pair(edit.style, edit.styleEx));
    // Each choice alone gives a style of its own; several give the union.
    const auto readOnly = make([](EditBoxDescription& d) { d.readOnly = true; });
    const auto password = make([](EditBoxDescription& d) { d.password = true; });
    const auto vertical = make([](EditBoxDescription& d) { d.scrollBars = 1; });
    const auto horizontal = make([](EditBoxDescription& d) { d.scrollBars = 2; });
    EXPECT_NE(readOnly.first, password.first);
    EXPECT_NE(vertical.first, horizontal.first);
    EXPECT_EQ(make([](EditBoxDescription& d) { d.scrollBars = 3; }).first,
              vertical.first | horizontal.first);
    EXPECT_EQ(make([](EditBoxDescription& d) {
                  d.readOnly = true;
                  d.password = true;
                  d.scrollBars = 3;
              }).first,
              readOnly.first | password.first | vertical.first | horizontal.first);
    // Dropped files and the drawn frame are extended styles, and combine too.
    const auto files = make([](EditBoxDescription& d) { d.acceptFiles = true; });
    const auto frame = make([](EditBoxDescription& d) { d.drawnFrameStyle = true; });
    EXPECT_NE(files.second, frame.second);
    EXPECT_EQ(make([](EditBoxDescription& d) {
                  d.acceptFiles = true;
                  d.drawnFrameStyle = true;
              }).second,
              files.second | frame.second);
}

TEST_F(BasicControlsTest, TextCrossesTheBoundaryWhole) {
    EditBox box;
    EditBoxDescription d;
    d.parent = Surface();
    d.width = 300;
    d.height = 30;
    d.text = "G:/Desktop/新建文件夹 (6)";
    ASSERT_TRUE(box.Create(d));
    EXPECT_EQ(box.GetText(), "G:/Desktop/新建文件夹 (6)");

    const std::string longText(5000, 'x');
    box.SetText(longText + "尾");
    EXPECT_EQ(box.GetText(), longText + "尾");
}

TEST_F(BasicControlsTest, FocusAndSelectAllSelectsEveryCharacter) {
    EditBox box;
    EditBoxDescription d;
    d.parent = Surface();
    d.width = 300;
    d.height = 30;
    d.text = "快递单号 1234";
    ASSERT_TRUE(box.Create(d));
    box.FocusAndSelectAll();
    const intptr_t selection = box.Send(EX_EM_GETSEL);
    EXPECT_EQ(selection & 0xFFFF, 0);
    EXPECT_EQ(selection >> 16, 9) << "nine UTF-16 units, not the 17 bytes of the UTF-8 text";
}

TEST_F(BasicControlsTest, SetFontWithoutAColourKeepsTheTextColour) {
    Label label;
    LabelDescription d;
    d.parent = Surface();
    d.width = 200;
    d.height = 40;
    d.text = "搜索中，请耐心等待...";
    d.textColour = 0xFFDC143C;
    ASSERT_TRUE(label.Create(d));
    label.SetFont({}, 25);
    EXPECT_EQ(Ex_ObjGetColor(label.Handle(), EX_COLOR_TEXT), 0xFFDC143Cu);
    label.SetFont("微软雅黑", 12, 0xFF000000);
    EXPECT_EQ(Ex_ObjGetColor(label.Handle(), EX_COLOR_TEXT), 0xFF000000u);
}

TEST_F(BasicControlsTest, MoveKeepsWhatIsNotGiven) {
    Label label;
    LabelDescription d;
    d.parent = Surface();
    d.x = 10;
    d.y = 20;
    d.width = 200;
    d.height = 40;
    ASSERT_TRUE(label.Create(d));
    label.Move(50, {});
    EXPECT_EQ(label.Left(), 50);
    EXPECT_EQ(label.Top(), 20);
    EXPECT_EQ(label.Width(), 200);
    label.Move({}, {}, {}, 70);
    EXPECT_EQ(label.Left(), 50);
    EXPECT_EQ(label.Height(), 70);
    EXPECT_EQ(label.Width(), 200);
}

TEST_F(BasicControlsTest, WrapperWithoutAnObjectDoesNothing) {
    Control none;
    none.SetText("x");
    none.Move(1, 2, 3, 4);
    none.Show(true);
    EXPECT_EQ(none.GetText(), "");
    EXPECT_EQ(none.Width(), 0);
    EXPECT_EQ(none.Send(EX_CB_GETCOUNT), 0);

    ComboBox refused;
    ComboBoxDescription d;
    d.parent = 0x7FFFFFF0;  // No such parent.
    EXPECT_FALSE(refused.Create(d));
    EXPECT_EQ(refused.Handle(), 0);
}

TEST_F(BasicControlsTest, ProgressBarTakesItsRangeAndPosition) {
    ProgressBar bar;
    ProgressBarDescription d;
    d.parent = Surface();
    d.width = 300;
    d.height = 3;
    d.position = 50;
    ASSERT_TRUE(bar.Create(d));
    EXPECT_EQ(bar.Send(EX_PBM_GETRANGE), 100);
    EXPECT_EQ(bar.Send(EX_PBM_GETPOS), 50);
    EXPECT_EQ(Ex_ObjGetColor(bar.Handle(), EX_COLOR_BACKGROUND), 0x32000000u);
    EXPECT_EQ(Ex_ObjGetColor(bar.Handle(), EX_COLOR_BORDER), 0x32000000u);
    EXPECT_EQ(Ex_ObjGetColor(bar.Handle(), EX_COLOR_TEXT_CHECKED), 0x960088FFu);
    bar.SetMaximum(1000);
    bar.SetPosition(700);
    EXPECT_EQ(bar.Send(EX_PBM_GETPOS), 700);
}

TEST_F(BasicControlsTest, ProgressFromAWorkerEndsAtItsLastPosition) {
    ProgressBar bar;
    ProgressBarDescription d;
    d.parent = Surface();
    d.width = 300;
    d.height = 3;
    d.maximum = 1000;
    ASSERT_TRUE(bar.Create(d));
    // The copy job moves the bar from its own thread; the positions must not
    // queue up behind each other, and the last one must arrive.
    std::thread worker([bar] {
        for (int i = 1; i <= 1000; ++i) {
            bar.SetPosition(i);
        }
    });
    worker.join();
    EXPECT_TRUE(
        exdui::inject::RunEventsUntil([&] { return bar.Send(EX_PBM_GETPOS) == 1000; }, 5000));
}

TEST_F(BasicControlsTest, ComboBoxItemsAndTheTextSurviveClearing) {
    ComboBox box;
    ComboBoxDescription d;
    d.parent = Surface();
    d.width = 300;
    d.height = 30;
    ASSERT_TRUE(box.Create(d));
    EXPECT_EQ(StyleOf(box), 0x10000001);
    box.AddItems({"照片", "扫描件"});
    box.InsertItem(1, "首位");
    ASSERT_EQ(box.ItemCount(), 3);
    EXPECT_EQ(box.ItemText(1), "首位");
    EXPECT_EQ(box.ItemText(3), "扫描件");
    EXPECT_EQ(box.ItemText(4), "");

    box.SelectItem(2);
    EXPECT_EQ(box.CurrentItem(), 2);
    EXPECT_EQ(box.GetText(), "照片");
    box.ClearItems();
    EXPECT_EQ(box.ItemCount(), 0);
    EXPECT_EQ(box.GetText(), "照片") << "the text field keeps its text";

    ComboBox fixed;
    d.editable = false;
    ASSERT_TRUE(fixed.Create(d));
    EXPECT_EQ(StyleOf(fixed), 0x10000000);
}

int checks = 0;
intptr_t CountCheck(ExHandle, std::int32_t, std::int32_t, intptr_t wParam, intptr_t) {
    checks += wParam == 1 ? 1 : 0;
    return 0;
}

TEST_F(BasicControlsTest, RadioButtonsInAGroupExcludeEachOtherAndReportChecks) {
    GroupBox group;
    GroupBoxDescription g;
    g.parent = Surface();
    g.width = 410;
    g.height = 60;
    g.title = "窗口状态";
    ASSERT_TRUE(group.Create(g));
    EXPECT_EQ(Ex_ObjGetColor(group.Handle(), EX_COLOR_BORDER), 0x1E000000u);

    RadioButton buttons[2];
    for (int i = 0; i < 2; ++i) {
        RadioButtonDescription d;
        d.parent = group.Handle();
        d.x = 20 + 110 * i;
        d.y = 25;
        d.width = 100;
        d.height = 20;
        d.title = i == 0 ? "默认大小" : "最大窗口";
        d.textColour = d.hoverTextColour = d.pressedTextColour = d.checkedTextColour = 0xFF000000;
        ASSERT_TRUE(buttons[i].Create(d));
        buttons[i].OnEvent(EX_NM_CHECK, CountCheck);
    }
    EXPECT_EQ(Ex_ObjGetColor(buttons[0].Handle(), EX_COLOR_TEXT_CHECKED), 0xFF000000u);
    checks = 0;
    buttons[0].SetChecked(true);
    EXPECT_TRUE(buttons[0].IsChecked());
    Click(buttons[1].Handle(), 10, 10);
    EXPECT_TRUE(buttons[1].IsChecked());
    EXPECT_FALSE(buttons[0].IsChecked());
    EXPECT_EQ(checks, 2) << "checking by message reports like a click";
}

}  // namespace
}  // namespace cj::ui
