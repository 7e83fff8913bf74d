// Frameless windows: the style bits (centred, frame buttons, movable,
// resizable, Escape), moving and resizing by hand with the mouse (no window
// manager offscreen), the window messages, dropped files.
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "exdui_env.h"

namespace exdui::test {
namespace {

std::vector<int32_t> g_messages;
std::vector<intptr_t> g_sizes;
bool g_refuseClose = false;

intptr_t RecordingProc(ExHandle, ExHandle, int32_t message, intptr_t wParam, intptr_t lParam,
                       intptr_t*) {
    if (message == EX_WM_CLOSE || message == EX_WM_DESTROY || message == EX_WM_COMMAND) {
        g_messages.push_back(message);
    }
    if (message == EX_WM_SIZE) {
        g_sizes.push_back(lParam);
        g_sizes.push_back(wParam);
    }
    return message == EX_WM_CLOSE && g_refuseClose ? 1 : 0;
}

constexpr int32_t FrameStyle =
    0x40000 | 0x20000 | 0x7 | 0x800 | 0x400;  // the main window's, less 0x10000

// Left, top, width, height: a failure reads more easily than a rectangle's edges.
struct Placement {
    int32_t x, y, width, height;
    bool operator==(const Placement&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Placement& p) {
    return out << p.x << "," << p.y << " " << p.width << "x" << p.height;
}

Placement PlacementOf(ExRect r) {
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Placement ScreenRect(ExHandle window) {
    ExRect r{};
    Ex_WndGetRect(window, &r);
    return PlacementOf(r);
}

Placement WorkArea() {
    ExRect r{};
    Ex_WndGetWorkRect(0, &r);
    return PlacementOf(r);
}

// Presses the left button at from, moves it to to and lets it go there
// (client points of the window before the drag). The pointer stays where it
// went while the window moves under it, so it is let go at the same place of
// the screen, a different point of the window.
void Drag(ExHandle window, ExPoint from, ExPoint to) {
    inject::MouseMove(window, from);
    inject::MouseDown(window, from);
    const Placement before = ScreenRect(window);
    inject::MouseMove(window, to);
    const Placement after = ScreenRect(window);
    inject::MouseUp(window, {to.x - (after.x - before.x), to.y - (after.y - before.y)});
}

TEST(Window, CentredOnCreationWithFrameButtonsAtTheTopRight) {
    TestWindow win(400, 300, FrameStyle, &RecordingProc);
    const Placement area = WorkArea();
    const Placement placed = ScreenRect(win.Window());
    EXPECT_EQ(placed.x + placed.width / 2, area.x + area.width / 2);
    EXPECT_EQ(placed.y + placed.height / 2, area.y + area.height / 2);
    // From the right: close, maximise, minimise, 32 pixels each; nothing
    // further left.
    const ExPoint close{400 - 16, 13};
    const ExPoint maximize{400 - 48, 13};
    inject::Click(win.Window(), {400 - 112, 13});
    EXPECT_EQ(ScreenRect(win.Window()), placed);

    g_sizes.clear();
    inject::Click(win.Window(), maximize);
    ASSERT_TRUE(inject::RunEventsUntil([&] { return ScreenRect(win.Window()) == area; }));
    ASSERT_TRUE(inject::RunEventsUntil([&] { return !g_sizes.empty() && g_sizes.back() == 2; }));
    inject::Click(win.Window(), {area.width - 48, 13});
    ASSERT_TRUE(inject::RunEventsUntil([&] { return ScreenRect(win.Window()) == placed; }));

    // Close asks the procedure first; refused, the window stays.
    g_messages.clear();
    g_refuseClose = true;
    inject::Click(win.Window(), close);
    EXPECT_EQ(g_messages, (std::vector<int32_t>{EX_WM_CLOSE}));
    EXPECT_NE(Ex_DUIGetWindow(win.Surface()), 0);
    g_refuseClose = false;
    inject::Click(win.Window(), close);
    EXPECT_EQ(g_messages, (std::vector<int32_t>{EX_WM_CLOSE, EX_WM_CLOSE, EX_WM_DESTROY}));
    EXPECT_EQ(Ex_DUIGetWindow(win.Surface()), 0);
    EXPECT_EQ(Ex_WndGetRect(win.Window(), nullptr), 0);
}

TEST(Window, AFrameButtonLightsUnderThePointerAndWhilePressed) {
    TestWindow win(400, 300, FrameStyle, nullptr, 0xFF000000);  // the shades are white
    constexpr ExArgb CloseLit = 0xFFE81123;
    const ExPoint corner{370, 2};  // of the close button, clear of its cross
    inject::MouseMove(win.Window(), {200, 150});
    const ExArgb unlit = Pixel(win.Grab(), corner.x, corner.y);
    ASSERT_NE(unlit, CloseLit);
    inject::MouseMove(win.Window(), {384, 13});
    EXPECT_EQ(Pixel(win.Grab(), corner.x, corner.y), CloseLit);
    inject::MouseMove(win.Window(), {200, 150});
    EXPECT_EQ(Pixel(win.Grab(), corner.x, corner.y), unlit);

    // A press on maximise keeps it shaded until the release, off it too.
    const ExArgb maximizeUnlit = Pixel(win.Grab(), 338, 2);
    inject::MouseMove(win.Window(), {352, 13});
    inject::MouseDown(win.Window(), {352, 13});
    inject::MouseMove(win.Window(), {200, 150});
    EXPECT_NE(Pixel(win.Grab(), 338, 2), maximizeUnlit);
    inject::MouseUp(win.Window(), {200, 150});
    EXPECT_EQ(Pixel(win.Grab(), 338, 2), maximizeUnlit);
}

TEST(Window, APressReachesTheInnermostObjectShownAndNoneOnTheFrameButtons) {
    TestWindow win(400, 300, FrameStyle);
    // From the right: close, maximise, minimise.
    std::vector<Placement> buttons;
    for (const ExRect& button : inject::FrameButtonsOf(win.Window())) {
        buttons.push_back(PlacementOf(button));
    }
    EXPECT_EQ(buttons,
              (std::vector<Placement>{{368, 0, 32, 26}, {336, 0, 32, 26}, {304, 0, 32, 26}}));
    const ExHandle outer = Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 20, 40, 200, 100, win.Surface(),
                                          0, -1, 0, 0, nullptr);
    const ExHandle inner =
        Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 10, 10, 50, 30, outer, 0, -1, 0, 0, nullptr);
    EXPECT_EQ(inject::ObjectAt(win.Window(), {40, 60}), inner);
    EXPECT_EQ(inject::ObjectAt(win.Window(), {150, 100}), outer);
    EXPECT_EQ(inject::ObjectAt(win.Window(), {300, 200}), 0) << "the background";
    EXPECT_EQ(inject::ObjectAt(win.Window(), {384, 13}), 0) << "the close button";
    Ex_ObjShow(inner, 0);
    EXPECT_EQ(inject::ObjectAt(win.Window(), {40, 60}), outer) << "a hidden object is not there";
}

TEST(Window, DraggingTheBackgroundOrALabelMovesIt) {
    TestWindow win(400, 300, 0x40000 | 0x800);
    Ex_WndMove(win.Window(), 100, 100, EX_KEEP, EX_KEEP, 1);
    Drag(win.Window(), {200, 150}, {250, 180});
    EXPECT_EQ(ScreenRect(win.Window()), (Placement{150, 130, 400, 300}));

    // Labels (and pages, which are labels) let the drag through; an edit does not.
    ExHandle page = Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 0, 70, 400, 230, win.Surface(), 0, -1, 0,
                                   0, nullptr);
    ExHandle edit =
        Ex_ObjCreateEx(-1, u"Edit", u"", -1, 10, 10, 100, 30, page, 0, -1, 0, 0, nullptr);
    Drag(win.Window(), inject::PointIn(page, 200, 100), inject::PointIn(page, 190, 90));
    EXPECT_EQ(ScreenRect(win.Window()), (Placement{140, 120, 400, 300}));
    Drag(win.Window(), inject::PointIn(edit, 50, 15), inject::PointIn(edit, 80, 25));
    EXPECT_EQ(ScreenRect(win.Window()), (Placement{140, 120, 400, 300}));
}

TEST(Window, WithoutTheMovableBitDraggingDoesNothing) {
    TestWindow win(300, 200, 0x40000);
    Ex_WndMove(win.Window(), 50, 50, EX_KEEP, EX_KEEP, 1);
    Drag(win.Window(), {100, 100}, {150, 150});
    EXPECT_EQ(ScreenRect(win.Window()), (Placement{50, 50, 300, 200}));
}

TEST(Window, EdgesResizeAResizableWindow) {
    TestWindow win(400, 300, 0x40000 | 0x400 | 0x800, &RecordingProc);
    Ex_WndMove(win.Window(), 100, 100, EX_KEEP, EX_KEEP, 1);
    // Objects covering the edge do not stop it: the edge is the window's.
    Ex_ObjCreateEx(-1, u"Edit", u"", -1, 0, 0, 400, 300, win.Surface(), 0, -1, 0, 0, nullptr);
    g_sizes.clear();
    Drag(win.Window(), {398, 150}, {438, 150});
    EXPECT_EQ(ScreenRect(win.Window()), (Placement{100, 100, 440, 300}));
    ASSERT_GE(g_sizes.size(), 2u);
    EXPECT_EQ(g_sizes[g_sizes.size() - 2], 440 | (300 << 16));

    // The top-left corner moves the window's origin and keeps the far edges.
    Drag(win.Window(), {1, 1}, {21, 11});
    EXPECT_EQ(ScreenRect(win.Window()), (Placement{120, 110, 420, 290}));
}

TEST(Window, ItsLeastSizeHoldsForTheEdgesAndForMoves) {
    TestWindow win(400, 300, 0x40000 | 0x400 | 0x800);
    Ex_WndMove(win.Window(), 100, 100, EX_KEEP, EX_KEEP, 1);
    ASSERT_TRUE(Ex_WndSetMinSize(win.Window(), 350, 280));
    // The right edge dragged far in stops at the least width; the top-left
    // corner keeps the far edges where they are.
    Drag(win.Window(), {398, 150}, {200, 150});
    EXPECT_EQ(ScreenRect(win.Window()), (Placement{100, 100, 350, 300}));
    Drag(win.Window(), {1, 1}, {151, 101});
    EXPECT_EQ(ScreenRect(win.Window()), (Placement{100, 120, 350, 280}));
    // A smaller size asked for is taken up to the least; a larger least
    // size grows the window.
    Ex_WndMove(win.Window(), EX_KEEP, EX_KEEP, 200, 100, 1);
    EXPECT_EQ(ScreenRect(win.Window()), (Placement{100, 120, 350, 280}));
    Ex_WndSetMinSize(win.Window(), 500, 0);
    EXPECT_EQ(ScreenRect(win.Window()), (Placement{100, 120, 500, 280}));
    EXPECT_EQ(Ex_WndSetMinSize(0, 1, 1), 0);
}

TEST(Window, EscapeClosesOnlyWithItsBit) {
    TestWindow plain(200, 100, 0x40000, &RecordingProc);
    g_messages.clear();
    inject::Key(plain.Window(), EX_VK_ESCAPE);
    EXPECT_TRUE(g_messages.empty());
    TestWindow escaping(200, 100, 0x40000 | 0x8000, &RecordingProc);
    inject::Key(escaping.Window(), EX_VK_ESCAPE);
    EXPECT_EQ(g_messages, (std::vector<int32_t>{EX_WM_CLOSE, EX_WM_DESTROY}));
}

int g_clicks = 0;

intptr_t CountClick(ExHandle, int32_t, int32_t, intptr_t, intptr_t) {
    ++g_clicks;
    return 0;
}

TEST(Window, PlacementCallsKeepWhatTheyAreNotGiven) {
    TestWindow win(300, 200, 0x40000);
    ASSERT_TRUE(Ex_WndMove(win.Window(), 10, 20, EX_KEEP, EX_KEEP, 1));
    EXPECT_EQ(ScreenRect(win.Window()), (Placement{10, 20, 300, 200}));
    ASSERT_TRUE(Ex_WndMove(win.Window(), EX_KEEP, EX_KEEP, 500, 400, 1));
    EXPECT_EQ(ScreenRect(win.Window()), (Placement{10, 20, 500, 400}));
    ExRect client{};
    ASSERT_TRUE(Ex_DUIGetClientRect(win.Surface(), &client));
    EXPECT_EQ(client.right, 500);
    EXPECT_EQ(client.bottom, 400);
    ASSERT_TRUE(Ex_WndSetTopmost(win.Window(), 1));
    inject::RunEvents(1);
    EXPECT_EQ(ScreenRect(win.Window()), (Placement{10, 20, 500, 400}));
    EXPECT_TRUE(Ex_WndIsVisible(win.Window()));
    // A disabled window takes no clicks.
    ExHandle label =
        Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 0, 0, 100, 100, win.Surface(), 0, -1, 0, 0, nullptr);
    Ex_ObjHandleEvent(label, EX_NM_CLICK, &CountClick);
    g_clicks = 0;
    Ex_WndEnable(win.Window(), 0);
    inject::Click(win.Window(), inject::CenterOf(label));
    EXPECT_EQ(g_clicks, 0);
    Ex_WndEnable(win.Window(), 1);
    inject::Click(win.Window(), inject::CenterOf(label));
    EXPECT_EQ(g_clicks, 1);
    Ex_DUIShowWindow(win.Surface(), EX_SW_SHOWMAXIMIZED, 0, 0, 0);
    ASSERT_TRUE(inject::RunEventsUntil([&] { return ScreenRect(win.Window()) == WorkArea(); }));
    Ex_DUIShowWindow(win.Surface(), EX_SW_SHOWNOACTIVATE, 0, 0, 0);
    ASSERT_TRUE(inject::RunEventsUntil([&] {
        return ScreenRect(win.Window()) == Placement{10, 20, 500, 400};
    }));
}

