// "combobox": item messages (numbered from 1), the drop-down choice with its
// notification 1, and the editable box's inner "Edit".
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
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
    QTest::mouseClick(W(combo), Qt::LeftButton, {}, QPoint(50, 15));
    auto* popup = qobject_cast<QListWidget*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(popup->count(), 4);
    QRect third = popup->visualItemRect(popup->item(2));
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(g_choices, (std::vector<intptr_t>{3}));
    EXPECT_EQ(Text(combo), u"3");
    EXPECT_EQ(Ex_ObjSendMessage(combo, EX_CB_GETCURSEL, 0, 0), 3);
    EXPECT_TRUE(PumpUntil([] { return QApplication::activePopupWidget() == nullptr; }));
}

TEST(ComboBox, EditableBoxTypesIntoItsInnerEdit) {
    TestWindow win(400, 200);
    ExHandle combo = Ex_ObjCreateEx(-1, u"combobox", u"", 0x10000001, 10, 50, 300, 30,
                                    win.Surface(), 1029, -1, 0, 0, nullptr);
    ExHandle edit = Ex_ObjFind(combo, 0, u"Edit", nullptr);
    ASSERT_NE(edit, 0);
    EXPECT_EQ(Ex_ObjSetColor(edit, EX_COLOR_TEXT, 0xFFABAEB4, 1), 0xFF000000u);
    Ex_ObjSetColor(edit, EX_COLOR_CARET, 0xFF000000, 1);
    Ex_ObjSetFocus(edit);
    auto* line = W(edit)->findChild<QLineEdit*>();
    QTest::keyClicks(line, "list");
    EXPECT_EQ(Text(combo), u"list");
    Ex_ObjSetText(combo, u"目录", 1);
    EXPECT_EQ(line->text(), QStringLiteral("目录"));
    Add(combo, u"甲");
    Ex_ObjSendMessage(combo, EX_CB_SETCURSEL, 1, 0);
    EXPECT_EQ(line->text(), QStringLiteral("甲"));
    EXPECT_EQ(Text(combo), u"甲");
    // A drop-down-only box has no inner edit.
    ExHandle fixed = Ex_ObjCreateEx(-1, u"combobox", u"", 0x10000000, 10, 100, 300, 30,
                                    win.Surface(), 0, -1, 0, 0, nullptr);
    EXPECT_EQ(Ex_ObjFind(fixed, 0, u"Edit", nullptr), 0);
}

}  // namespace
}  // namespace exdui::test
