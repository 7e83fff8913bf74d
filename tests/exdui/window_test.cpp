// Frameless windows: the style bits (centred, frame buttons, movable,
// resizable, Escape), moving and resizing by hand with real mouse events (no
// window manager offscreen), the window messages, dropped files.
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>
#include <QTest>
#include <QUrl>
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

QRect ScreenRect(ExHandle window) {
    ExRect r{};
    Ex_WndGetRect(window, &r);
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

TEST(Window, CentredOnCreationWithFrameButtonsAtTheTopRight) {
    TestWindow win(400, 300, FrameStyle, &RecordingProc);
    QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(ScreenRect(win.Window()).center(), area.center());
    QWidget* w = win.Widget();
    QWidget* close = w->childAt(w->width() - 5, 5);
    QWidget* max = w->childAt(w->width() - 40, 5);
    QWidget* min = w->childAt(w->width() - 70, 5);
    ASSERT_NE(close, nullptr);
    ASSERT_NE(max, nullptr);
    ASSERT_NE(min, nullptr);
    EXPECT_TRUE(close != max && max != min);
    EXPECT_EQ(w->childAt(w->width() - 100, 5), nullptr);  // three buttons only

    g_sizes.clear();
    QTest::mouseClick(max, Qt::LeftButton, {}, QPoint(16, 13));
    ASSERT_TRUE(PumpUntil([&] { return w->isMaximized(); }));
    ASSERT_TRUE(PumpUntil([&] { return !g_sizes.empty() && g_sizes.back() == 2; }));
    QTest::mouseClick(w->childAt(w->width() - 40, 5), Qt::LeftButton, {}, QPoint(16, 13));
    ASSERT_TRUE(PumpUntil([&] { return !w->isMaximized(); }));

    // Close asks the procedure first; refused, the window stays.
    g_messages.clear();
    g_refuseClose = true;
    QTest::mouseClick(w->childAt(w->width() - 5, 5), Qt::LeftButton, {}, QPoint(16, 13));
    EXPECT_EQ(g_messages, (std::vector<int32_t>{EX_WM_CLOSE}));
    EXPECT_NE(Ex_DUIGetWindow(win.Surface()), 0);
    g_refuseClose = false;
    QTest::mouseClick(w->childAt(w->width() - 5, 5), Qt::LeftButton, {}, QPoint(16, 13));
    EXPECT_EQ(g_messages, (std::vector<int32_t>{EX_WM_CLOSE, EX_WM_CLOSE, EX_WM_DESTROY}));
    EXPECT_EQ(Ex_DUIGetWindow(win.Surface()), 0);
    EXPECT_EQ(Ex_WndGetRect(win.Window(), nullptr), 0);
}

TEST(Window, DraggingTheBackgroundOrALabelMovesIt) {
    TestWindow win(400, 300, 0x40000 | 0x800);
    Ex_WndMove(win.Window(), 100, 100, EX_KEEP, EX_KEEP, 1);
    QWidget* w = win.Widget();
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(200, 150));
    QTest::mouseMove(w, QPoint(250, 180));
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(250, 180));
    EXPECT_EQ(ScreenRect(win.Window()).topLeft(), QPoint(150, 130));

    // Labels (and pages, which are labels) let the drag through; an edit does not.
    ExHandle page = Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 0, 70, 400, 230, win.Surface(), 0, -1, 0,
                                   0, nullptr);
    ExHandle edit =
        Ex_ObjCreateEx(-1, u"Edit", u"", -1, 10, 10, 100, 30, page, 0, -1, 0, 0, nullptr);
    QTest::mousePress(W(page), Qt::LeftButton, {}, QPoint(200, 100));
    QTest::mouseMove(W(page), QPoint(190, 90));
    QTest::mouseRelease(W(page), Qt::LeftButton, {}, QPoint(190, 90));
    EXPECT_EQ(ScreenRect(win.Window()).topLeft(), QPoint(140, 120));
    QTest::mousePress(W(edit), Qt::LeftButton, {}, QPoint(50, 15));
    QTest::mouseMove(W(edit), QPoint(80, 25));
    QTest::mouseRelease(W(edit), Qt::LeftButton, {}, QPoint(80, 25));
    EXPECT_EQ(ScreenRect(win.Window()).topLeft(), QPoint(140, 120));
}

