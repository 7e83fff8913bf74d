// Popup menus and message boxes, answered by the tests' stand-ins: what the
// user is shown, and how a choice reaches the program. The system's own
// menu and box are the back end's (backend_qt/menus_and_boxes_test.cpp).
#include <gtest/gtest.h>

#include <vector>

#include "exdui_env.h"

namespace exdui::test {
namespace {

std::vector<std::pair<intptr_t, intptr_t>> g_commands;

intptr_t CommandProc(ExHandle, ExHandle, int32_t message, intptr_t wParam, intptr_t lParam,
                     intptr_t*) {
    if (message == EX_WM_COMMAND) {
        g_commands.emplace_back(wParam, lParam);
    }
    return 0;
}

ExHandle ResultMenu() {
    ExHandle menu = Ex_MenuCreatePopup();
    Ex_MenuAppend(menu, EX_MF_STRING, 1005, u"打开文件");
    Ex_MenuAppend(menu, EX_MF_GRAYED, 1006, u"复制选中");
    Ex_MenuAppend(menu, EX_MF_SEPARATOR, 0, nullptr);
    Ex_MenuAppend(menu, EX_MF_STRING, 1011, u"全选");
    return menu;
}

class MenuTest : public ::testing::Test {
  protected:
    void TearDown() override { inject::SetPopupMenuAnswer({}); }

    // Answers every menu with id and keeps what it was shown.
    void Choose(intptr_t id) {
        inject::SetPopupMenuAnswer(
            [this, id](ExHandle owner, const std::vector<inject::MenuItem>& items) {
                shownOwner = owner;
                shown = items;
                return id;
            });
    }

    ExHandle shownOwner = 0;
    std::vector<inject::MenuItem> shown;
};

TEST_F(MenuTest, ChosenItemReachesTheOwnersWindowAsACommand) {
    TestWindow win(300, 200, 0x40000, &CommandProc);
    ExHandle list =
        Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 0, 0, 300, 200, win.Surface(), 0, -1, 0, 0, nullptr);
    ExHandle menu = ResultMenu();
    EXPECT_EQ(Ex_MenuGetItemCount(menu), 4);
    Choose(1011);
    g_commands.clear();
    EXPECT_EQ(Ex_TrackPopupMenu(menu, 0, 50, 50, 0, list, nullptr, nullptr, 0), 1);
    EXPECT_EQ(shownOwner, list);
    std::vector<std::u16string> texts;
    for (const inject::MenuItem& item : shown) {
        texts.push_back((item.flags & EX_MF_SEPARATOR) != 0 ? u"-" : item.text);
    }
    EXPECT_EQ(texts, (std::vector<std::u16string>{u"打开文件", u"复制选中", u"-", u"全选"}));
    EXPECT_EQ(shown[0].id, 1005);
    EXPECT_EQ(shown[1].flags, static_cast<uint32_t>(EX_MF_GRAYED));
    EXPECT_EQ(g_commands, (std::vector<std::pair<intptr_t, intptr_t>>{{1011, list}}));
    Ex_MenuDestroy(menu);
}

TEST_F(MenuTest, ReturnCommandFlagAndNoChoice) {
    TestWindow win(300, 200, 0x40000, &CommandProc);
    ExHandle menu = ResultMenu();
    g_commands.clear();
    Choose(1005);
    EXPECT_EQ(
        Ex_TrackPopupMenu(menu, EX_TPM_RETURNCMD, 10, 10, 0, win.Surface(), nullptr, nullptr, 0),
        1005);
    EXPECT_TRUE(g_commands.empty());
    // Nothing chosen (Escape, a click elsewhere), or what no user could choose.
    for (const intptr_t id : {intptr_t{0}, intptr_t{1006}, intptr_t{4242}}) {
        Choose(id);
        EXPECT_EQ(Ex_TrackPopupMenu(menu, 0, 10, 10, 0, win.Surface(), nullptr, nullptr, 0), 0)
            << id;
    }
    EXPECT_TRUE(g_commands.empty());
    Ex_MenuDestroy(menu);
    EXPECT_EQ(Ex_MenuAppend(menu, 0, 1, u"x"), 0);
}

TEST_F(MenuTest, ASubmenusItemsFollowItsEntry) {
    TestWindow win(300, 200, 0x40000, &CommandProc);
    ExHandle sub = Ex_MenuCreatePopup();
    Ex_MenuAppend(sub, EX_MF_STRING, 21, u"甲");
    ExHandle menu = Ex_MenuCreatePopup();
    Ex_MenuAppend(menu, EX_MF_POPUP, sub, u"更多");
    Ex_MenuAppend(menu, EX_MF_STRING, 30, u"乙");
    Choose(21);
    g_commands.clear();
    EXPECT_EQ(Ex_TrackPopupMenu(menu, 0, 10, 10, 0, win.Surface(), nullptr, nullptr, 0), 1);
    std::vector<intptr_t> ids;
    for (const inject::MenuItem& item : shown) {
        ids.push_back(item.id);
    }
    EXPECT_EQ(ids, (std::vector<intptr_t>{sub, 21, 30}));
    EXPECT_EQ(g_commands, (std::vector<std::pair<intptr_t, intptr_t>>{{21, win.Surface()}}));
    Ex_MenuDestroy(menu);
    Ex_MenuDestroy(sub);
}

TEST(MessageBox, ReturnsTheAnswerToWhatWasAsked) {
    TestWindow win(300, 200);
    struct Asked {
        ExHandle owner;
        std::u16string text;
        std::u16string caption;
        uint32_t type;
    };
    std::vector<Asked> asked;
    inject::SetMessageBoxAnswer(
        [&](ExHandle owner, std::u16string_view text, std::u16string_view caption, uint32_t type) {
            asked.push_back({owner, std::u16string(text), std::u16string(caption), type});
            return type == EX_MB_YESNO ? EX_IDNO : EX_IDOK;
        });
    EXPECT_EQ(Ex_MessageBox(win.Surface(), u"是否打开备份？", u"提示", EX_MB_YESNO, 0), EX_IDNO);
    EXPECT_EQ(Ex_MessageBox(0, u"目录列表标题不能为空！", nullptr, EX_MB_ICONWARNING, 0), EX_IDOK);
    inject::SetMessageBoxAnswer({});
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].owner, win.Surface());
    EXPECT_EQ(asked[0].text, u"是否打开备份？");
    EXPECT_EQ(asked[0].caption, u"提示");
    EXPECT_EQ(asked[0].type, static_cast<uint32_t>(EX_MB_YESNO));
    EXPECT_EQ(asked[1].owner, 0);
    EXPECT_EQ(asked[1].caption, u"");
    EXPECT_EQ(asked[1].type, static_cast<uint32_t>(EX_MB_ICONWARNING));
}

}  // namespace
}  // namespace exdui::test
