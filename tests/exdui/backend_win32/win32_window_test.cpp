// The Win32 back end's top-level window: the system's messages, as the
// system sends them, become the library's events (NativeWindowEvents).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "backend/event_loop.h"
#include "backend/native_window.h"
#include "backend/win32/win32_native_window.h"

namespace exdui::backend {
namespace {

std::string At(ExPoint p) {
    return std::to_string(p.x) + "," + std::to_string(p.y);
}

// Writes down what the window tells, in a line each.
class Recorder final : public NativeWindowEvents {
  public:
    std::vector<std::string> log;
    FrameHit hit = FrameHit::Client;
    bool takeKeys = false;
    bool destroyed = false;

    void OnPaint(Painter&, const ExRect&) override {}
    void OnPaintFrame(Painter&, const ExRect&) override {}
    FrameHit OnHitTest(ExPoint) override { return hit; }
    void OnResized(int32_t, int32_t) override {}
    void OnMoved(int32_t, int32_t) override {}
    void OnStateChanged(WindowState) override {}
    void OnCloseRequested() override { log.push_back("close"); }
    void OnPopupDismissed() override { log.push_back("dismissed"); }
    void OnActivated(bool) override {}
    void OnFrameMouse(FrameMouse action, ExPoint at) override {
        static const char* const names[] = {"move", "press", "release", "leave"};
        log.push_back(std::string("frame ") + names[static_cast<int>(action)] + " " + At(at));
    }
    bool OnKeyDown(int32_t key) override {
        log.push_back("first " + std::to_string(key));
        return takeKeys;
    }
    void OnDestroyed() override { destroyed = true; }
    void OnVisible(bool) override {}
    void OnMouseMove(ExPoint at, uint32_t keys) override {
        log.push_back("move " + At(at) + " " + std::to_string(keys));
    }
    void OnMouseDown(MouseButton b, ExPoint at, uint32_t keys) override {
        log.push_back("down " + Button(b) + " " + At(at) + " " + std::to_string(keys));
    }
    void OnMouseUp(MouseButton b, ExPoint at, uint32_t keys) override {
        log.push_back("up " + Button(b) + " " + At(at) + " " + std::to_string(keys));
    }
    void OnDoubleClick(MouseButton b, ExPoint at, uint32_t keys) override {
        log.push_back("double " + Button(b) + " " + At(at) + " " + std::to_string(keys));
    }
    void OnMouseLeave() override { log.push_back("leave"); }
    void OnMouseEnter(ExPoint at) override { log.push_back("enter " + At(at)); }
    bool OnWheel(ExPoint at, int32_t delta, uint32_t) override {
        log.push_back("wheel " + At(at) + " " + std::to_string(delta));
        return true;
    }
    bool OnKey(bool down, int32_t key, uint32_t, std::u16string_view text) override {
        log.push_back(std::string(down ? "key down " : "key up ") + std::to_string(key) + " " +
                      std::string(text.begin(), text.end()));
        return true;
    }
    void OnFocusChanged(bool) override {}
    void OnViewFocus(NativeView*, bool) override {}
    bool OnFilesOver(ExPoint, const std::vector<std::u16string>&) override { return true; }
    bool OnFilesDropped(ExPoint, const std::vector<std::u16string>&) override { return true; }

  private:
    static std::string Button(MouseButton b) {
        return b == MouseButton::Left ? "L" : b == MouseButton::Right ? "R" : "M";
    }
};

std::vector<int32_t> Sides(const ExRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

LPARAM Point(int x, int y) {
    return MAKELPARAM(x, y);
}

class Win32Window : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartApplication()); }

    void SetUp() override {
        NativeWindowOptions options;
        options.rect = {100, 100, 400, 300};
        window = CreateNativeWindow(options, events);
        ASSERT_NE(window, nullptr);
        hwnd = static_cast<win32::Win32NativeWindow*>(window)->Handle();
        window->Show(EX_SW_SHOWNORMAL);
        RunEvents(0);
        events.log.clear();
    }

    void TearDown() override {
        if (window != nullptr) {
            window->Destroy();
            DeleteDeferredObjects();
            EXPECT_TRUE(events.destroyed);
        }
    }

    std::vector<std::string> Send(UINT message, WPARAM wParam, LPARAM lParam) {
        events.log.clear();
        SendMessageW(hwnd, message, wParam, lParam);
        return events.log;
    }

    Recorder events;
    NativeWindow* window = nullptr;
    HWND hwnd = nullptr;
};

TEST_F(Win32Window, TheLibrarysHitTestIsTheSystems) {
    const std::pair<FrameHit, LRESULT> cases[] = {
        {FrameHit::Client, HTCLIENT},
        {FrameHit::Button, HTCLIENT},
        {FrameHit::Caption, HTCAPTION},
        {FrameHit::Left, HTLEFT},
        {FrameHit::Top, HTTOP},
        {FrameHit::Right, HTRIGHT},
        {FrameHit::Bottom, HTBOTTOM},
        {FrameHit::TopLeft, HTTOPLEFT},
        {FrameHit::TopRight, HTTOPRIGHT},
        {FrameHit::BottomLeft, HTBOTTOMLEFT},
        {FrameHit::BottomRight, HTBOTTOMRIGHT},
    };
    for (const auto& [hit, code] : cases) {
        events.hit = hit;
        EXPECT_EQ(SendMessageW(hwnd, WM_NCHITTEST, 0, Point(150, 150)), code)
            << static_cast<int>(hit);
    }
    // The frame area is the library's own: never the system's caption.
    window->SetFrameArea({250, 0, 300, 30});
    events.hit = FrameHit::Caption;
    EXPECT_EQ(SendMessageW(hwnd, WM_NCHITTEST, 0, Point(100 + 260, 100 + 10)), HTCLIENT);
}

