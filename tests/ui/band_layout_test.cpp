// The band at the window's sizes: its controls side by side, none over
// another or over the window's own buttons, each inside the window and
// reached by a click; a long status text cut with its whole text in a
// tooltip. Offscreen, the window sized as a user sizes it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <string>
#include <vector>

#include "main_window_fixture.h"
#include "ui/texts.h"

namespace cj::ui {
namespace {

class BandLayoutTest : public MainWindowFixture {
  protected:
    static QWidget* WindowWidget() { return ExQtWidget(Window().Frame().WindowHandle()); }

    struct Placed {
        std::string name;
        QRect rect;  // In the window.
    };

    static Placed At(const std::string& name, ExHandle handle) {
        QWidget* widget = ExQtWidget(handle);
        return {name, QRect(widget->mapTo(WindowWidget(), QPoint(0, 0)), widget->size())};
    }

    // What the band shows now, and the window's own buttons at its top right:
    // the direct children of the window as large as the one at its corner.
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
        QWidget* window = WindowWidget();
        const QWidget* corner = window->childAt(window->width() - 2, 2);
        EXPECT_NE(corner, nullptr);
        for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (corner != nullptr && child->isVisible() && child->y() == 0 &&
                child->size() == corner->size()) {
                shown.push_back({"window button", child->geometry()});
            }
        }
        return shown;
    }

    static ::testing::AssertionResult SideBySideInside(const std::vector<Placed>& shown) {
        const QRect window = WindowWidget()->rect();
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (!window.contains(shown[i].rect)) {
                return ::testing::AssertionFailure() << shown[i].name << " leaves the window";
            }
            for (std::size_t j = i + 1; j < shown.size(); ++j) {
                if (shown[i].rect.intersects(shown[j].rect)) {
                    return ::testing::AssertionFailure()
                           << shown[i].name << " overlaps " << shown[j].name;
                }
            }
        }
        return ::testing::AssertionSuccess();
    }

    // A click on the right half of a control, where the keyword box used to
    // lie over "设置": Qt gives it to whatever lies on top there.
    static void ClickRightHalfOf(ExHandle handle) {
        QWidget* window = WindowWidget();
        QWidget* widget = ExQtWidget(handle);
        const QPoint at =
            widget->mapTo(window, QPoint(widget->width() * 3 / 4, widget->height() / 2));
        QWidget* top = window->childAt(at);
        ASSERT_NE(top, nullptr);
        QTest::mouseClick(top, Qt::LeftButton, {}, top->mapFrom(window, at));
        QApplication::processEvents();
    }
};

TEST_F(BandLayoutTest, ControlsStaySideBySideInsideTheWindowAndTheSettingsItemTakesItsClick) {
    m_dir.WriteFile("scans/SF1400000000001.jpg", "jpeg");
    BuildIndex();
    Run([] {
        const QSize sizes[] = {{800, 600}, {1024, 768}, {1920, 1080}};
        for (const QSize size : sizes) {
            SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
            Window().Frame().Place({}, {}, size.width(), size.height());
            QApplication::processEvents();
            ASSERT_EQ(WindowWidget()->size(), size);
            SearchFor("SF14");
            EXPECT_TRUE(SideBySideInside(BandControls())) << "after a search";
            const ExRect box = Search().SearchBox().Rect();
            const ExRect button = Search().SearchButton().Rect();
            EXPECT_LE(button.right, box.right - box.left) << "the search button inside its box";

            Search().ShowNotice(FolderMissingText("/mnt/移动硬盘/仓库A/退货件/2024年第一季度"),
                                true);
            EXPECT_TRUE(SideBySideInside(BandControls())) << "with a notice and its button";

            ClickRightHalfOf(Search().Pages().ItemHandle(static_cast<int>(Page::Settings)));
            EXPECT_EQ(Search().SelectedPage(), Page::Settings);
            // The selector takes clicks again once its bar has moved.
            ASSERT_TRUE(QTest::qWaitFor([] { return Search().Pages().RunningAnimation() == 0; }));
            ClickRightHalfOf(Search().Pages().ItemHandle(static_cast<int>(Page::Search)));
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
        QApplication::processEvents();
        ClickButton(Search().UpdateCache());
        ASSERT_TRUE(WaitForIdle());
        const Label& status = Search().Status();
        ASSERT_EQ(Status(), FolderMissingText(deep));
        EXPECT_TRUE(status.IsTextCut()) << "the notice is longer than the band at 800 pixels";
        EXPECT_EQ(status.Tooltip(), Status());
        QWidget* window = WindowWidget();
        const QWidget* buttons = window->childAt(window->width() - 2, 2);
        ASSERT_NE(buttons, nullptr);
        const QRect line(ExQtWidget(status.Handle())->mapTo(window, QPoint(0, 0)),
                         ExQtWidget(status.Handle())->size());
        EXPECT_FALSE(line.intersects(buttons->geometry()));
        EXPECT_LT(line.right(), window->width() - 3 * buttons->width()) << "left of minimise";

        // A text that fits has no tooltip.
        SearchFor("");
        EXPECT_FALSE(status.IsTextCut());
        EXPECT_EQ(status.Tooltip(), "");
    });
}

}  // namespace
}  // namespace cj::ui
