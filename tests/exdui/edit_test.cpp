// "Edit": typing keys and input-method text, the key-down notification with
// the key code (Enter is 13) and its modifiers, selection (176, 177, 194),
// the text rectangle record, the caret colour, the multi-line box, pasted
// text offered to the object before the box takes it, and the box inside
// parents: cut to them, and disabled with them.
#include <gtest/gtest.h>

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

// The columns of a snapshot's rows top to bottom where a pixel has colour.
std::vector<int> ColumnsOf(const inject::Snapshot& shot, int top, int bottom, ExArgb colour) {
    std::vector<int> columns;
    for (int x = 0; x < shot.width; ++x) {
        for (int y = top; y < bottom; ++y) {
            if (Pixel(shot, x, y) == colour) {
                columns.push_back(x);
                break;
            }
        }
    }
    return columns;
}

TEST(Edit, TypingChangesTheTextAndEveryKeyRaisesKeyDown) {
    TestWindow win(300, 100);
    ExHandle edit = Ex_ObjCreateEx(-1, u"Edit", u"", -1, 10, 10, 200, 30, win.Surface(), 1000, -1,
                                   0, 0, nullptr);
    ASSERT_TRUE(Ex_ObjHandleEvent(edit, EX_NM_KEYDOWN, &KeyHandler));
    Ex_ObjSetFocus(edit);
    g_keys.clear();
    inject::Type(win.Window(), u"a1");
    inject::Key(win.Window(), EX_VK_RETURN);
    inject::Key(win.Window(), EX_VK_BACK);
    EXPECT_EQ(g_keys, (std::vector<intptr_t>{'A', '1', EX_VK_RETURN, EX_VK_BACK}));
    EXPECT_EQ(Text(edit), u"a");
}

TEST(Edit, ChineseTextArrivesThroughTheInputMethod) {
    TestWindow win(300, 100);
    ExHandle edit =
        Ex_ObjCreateEx(-1, u"Edit", u"", -1, 10, 10, 200, 30, win.Surface(), 0, -1, 0, 0, nullptr);
    Ex_ObjSetFocus(edit);
    inject::Type(win.Window(), u"快递单号");
    EXPECT_EQ(Text(edit), u"快递单号");
    // Text being composed is not text yet.
    inject::Compose(win.Window(), u"shunfeng", u"顺丰");
    EXPECT_EQ(Text(edit), u"快递单号顺丰");
}

TEST(Edit, SetTextShowsInTheBoxAndSelectAllSelectsIt) {
    TestWindow win(300, 100);
    ExHandle edit = Ex_ObjCreateEx(-1, u"Edit", u"G:\\Desktop", -1, 10, 10, 200, 30, win.Surface(),
                                   0, -1, 0, 0, nullptr);
    EXPECT_EQ(Text(edit), u"G:\\Desktop");
    Ex_ObjSetText(edit, u"目标目录", 1);
    // The program passes the length in bytes; anything past the end means the end.
    Ex_ObjSetFocus(edit);
    EXPECT_EQ(Ex_ObjSendMessage(edit, EX_EM_SETSEL, 0,
                                static_cast<intptr_t>(Ex_ObjGetTextLength(edit) * 2)),
              1);
    EXPECT_EQ(Ex_ObjSendMessage(edit, EX_EM_GETSEL, 0, 0), 0 | (4 << 16));
    Ex_ObjSendMessage(edit, EX_EM_SETSEL, 1, 3);
    EXPECT_EQ(Ex_ObjSendMessage(edit, EX_EM_GETSEL, 0, 0), 1 | (3 << 16));
    Ex_ObjSendMessage(edit, EX_EM_SETSEL, -1, 0);
    const intptr_t none = Ex_ObjSendMessage(edit, EX_EM_GETSEL, 0, 0);
    EXPECT_EQ(none & 0xFFFF, none >> 16) << "nothing selected";
    // What is typed replaces the selection, in the text the box was given.
    Ex_ObjSendMessage(edit, EX_EM_SETSEL, 1, 3);
    inject::Type(win.Window(), u"x");
    EXPECT_EQ(Text(edit), u"目x录");
}

