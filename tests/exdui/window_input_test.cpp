// What the window itself does for its drawn objects: which object a point
// reaches, where presses, the wheel and keys go on to, when an object hears of
// its place and size, the hover of objects moving under the pointer, and how
// far its painting reaches.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exdui_env.h"

namespace exdui::test {
namespace {

std::vector<std::string> g_log;

// Logs what reaches an object, by its id, with the point in its own client
// coordinates; takes the wheel when its lParam says so.
intptr_t Logger(ExHandle, ExHandle object, int32_t message, intptr_t wParam, intptr_t lParam,
                intptr_t* result) {
    const std::string id = std::to_string(Ex_ObjGetLong(object, EX_OL_ID));
    const auto point = [lParam] {
        return std::to_string(static_cast<int16_t>(lParam & 0xFFFF)) + "," +
               std::to_string(static_cast<int16_t>((lParam >> 16) & 0xFFFF));
    };
    switch (message) {
        case EX_WM_LBUTTONDOWN:
            g_log.push_back(id + " down " + point());
            break;
        case EX_WM_LBUTTONUP:
            g_log.push_back(id + " up " + point());
            break;
        case EX_WM_MOUSEWHEEL:
            g_log.push_back(id + " wheel " + point());
            *result = Ex_ObjGetLong(object, EX_OL_LPARAM);
            return *result;
        case EX_WM_KEYDOWN:
            g_log.push_back(id + " key " + std::to_string(wParam));
            break;
        case EX_WM_CHAR:
            g_log.push_back(id + " char " + std::string(1, static_cast<char>(wParam)));
            break;
        case EX_WM_KEYUP:
            g_log.push_back(id + " keyup " + std::to_string(wParam));
            break;
        case EX_WM_MOVE:
            g_log.push_back(id + " move " + point());
            break;
        case EX_WM_SIZE:
            g_log.push_back(id + " size " + point());
            break;
        default:
            break;
    }
    return 0;
}

intptr_t FrameProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                   intptr_t lParam) {
    return Ex_ObjDefProc(window, object, message, wParam, lParam);
}

// Objects of a class of the program's or of a built-in one, logged. The
// program's "LoggingFrame" takes the pointer (it is not transparent).
ExHandle Make(const char16_t* cls, ExHandle parent, int32_t id, ExRect r, intptr_t lParam = 0,
              int32_t style = -1) {
    static const bool registered =
        Ex_ObjRegister(u"LoggingFrame", EX_OS_VISIBLE, 0, 0, 0, 0, 0, &FrameProc) != 0;
    EXPECT_TRUE(registered);
    return Ex_ObjCreateEx(-1, cls, u"", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                          parent, id, -1, lParam, 0, &Logger);
}

TEST(WindowInput, APointReachesTheTopmostShownEnabledObjectCutToItsAncestors) {
    TestWindow win(200, 200);
    ExHandle a = Make(u"STATIC", win.Surface(), 1, {10, 10, 110, 110});
    // Wider than its parent: what lies beyond the parent is cut away.
    ExHandle b = Make(u"STATIC", a, 2, {50, 50, 150, 150});
    // Made later, over a's corner.
    ExHandle c = Make(u"STATIC", win.Surface(), 3, {90, 90, 130, 130});
    ExHandle hidden = Make(u"STATIC", a, 4, {0, 0, 20, 20}, 0, 0);
    ExHandle disabled = Make(u"STATIC", a, 5, {20, 0, 40, 20});
    Ex_ObjEnable(disabled, 0);
    ASSERT_NE(hidden, 0);
    const struct {
        ExPoint at;
        ExHandle expected;
    } cases[] = {
        {{15, 15}, a},    // under the hidden child
        {{35, 15}, a},    // under the disabled child
        {{70, 70}, b},    //
        {{100, 100}, c},  // the later object is on top
        {{120, 60}, 0},   // b's part beyond a is cut away
        {{5, 5}, 0},      // the background
        {{125, 125}, c},  //
    };
    for (const auto& t : cases) {
        EXPECT_EQ(inject::ObjectAt(win.Window(), t.at), t.expected) << t.at.x << "," << t.at.y;
    }
}

TEST(WindowInput, PressesGoOnThroughTransparentObjectsAndTheButtonKeepsTheFirst) {
    TestWindow win(200, 200);
    ExHandle box = Make(u"LoggingFrame", win.Surface(), 1, {10, 10, 110, 110});
    ExHandle label = Make(u"STATIC", box, 2, {10, 10, 60, 60});
    g_log.clear();
    inject::MouseDown(win.Window(), inject::PointIn(label, 5, 5));
    // Released outside both: the label still gets it, then its parent.
    inject::MouseUp(win.Window(), {150, 150});
    EXPECT_EQ(g_log, (std::vector<std::string>{"2 down 5,5", "1 down 15,15", "2 up 130,130",
                                               "1 up 140,140"}));
}

TEST(WindowInput, TheWheelGoesOnToParentsUntilOneTakesIt) {
    const struct {
        intptr_t childTakes;
        std::vector<std::string> expected;
    } cases[] = {
        {1, {"2 wheel 5,5"}},
        {0, {"2 wheel 5,5", "1 wheel 15,15"}},
    };
    for (const auto& t : cases) {
        TestWindow win(200, 200);
        ExHandle box = Make(u"LoggingFrame", win.Surface(), 1, {10, 10, 110, 110}, 1);
        ExHandle child = Make(u"LoggingFrame", box, 2, {10, 10, 60, 60}, t.childTakes);
        g_log.clear();
        inject::Wheel(win.Window(), inject::PointIn(child, 5, 5), 120);
        EXPECT_EQ(g_log, t.expected);
    }
}

TEST(WindowInput, KeysTheFocusedObjectLeavesGoOnToItsParent) {
    TestWindow win(300, 200);
    ExHandle box = Make(u"LoggingFrame", win.Surface(), 1, {10, 10, 290, 190});
    ExHandle list = Make(u"ListView", box, 2, {10, 10, 200, 150});
    inject::Click(win.Window(), inject::CenterOf(list));
    ASSERT_EQ(inject::FocusedObject(win.Window()), list);
    g_log.clear();
    inject::Key(win.Window(), 'A');
    EXPECT_EQ(g_log, (std::vector<std::string>{"2 key 65", "2 char a", "1 key 65", "1 char a",
                                               "2 keyup 65", "1 keyup 65"}));
}

TEST(WindowInput, PlaceAndSizeAreToldWhenShownOrAtOnceWhileShown) {
    TestWindow win(200, 200);
    g_log.clear();
    ExHandle obj = Make(u"LoggingFrame", win.Surface(), 1, {10, 10, 60, 40}, 0, 0);
    Ex_ObjMove(obj, 20, 30, 40, 50, 1);
    EXPECT_TRUE(g_log.empty()) << "hidden: nothing yet";
    Ex_ObjShow(obj, 1);
    Ex_ObjMove(obj, 20, 30, 70, 50, 1);  // the size only
    Ex_ObjMove(obj, 25, 30, 70, 50, 1);  // the place only
    EXPECT_EQ(g_log, (std::vector<std::string>{"1 move 20,30", "1 size 40,50", "1 size 70,50",
                                               "1 move 25,30"}));
}

TEST(WindowInput, AChildIsPaintedOnlyInsideItsParent) {
    TestWindow win(200, 200);
    ExHandle box = Make(u"LoggingFrame", win.Surface(), 1, {10, 10, 110, 110});
    ExHandle child = Make(u"LoggingFrame", box, 2, {50, 50, 150, 150});
    Ex_ObjSetColor(child, EX_COLOR_BACKGROUND, 0xFFFF0000, 1);
    const inject::Snapshot shot = win.Grab();
    EXPECT_EQ(Pixel(shot, 100, 100), 0xFFFF0000u);
    EXPECT_EQ(Pixel(shot, 130, 130), 0xFFFFFFFFu) << "beyond the parent: the window's background";
}

TEST(WindowInput, TheHoverFollowsObjectsThatMoveUnderAStillPointer) {
    TestWindow win(200, 200);
    ExHandle obj = Make(u"LoggingFrame", win.Surface(), 1, {10, 10, 60, 60});
    const auto hovered = [obj] { return (Ex_ObjGetLong(obj, EX_OL_STATE) & EX_STATE_HOVER) != 0; };
    inject::MouseMove(win.Window(), {100, 100});
    ASSERT_FALSE(hovered());
    Ex_ObjMove(obj, 80, 80, EX_KEEP, EX_KEEP, 1);
    EXPECT_TRUE(inject::RunEventsUntil(hovered)) << "moved under the pointer";
    Ex_ObjMove(obj, 80, 80, 10, 10, 1);
    EXPECT_TRUE(inject::RunEventsUntil([&] { return !hovered(); })) << "shrunk away from it";
}

}  // namespace
}  // namespace exdui::test
