// Objects through the C API: creation by class, the stored values, the
// message path (own procedure, class procedure, default), notifications,
// derivation from a built-in class, destruction, bad handles, and what the
// mouse and the keyboard focus do to any object.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exdui_env.h"

namespace exdui::test {
namespace {

std::vector<std::string> g_log;

intptr_t LoggingClassProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                          intptr_t lParam) {
    if (message == EX_WM_NOTIFY) {
        g_log.push_back("class:" + std::to_string(reinterpret_cast<ExNotify*>(lParam)->code));
    }
    if (message == EX_WM_DESTROY) {
        g_log.push_back("destroy:" + std::to_string(Ex_ObjGetLong(object, EX_OL_ID)));
    }
    return Ex_ObjDefProc(window, object, message, wParam, lParam);
}

intptr_t HandlerA(ExHandle, int32_t id, int32_t code, intptr_t, intptr_t) {
    g_log.push_back("A:" + std::to_string(id) + ":" + std::to_string(code));
    return 0;
}

intptr_t HandlerStops(ExHandle, int32_t, int32_t code, intptr_t, intptr_t) {
    g_log.push_back("stop:" + std::to_string(code));
    return 7;
}

// A handler's user value: the name it logs and the result it answers.
struct Tag {
    std::string name;
    intptr_t result = 0;
};

intptr_t HandlerWithUser(ExHandle, int32_t id, int32_t code, intptr_t, intptr_t, void* user) {
    const auto* tag = static_cast<const Tag*>(user);
    g_log.push_back(tag->name + ":" + std::to_string(id) + ":" + std::to_string(code));
    return tag->result;
}

intptr_t WindowProc(ExHandle, ExHandle, int32_t message, intptr_t, intptr_t lParam, intptr_t*) {
    if (message == EX_WM_NOTIFY) {
        g_log.push_back("window:" + std::to_string(reinterpret_cast<ExNotify*>(lParam)->code));
    }
    return 0;
}

void RegisterLoggingClass() {
    static bool done = false;
    if (!done) {
        ASSERT_TRUE(
            Ex_ObjRegister(u"LoggingBox", EX_OS_VISIBLE, 0, 0, 24, 0, 0, &LoggingClassProc));
        done = true;
    }
}

TEST(Objects, CreateTakesClassDefaultsForMinusOne) {
    TestWindow win(300, 200);
    ExHandle label = Ex_ObjCreateEx(-1, u"STATIC", u"标题", -1, 10, 20, 100, 30, win.Surface(),
                                    1003, -1, 0x1234, 0, nullptr);
    ASSERT_NE(label, 0);
    EXPECT_NE(Ex_ObjGetLong(label, EX_OL_STYLE) & EX_OS_VISIBLE, 0);
    EXPECT_EQ(Ex_ObjGetLong(label, EX_OL_TEXTFORMAT), EX_DT_VCENTER | EX_DT_SINGLELINE);
    EXPECT_EQ(Ex_ObjGetLong(label, EX_OL_ID), 1003);
    EXPECT_EQ(Ex_ObjGetLong(label, EX_OL_LPARAM), 0x1234);
    EXPECT_EQ(Ex_ObjGetParent(label), win.Surface());
    EXPECT_EQ(Ex_ObjIsVisible(label), 1);
    ExRect r{};
    ASSERT_TRUE(Ex_ObjGetRect(label, &r));
    EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}),
              (std::vector<int>{10, 20, 110, 50}));
    // A style without the visible bit creates the object hidden.
    ExHandle hidden =
        Ex_ObjCreateEx(-1, u"STATIC", u"", 0, 0, 0, 10, 10, win.Surface(), 0, -1, 0, 0, nullptr);
    EXPECT_EQ(Ex_ObjIsVisible(hidden), 0);
}

TEST(Objects, MoveKeepsTheValuesMarkedKeep) {
    TestWindow win(300, 200);
    ExHandle obj = Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 10, 20, 100, 30, win.Surface(), 0, -1, 0,
                                  0, nullptr);
    ASSERT_TRUE(Ex_ObjMove(obj, EX_KEEP, 40, EX_KEEP, 60, 1));
    ExRect r{};
    Ex_ObjGetRect(obj, &r);
    EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}),
              (std::vector<int>{10, 40, 110, 100}));
    ASSERT_TRUE(Ex_ObjGetClientRect(obj, &r));
    EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}),
              (std::vector<int>{0, 0, 100, 60}));
    Ex_ObjShow(obj, 0);
    EXPECT_EQ(Ex_ObjIsVisible(obj), 0);
    Ex_ObjShow(obj, 1);
    EXPECT_EQ(Ex_ObjIsVisible(obj), 1);
}

