// "combobox": item messages (numbered from 1), the drop-down choice with its
// notification 1, and the editable box's inner "Edit".
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "exdui_env.h"

namespace exdui::test {
namespace {

std::vector<intptr_t> g_choices;

intptr_t SelChange(ExHandle, int32_t, int32_t code, intptr_t wParam, intptr_t) {
    if (code == EX_CBN_SELCHANGE) {
        g_choices.push_back(wParam);
    }
    return 0;
}

intptr_t Add(ExHandle combo, const char16_t* text) {
    return Ex_ObjSendMessage(combo, EX_CB_ADDSTRING, 0, reinterpret_cast<intptr_t>(text));
}

std::u16string ItemText(ExHandle combo, intptr_t index) {
    intptr_t length = Ex_ObjSendMessage(combo, EX_CB_GETLBTEXTLEN, index, 0);
    if (length < 0) {
        return u"<none>";
    }
    std::vector<char16_t> buffer(static_cast<size_t>(length) + 1);
    Ex_ObjSendMessage(combo, EX_CB_GETLBTEXT, index, reinterpret_cast<intptr_t>(buffer.data()));
    return std::u16string(buffer.data(), static_cast<size_t>(length));
}

TEST(ComboBox, ItemMessagesCountFromOne) {
    TestWindow win(400, 200);
    ExHandle combo = Ex_ObjCreateEx(-1, u"combobox", u"", 0x10000000, 10, 10, 200, 30,
                                    win.Surface(), 1046, -1, 0, 0, nullptr);
    Ex_ObjHandleEvent(combo, EX_CBN_SELCHANGE, &SelChange);
    g_choices.clear();
    EXPECT_EQ(Add(combo, u"1"), 1);
    EXPECT_EQ(Add(combo, u"2"), 2);
    EXPECT_EQ(Add(combo, u"3"), 3);
    EXPECT_EQ(Ex_ObjSendMessage(combo, EX_CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(Ex_ObjSendMessage(combo, EX_CB_GETCURSEL, 0, 0), 0);

    EXPECT_EQ(Ex_ObjSendMessage(combo, EX_CB_SETCURSEL, 2, 0), 2);
    EXPECT_EQ(Text(combo), u"2");
    EXPECT_TRUE(g_choices.empty());  // selecting by message is quiet

    EXPECT_EQ(Ex_ObjSendMessage(combo, EX_CB_INSERTSTRING, 1, reinterpret_cast<intptr_t>(u"0")), 1);
    EXPECT_EQ(Ex_ObjSendMessage(combo, EX_CB_GETCURSEL, 0, 0), 3);  // the same item, moved down
    EXPECT_EQ(ItemText(combo, 1), u"0");
    EXPECT_EQ(ItemText(combo, 4), u"3");
    EXPECT_EQ(ItemText(combo, 5), u"<none>");
    EXPECT_EQ(Ex_ObjSendMessage(combo, EX_CB_DELETESTRING, 1, 0), 3);
    EXPECT_EQ(Ex_ObjSendMessage(combo, EX_CB_GETCURSEL, 0, 0), 2);

    // Emptying the items keeps the text the box shows.
    EXPECT_EQ(Ex_ObjSendMessage(combo, EX_CB_RESETCONTENT, 0, 0), 1);
    EXPECT_EQ(Ex_ObjSendMessage(combo, EX_CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Ex_ObjSendMessage(combo, EX_CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Text(combo), u"2");
    EXPECT_EQ(Ex_ObjSendMessage(combo, EX_CB_SETCURSEL, 1, 0), 0);  // nothing to select
    // The text may be one that is not an item.
    Ex_ObjSetText(combo, u"8", 1);
    EXPECT_EQ(Text(combo), u"8");
}

TEST(ComboBox, ChoosingInTheDropDownSetsTheTextAndNotifies) {
    TestWindow win(400, 300);
    ExHandle combo = Ex_ObjCreateEx(-1, u"combobox", u"", 0x10000000, 10, 10, 200, 30,
                                    win.Surface(), 1046, -1, 0, 0, nullptr);
    for (const char16_t* t : {u"1", u"2", u"3", u"4"}) {
        Add(combo, t);
    }
    Ex_ObjHandleEvent(combo, EX_CBN_SELCHANGE, &SelChange);
    g_choices.clear();
    // The drop-down opens under the box; its rows are 18 to 32 pixels high,
    // so 35 pixels below the box is always in the second row.
    const ExPoint secondRow = inject::PointIn(combo, 50, 30 + 35);
    inject::Click(win.Window(), inject::CenterOf(combo));
    inject::Click(win.Window(), secondRow);
    EXPECT_EQ(g_choices, (std::vector<intptr_t>{2}));
    EXPECT_EQ(Text(combo), u"2");
    EXPECT_EQ(Ex_ObjSendMessage(combo, EX_CB_GETCURSEL, 0, 0), 2);
    // Closed with the choice: the same place is the window's again.
    inject::Click(win.Window(), secondRow);
    EXPECT_EQ(g_choices, (std::vector<intptr_t>{2}));
}

TEST(ComboBox, TheKeysChooseInTheOpenDropDown) {
    TestWindow win(400, 300);
    ExHandle combo = Ex_ObjCreateEx(-1, u"combobox", u"", 0x10000000, 10, 10, 200, 30,
                                    win.Surface(), 1046, -1, 0, 0, nullptr);
    for (const char16_t* t : {u"1", u"2", u"3", u"4"}) {
        Add(combo, t);
    }
    Ex_ObjSendMessage(combo, EX_CB_SETCURSEL, 2, 0);
    Ex_ObjHandleEvent(combo, EX_CBN_SELCHANGE, &SelChange);
    g_choices.clear();
    // The list opens on the item shown; the arrows move from there.
    inject::Click(win.Window(), inject::CenterOf(combo));
    inject::Key(win.Window(), EX_VK_DOWN);
    inject::Key(win.Window(), EX_VK_RETURN);
    EXPECT_EQ(g_choices, (std::vector<intptr_t>{3}));
    EXPECT_EQ(Text(combo), u"3");
    // Closed with the choice: Enter chooses nothing more.
    inject::Key(win.Window(), EX_VK_RETURN);
    EXPECT_EQ(g_choices, (std::vector<intptr_t>{3}));
    // A press outside the open list closes it without a choice.
    inject::Click(win.Window(), inject::CenterOf(combo));
    inject::Click(win.Window(), {350, 250});
    inject::Key(win.Window(), EX_VK_RETURN);
    EXPECT_EQ(g_choices, (std::vector<intptr_t>{3}));
}

// The open list from what the user does in it: rows are at least 18 pixels
// high, so 5 pixels past the box's edge lies in the row nearest the box.
TEST(ComboBox, TheOpenListFollowsThePointerTheWheelAndTheKeys) {
    using Steps = std::function<void(ExHandle window, ExHandle combo)>;
    const auto keys = [](std::vector<int32_t> codes) -> Steps {
        return [codes](ExHandle window, ExHandle) {
            for (int32_t code : codes) {
                inject::Key(window, code);
            }
        };
    };
    struct Case {
        const char* what;
        int items;
        intptr_t current;
        bool atScreenBottom;  // no room under the box: the list opens above it
        Steps steps;
        std::vector<intptr_t> chosen;
    };
    const Case cases[] = {
        {"Enter chooses the item shown", 4, 2, false, keys({EX_VK_RETURN}), {2}},
        {"the arrows stop at the first item",
         4,
         2,
         false,
         keys({EX_VK_UP, EX_VK_UP, EX_VK_RETURN}),
         {1}},
        {"End goes to the last item", 4, 0, false, keys({EX_VK_END, EX_VK_RETURN}), {4}},
        {"Page Down moves by the rows shown", 25, 1, false, keys({EX_VK_NEXT, EX_VK_RETURN}), {11}},
        {"Escape closes without a choice", 4, 2, false, keys({EX_VK_ESCAPE, EX_VK_RETURN}), {}},
        {"the pointer moves the highlight",
         4,
         3,
         false,
         [](ExHandle window, ExHandle combo) {
             inject::MouseMove(window, inject::PointIn(combo, 50, 30 + 5));
             inject::Key(window, EX_VK_RETURN);
         },
         {1}},
        {"a notch of the wheel scrolls three rows",
         15,
         0,
         false,
         [](ExHandle window, ExHandle combo) {
             const ExPoint firstRow = inject::PointIn(combo, 50, 30 + 5);
             inject::Wheel(window, firstRow, -120);
             inject::Click(window, firstRow);
         },
         {4}},
        {"opened above, the last item lies next to the box",
         4,
         0,
         true,
         [](ExHandle window, ExHandle combo) {
             inject::Click(window, inject::PointIn(combo, 50, -5));
         },
         {4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestWindow win(400, 300);
        if (c.atScreenBottom) {
            ExRect area{};
            ASSERT_NE(Ex_WndGetWorkRect(win.Window(), &area), 0);
            Ex_WndMove(win.Window(), area.left + 100, area.bottom - 300, 400, 300, 1);
        }
        ExHandle combo =
            Ex_ObjCreateEx(-1, u"combobox", u"", 0x10000000, 10, c.atScreenBottom ? 260 : 10, 200,
                           30, win.Surface(), 0, -1, 0, 0, nullptr);
        for (int i = 1; i <= c.items; ++i) {
            const std::string number = std::to_string(i);
            Add(combo, std::u16string(number.begin(), number.end()).c_str());
        }
        Ex_ObjSendMessage(combo, EX_CB_SETCURSEL, c.current, 0);
        Ex_ObjHandleEvent(combo, EX_CBN_SELCHANGE, &SelChange);
        g_choices.clear();
        inject::Click(win.Window(), inject::CenterOf(combo));
        c.steps(win.Window(), combo);
        EXPECT_EQ(g_choices, c.chosen);
        EXPECT_EQ(Ex_ObjSendMessage(combo, EX_CB_GETCURSEL, 0, 0),
                  c.chosen.empty() ? c.current : c.chosen.back());
    }
}

TEST(ComboBox, EditableBoxTypesIntoItsInnerEdit) {
    TestWindow win(400, 200);
    ExHandle combo = Ex_ObjCreateEx(-1, u"combobox", u"", 0x10000001, 10, 50, 300, 30,
                                    win.Surface(), 1029, -1, 0, 0, nullptr);
    ExHandle edit = Ex_ObjFind(combo, 0, u"Edit", nullptr);
    ASSERT_NE(edit, 0);
    EXPECT_EQ(Ex_ObjSetColor(edit, EX_COLOR_TEXT, 0xFFABAEB4, 1), 0xFF000000u);
    Ex_ObjSetColor(edit, EX_COLOR_CARET, 0xFF000000, 1);
    // A click on the text part goes to the inner edit, and typing with it.
    inject::Click(win.Window(), inject::PointIn(combo, 20, 15));
    EXPECT_EQ(inject::FocusedObject(win.Window()), edit);
    inject::Type(win.Window(), u"list");
    EXPECT_EQ(Text(combo), u"list");
    Ex_ObjSetText(combo, u"目录", 1);
    EXPECT_EQ(Text(edit), u"目录");
    Add(combo, u"甲");
    Ex_ObjSendMessage(combo, EX_CB_SETCURSEL, 1, 0);
    EXPECT_EQ(Text(edit), u"甲");
    EXPECT_EQ(Text(combo), u"甲");
    // The text the box shows is the one typing goes on from.
    inject::Key(win.Window(), EX_VK_END);
    inject::Type(win.Window(), u"乙");
    EXPECT_EQ(Text(combo), u"甲乙");
    // A drop-down-only box has no inner edit.
    ExHandle fixed = Ex_ObjCreateEx(-1, u"combobox", u"", 0x10000000, 10, 100, 300, 30,
                                    win.Surface(), 0, -1, 0, 0, nullptr);
    EXPECT_EQ(Ex_ObjFind(fixed, 0, u"Edit", nullptr), 0);
}

}  // namespace
}  // namespace exdui::test
