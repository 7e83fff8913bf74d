// Where the main window lies: the rectangle rules on their own, then the
// program on screens of 1280 by 1024 and 1024 by 768 pixels (offscreen, the
// screen's size from the platform's configuration file).
#include "ui/window_placement.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <string>

#include "app/program.h"
#include "app/startup.h"
#include "core/settings_file.h"
#include "exdui/exdui_inject.h"
#include "temp_dir.h"
#include "ui/object_text.h"

namespace cj::ui {
namespace {

::testing::AssertionResult SameRect(const ExRect& got, const ExRect& want) {
    if (got.left == want.left && got.top == want.top && got.right == want.right &&
        got.bottom == want.bottom) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "(" << got.left << ", " << got.top << ", " << got.right << ", " << got.bottom
           << ") instead of (" << want.left << ", " << want.top << ", " << want.right << ", "
           << want.bottom << ")";
}

TEST(WindowPlacement, FitsAWindowIntoTheAreaByTheLeastMove) {
    const ExRect screen{0, 0, 1280, 1024};
    const ExRect belowBar{0, 40, 1280, 1024};  // A task bar along the top.
    struct Case {
        ExRect window, area, fitted;
        const char* what;
    };
    const Case cases[] = {
        {{140, 152, 1140, 872}, screen, {140, 152, 1140, 872}, "inside: unchanged"},
        {{140, 152, 1340, 872}, screen, {80, 152, 1280, 872}, "past the right edge"},
        {{-30, -5, 970, 715}, screen, {0, 0, 1000, 720}, "past the left and top edges"},
        {{12, 24, 1212, 744}, {0, 0, 1024, 768}, {0, 24, 1024, 744}, "wider than the area"},
        {{0, 0, 1600, 1100}, belowBar, {0, 40, 1280, 1024}, "larger every way"},
        {{100, 0, 300, 200}, belowBar, {100, 40, 300, 240}, "under the bar"},
        {{100, 1000, 300, 1200}, screen, {100, 824, 300, 1024}, "below the bottom"},
        {{100, 100, 300, 300}, {0, 0, 0, 0}, {100, 100, 300, 300}, "no area: unchanged"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(SameRect(FitIntoArea(c.window, c.area), c.fitted)) << c.what;
    }
}

TEST(WindowPlacement, CentresInTheAreaAndFitsWhatIsTooLarge) {
    EXPECT_TRUE(SameRect(CentreInArea(1000, 720, {0, 0, 1280, 1024}), {140, 152, 1140, 872}));
    EXPECT_TRUE(SameRect(CentreInArea(1000, 720, {0, 40, 1280, 1024}), {140, 172, 1140, 892}));
    EXPECT_TRUE(SameRect(CentreInArea(1600, 1000, {0, 0, 1024, 768}), {0, 0, 1024, 768}));
}

// The program on a screen of the given size.
class MainWindowPlacement : public ::testing::Test {
  protected:
    MainWindowPlacement() { m_dir.MakeDirs("data"); }
    ~MainWindowPlacement() override { setenv("QT_QPA_PLATFORM", m_platform.c_str(), 1); }

    void Run(int screenWidth, int screenHeight, const std::function<void()>& whileOpen) {
        m_dir.WriteFile("screen.json",
                        "{\"screens\": [{\"name\": \"test\", \"x\": 0, \"y\": 0, \"width\": " +
                            std::to_string(screenWidth) +
                            ", \"height\": " + std::to_string(screenHeight) +
                            ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}");
        // The back end's start, on that screen; the body starts from the
        // application's loop once the program runs it.
        const std::string platform = "offscreen:configfile=" + (m_dir / "screen.json");
        setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
        int argc = 1;
        char name[] = "window_placement_test";
        char* argv[] = {name, nullptr};
        QApplication app(argc, argv);
        QTimer::singleShot(0, [&] {
            ExRect screen{};
            EXPECT_TRUE(Ex_WndGetDesktopRect(&screen));
            EXPECT_TRUE(SameRect(screen, {0, 0, screenWidth, screenHeight}));
            exdui::inject::RunEvents(0);
            whileOpen();
            Window().Frame().Close();
        });
        app::RunProgram(m_dir.Path());
    }

    static MainWindow& Window() { return app::CurrentProgram().window; }
    static ExRect Placed() { return Window().Frame().Rectangle(); }
    core::SettingsFile Settings() const { return core::SettingsFile::InRunDirectory(m_dir.Path()); }

    // The object's rectangle in the window.
    static ExRect InWindow(ExHandle object) {
        const ExPoint origin = exdui::inject::PointIn(object, 0, 0);
        ExRect rect{};
        Ex_ObjGetRect(object, &rect);
        return {origin.x, origin.y, origin.x + rect.right - rect.left,
                origin.y + rect.bottom - rect.top};
    }
    // The first object shown below parent that leaves the window of width by
    // height, or 0. The settings page's scrolled content reaches past its
    // viewport when the page is higher than the window: the page's own test
    // scrolls each of its controls into view.
    static ExHandle FirstCutOff(ExHandle parent, int width, int height) {
        for (ExHandle child = Ex_ObjFind(parent, 0, nullptr, nullptr); child != 0;
             child = Ex_ObjFind(parent, child, nullptr, nullptr)) {
            if (Ex_ObjIsVisible(child) == 0 || child == Window().SettingsTab().Panel().Handle()) {
                continue;
            }
            const ExRect at = InWindow(child);
            if (at.left < 0 || at.top < 0 || at.right > width || at.bottom > height) {
                return child;
            }
            if (const ExHandle inner = FirstCutOff(child, width, height); inner != 0) {
                return inner;
            }
        }
        return 0;
    }
    // Whether every visible control of the page lies wholly in the window.
    static ::testing::AssertionResult NothingCutOff(int page) {
        const PageSelector& pages = Window().Search().Pages();
        EXPECT_TRUE(exdui::inject::RunEventsUntil([&] { return pages.RunningAnimation() == 0; }));
        exdui::inject::Click(Window().Frame().WindowHandle(),
                             exdui::inject::CenterOf(pages.ItemHandle(page)));
        EXPECT_EQ(pages.SelectedIndex(), page);
        const int width = Window().Frame().Width();
        const int height = Window().Frame().Height();
        const ExHandle cut = FirstCutOff(Window().Surface(), width, height);
        if (cut != 0) {
            const ExRect at = InWindow(cut);
            return ::testing::AssertionFailure()
                   << "object " << cut << " \"" << ObjectText(cut) << "\" at (" << at.left << ", "
                   << at.top << ") size " << at.right - at.left << "x" << at.bottom - at.top
                   << " leaves the window of " << width << "x" << height << " on page " << page;
        }
        return ::testing::AssertionSuccess();
    }

    test::TempDir m_dir;
    // The platform the other tests of this program run on, back after each.
    const std::string m_platform = std::getenv("QT_QPA_PLATFORM");
};

TEST_F(MainWindowPlacement, TheDefaultSizeStaysOnA1280By1024Screen) {
    // The window is made at 1000 by 720, centred; the default-size option then
    // widens it to 1200 where it stands, which used to end at 1340.
    Run(1280, 1024, [] {
        EXPECT_TRUE(SameRect(Placed(), {80, 152, 1280, 872}));
        for (int page = 1; page <= 3; ++page) {
            EXPECT_TRUE(NothingCutOff(page));
        }
        // Checking the option again, once the window has moved, keeps it on
        // the screen too.
        Window().Frame().Place(600, 400, {}, {});
        Window().ShowDefaultSize();
        EXPECT_TRUE(SameRect(Placed(), {80, 304, 1280, 1024}));
    });
}

TEST_F(MainWindowPlacement, TheDefaultSizeIsNoWiderThanA1024By768Screen) {
    Run(1024, 768, [] {
        EXPECT_TRUE(SameRect(Placed(), {0, 24, 1024, 744}));
        // The copy page's buttons keep their whole height and width.
        const CopyPage& copy = Window().Copy();
        for (const Control* button : {static_cast<const Control*>(&copy.OpenBackup()),
                                      static_cast<const Control*>(&copy.CopyButton()),
                                      static_cast<const Control*>(&copy.Browse())}) {
            const ExRect at = InWindow(button->Handle());
            EXPECT_TRUE(at.left >= 0 && at.top >= 0 && at.right <= Window().Frame().Width() &&
                        at.bottom <= Window().Frame().Height())
                << at.bottom << " " << at.right;
        }
    });
}

TEST_F(MainWindowPlacement, ARememberedSizeLargerThanTheScreenIsFittedToIt) {
    // Saved on a larger screen, opened on a small one.
    ASSERT_FALSE(Settings().TrySaveWindowState({core::WindowSizeOption::Remembered, 1600, 1000}));
    Run(1024, 768, [] { EXPECT_TRUE(SameRect(Placed(), {0, 0, 1024, 768})); });
}

TEST_F(MainWindowPlacement, ARememberedSizeIsCentredAndAMissingOneKeepsTheWindowsOwn) {
    ASSERT_FALSE(Settings().TrySaveWindowState({core::WindowSizeOption::Remembered, 1100, 800}));
    Run(1280, 1024, [] { EXPECT_TRUE(SameRect(Placed(), {90, 112, 1190, 912})); });
    m_dir.WriteFile("data/chengjing.ini", "[ckzt]\r\nzt=2\r\n");
    Run(1280, 1024, [] { EXPECT_TRUE(SameRect(Placed(), {140, 152, 1140, 872})); });
}

TEST_F(MainWindowPlacement, AStoredSizeBelowTheLeastOpensAtItAndNothingMakesItSmaller) {
    // Written by hand, or by a version that let the window shrink to nothing.
    ASSERT_FALSE(Settings().TrySaveWindowState({core::WindowSizeOption::Remembered, 640, 300}));
    Run(1280, 1024, [] {
        EXPECT_TRUE(SameRect(
            Placed(), CentreInArea(MainWindowMinWidth, MainWindowMinHeight, {0, 0, 1280, 1024})));
        Window().Frame().Place({}, {}, 500, 400);
        const ExRect placed = Placed();
        EXPECT_EQ(placed.right - placed.left, MainWindowMinWidth);
        EXPECT_EQ(placed.bottom - placed.top, MainWindowMinHeight);
    });
}

}  // namespace
}  // namespace cj::ui
