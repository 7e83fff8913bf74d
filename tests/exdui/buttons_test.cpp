// "RadioButton", "GroupBox", "progressBar" and "STATIC" through their
// messages, notifications and colour slots.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "exdui_env.h"

namespace exdui::test {
namespace {

std::vector<std::pair<int32_t, intptr_t>> g_checks;

intptr_t CheckHandler(ExHandle, int32_t id, int32_t code, intptr_t wParam, intptr_t) {
    if (code == EX_NM_CHECK) {
        g_checks.emplace_back(id, wParam);
    }
    return 0;
}

ExHandle Radio(ExHandle parent, int32_t id, int x) {
    ExHandle r = Ex_ObjCreateEx(-1, u"RadioButton", u"选项", -1, x, 25, 100, 20, parent, id, -1, 0,
                                0, nullptr);
    Ex_ObjHandleEvent(r, EX_NM_CHECK, &CheckHandler);
    return r;
}

TEST(RadioButton, CheckByMessageAndByClickRaiseTheSameNotification) {
    TestWindow win(500, 200);
    ExHandle group = Ex_ObjCreateEx(-1, u"GroupBox", u"窗口状态", -1, 10, 10, 410, 60,
                                    win.Surface(), 0, -1, 0, 0, nullptr);
    ExHandle a = Radio(group, 1039, 20);
    ExHandle b = Radio(group, 1040, 130);
    ExHandle c = Radio(group, 1041, 260);
    g_checks.clear();
    Ex_ObjSendMessage(a, EX_BM_SETCHECK, 1, 0);
    EXPECT_EQ(g_checks, (std::vector<std::pair<int32_t, intptr_t>>{{1039, 1}}));

    g_checks.clear();
    inject::Click(win.Window(), inject::PointIn(b, 5, 10));
    EXPECT_EQ(g_checks, (std::vector<std::pair<int32_t, intptr_t>>{{1039, 0}, {1040, 1}}));
    EXPECT_EQ(Ex_ObjSendMessage(a, EX_BM_GETCHECK, 0, 0), 0);
    EXPECT_EQ(Ex_ObjSendMessage(b, EX_BM_GETCHECK, 0, 0), 1);
    EXPECT_EQ(Ex_ObjSendMessage(c, EX_BM_GETCHECK, 0, 0), 0);

    // Checking the checked one again, by message or click, raises nothing.
    g_checks.clear();
    Ex_ObjSendMessage(b, EX_BM_SETCHECK, 1, 0);
    inject::Click(win.Window(), inject::PointIn(b, 5, 10));
    EXPECT_TRUE(g_checks.empty());

    Ex_ObjSendMessage(c, EX_BM_SETCHECK, 1, 0);
    Ex_ObjSendMessage(c, EX_BM_SETCHECK, 0, 0);
    EXPECT_EQ(g_checks,
              (std::vector<std::pair<int32_t, intptr_t>>{{1040, 0}, {1041, 1}, {1041, 0}}));
}

TEST(RadioButton, EachParentIsItsOwnSet) {
    TestWindow win(500, 200);
    ExHandle g1 = Ex_ObjCreateEx(-1, u"GroupBox", u"一", -1, 10, 10, 410, 60, win.Surface(), 0, -1,
                                 0, 0, nullptr);
    ExHandle g2 = Ex_ObjCreateEx(-1, u"GroupBox", u"二", -1, 10, 90, 410, 60, win.Surface(), 0, -1,
                                 0, 0, nullptr);
    ExHandle a = Radio(g1, 1, 20);
    ExHandle b = Radio(g2, 2, 20);
    Ex_ObjSendMessage(a, EX_BM_SETCHECK, 1, 0);
    Ex_ObjSendMessage(b, EX_BM_SETCHECK, 1, 0);
    EXPECT_EQ(Ex_ObjSendMessage(a, EX_BM_GETCHECK, 0, 0), 1);
    EXPECT_EQ(Ex_ObjSendMessage(b, EX_BM_GETCHECK, 0, 0), 1);
}

TEST(RadioButton, CheckedMarkTakesSlotSix) {
    TestWindow win(300, 100, 0x40000, nullptr, 0xFFFFFFFF);
    ExHandle r = Ex_ObjCreateEx(-1, u"RadioButton", u"", -1, 0, 0, 100, 20, win.Surface(), 0, -1, 0,
                                0, nullptr);
    Ex_ObjSetColor(r, EX_COLOR_TEXT, 0xFF0000FF, 0);
    Ex_ObjSetColor(r, EX_COLOR_TEXT_CHECKED, 0xFF00FF00, 1);
    inject::MouseMove(win.Window(), inject::PointIn(r, 50, 10));
    inject::MouseMove(win.Window(), {250, 80});        // not hovering it
    EXPECT_EQ(Pixel(win.Grab(), 7, 10), 0xFFFFFFFFu);  // unchecked: hollow
    Ex_ObjSendMessage(r, EX_BM_SETCHECK, 1, 0);
    EXPECT_EQ(Ex_ObjGetLong(r, EX_OL_STATE), EX_STATE_CHECKED);
    EXPECT_EQ(Pixel(win.Grab(), 7, 10), 0xFF00FF00u);
}

TEST(ProgressBar, RangeAndPositionDrawTheFilledPart) {
    TestWindow win(300, 100, 0x40000, nullptr, 0xFFFFFFFF);
    ExHandle bar = Ex_ObjCreateEx(-1, u"progressBar", u"", -1, 0, 0, 200, 20, win.Surface(), 1026,
                                  -1, 0, 0, nullptr);
    Ex_ObjSetColor(bar, EX_COLOR_BACKGROUND, 0xFF000000, 0);
    Ex_ObjSetColor(bar, EX_COLOR_BORDER, 0x00000000, 0);
    Ex_ObjSetColor(bar, EX_COLOR_TEXT_CHECKED, 0xFFFF0000, 1);
    EXPECT_EQ(Ex_ObjSendMessage(bar, EX_PBM_SETRANGE, 1, 200), 100);
    EXPECT_EQ(Ex_ObjSendMessage(bar, EX_PBM_SETPOS, 1, 50), 0);
    EXPECT_EQ(Ex_ObjSendMessage(bar, EX_PBM_GETPOS, 0, 0), 50);
    const inject::Snapshot shot = win.Grab();
    EXPECT_EQ(Pixel(shot, 40, 10), 0xFFFF0000u);  // a quarter filled: up to x 50
    EXPECT_EQ(Pixel(shot, 60, 10), 0xFF000000u);
    EXPECT_EQ(Ex_ObjSendMessage(bar, EX_PBM_SETPOS, 1, 500), 50);
    EXPECT_EQ(Ex_ObjSendMessage(bar, EX_PBM_GETPOS, 0, 0), 200);  // kept within the range
    EXPECT_EQ(Ex_ObjSendMessage(bar, EX_PBM_SETPOS, 1, -3), 200);
    EXPECT_EQ(Ex_ObjSendMessage(bar, EX_PBM_GETPOS, 0, 0), 0);
}

TEST(GroupBox, DrawsItsFrameAndTitle) {
    TestWindow win(300, 150, 0x40000, nullptr, 0xFFFFFFFF);
    ExHandle g = Ex_ObjCreateEx(-1, u"GroupBox", u"双击搜索列表", -1, 10, 10, 200, 80,
                                win.Surface(), 0, -1, 0, 0, nullptr);
    Ex_ObjSetColor(g, EX_COLOR_BORDER, 0xFF0000FF, 0);
    Ex_ObjSetColor(g, EX_COLOR_TEXT, 0xFF000000, 1);
    const inject::Snapshot shot = win.Grab();
    EXPECT_EQ(Pixel(shot, 110, 89), 0xFF0000FFu);  // bottom line of the frame
    int dark = 0;
    for (int x = 20; x < 100; ++x) {
        for (int y = 10; y < 26; ++y) {
            dark += Gray(Pixel(shot, x, y)) < 100 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 20);  // the title
}

TEST(Static, DrawsItsTextInSlotTwo) {
    TestWindow win(300, 100, 0x40000, nullptr, 0xFFFFFFFF);
    ExHandle label = Ex_ObjCreateEx(-1, u"STATIC", u"■■■", -1, 0, 0, 200, 40, win.Surface(), 0, -1,
                                    0, 0, nullptr);
    Ex_ObjSetColor(label, EX_COLOR_TEXT, 0xFF00FF00, 1);
    const inject::Snapshot shot = win.Grab();
    int green = 0;
    for (int x = 0; x < 100; ++x) {
        for (int y = 0; y < 40; ++y) {
            green += Pixel(shot, x, y) == 0xFF00FF00u ? 1 : 0;
        }
    }
    EXPECT_GT(green, 30);
}

}  // namespace
}  // namespace exdui::test
