#include "ui/frame_window.h"

#include <gtest/gtest.h>

#include <QWidget>

#include "exdui/backend/qt/exdui_qt.h"
#include "exdui/exdui_inject.h"

namespace cj::ui {
namespace {

class FrameWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Ex_Init(nullptr, DefaultInitFlags, 0, nullptr, nullptr, 0, nullptr, 0));
    }
    void TearDown() override { Ex_UnInit(); }

    // An embedded window: Create returns once it is shown.
    FrameWindow MakeWindow(int width = 450, int height = 255) {
        FrameWindow frame;
        FrameWindowDescription d;
        d.embedded = true;
        d.title = "复制";
        d.width = width;
        d.height = height;
        d.style = 0x60800;
        d.background = 0xE6214161;
        d.blur = 1;
        EXPECT_TRUE(frame.Create(d));
        return frame;
    }
};

TEST_F(FrameWindowTest, CreatesBindsAndShowsAfterTheContent) {
    FrameWindow frame;
    ExHandle surface = -1;
    ExHandle window = -1;
    bool visibleDuringContent = true;
    FrameWindowDescription d;
    d.embedded = true;
    d.title = "复制";
    d.width = 450;
    d.height = 255;
    d.style = 0x60800;
    d.outSurface = &surface;
    d.outWindow = &window;
    d.content = [&] { visibleDuringContent = Ex_WndIsVisible(window) != 0; };
    ASSERT_TRUE(frame.Create(d));

    EXPECT_NE(window, 0);
    EXPECT_EQ(window, frame.WindowHandle());
    EXPECT_EQ(surface, frame.SurfaceHandle());
    EXPECT_FALSE(visibleDuringContent) << "controls are made while the window is hidden";
    EXPECT_TRUE(Ex_WndIsVisible(window));
    EXPECT_EQ(frame.Width(), 450);
    EXPECT_EQ(frame.Height(), 255);
    EXPECT_EQ(static_cast<ExArgb>(Ex_DUIGetLong(surface, EX_DUI_BACKGROUND)), 0xFF0060C0u)
        << "the default background";

    frame.SetBackground(0xE6214161);
    EXPECT_EQ(static_cast<ExArgb>(Ex_DUIGetLong(surface, EX_DUI_BACKGROUND)), 0xE6214161u);
}

TEST_F(FrameWindowTest, PlaceKeepsWhatIsNotGiven) {
    FrameWindow frame = MakeWindow();
    frame.Place(30, 40, 500, 300);
    ExRect r = frame.Rectangle();
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(frame.Width(), 500);
    EXPECT_EQ(frame.Height(), 300);

    frame.Place({}, {}, 1200, 720);
    r = frame.Rectangle();
    EXPECT_EQ(r.left, 30) << "only a size keeps the position";
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(frame.Width(), 1200);

    frame.Place(5, 6, {}, {});
    r = frame.Rectangle();
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(frame.Width(), 1200) << "only a position keeps the size";
    EXPECT_EQ(frame.Height(), 720);
}

TEST_F(FrameWindowTest, ShowStates) {
    FrameWindow frame = MakeWindow();
    const ExHandle window = frame.WindowHandle();
    frame.ShowState(3);
    EXPECT_FALSE(Ex_WndIsVisible(window));
    frame.ShowState(4);  // Not a state: nothing happens.
    frame.ShowState(-1);
    EXPECT_FALSE(Ex_WndIsVisible(window));
    frame.ShowState(0);
    EXPECT_TRUE(Ex_WndIsVisible(window));
    frame.ShowState(3);
    frame.ShowState(1);
    EXPECT_TRUE(Ex_WndIsVisible(window));
}

TEST_F(FrameWindowTest, DisableTopmostAndClose) {
    namespace inject = exdui::inject;
    FrameWindow frame = MakeWindow();
    // A disabled window takes no clicks: its radio button stays unchecked.
    const ExHandle radio = Ex_ObjCreateEx(-1, u"RadioButton", u"开", -1, 20, 60, 100, 24,
                                          frame.SurfaceHandle(), 0, -1, 0, 0, nullptr);
    ASSERT_NE(radio, 0);
    frame.SetDisabled(1);
    inject::Click(frame.WindowHandle(), inject::CenterOf(radio));
    EXPECT_EQ(Ex_ObjSendMessage(radio, EX_BM_GETCHECK, 0, 0), 0);
    frame.SetDisabled(0);
    inject::Click(frame.WindowHandle(), inject::CenterOf(radio));
    EXPECT_EQ(Ex_ObjSendMessage(radio, EX_BM_GETCHECK, 0, 0), 1);
    // Nothing of the library reads the stay-on-top state back: only the back
    // end's window has it.
    QWidget* widget = ExQtWidget(frame.WindowHandle());
    ASSERT_NE(widget, nullptr);
    frame.SetTopmost(1);
    EXPECT_TRUE(widget->windowFlags() & Qt::WindowStaysOnTopHint);
    frame.SetTopmost(0);
    EXPECT_FALSE(widget->windowFlags() & Qt::WindowStaysOnTopHint);

    // Close only posts: the window goes when events run.
    const ExHandle window = frame.WindowHandle();
    frame.Close();
    EXPECT_TRUE(Ex_WndIsVisible(window));
    EXPECT_TRUE(inject::RunEventsUntil([&] { return Ex_WndIsVisible(window) == 0; }));
}

TEST_F(FrameWindowTest, BlursTheNativeWindow) {
    // The blur was handed the library's handle of the window, a number the
    // system knows nothing of.
    static std::intptr_t blurred = -1;
    FrameWindowDescription d;
    d.embedded = true;
    d.width = 450;
    d.height = 255;
    d.blur = 1;
    d.blurBehind = [](std::intptr_t nativeWindow) {
        blurred = nativeWindow;
        return false;
    };
    FrameWindow frame;
    ASSERT_TRUE(frame.Create(d));
    EXPECT_EQ(blurred, Ex_WndGetNativeHandle(frame.WindowHandle()));
    EXPECT_NE(blurred, frame.WindowHandle());
}

TEST_F(FrameWindowTest, AWindowThatCannotBeMadeWritesNoHandles) {
    FrameWindow frame;
    ExHandle surface = 77;
    ExHandle window = 77;
    bool contentRan = false;
    FrameWindowDescription d;
    d.embedded = true;
    d.existingWindow = 424242;  // Not a window: binding fails.
    d.outSurface = &surface;
    d.outWindow = &window;
    d.content = [&] { contentRan = true; };
    EXPECT_FALSE(frame.Create(d));
    EXPECT_EQ(surface, 0) << "a failed bind reports no surface";
    EXPECT_FALSE(contentRan);
    EXPECT_EQ(frame.Width(), 0);
    frame.ShowState(0);  // Harmless on a frame without a surface.
    frame.Close();
}

}  // namespace
}  // namespace cj::ui