TEST(Objects, ExtraStorageHoldsPointerSizedValuesWithinItsSize) {
    RegisterLoggingClass();
    TestWindow win(100, 100);
    ExHandle obj = Ex_ObjCreateEx(-1, u"LoggingBox", u"", -1, 0, 0, 10, 10, win.Surface(), 5, -1, 0,
                                  0, nullptr);
    ASSERT_NE(obj, 0);
    const intptr_t big = static_cast<intptr_t>(0x7FEDCBA987654321LL);
    for (int32_t i = 0; i < 6; ++i) {  // 24 bytes are six 32-bit units
        EXPECT_EQ(Ex_ObjSetLong(obj, i, big - i), 0);
        EXPECT_EQ(Ex_ObjGetLong(obj, i), big - i);
    }
    EXPECT_EQ(Ex_ObjSetLong(obj, 6, 1), 0);
    EXPECT_EQ(Ex_ObjGetLong(obj, 6), 0);
    EXPECT_EQ(Ex_ObjSetLong(obj, EX_OL_USERDATA, 99), 0);
    EXPECT_EQ(Ex_ObjSetLong(obj, EX_OL_USERDATA, 100), 99);
    EXPECT_EQ(Ex_ObjGetLong(obj, EX_OL_USERDATA), 100);
}

TEST(Objects, TextRoundTripsAndIsCutToTheBuffer) {
    TestWindow win(200, 100);
    ExHandle obj =
        Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 0, 0, 100, 20, win.Surface(), 0, -1, 0, 0, nullptr);
    ASSERT_TRUE(Ex_ObjSetText(obj, u"找到：12 个文件", 1));
    EXPECT_EQ(Ex_ObjGetTextLength(obj), 9u);
    EXPECT_EQ(Text(obj), u"找到：12 个文件");
    char16_t small[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(Ex_ObjGetText(obj, small, sizeof small), 3u);
    EXPECT_EQ(std::u16string(small), u"找到：");
    EXPECT_EQ(Ex_ObjGetText(obj, small, 1), 0u);  // no room even for the NUL
}

TEST(Objects, FindWalksChildrenByClassTitleAndId) {
    TestWindow win(200, 200);
    ExHandle page = Ex_ObjCreateEx(-1, u"STATIC", u"page", -1, 0, 0, 200, 200, win.Surface(), 1, -1,
                                   0, 0, nullptr);
    ExHandle a = Ex_ObjCreateEx(-1, u"STATIC", u"a", -1, 0, 0, 10, 10, page, 11, -1, 0, 0, nullptr);
    ExHandle e = Ex_ObjCreateEx(-1, u"Edit", u"", -1, 0, 20, 50, 20, page, 12, -1, 0, 0, nullptr);
    ExHandle b =
        Ex_ObjCreateEx(-1, u"STATIC", u"b", -1, 0, 40, 10, 10, page, 13, -1, 0, 0, nullptr);
    EXPECT_EQ(Ex_ObjFind(page, 0, u"edit", nullptr), e);  // class names ignore case
    EXPECT_EQ(Ex_ObjFind(page, 0, u"STATIC", nullptr), a);
    EXPECT_EQ(Ex_ObjFind(page, a, u"STATIC", nullptr), b);
    EXPECT_EQ(Ex_ObjFind(page, 0, nullptr, u"b"), b);
    EXPECT_EQ(Ex_ObjFind(page, b, u"STATIC", nullptr), 0);
    EXPECT_EQ(Ex_ObjFind(win.Surface(), 0, u"STATIC", u"page"), page);
    EXPECT_EQ(Ex_ObjGetFromID(win.Surface(), 12), e);
    EXPECT_EQ(Ex_ObjGetFromID(win.Surface(), 99), 0);
}