TEST(Window, WorkRectIsTheSameForTheWindowItsSurfaceAndTheScreen) {
    TestWindow win(300, 200, FrameStyle);
    ExRect desktop{};
    ASSERT_TRUE(Ex_WndGetDesktopRect(&desktop));
    const Placement area = WorkArea();
    EXPECT_GT(area.width, 0);
    EXPECT_GE(area.x, desktop.left);
    EXPECT_LE(area.x + area.width, desktop.right);
    for (ExHandle handle : {win.Window(), win.Surface()}) {
        ExRect work{-1, -1, -1, -1};
        ASSERT_TRUE(Ex_WndGetWorkRect(handle, &work)) << handle;
        EXPECT_EQ(PlacementOf(work), area);
    }
    // A window moved wholly off every screen is measured by the primary one.
    ASSERT_TRUE(Ex_WndMove(win.Window(), -5000, -5000, EX_KEEP, EX_KEEP, 1));
    ExRect work{};
    ASSERT_TRUE(Ex_WndGetWorkRect(win.Window(), &work));
    EXPECT_EQ(PlacementOf(work), area);
    ExRect untouched{7, 7, 7, 7};
    EXPECT_FALSE(Ex_WndGetWorkRect(123456, &untouched));
    EXPECT_EQ(untouched.left, 7);
    EXPECT_FALSE(Ex_WndGetWorkRect(win.Window(), nullptr));
}