TEST(Window, WithoutTheMovableBitDraggingDoesNothing) {
    TestWindow win(300, 200, 0x40000);
    Ex_WndMove(win.Window(), 50, 50, EX_KEEP, EX_KEEP, 1);
    QTest::mousePress(win.Widget(), Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(win.Widget(), QPoint(150, 150));
    QTest::mouseRelease(win.Widget(), Qt::LeftButton, {}, QPoint(150, 150));
    EXPECT_EQ(ScreenRect(win.Window()).topLeft(), QPoint(50, 50));
}

TEST(Window, EdgesResizeAResizableWindow) {
    TestWindow win(400, 300, 0x40000 | 0x400 | 0x800, &RecordingProc);
    Ex_WndMove(win.Window(), 100, 100, EX_KEEP, EX_KEEP, 1);
    // Objects covering the edge do not stop it: the edge is the window's.
    Ex_ObjCreateEx(-1, u"Edit", u"", -1, 0, 0, 400, 300, win.Surface(), 0, -1, 0, 0, nullptr);
    QWidget* w = win.Widget();
    g_sizes.clear();
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(398, 150));
    QTest::mouseMove(w, QPoint(438, 150));
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(438, 150));
    EXPECT_EQ(ScreenRect(win.Window()), QRect(100, 100, 440, 300));
    ASSERT_GE(g_sizes.size(), 2u);
    EXPECT_EQ(g_sizes[g_sizes.size() - 2], 440 | (300 << 16));

    // The top-left corner moves the window's origin and keeps the far edges.
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(1, 1));
    QTest::mouseMove(w, QPoint(21, 11));
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(21, 11));
    EXPECT_EQ(ScreenRect(win.Window()), QRect(120, 110, 420, 290));
}

TEST(Window, ItsLeastSizeHoldsForTheEdgesAndForMoves) {
    TestWindow win(400, 300, 0x40000 | 0x400 | 0x800);
    Ex_WndMove(win.Window(), 100, 100, EX_KEEP, EX_KEEP, 1);
    ASSERT_TRUE(Ex_WndSetMinSize(win.Window(), 350, 280));
    QWidget* w = win.Widget();
    // The right edge dragged far in stops at the least width; the top-left
    // corner keeps the far edges where they are.
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(398, 150));
    QTest::mouseMove(w, QPoint(200, 150));
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(200, 150));
    EXPECT_EQ(ScreenRect(win.Window()), QRect(100, 100, 350, 300));
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(1, 1));
    QTest::mouseMove(w, QPoint(151, 101));
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(151, 101));
    EXPECT_EQ(ScreenRect(win.Window()), QRect(100, 120, 350, 280));
    // A smaller size asked for is taken up to the least; a larger least
    // size grows the window.
    Ex_WndMove(win.Window(), EX_KEEP, EX_KEEP, 200, 100, 1);
    EXPECT_EQ(ScreenRect(win.Window()).size(), QSize(350, 280));
    Ex_WndSetMinSize(win.Window(), 500, 0);
    EXPECT_EQ(ScreenRect(win.Window()).size(), QSize(500, 280));
    EXPECT_EQ(Ex_WndSetMinSize(0, 1, 1), 0);
}

TEST(Window, EscapeClosesOnlyWithItsBit) {
    TestWindow plain(200, 100, 0x40000, &RecordingProc);
    g_messages.clear();
    QTest::keyClick(plain.Widget(), Qt::Key_Escape);
    EXPECT_TRUE(g_messages.empty());
    TestWindow escaping(200, 100, 0x40000 | 0x8000, &RecordingProc);
    QTest::keyClick(escaping.Widget(), Qt::Key_Escape);
    EXPECT_EQ(g_messages, (std::vector<int32_t>{EX_WM_CLOSE, EX_WM_DESTROY}));
}

