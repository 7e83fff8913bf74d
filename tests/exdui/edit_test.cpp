// "Edit": typing through real key events, the key-down notification with the
// key code (Enter is 13) and its modifiers, select-all (177), the text
// rectangle record, the caret colour, the multi-line box, and pasted text
// offered to the object before the box takes it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
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

QLineEdit* LineOf(ExHandle edit) {
    return W(edit)->findChild<QLineEdit*>();
}
QPlainTextEdit* BlockOf(ExHandle edit) {
    return W(edit)->findChild<QPlainTextEdit*>();
}

ExHandle CreateEdit(ExHandle parent, int32_t style, ExObjProc proc = nullptr) {
    return Ex_ObjCreateEx(-1, u"Edit", u"", style, 10, 10, 200, 120, parent, 0, -1, 0, 0, proc);
}

// What an object procedure saw of EX_WM_PASTE, and whether it takes the text.
std::u16string g_offered;
bool g_takePaste = false;

intptr_t PasteProc(ExHandle, ExHandle, int32_t message, intptr_t, intptr_t lParam,
                   intptr_t* result) {
    if (message != EX_WM_PASTE) {
        return 0;
    }
    g_offered = reinterpret_cast<const char16_t*>(lParam);
    if (g_takePaste && result != nullptr) {
        *result = 1;
    }
    return g_takePaste ? 1 : 0;
}

// Keys with their modifiers; Ctrl+Enter is taken, everything else left.
std::vector<std::pair<intptr_t, intptr_t>> g_keysWithModifiers;

intptr_t TakeCtrlEnter(ExHandle, int32_t, int32_t code, intptr_t wParam, intptr_t lParam) {
    if (code != EX_NM_KEYDOWN || wParam == EX_VK_CONTROL || wParam == EX_VK_SHIFT) {
        return 0;
    }
    g_keysWithModifiers.emplace_back(wParam, lParam);
    return wParam == EX_VK_RETURN && (lParam & EX_MK_CONTROL) != 0 ? 1 : 0;
}

TEST(Edit, TypingChangesTheTextAndEveryKeyRaisesKeyDown) {
    TestWindow win(300, 100);
    ExHandle edit = Ex_ObjCreateEx(-1, u"Edit", u"", -1, 10, 10, 200, 30, win.Surface(), 1000, -1,
                                   0, 0, nullptr);
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
    ExHandle edit =
        Ex_ObjCreateEx(-1, u"Edit", u"", -1, 10, 10, 200, 30, win.Surface(), 0, -1, 0, 0, nullptr);
    Ex_ObjSetFocus(edit);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("快递单号"));
    QApplication::sendEvent(LineOf(edit), &commit);
    EXPECT_EQ(Text(edit), u"快递单号");
}

TEST(Edit, SetTextShowsInTheBoxAndSelectAllSelectsIt) {
    TestWindow win(300, 100);
    ExHandle edit = Ex_ObjCreateEx(-1, u"Edit", u"G:\\Desktop", -1, 10, 10, 200, 30, win.Surface(),
                                   0, -1, 0, 0, nullptr);
    EXPECT_EQ(LineOf(edit)->text(), QStringLiteral("G:\\Desktop"));
    Ex_ObjSetText(edit, u"目标目录", 1);
    EXPECT_EQ(LineOf(edit)->text(), QStringLiteral("目标目录"));
    // The program passes the length in bytes; anything past the end means the end.
    Ex_ObjSetFocus(edit);
    EXPECT_EQ(Ex_ObjSendMessage(edit, EX_EM_SETSEL, 0,
                                static_cast<intptr_t>(Ex_ObjGetTextLength(edit) * 2)),
              1);
    EXPECT_EQ(LineOf(edit)->selectedText(), QStringLiteral("目标目录"));
    EXPECT_EQ(Ex_ObjSendMessage(edit, EX_EM_GETSEL, 0, 0), 0 | (4 << 16));
    Ex_ObjSendMessage(edit, EX_EM_SETSEL, 1, 3);
    EXPECT_EQ(LineOf(edit)->selectedText(), QStringLiteral("标目"));
    Ex_ObjSendMessage(edit, EX_EM_SETSEL, -1, 0);
    EXPECT_FALSE(LineOf(edit)->hasSelectedText());
}