TEST(Edit, TextRectangleRecordPlacesTheTypingArea) {
    TestWindow win(400, 100, 0x40000, nullptr, 0xFFFFFFFF);
    ExHandle edit =
        Ex_ObjCreateEx(-1, u"Edit", u"", -1, 10, 10, 300, 30, win.Surface(), 0, -1, 0, 0, nullptr);
    Ex_ObjSetColor(edit, EX_COLOR_CARET, 0xFFFF0000, 1);
    auto* record = reinterpret_cast<ExEditRecord*>(Ex_ObjGetLong(edit, EX_OL_CLASSDATA));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->textRect.left, 4);
    EXPECT_EQ(record->textRect.right, 296);
    EXPECT_EQ(record->textRect.bottom, 30);
    // The program narrows it in place and the box follows at its next paint:
    // the caret starts at its left and, however long the text, stays within it.
    record->textRect.left = 15;
    record->textRect.right = 250;
    Ex_ObjInvalidateRect(edit, nullptr);
    Ex_ObjSetFocus(edit);
    const ExPoint origin = inject::PointIn(edit, 0, 0);
    const auto caret = [&] { return ColumnsOf(win.Grab(), origin.y, origin.y + 30, 0xFFFF0000); };
    ASSERT_TRUE(inject::RunEventsUntil([&] {
        const std::vector<int> columns = caret();
        return columns.size() == 1 && columns[0] >= origin.x + 15 && columns[0] < origin.x + 20;
    }));
    // The caret blinks: each look waits for it to show.
    const auto shownCaret = [&] {
        std::vector<int> columns;
        EXPECT_TRUE(inject::RunEventsUntil([&] { return (columns = caret()).size() == 1; }));
        return columns.empty() ? -1 : columns[0];
    };
    inject::Type(win.Window(), std::u16string(60, u'W'));
    const int atEnd = shownCaret();
    EXPECT_LT(atEnd, origin.x + 250);
    EXPECT_GT(atEnd, origin.x + 200);
    // A resize keeps a rectangle the program chose.
    Ex_ObjMove(edit, EX_KEEP, EX_KEEP, 320, EX_KEEP, 1);
    EXPECT_EQ(record->textRect.right, 250);
    EXPECT_EQ(shownCaret(), atEnd);
}

TEST(Edit, CaretIsDrawnInSlotThirty) {
    TestWindow win(300, 100, 0x40000, nullptr, 0xFFFFFFFF);
    ExHandle edit =
        Ex_ObjCreateEx(-1, u"Edit", u"", -1, 10, 10, 200, 30, win.Surface(), 0, -1, 0, 0, nullptr);
    Ex_ObjSetColor(edit, EX_COLOR_CARET, 0xFFFF0000, 1);
    EXPECT_EQ(Ex_ObjGetColor(edit, EX_COLOR_CARET), 0xFFFF0000u);
    Ex_ObjSetFocus(edit);
    EXPECT_EQ(inject::FocusedObject(win.Window()), edit);
    const auto red = [&] {
        const inject::Snapshot shot = win.Grab();
        int count = 0;
        for (int y = 10; y < 40; ++y) {
            for (int x = 10; x < 40; ++x) {
                count += Pixel(shot, x, y) == 0xFFFF0000u ? 1 : 0;
            }
        }
        return count;
    };
    // A vertical red line near the left edge.
    EXPECT_TRUE(inject::RunEventsUntil([&] { return red() > 5; }));
}

TEST(Edit, MultiLineBoxKeepsLineBreaksBothWays) {
    TestWindow win(300, 200);
    ExHandle edit = CreateEdit(win.Surface(), EX_OS_VISIBLE | EX_EDIT_MULTILINE);
    Ex_ObjSetFocus(edit);
    inject::Type(win.Window(), u"SF1\nJD2");
    EXPECT_EQ(Text(edit), u"SF1\nJD2");
    Ex_ObjSetText(edit, u"一\n二\n三", 1);
    // Selection messages count UTF-16 units across the lines.
    Ex_ObjSendMessage(edit, EX_EM_SETSEL, 2, 3);
    EXPECT_EQ(Ex_ObjSendMessage(edit, EX_EM_GETSEL, 0, 0), 2 | (3 << 16));
    inject::Type(win.Window(), u"贰");
    EXPECT_EQ(Text(edit), u"一\n贰\n三");
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
    inject::Type(win.Window(), u"a");
    inject::Key(win.Window(), EX_VK_RETURN, EX_MK_CONTROL);
    inject::Key(win.Window(), EX_VK_RETURN);
    inject::Key(win.Window(), 'B', EX_MK_SHIFT);
    EXPECT_EQ(g_keysWithModifiers,
              (std::vector<std::pair<intptr_t, intptr_t>>{
                  {'A', 0}, {EX_VK_RETURN, EX_MK_CONTROL}, {EX_VK_RETURN, 0}, {'B', EX_MK_SHIFT}}));
    // The taken Ctrl+Enter made no line; Enter, left alone, did.
    EXPECT_EQ(Text(edit), u"a\nB");
}

