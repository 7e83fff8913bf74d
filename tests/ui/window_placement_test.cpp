// Where the main window lies: the rectangle rules on their own, then the
// program on screens of 1280 by 1024 and 1024 by 768 pixels (offscreen, the
// screen's size from the platform's configuration file).
#include "ui/window_placement.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <functional>
#include <string>

#include "app/program.h"
#include "app/startup.h"
#include "core/settings_file.h"
#include "exdui/exdui_qt.h"
#include "temp_dir.h"

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
        const std::string platform = "offscreen:configfile=" + (m_dir / "screen.json");
        setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
        int argc = 1;
        char name[] = "window_placement_test";
        char* argv[] = {name, nullptr};
        QApplication app(argc, argv);
        ASSERT_EQ(QGuiApplication::primaryScreen()->geometry(),
                  QRect(0, 0, screenWidth, screenHeight));
        QTimer::singleShot(0, [&] {
            QApplication::processEvents();
            whileOpen();
            Window().Frame().Close();
        });
        app::RunProgram(m_dir.Path());
    }

    static MainWindow& Window() { return app::CurrentProgram().window; }
    static ExRect Placed() { return Window().Frame().Rectangle(); }
    core::SettingsFile Settings() const { return core::SettingsFile::InRunDirectory(m_dir.Path()); }

    // Whether every visible control of the page lies wholly in the window.
    static ::testing::AssertionResult NothingCutOff(int page) {
        QWidget* item = ExQtWidget(Window().Search().Pages().ItemHandle(page));
        QTest::mouseClick(item, Qt::LeftButton, {}, item->rect().center());
        QApplication::processEvents();
        QWidget* window = ExQtWidget(Window().Frame().WindowHandle());
        for (QWidget* child : window->findChildren<QWidget*>()) {
            if (!child->isVisibleTo(window) || child->isWindow()) {
                continue;
            }
            const QRect at(child->mapTo(window, QPoint(0, 0)), child->size());
            if (!window->rect().contains(at)) {
                return ::testing::AssertionFailure()
                       << child->metaObject()->className() << " at (" << at.x() << ", " << at.y()
                       << ") size " << at.width() << "x" << at.height() << " leaves the window of "
                       << window->width() << "x" << window->height() << " on page " << page;
            }
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
        QWidget* window = ExQtWidget(Window().Frame().WindowHandle());
        for (const Control* button : {static_cast<const Control*>(&copy.OpenBackup()),
                                      static_cast<const Control*>(&copy.CopyButton()),
                                      static_cast<const Control*>(&copy.Browse())}) {
            QWidget* widget = ExQtWidget(button->Handle());
            const QRect at(widget->mapTo(window, QPoint(0, 0)), widget->size());
            EXPECT_TRUE(window->rect().contains(at)) << at.bottom() << " " << at.right();
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
