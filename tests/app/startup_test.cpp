#include "app/startup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>

#include "app/program.h"
#include "argb.h"
#include "core/data_paths.h"
#include "exdui/backend/qt/exdui_qt.h"
#include "exdui/exdui_inject.h"
#include "temp_dir.h"

namespace cj::app {
using cj::test::Blue;
using cj::test::Green;
using cj::test::Red;

namespace {

ExHandle MainWindow() {
    return CurrentProgram().window.Frame().WindowHandle();
}

// Runs the program in a temporary folder; whileOpen runs on the UI thread
// once the window shows, and the window is then closed with its close button's
// message. The application made here is the back end's start: the program
// runs its loop on it, and the body starts from that loop.
class Startup : public ::testing::Test {
  protected:
    Startup() { m_dir.MakeDirs("data"); }

    void RunWhileOpen(const std::function<void()>& whileOpen) {
        int argc = 1;
        char name[] = "startup_test";
        char* argv[] = {name, nullptr};
        QApplication app(argc, argv);
        QTimer::singleShot(0, [&] {
            whileOpen();
            CurrentProgram().window.Frame().Close();
        });
        EXPECT_EQ(RunProgram(m_dir.Path()), 0);
    }

    std::string Item(const char* section, const char* key) const {
        return core::ConfigFile(core::ConfigPath(m_dir.Path())).ReadItem(section, key);
    }

    test::TempDir m_dir;
};

TEST_F(Startup, OpensTheBandedWindowAndSavesAtClose) {
    bool seen = false;
    RunWhileOpen([&] {
        ASSERT_NE(Ex_WndIsVisible(MainWindow()), 0);
        seen = true;
        // The title the desktop shows for the window: nothing of the library
        // reads it back, only the back end's window has it.
        EXPECT_EQ(ExQtWidget(MainWindow())->windowTitle(),
                  QString::fromUtf8("澄镜文件极速搜索工具"));
        // Option 0 (a fresh installation) shows the default size, 1200 by 720.
        EXPECT_EQ(CurrentProgram().window.Frame().Width(), 1200);
        EXPECT_EQ(CurrentProgram().window.Frame().Height(), 720);
        EXPECT_NE(CurrentProgram().window.Surface(), 0);

        const exdui::inject::Snapshot image = exdui::inject::Grab(MainWindow());
        // Below the band: opaque grey.
        EXPECT_EQ(image.At(500, 400) & 0xFFFFFF, 0xDCDCDCu);
        // The band: red at alpha 0xC8 over the grey.
        const ExArgb band = image.At(5, 40);
        EXPECT_GE(Red(band), 240);
        EXPECT_NEAR(Green(band), 47, 3);
        EXPECT_NEAR(Blue(band), 47, 3);
        EXPECT_EQ(image.At(5, 61) & 0xFFFFFF, 0xDCDCDCu) << "the band ends at y 60";
    });
    EXPECT_TRUE(seen);
    // A fresh installation saves option 0 and nothing of the size.
    EXPECT_EQ(Item("ckzt", "zt"), "0");
    EXPECT_EQ(Item("ckzt", "kd"), "");
    EXPECT_EQ(Item("sjms", "ma"), "0");
}

TEST_F(Startup, RememberedSizeIsSavedOnlyForOptionTwo) {
    RunWhileOpen([] {
        CurrentProgram().window.Options().windowState = core::WindowSizeOption::Remembered;
        CurrentProgram().window.Options().doubleClick = core::DoubleClickAction::OpenFile;
        CurrentProgram().window.Frame().Place({}, {}, 1100, 700);
    });
    EXPECT_EQ(Item("ckzt", "zt"), "2");
    EXPECT_EQ(Item("ckzt", "kd"), "1100");
    EXPECT_EQ(Item("ckzt", "gd"), "700");
    EXPECT_EQ(Item("sjms", "ma"), "1");

    // Option 1 leaves the size saved before as it was.
    RunWhileOpen([] {
        CurrentProgram().window.Options().windowState = core::WindowSizeOption::Maximised;
        CurrentProgram().window.Frame().Place({}, {}, 900, 650);
    });
    EXPECT_EQ(Item("ckzt", "zt"), "1");
    EXPECT_EQ(Item("ckzt", "kd"), "1100");
    EXPECT_EQ(Item("ckzt", "gd"), "700");
}

TEST_F(Startup, WithoutTheDataFolderTheWindowStillOpens) {
    test::TempDir bare;
    int argc = 1;
    char name[] = "startup_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        seen = Ex_WndIsVisible(MainWindow()) != 0;
        CurrentProgram().window.Frame().Close();
    });
    EXPECT_EQ(RunProgram(bare.Path()), 0);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(std::filesystem::exists(bare / "data")) << "the program never creates it";
}

}  // namespace
}  // namespace cj::app
