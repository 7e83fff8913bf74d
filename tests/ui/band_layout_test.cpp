// The band at the window's sizes: its controls side by side, none over
// another or over the window's own buttons, each inside the window and
// reached by a click; a long status text cut with its whole text in a
// tooltip. Offscreen, the window sized as a user sizes it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main_window_fixture.h"
#include "ui/texts.h"

namespace cj::ui {
namespace {

bool Intersect(const ExRect& a, const ExRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

class BandLayoutTest : public MainWindowFixture {
  protected:
    struct Placed {
        std::string name;
        ExRect rect;  // In the window.
    };

    static Placed At(const std::string& name, ExHandle handle) {
        const ExPoint origin = inject::PointIn(handle, 0, 0);
        ExRect rect{};
        Ex_ObjGetRect(handle, &rect);
        return {name,
                {origin.x, origin.y, origin.x + rect.right - rect.left,
                 origin.y + rect.bottom - rect.top}};
    }

    // What the band shows now, and the window's own buttons at its top right.
    static std::vector<Placed> BandControls() {
        SearchPage& page = Search();
        std::vector<Placed> shown = {
            At("title", Ex_ObjFind(Window().Surface(), 0, u"STATIC", u"   澄镜文件极速搜索工具")),
            At("搜索栏", page.Pages().ItemHandle(1)),
            At("复制栏", page.Pages().ItemHandle(2)),
            At("设置", page.Pages().ItemHandle(3)),
            At("search box", page.SearchBox().Handle()),
            At("批量", page.BatchButton().Handle()),
            At("status", page.Status().Handle()),
            At("added count", page.AddedCount().Handle()),
        };
        for (const Control* optional : {static_cast<const Control*>(&page.UpdateCache()),
                                        static_cast<const Control*>(&page.CopyReportButton())}) {
            if (Ex_ObjIsVisible(optional->Handle()) != 0) {
                shown.push_back(At(optional->GetText(), optional->Handle()));
            }
        }
        const std::vector<ExRect> buttons = inject::FrameButtonsOf(Top());
        EXPECT_FALSE(buttons.empty());
        for (const ExRect& button : buttons) {
            shown.push_back({"window button", button});
        }
        return shown;
    }

    static ::testing::AssertionResult SideBySideInside(const std::vector<Placed>& shown) {
        const int width = Window().Frame().Width();
        const int height = Window().Frame().Height();
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const ExRect& rect = shown[i].rect;
            if (rect.left < 0 || rect.top < 0 || rect.right > width || rect.bottom > height) {
                return ::testing::AssertionFailure() << shown[i].name << " leaves the window";
            }
            for (std::size_t j = i + 1; j < shown.size(); ++j) {
                if (Intersect(rect, shown[j].rect)) {
                    return ::testing::AssertionFailure()
                           << shown[i].name << " overlaps " << shown[j].name;
                }
            }
        }
        return ::testing::AssertionSuccess();
    }

    // A click on the right half of a control, where the keyword box used to
    // lie over "设置": the window gives it to whatever lies on top there.
    static void ClickRightHalfOf(const Control& control) {
        Click(inject::PointIn(control.Handle(), control.Width() * 3 / 4, control.Height() / 2));
    }
};

TEST_F(BandLayoutTest, ControlsStaySideBySideInsideTheWindowAndTheSettingsItemTakesItsClick) {
    m_dir.WriteFile("scans/SF1400000000001.jpg", "jpeg");
    BuildIndex();
    Run([] {
        for (const auto& [width, height] :
             {std::pair(800, 600), std::pair(1024, 768), std::pair(1920, 1080)}) {
            SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
            Window().Frame().Place({}, {}, width, height);
            inject::RunEvents(0);
            ExRect client{};
            ASSERT_TRUE(Ex_DUIGetClientRect(Window().Surface(), &client));
            ASSERT_EQ(client.right, width);
            ASSERT_EQ(client.bottom, height);
            SearchFor("SF14");
            EXPECT_TRUE(SideBySideInside(BandControls())) << "after a search";
            const ExRect box = Search().SearchBox().Rect();
            const ExRect button = Search().SearchButton().Rect();
            EXPECT_LE(button.right, box.right - box.left) << "the search button inside its box";

            Search().ShowNotice(FolderMissingText("/mnt/移动硬盘/仓库A/退货件/2024年第一季度"),
                                true);
            EXPECT_TRUE(SideBySideInside(BandControls())) << "with a notice and its button";

            ClickRightHalfOf(
                Control(Search().Pages().ItemHandle(static_cast<int>(Page::Settings))));
            EXPECT_EQ(Search().SelectedPage(), Page::Settings);
            // The selector takes clicks again once its bar has moved.
            ASSERT_TRUE(
                inject::RunEventsUntil([] { return Search().Pages().RunningAnimation() == 0; }));
            ClickRightHalfOf(Control(Search().Pages().ItemHandle(static_cast<int>(Page::Search))));
            ASSERT_EQ(Search().SelectedPage(), Page::Search);
        }
    });
}

TEST_F(BandLayoutTest, ALongNoticeEndsShortOfTheWindowsButtonsWithItsWholeTextInATooltip) {
    // A folder on a drive that is not plugged in, deep in a warehouse's tree.
    const std::string deep =
        m_dir /
        "移动硬盘/仓库A/退货件/2024年第一季度/客户投诉与理赔资料/需要复核的扫描件/高清原图备份";
    m_dir.WriteFile("scans/SF1400000000001.jpg", "jpeg");
    BuildIndex();
    ASSERT_FALSE(Settings().TrySaveDirectoryList({"门店", {deep}, "", true}));
    Run([&] {
        Window().Frame().Place({}, {}, 800, 600);
        inject::RunEvents(0);
        ClickButton(Search().UpdateCache());
        ASSERT_TRUE(WaitForIdle());
        const Label& status = Search().Status();
        ASSERT_EQ(Status(), FolderMissingText(deep));
        EXPECT_TRUE(status.IsTextCut()) << "the notice is longer than the band at 800 pixels";
        EXPECT_EQ(status.Tooltip(), Status());
        const std::vector<ExRect> buttons = inject::FrameButtonsOf(Top());
        ASSERT_FALSE(buttons.empty());
        const ExRect line = At("status", status.Handle()).rect;
        EXPECT_FALSE(Intersect(line, buttons.front()));
        const int buttonWidth = buttons.front().right - buttons.front().left;
        EXPECT_LE(line.right, Window().Frame().Width() - 3 * buttonWidth) << "left of minimise";

        // A text that fits has no tooltip.
        SearchFor("");
        EXPECT_FALSE(status.IsTextCut());
        EXPECT_EQ(status.Tooltip(), "");
    });
}

}  // namespace
}  // namespace cj::ui