TEST_F(Win32Window, MouseMessagesBecomeTheLibrarysInput) {
    window->SetFrameArea({250, 0, 300, 30});
    struct Case {
        UINT message;
        WPARAM keys;
        int x, y;
        std::vector<std::string> told;
    };
    const Case cases[] = {
        {WM_MOUSEMOVE, 0, 10, 20, {"enter 10,20", "move 10,20 0"}},
        {WM_MOUSEMOVE, MK_SHIFT, 11, 20, {"move 11,20 4"}},
        {WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, 11, 20, {"down L 11,20 9"}},
        {WM_LBUTTONUP, MK_CONTROL, 11, 20, {"up L 11,20 8"}},
        {WM_LBUTTONDBLCLK, MK_LBUTTON, 11, 20, {"double L 11,20 1"}},
        {WM_LBUTTONUP, 0, 11, 20, {"up L 11,20 0"}},
        {WM_RBUTTONDOWN, MK_RBUTTON, 12, 20, {"down R 12,20 2"}},
        {WM_RBUTTONUP, 0, 12, 20, {"up R 12,20 0"}},
        {WM_MBUTTONDOWN, MK_MBUTTON, 12, 20, {"down M 12,20 0"}},
        {WM_MBUTTONUP, 0, 12, 20, {"up M 12,20 0"}},
        // Onto the frame area: the window's pointer leaves, the frame's moves.
        {WM_MOUSEMOVE, 0, 260, 10, {"leave", "frame move 260,10"}},
        {WM_RBUTTONDOWN, MK_RBUTTON, 260, 10, {}},
        {WM_LBUTTONDOWN, MK_LBUTTON, 260, 10, {"frame press 260,10"}},
        {WM_MOUSEMOVE, MK_LBUTTON, 100, 100, {"frame move 100,100"}},
        {WM_LBUTTONUP, 0, 100, 100, {"frame release 100,100"}},
        {WM_MOUSEMOVE, 0, 100, 100, {"frame leave 0,0", "enter 100,100", "move 100,100 0"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Send(c.message, c.keys, Point(c.x, c.y)), c.told) << c.message << " " << c.x;
    }
    // The wheel's point comes on the screen.
    EXPECT_EQ(Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), Point(100 + 5, 100 + 6)),
              (std::vector<std::string>{"wheel 5,6 120"}));
}

TEST_F(Win32Window, KeysGoToTheLibraryFirstThenWithWhatTheyType) {
    for (const bool take : {true, false}) {
        events.takeKeys = take;
        events.log.clear();
        SetFocus(hwnd);
        PostMessageW(hwnd, WM_KEYDOWN, 'A', 1);
        PostMessageW(hwnd, WM_KEYUP, 'A', 0xC0000001);
        RunEvents(0);
        // A key the library took first types nothing and its press reaches
        // nothing else; its release comes as any other.
        const std::vector<std::string> told =
            take ? std::vector<std::string>{"first 65", "key up 65 "}
                 : std::vector<std::string>{"first 65", "key down 65 a", "key up 65 "};
        EXPECT_EQ(events.log, told) << take;
    }
}

TEST_F(Win32Window, PopupGoesAtAPressOutsideItNotWhenHidden) {
    Recorder popupEvents;
    NativeWindowOptions options;
    options.rect = {150, 150, 250, 250};
    options.owner = window;
    options.popup = true;
    NativeWindow* popup = CreateNativeWindow(options, popupEvents);
    ASSERT_NE(popup, nullptr);
    HWND popupHwnd = static_cast<win32::Win32NativeWindow*>(popup)->Handle();
    for (const bool byPress : {true, false}) {
        popupEvents.log.clear();
        popup->Show(EX_SW_SHOWNOACTIVATE);
        EXPECT_EQ(GetCapture(), popupHwnd);
        if (byPress) {
            SendMessageW(popupHwnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(-20, 5));
        } else {
            popup->Show(EX_SW_HIDE);
        }
        EXPECT_FALSE(popup->IsVisible());
        EXPECT_NE(GetCapture(), popupHwnd);
        EXPECT_EQ(popupEvents.log,
                  byPress ? std::vector<std::string>{"dismissed"} : std::vector<std::string>{});
    }
    // The owner takes its popups with it.
    window->Destroy();
    DeleteDeferredObjects();
    EXPECT_TRUE(popupEvents.destroyed);
    EXPECT_TRUE(events.destroyed);
    window = nullptr;
}

TEST_F(Win32Window, CloseIsAskedAndDestroyComesAfterTheCall) {
    EXPECT_EQ(Send(WM_CLOSE, 0, 0), (std::vector<std::string>{"close"}));
    EXPECT_TRUE(IsWindow(hwnd));
    window->Destroy();
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_FALSE(events.destroyed);
    // Nothing more is told once destroyed.
    EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(5, 5)), std::vector<std::string>{});
    DeleteDeferredObjects();
    EXPECT_TRUE(events.destroyed);
    EXPECT_FALSE(IsWindow(hwnd));
    window = nullptr;
}

TEST_F(Win32Window, TheLeastSizeHoldsForTheLibrarysOwnCalls) {
    window->SetMinSize(200, 100);
    window->SetRect({10, 20, 60, 70});
    EXPECT_EQ(Sides(window->Rect()), (std::vector<int32_t>{10, 20, 210, 120}));
    window->SetMinSize(0, 0);
    // Below the user's least size, which only the user's resizing keeps.
    window->SetRect({10, 20, 60, 70});
    EXPECT_EQ(Sides(window->Rect()), (std::vector<int32_t>{10, 20, 60, 70}));
}

}  // namespace
}  // namespace exdui::backend