TEST(Window, PlacementCallsKeepWhatTheyAreNotGiven) {
    TestWindow win(300, 200, 0x40000);
    ASSERT_TRUE(Ex_WndMove(win.Window(), 10, 20, EX_KEEP, EX_KEEP, 1));
    EXPECT_EQ(ScreenRect(win.Window()), QRect(10, 20, 300, 200));
    ASSERT_TRUE(Ex_WndMove(win.Window(), EX_KEEP, EX_KEEP, 500, 400, 1));
    EXPECT_EQ(ScreenRect(win.Window()), QRect(10, 20, 500, 400));
    ExRect client{};
    ASSERT_TRUE(Ex_DUIGetClientRect(win.Surface(), &client));
    EXPECT_EQ(client.right, 500);
    EXPECT_EQ(client.bottom, 400);
    ASSERT_TRUE(Ex_WndSetTopmost(win.Window(), 1));
    Pump(1);
    EXPECT_EQ(ScreenRect(win.Window()), QRect(10, 20, 500, 400));
    EXPECT_TRUE(win.Widget()->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(Ex_WndIsVisible(win.Window()));
    Ex_WndEnable(win.Window(), 0);
    EXPECT_FALSE(win.Widget()->isEnabled());
    Ex_WndEnable(win.Window(), 1);
    Ex_DUIShowWindow(win.Surface(), EX_SW_SHOWMAXIMIZED, 0, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return win.Widget()->isMaximized(); }));
    Ex_DUIShowWindow(win.Surface(), EX_SW_SHOWNOACTIVATE, 0, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !win.Widget()->isMaximized(); }));
    ExRect desktop{};
    ASSERT_TRUE(Ex_WndGetDesktopRect(&desktop));
    EXPECT_EQ(desktop.right, QGuiApplication::primaryScreen()->geometry().right() + 1);
}

TEST(Window, WorkRectIsTheAvailablePartOfTheWindowsScreen) {
    TestWindow win(300, 200, FrameStyle);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const ExRect expected{area.left(), area.top(), area.right() + 1, area.bottom() + 1};
    for (ExHandle handle : {win.Window(), win.Surface(), ExHandle{0}}) {
        ExRect work{-1, -1, -1, -1};
        ASSERT_TRUE(Ex_WndGetWorkRect(handle, &work)) << handle;
        EXPECT_EQ(work.left, expected.left);
        EXPECT_EQ(work.top, expected.top);
        EXPECT_EQ(work.right, expected.right);
        EXPECT_EQ(work.bottom, expected.bottom);
    }
    // A window moved wholly off every screen is measured by the primary one.
    ASSERT_TRUE(Ex_WndMove(win.Window(), -5000, -5000, EX_KEEP, EX_KEEP, 1));
    ExRect work{};
    ASSERT_TRUE(Ex_WndGetWorkRect(win.Window(), &work));
    EXPECT_EQ(work.right, expected.right);
    ExRect untouched{7, 7, 7, 7};
    EXPECT_FALSE(Ex_WndGetWorkRect(123456, &untouched));
    EXPECT_EQ(untouched.left, 7);
    EXPECT_FALSE(Ex_WndGetWorkRect(win.Window(), nullptr));
}

TEST(Window, TitleBarStyleDrawsTheTitle) {
    auto whiteIn = [](const QImage& shot) {
        int white = 0;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 150; ++x) {
                white += qGray(Pixel(shot, x, y)) > 200 ? 1 : 0;
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
    ASSERT_TRUE(PumpUntil([&] { return Ex_DUIGetWindow(win.Surface()) == 0; }));
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
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/甲")),
                  QUrl::fromLocalFile(QStringLiteral("/srv"))});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(W(box), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    g_dropped.clear();
    QApplication::sendEvent(W(box), &drop);
    EXPECT_EQ(g_dropped, (std::vector<std::u16string>{u"/tmp/甲", u"/srv"}));
    // An object without the drop bits takes no drops.
    ExHandle other = Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 220, 10, 50, 50, win.Surface(), 0, -1,
                                    0, 0, &DropProc);
    EXPECT_FALSE(W(other)->acceptDrops());
}

}  // namespace
}  // namespace exdui::test
