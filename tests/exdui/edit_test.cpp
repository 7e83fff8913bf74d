// "Edit": typing through real key events, the key-down notification with the
// key code (Enter is 13), select-all (177), the text rectangle record, the
// caret colour.
#include <gtest/gtest.h>

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <vector>

#include "exdui_env.h"

namespace exdui::test {
namespace {

std::vector<intptr_t> g_keys;

intptr_t KeyHandler(ExHandle, int32_t, int32_t code, intptr_t wParam, intptr_t) {
    if (code == EX_NM_KEYDOWN) {
        g_keys.push_back(wParam);
    }
    return 0;
}

QLineEdit* LineOf(ExHandle edit) { return W(edit)->findChild<QLineEdit*>(); }

TEST(Edit, TypingChangesTheTextAndEveryKeyRaisesKeyDown) {
    TestWindow win(300, 100);
    ExHandle edit = Ex_ObjCreateEx(-1, u"Edit", u"", -1, 10, 10, 200, 30, win.Surface(), 1000, -1, 0, 0, nullptr);
    ASSERT_TRUE(Ex_ObjHandleEvent(edit, EX_NM_KEYDOWN, &KeyHandler));
    Ex_ObjSetFocus(edit);
    g_keys.clear();
    QTest::keyClicks(LineOf(edit), "a1");
    QTest::keyClick(LineOf(edit), Qt::Key_Return);
    QTest::keyClick(LineOf(edit), Qt::Key_Backspace);
    EXPECT_EQ(g_keys, (std::vector<intptr_t>{'A', '1', EX_VK_RETURN, EX_VK_BACK}));
    EXPECT_EQ(Text(edit), u"a");
}

TEST(Edit, ChineseTextArrivesThroughTheInputMethod) {
    TestWindow win(300, 100);
    ExHandle edit = Ex_ObjCreateEx(-1, u"Edit", u"", -1, 10, 10, 200, 30, win.Surface(), 0, -1, 0, 0, nullptr);
    Ex_ObjSetFocus(edit);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("快递单号"));
    QApplication::sendEvent(LineOf(edit), &commit);
    EXPECT_EQ(Text(edit), u"快递单号");
}

TEST(Edit, SetTextShowsInTheBoxAndSelectAllSelectsIt) {
    TestWindow win(300, 100);
    ExHandle edit = Ex_ObjCreateEx(-1, u"Edit", u"G:\\Desktop", -1, 10, 10, 200, 30, win.Surface(), 0, -1, 0, 0, nullptr);
    EXPECT_EQ(LineOf(edit)->text(), QStringLiteral("G:\\Desktop"));
    Ex_ObjSetText(edit, u"目标目录", 1);
    EXPECT_EQ(LineOf(edit)->text(), QStringLiteral("目标目录"));
    // The program passes the length in bytes; anything past the end means the end.
    Ex_ObjSetFocus(edit);
    EXPECT_EQ(Ex_ObjSendMessage(edit, EX_EM_SETSEL, 0, static_cast<intptr_t>(Ex_ObjGetTextLength(edit) * 2)), 1);
    EXPECT_EQ(LineOf(edit)->selectedText(), QStringLiteral("目标目录"));
    EXPECT_EQ(Ex_ObjSendMessage(edit, EX_EM_GETSEL, 0, 0), 0 | (4 << 16));
    Ex_ObjSendMessage(edit, EX_EM_SETSEL, 1, 3);
    EXPECT_EQ(LineOf(edit)->selectedText(), QStringLiteral("标目"));
    Ex_ObjSendMessage(edit, EX_EM_SETSEL, -1, 0);
    EXPECT_FALSE(LineOf(edit)->hasSelectedText());
}

TEST(Edit, TextRectangleRecordPlacesTheTypingArea) {
    TestWindow win(400, 100);
    ExHandle edit = Ex_ObjCreateEx(-1, u"Edit", u"", -1, 10, 10, 300, 30, win.Surface(), 0, -1, 0, 0, nullptr);
    auto* record = reinterpret_cast<ExEditRecord*>(Ex_ObjGetLong(edit, EX_OL_CLASSDATA));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->textRect.left, 4);
    EXPECT_EQ(record->textRect.right, 296);
    EXPECT_EQ(record->textRect.bottom, 30);
    // The program narrows it in place and the box follows at its next paint.
    record->textRect.left = 15;
    record->textRect.right = 250;
    Ex_ObjInvalidateRect(edit, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return LineOf(edit)->geometry() == QRect(15, 0, 235, 30); }));
    // A resize keeps a rectangle the program chose.
    Ex_ObjMove(edit, EX_KEEP, EX_KEEP, 320, EX_KEEP, 1);
    ASSERT_TRUE(PumpUntil([&] { return W(edit)->width() == 320; }));
    W(edit)->repaint();  // the box follows the record at a paint
    EXPECT_EQ(LineOf(edit)->geometry(), QRect(15, 0, 235, 30));
}

TEST(Edit, CaretIsDrawnInSlotThirty) {
    TestWindow win(300, 100, 0x40000, nullptr, 0xFFFFFFFF);
    ExHandle edit = Ex_ObjCreateEx(-1, u"Edit", u"", -1, 10, 10, 200, 30, win.Surface(), 0, -1, 0, 0, nullptr);
    Ex_ObjSetColor(edit, EX_COLOR_CARET, 0xFFFF0000, 1);
    EXPECT_EQ(Ex_ObjGetColor(edit, EX_COLOR_CARET), 0xFFFF0000u);
    Ex_ObjSetFocus(edit);
    ASSERT_TRUE(PumpUntil([&] { return LineOf(edit)->hasFocus(); }));
    QImage shot = win.Grab();
    int red = 0;
    for (int y = 10; y < 40; ++y) {
        for (int x = 10; x < 40; ++x) {
            red += Pixel(shot, x, y) == 0xFFFF0000u ? 1 : 0;
        }
    }
    EXPECT_GT(red, 5);  // a vertical red line near the left edge
}

}  // namespace
}  // namespace exdui::test