TEST(Objects, NotificationGoesToTheObjectThenItsHandlersThenItsWindow) {
    RegisterLoggingClass();
    TestWindow win(100, 100, 0x40000, &WindowProc);
    ExHandle obj = Ex_ObjCreateEx(-1, u"LoggingBox", u"", -1, 0, 0, 50, 50, win.Surface(), 42, -1,
                                  0, 0, nullptr);
    ASSERT_TRUE(Ex_ObjHandleEvent(obj, -2, &HandlerA));
    g_log.clear();
    EXPECT_EQ(Ex_ObjDispatchNotify(obj, -2, 0, 0), 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"class:-2", "A:42:-2", "window:-2"}));

    // A handler that answers nonzero ends the round and its value is the result.
    ASSERT_TRUE(Ex_ObjHandleEvent(obj, -2, &HandlerStops));
    g_log.clear();
    EXPECT_EQ(Ex_ObjDispatchNotify(obj, -2, 0, 0), 7);
    EXPECT_EQ(g_log, (std::vector<std::string>{"class:-2", "A:42:-2", "stop:-2"}));

    // Handlers of other codes are not called; removing a code's handlers works.
    ASSERT_TRUE(Ex_ObjHandleEvent(obj, -2, nullptr));
    g_log.clear();
    Ex_ObjDispatchNotify(obj, -2, 0, 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"class:-2", "window:-2"}));
}

TEST(Objects, HandlersWithAUserValueGetItBackInOneOrderWithPlainHandlers) {
    RegisterLoggingClass();
    TestWindow win(100, 100, 0x40000, &WindowProc);
    ExHandle obj = Ex_ObjCreateEx(-1, u"LoggingBox", u"", -1, 0, 0, 50, 50, win.Surface(), 42, -1,
                                  0, 0, nullptr);
    Tag first{"first"};
    Tag second{"second", 9};
    ASSERT_TRUE(Ex_ObjHandleEventEx(obj, -2, &HandlerWithUser, &first));
    ASSERT_TRUE(Ex_ObjHandleEvent(obj, -2, &HandlerA));
    ASSERT_TRUE(Ex_ObjHandleEventEx(obj, -2, &HandlerWithUser, &second));
    ASSERT_TRUE(Ex_ObjHandleEventEx(obj, -3, &HandlerWithUser, &first));
    g_log.clear();
    EXPECT_EQ(Ex_ObjDispatchNotify(obj, -2, 0, 0), 9);
    EXPECT_EQ(g_log,
              (std::vector<std::string>{"class:-2", "first:42:-2", "A:42:-2", "second:42:-2"}));

    // Handler 0 removes a code's handlers of both kinds, whichever call gives it.
    ASSERT_TRUE(Ex_ObjHandleEvent(obj, -2, nullptr));
    ASSERT_TRUE(Ex_ObjHandleEventEx(obj, -3, nullptr, &second));
    g_log.clear();
    Ex_ObjDispatchNotify(obj, -2, 0, 0);
    Ex_ObjDispatchNotify(obj, -3, 0, 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"class:-2", "window:-2", "class:-3", "window:-3"}));
}

TEST(Objects, ClickByMouseRaisesClickWithTheObjectsId) {
    RegisterLoggingClass();
    TestWindow win(100, 100);
    ExHandle obj = Ex_ObjCreateEx(-1, u"LoggingBox", u"", -1, 10, 10, 50, 50, win.Surface(), 77, -1,
                                  0, 0, nullptr);
    Ex_ObjHandleEvent(obj, -2, &HandlerA);
    g_log.clear();
    inject::Click(win.Window(), inject::PointIn(obj, 5, 5));
    EXPECT_EQ(g_log, (std::vector<std::string>{"class:-2", "A:77:-2"}));
    // Pressed on the object, released outside it: no click.
    g_log.clear();
    inject::MouseDown(win.Window(), inject::PointIn(obj, 5, 5));
    inject::MouseUp(win.Window(), inject::PointIn(obj, 80, 80));
    EXPECT_TRUE(g_log.empty());
}