TEST(Edit, PastedTextIsOfferedToTheObjectFirst) {
    TestWindow win(300, 400);
    // The clipboard gets its text as a user's copy would.
    ExHandle source = Ex_ObjCreateEx(-1, u"Edit", u"SF1\nJD2", EX_OS_VISIBLE | EX_EDIT_MULTILINE,
                                     10, 250, 200, 120, win.Surface(), 0, -1, 0, 0, nullptr);
    Ex_ObjSetFocus(source);
    Ex_ObjSendMessage(source, EX_EM_SETSEL, 0, -1);
    inject::Key(win.Window(), 'C', EX_MK_CONTROL);
    for (const int32_t style : {EX_OS_VISIBLE, EX_OS_VISIBLE | EX_EDIT_MULTILINE}) {
        SCOPED_TRACE(style);
        ExHandle edit = CreateEdit(win.Surface(), style, &PasteProc);
        Ex_ObjSetFocus(edit);
        // Taken: the box stays as it was.
        g_offered.clear();
        g_takePaste = true;
        inject::Key(win.Window(), 'V', EX_MK_CONTROL);
        EXPECT_EQ(g_offered, u"SF1\nJD2");
        EXPECT_EQ(Text(edit), u"");
        // Left alone: the box pastes as usual, line breaks and all.
        g_offered.clear();
        g_takePaste = false;
        inject::Key(win.Window(), EX_VK_INSERT, EX_MK_SHIFT);
        EXPECT_EQ(g_offered, u"SF1\nJD2");
        EXPECT_NE(Text(edit).find(u"SF1"), std::u16string::npos);
        Ex_ObjDestroy(edit);
    }
}

// An edit 300 by 30 at (10, 10) of a content object that scrolls by moving
// up (as the program's scroll panels do) in a panel 200 by 100 at (20, 60).
ExHandle MakeScrolledEdit(const TestWindow& win) {
    ExHandle panel = Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 20, 60, 200, 100, win.Surface(), 0, -1,
                                    0, 0, nullptr);
    ExHandle content =
        Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 0, 0, 300, 300, panel, 0, -1, 0, 0, nullptr);
    return Ex_ObjCreateEx(-1, u"Edit", u"", -1, 10, 10, 300, 30, content, 0, -1, 0, 0, nullptr);
}

ExHandle ParentOf(ExHandle object) {
    return static_cast<ExHandle>(Ex_ObjGetLong(object, EX_OL_PARENT));
}

TEST(Edit, TheBoxTakesThePointerOnlyWhereItsParentsShowIt) {
    struct Case {
        const char* name;
        int scrolled;   // pixels of the content above the panel's top
        ExPoint click;  // in the window
        bool focused;
    };
    // The edit lies at x 30..330 and y 70..100 of the window, less what is
    // scrolled; the panel at x 20..220 and y 60..160.
    const Case cases[] = {
        {"inside", 0, {100, 85}, true},
        {"past the panel's right edge", 0, {260, 85}, false},
        {"half scrolled out, the half left", 25, {100, 70}, true},
        {"half scrolled out, the half cut", 25, {100, 50}, false},
        {"scrolled out altogether", 50, {100, 35}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestWindow win(400, 200);
        const ExHandle edit = MakeScrolledEdit(win);
        Ex_ObjMove(ParentOf(edit), 0, -c.scrolled, EX_KEEP, EX_KEEP, 1);
        inject::Click(win.Window(), c.click);
        EXPECT_EQ(inject::FocusedObject(win.Window()) == edit, c.focused);
    }
}

TEST(Edit, TypingReachesTheBoxOnlyWhileItsAncestorsAreEnabled) {
    TestWindow win(400, 200);
    const ExHandle edit = MakeScrolledEdit(win);
    for (const ExHandle ancestor : {ParentOf(edit), ParentOf(ParentOf(edit))}) {
        Ex_ObjSetText(edit, u"", 1);
        Ex_ObjEnable(ancestor, 0);
        Ex_ObjSetFocus(edit);
        inject::Type(win.Window(), u"a");
        EXPECT_EQ(Text(edit), u"");
        Ex_ObjEnable(ancestor, 1);
        Ex_ObjSetFocus(edit);
        inject::Type(win.Window(), u"b");
        EXPECT_EQ(Text(edit), u"b");
    }
    // Scrolled out of sight, it keeps the keys.
    Ex_ObjMove(ParentOf(edit), 0, -50, EX_KEEP, EX_KEEP, 1);
    inject::Type(win.Window(), u"c");
    EXPECT_EQ(Text(edit), u"bc");
}

}  // namespace
}  // namespace exdui::test