TEST(Window, TitleBarStyleDrawsTheTitle) {
    auto whiteIn = [](const inject::Snapshot& shot) {
        int white = 0;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 150; ++x) {
                white += Gray(Pixel(shot, x, y)) > 200 ? 1 : 0;
            }
        }
        return white;
    };
    TestWindow titled(300, 100, 0x100, nullptr, 0xFF202020);
    EXPECT_GT(whiteIn(titled.Grab()), 10);
    TestWindow bare(300, 100, 0x40000, nullptr, 0xFF202020);
    EXPECT_EQ(whiteIn(bare.Grab()), 0);
}

TEST(Window, PostedCloseArrivesLater) {
    TestWindow win(200, 100, 0x40000, &RecordingProc);
    g_messages.clear();
    ASSERT_TRUE(Ex_WndPostMessage(win.Window(), EX_WM_CLOSE, 0, 0));
    EXPECT_TRUE(g_messages.empty());
    ASSERT_TRUE(inject::RunEventsUntil([&] { return Ex_DUIGetWindow(win.Surface()) == 0; }));
    EXPECT_EQ(g_messages, (std::vector<int32_t>{EX_WM_CLOSE, EX_WM_DESTROY}));
}

std::vector<std::u16string> g_dropped;

intptr_t DropProc(ExHandle, ExHandle, int32_t message, intptr_t wParam, intptr_t, intptr_t*) {
    if (message == EX_WM_DROPFILES) {
        uint32_t count = Ex_DropQueryFile(wParam, 0xFFFFFFFF, nullptr, 0);
        for (uint32_t i = 0; i < count; ++i) {
            char16_t name[260];
            uint32_t n = Ex_DropQueryFile(wParam, i, name, 260);
            g_dropped.emplace_back(name, n);
        }
        char16_t cut[4];
        EXPECT_EQ(Ex_DropQueryFile(wParam, 0, cut, 4), 3u);
        EXPECT_EQ(Ex_DropQueryFile(wParam, count, cut, 4), 0u);
    }
    return 0;
}

TEST(Window, DroppedFilesReachTheObjectsProcedure) {
    TestWindow win(300, 300);
    ExHandle box = Ex_ObjCreateEx(0x06000000, u"STATIC", u"", -1, 10, 10, 200, 200, win.Surface(),
                                  1032, -1, 0, 0, &DropProc);
    const std::vector<std::u16string> files{u"/tmp/甲", u"/srv"};
    EXPECT_TRUE(inject::DragFilesOver(win.Window(), inject::PointIn(box, 20, 20), files));
    g_dropped.clear();
    EXPECT_TRUE(inject::DropFiles(win.Window(), inject::PointIn(box, 20, 20), files));
    EXPECT_EQ(g_dropped, files);
    // An object without the drop bits takes no drops.
    ExHandle other = Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 220, 10, 50, 50, win.Surface(), 0, -1,
                                    0, 0, &DropProc);
    g_dropped.clear();
    EXPECT_FALSE(inject::DragFilesOver(win.Window(), inject::CenterOf(other), files));
    EXPECT_FALSE(inject::DropFiles(win.Window(), inject::CenterOf(other), files));
    EXPECT_TRUE(g_dropped.empty());
}

}  // namespace
}  // namespace exdui::test