TEST(Objects, DisabledObjectTakesNoClicks) {
    RegisterLoggingClass();
    TestWindow win(100, 100);
    ExHandle obj = Ex_ObjCreateEx(-1, u"LoggingBox", u"", -1, 10, 10, 50, 50, win.Surface(), 3, -1,
                                  0, 0, nullptr);
    Ex_ObjHandleEvent(obj, -2, &HandlerA);
    ASSERT_TRUE(Ex_ObjEnable(obj, 0));
    EXPECT_NE(Ex_ObjGetLong(obj, EX_OL_STATE) & EX_STATE_DISABLED, 0);
    g_log.clear();
    inject::Click(win.Window(), inject::PointIn(obj, 5, 5));
    EXPECT_TRUE(g_log.empty());
    Ex_ObjEnable(obj, 1);
    EXPECT_EQ(Ex_ObjGetLong(obj, EX_OL_STATE) & EX_STATE_DISABLED, 0);
    inject::Click(win.Window(), inject::PointIn(obj, 5, 5));
    EXPECT_EQ(g_log, (std::vector<std::string>{"class:-2", "A:3:-2"}));
}

TEST(Objects, StateBitsFollowThePointer) {
    RegisterLoggingClass();
    TestWindow win(100, 100);
    ExHandle obj = Ex_ObjCreateEx(-1, u"LoggingBox", u"", -1, 10, 10, 50, 50, win.Surface(), 0, -1,
                                  0, 0, nullptr);
    const auto state = [obj] { return Ex_ObjGetLong(obj, EX_OL_STATE); };
    inject::MouseMove(win.Window(), inject::PointIn(obj, 5, 5));
    EXPECT_EQ(state() & EX_STATE_HOVER, EX_STATE_HOVER);
    inject::MouseDown(win.Window(), inject::PointIn(obj, 5, 5));
    EXPECT_EQ(state() & (EX_STATE_DOWN | EX_STATE_HOVER), EX_STATE_DOWN | EX_STATE_HOVER);
    inject::MouseUp(win.Window(), inject::PointIn(obj, 5, 5));
    EXPECT_EQ(state() & EX_STATE_DOWN, 0);
    inject::MouseMove(win.Window(), {90, 90});
    EXPECT_EQ(state() & EX_STATE_HOVER, 0);
    // Back in, then out of the window altogether.
    inject::MouseMove(win.Window(), inject::PointIn(obj, 5, 5));
    inject::Leave(win.Window());
    EXPECT_EQ(state() & EX_STATE_HOVER, 0);
    // The program can set and clear bits itself.
    Ex_ObjSetUIState(obj, EX_STATE_CHECKED, 0, nullptr, 1);
    EXPECT_NE(state() & EX_STATE_CHECKED, 0);
    Ex_ObjSetUIState(obj, EX_STATE_CHECKED, 1, nullptr, 1);
    EXPECT_EQ(state() & EX_STATE_CHECKED, 0);
}

TEST(Objects, AClickGivesAFocusableObjectTheKeys) {
    TestWindow win(300, 100);
    ExHandle first =
        Ex_ObjCreateEx(-1, u"Edit", u"", -1, 10, 10, 80, 30, win.Surface(), 0, -1, 0, 0, nullptr);
    ExHandle second =
        Ex_ObjCreateEx(-1, u"Edit", u"", -1, 100, 10, 80, 30, win.Surface(), 0, -1, 0, 0, nullptr);
    ExHandle label = Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 190, 10, 80, 30, win.Surface(), 0, -1,
                                    0, 0, nullptr);
    const auto focused = [](ExHandle obj) {
        return (Ex_ObjGetLong(obj, EX_OL_STATE) & EX_STATE_FOCUS) != 0;
    };
    inject::Click(win.Window(), inject::CenterOf(second));
    EXPECT_EQ(inject::FocusedObject(win.Window()), second);
    EXPECT_TRUE(focused(second));
    inject::Type(win.Window(), u"x");
    EXPECT_EQ(Text(second), u"x");
    // A label takes no focus: the keys stay where they were.
    inject::Click(win.Window(), inject::CenterOf(label));
    EXPECT_EQ(inject::FocusedObject(win.Window()), second);
    // The program moves the focus itself.
    Ex_ObjSetFocus(first);
    EXPECT_EQ(inject::FocusedObject(win.Window()), first);
    EXPECT_TRUE(focused(first));
    EXPECT_FALSE(focused(second));
    inject::Type(win.Window(), u"y");
    EXPECT_EQ(Text(first), u"y");
    EXPECT_EQ(Text(second), u"x");
}