TEST(Edit, TextRectangleRecordPlacesTheTypingArea) {
    TestWindow win(400, 100);
    ExHandle edit =
        Ex_ObjCreateEx(-1, u"Edit", u"", -1, 10, 10, 300, 30, win.Surface(), 0, -1, 0, 0, nullptr);
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
    ExHandle edit =
        Ex_ObjCreateEx(-1, u"Edit", u"", -1, 10, 10, 200, 30, win.Surface(), 0, -1, 0, 0, nullptr);
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

TEST(Edit, MultiLineBoxKeepsLineBreaksBothWays) {
    TestWindow win(300, 200);
    ExHandle edit = CreateEdit(win.Surface(), EX_OS_VISIBLE | EX_EDIT_MULTILINE);
    ASSERT_NE(BlockOf(edit), nullptr);
    EXPECT_EQ(LineOf(edit), nullptr);
    Ex_ObjSetFocus(edit);
    QTest::keyClicks(BlockOf(edit), "SF1");
    QTest::keyClick(BlockOf(edit), Qt::Key_Return);
    QTest::keyClicks(BlockOf(edit), "JD2");
    EXPECT_EQ(Text(edit), u"SF1\nJD2");
    Ex_ObjSetText(edit, u"一\n二\n三", 1);
    EXPECT_EQ(BlockOf(edit)->toPlainText(), QStringLiteral("一\n二\n三"));
    // Selection messages count UTF-16 units across the lines.
    Ex_ObjSendMessage(edit, EX_EM_SETSEL, 2, 3);
    EXPECT_EQ(BlockOf(edit)->textCursor().selectedText(), QStringLiteral("二"));
    EXPECT_EQ(Ex_ObjSendMessage(edit, EX_EM_GETSEL, 0, 0), 2 | (3 << 16));
    Ex_ObjSendMessage(edit, EX_EM_SETSEL, 0, -1);
    Ex_ObjSendMessage(edit, EX_EM_REPLACESEL, 0, reinterpret_cast<intptr_t>(u"四\n五"));
    EXPECT_EQ(Text(edit), u"四\n五");
}

TEST(Edit, KeyHandlerSeesModifiersAndCanKeepTheKeyFromTheBox) {
    TestWindow win(300, 200);
    ExHandle edit = CreateEdit(win.Surface(), EX_OS_VISIBLE | EX_EDIT_MULTILINE);
    ASSERT_TRUE(Ex_ObjHandleEvent(edit, EX_NM_KEYDOWN, &TakeCtrlEnter));
    Ex_ObjSetFocus(edit);
    g_keysWithModifiers.clear();
    QTest::keyClicks(BlockOf(edit), "a");
    QTest::keyClick(BlockOf(edit), Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(BlockOf(edit), Qt::Key_Return);
    QTest::keyClick(BlockOf(edit), Qt::Key_B, Qt::ShiftModifier);
    EXPECT_EQ(g_keysWithModifiers,
              (std::vector<std::pair<intptr_t, intptr_t>>{
                  {'A', 0}, {EX_VK_RETURN, EX_MK_CONTROL}, {EX_VK_RETURN, 0}, {'B', EX_MK_SHIFT}}));
    // The taken Ctrl+Enter made no line; Enter, left alone, did.
    EXPECT_EQ(Text(edit).substr(0, 2), u"a\n");
}

TEST(Edit, PastedTextIsOfferedToTheObjectFirst) {
    TestWindow win(300, 200);
    QGuiApplication::clipboard()->setText(QStringLiteral("SF1\nJD2"));
    for (const int32_t style : {EX_OS_VISIBLE, EX_OS_VISIBLE | EX_EDIT_MULTILINE}) {
        SCOPED_TRACE(style);
        ExHandle edit = CreateEdit(win.Surface(), style, &PasteProc);
        QWidget* editor =
            style == EX_OS_VISIBLE ? static_cast<QWidget*>(LineOf(edit)) : BlockOf(edit);
        Ex_ObjSetFocus(edit);
        // Taken: the box stays as it was.
        g_offered.clear();
        g_takePaste = true;
        QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(g_offered, u"SF1\nJD2");
        EXPECT_EQ(Text(edit), u"");
        // Left alone: the box pastes as usual, line breaks and all.
        g_offered.clear();
        g_takePaste = false;
        QTest::keyClick(editor, Qt::Key_Insert, Qt::ShiftModifier);
        EXPECT_EQ(g_offered, u"SF1\nJD2");
        EXPECT_NE(Text(edit).find(u"SF1"), std::u16string::npos);
        Ex_ObjDestroy(edit);
    }
}

}  // namespace
}  // namespace exdui::test