int g_derivedMessages = 0;
ExClassProc g_barProc = nullptr;

intptr_t DerivedBarProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                        intptr_t lParam) {
    if (message == EX_PBM_SETPOS) {
        ++g_derivedMessages;
    }
    return Ex_ObjCallProc(g_barProc, window, object, message, wParam, lParam);
}

TEST(Objects, DerivedClassGetsTheBaseBehaviourThroughCallProc) {
    ExClassInfo info{};
    ASSERT_TRUE(Ex_ObjGetClassInfoEx(u"progressBar", &info));
    ASSERT_NE(info.proc, nullptr);
    g_barProc = info.proc;
    ASSERT_TRUE(Ex_ObjRegister(u"DerivedBar", info.style, info.styleEx, info.textFormat, 8,
                               info.cursor, info.flags, &DerivedBarProc));
    EXPECT_FALSE(
        Ex_ObjRegister(u"derivedbar", 0, 0, 0, 0, 0, 0, nullptr));  // taken, whatever the case
    ASSERT_TRUE(Ex_ObjRegister(u"Ящик-Ä", 0, 0, 0, 0, 0, 0, &DerivedBarProc));
    EXPECT_FALSE(Ex_ObjRegister(u"ящик-ä", 0, 0, 0, 0, 0, 0, &DerivedBarProc));
    ExClassInfo mine{};
    ASSERT_TRUE(Ex_ObjGetClassInfoEx(u"DerivedBar", &mine));
    EXPECT_EQ(mine.extraBytes, 8);
    EXPECT_EQ(mine.proc, &DerivedBarProc);

    TestWindow win(200, 100);
    ExHandle bar = Ex_ObjCreateEx(-1, u"DerivedBar", u"", -1, 0, 0, 100, 10, win.Surface(), 0, -1,
                                  0, 0, nullptr);
    ASSERT_NE(bar, 0);
    g_derivedMessages = 0;
    Ex_ObjSendMessage(bar, EX_PBM_SETPOS, 1, 40);
    EXPECT_EQ(g_derivedMessages, 1);
    EXPECT_EQ(Ex_ObjSendMessage(bar, EX_PBM_GETPOS, 0, 0), 40);
    EXPECT_FALSE(Ex_ObjGetClassInfoEx(u"NoSuchClass", &info));
}

TEST(Objects, DestroyTellsTheObjectAndItsChildrenAndKillsTheHandles) {
    RegisterLoggingClass();
    TestWindow win(100, 100);
    ExHandle parent = Ex_ObjCreateEx(-1, u"LoggingBox", u"", -1, 0, 0, 50, 50, win.Surface(), 1, -1,
                                     0, 0, nullptr);
    ExHandle child =
        Ex_ObjCreateEx(-1, u"LoggingBox", u"", -1, 0, 0, 10, 10, parent, 2, -1, 0, 0, nullptr);
    g_log.clear();
    ASSERT_TRUE(Ex_ObjDestroy(parent));
    EXPECT_EQ(g_log, (std::vector<std::string>{"destroy:1", "destroy:2"}));
    EXPECT_FALSE(Ex_ObjSetText(child, u"x", 1));
    EXPECT_EQ(Ex_ObjGetLong(parent, EX_OL_ID), 0);
    EXPECT_EQ(Ex_ObjFind(win.Surface(), 0, u"LoggingBox", nullptr), 0);
    inject::RunEvents(1);  // the widgets go later; nothing may touch them
    EXPECT_FALSE(Ex_ObjDestroy(parent));
}

TEST(Objects, BadHandlesAndArgumentsReturnZero) {
    TestWindow win(100, 100);
    ExHandle brush = _brush_create(0xFF000000);
    ExHandle gone =
        Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 0, 0, 10, 10, win.Surface(), 0, -1, 0, 0, nullptr);
    Ex_ObjDestroy(gone);
    ExRect r{};
    char16_t buffer[8];
    ExPaint paint{};
    for (ExHandle bad :
         {ExHandle{0}, ExHandle{-5}, ExHandle{0x7FFFFFF0}, brush, gone, win.Surface()}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(Ex_ObjSetText(bad, u"x", 1), 0);
        EXPECT_EQ(Ex_ObjGetText(bad, buffer, sizeof buffer), 0u);
        EXPECT_EQ(Ex_ObjGetTextLength(bad), 0u);
        EXPECT_EQ(Ex_ObjMove(bad, 1, 1, 1, 1, 1), 0);
        EXPECT_EQ(Ex_ObjShow(bad, 1), 0);
        EXPECT_EQ(Ex_ObjEnable(bad, 1), 0);
        EXPECT_EQ(Ex_ObjSendMessage(bad, EX_PBM_SETPOS, 1, 1), 0);
        EXPECT_EQ(Ex_ObjSetLong(bad, 0, 1), 0);
        EXPECT_EQ(Ex_ObjGetLong(bad, EX_OL_ID), 0);
        EXPECT_EQ(Ex_ObjSetColor(bad, 0, 0xFF000000, 1), 0u);
        EXPECT_EQ(Ex_ObjGetRect(bad, &r), 0);
        EXPECT_EQ(Ex_ObjGetFont(bad), 0);
        EXPECT_EQ(Ex_ObjSetTimer(bad, 10), 0);
        EXPECT_EQ(Ex_ObjHandleEvent(bad, -2, &HandlerA), 0);
        EXPECT_EQ(Ex_ObjHandleEventEx(bad, -2, &HandlerWithUser, nullptr), 0);
        EXPECT_EQ(Ex_ObjDestroy(bad), 0);
        EXPECT_EQ(Ex_ObjBeginPaint(bad, &paint), 0);
        EXPECT_EQ(Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 0, 0, 1, 1, bad == win.Surface() ? 0 : bad,
                                 0, -1, 0, 0, nullptr),
                  0);
        EXPECT_EQ(Ex_DUIBindWindowEx(bad, nullptr, 0, 0, nullptr), 0);
        EXPECT_EQ(Ex_WndMove(bad == win.Surface() ? 0 : bad, 0, 0, 1, 1, 1), 0);
        EXPECT_EQ(_brush_setcolor(bad == brush ? 0 : bad, 0), 0u);
        EXPECT_EQ(_img_getsize(bad, nullptr, nullptr), 0);
        EXPECT_EQ(_canvas_fillrect(bad, brush, 0, 0, 1, 1), 0);
        EXPECT_EQ(Ex_TrackPopupMenu(bad, 0, 0, 0, 0, 0, nullptr, nullptr, 0), 0);
        EXPECT_EQ(Ex_DropQueryFile(bad, 0xFFFFFFFF, nullptr, 0), 0u);
    }
    // Null or unusable arguments with good handles.
    ExHandle label =
        Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 0, 0, 10, 10, win.Surface(), 0, -1, 0, 0, nullptr);
    EXPECT_EQ(Ex_ObjGetText(label, nullptr, 100), 0u);
    EXPECT_EQ(Ex_ObjGetRect(label, nullptr), 0);
    EXPECT_EQ(Ex_ObjBeginPaint(label, &paint), 0);  // not painting now
    EXPECT_EQ(Ex_ObjCreateEx(-1, nullptr, u"", -1, 0, 0, 1, 1, win.Surface(), 0, -1, 0, 0, nullptr),
              0);
    EXPECT_EQ(Ex_ObjCreateEx(-1, u"NoSuchClass", u"", -1, 0, 0, 1, 1, win.Surface(), 0, -1, 0, 0,
                             nullptr),
              0);
    EXPECT_EQ(Ex_ObjRegister(nullptr, 0, 0, 0, 0, 0, 0, nullptr), 0);
    EXPECT_EQ(Ex_ObjRegister(u"NegativeExtra", 0, 0, 0, -4, 0, 0, nullptr), 0);
    const unsigned char junk[] = {1, 2, 3, 4, 5};
    EXPECT_EQ(_img_createfrommemory(junk, sizeof junk), 0);
    EXPECT_EQ(_img_createfrommemory(nullptr, 10), 0);
    EXPECT_EQ(_imglist_create(0, 16), 0);
    EXPECT_EQ(Ex_ObjCallProc(nullptr, 0, label, 1, 0, 0), 0);
    _brush_destroy(brush);
    EXPECT_EQ(_brush_destroy(brush), 0);
}

}  // namespace
}  // namespace exdui::test
