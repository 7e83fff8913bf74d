// The parts of the system services that are the library's own: the easing
// curves, the menu model handed to the back end, and what the Qt back end
// makes of timers, the clipboard, text inputs and native handles.
#include <gtest/gtest.h>

#include <QEasingCurve>
#include <memory>
#include <string>
#include <vector>

#include "backend/clipboard.h"
#include "backend/event_loop.h"
#include "backend/text_input.h"
#include "backend/timer.h"
#include "easing_curves.h"
#include "exdui_env.h"
#include "menus.h"
#include "native_views.h"
#include "object.h"

namespace exdui {
namespace {

// Runs events until done() holds; false when a generous guard ran out first.
bool RunEventsUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 2000 && !done(); ++i) {
        backend::RunEvents(5);
    }
    return done();
}

TEST(EasingCurve, MatchesTheCurvesQtDrewBefore) {
    // Animations were stepped through QEasingCurve; the curves moved into
    // the library must draw every one of them as it did.
    for (int32_t curve = 0; curve < CurveCount; ++curve) {
        const QEasingCurve reference(static_cast<QEasingCurve::Type>(curve));
        for (int step = 0; step <= 1000; ++step) {
            const double t = step / 1000.0;
            // Exactly: animations truncate the value to whole pixels.
            ASSERT_EQ(EaseCurve(curve, t), reference.valueForProgress(t))
                << "curve " << curve << " at " << t;
        }
    }
    // Numbers outside the table ease linearly, and progress is clamped.
    for (int32_t curve : {-1, int32_t{CurveCount}, 1000}) {
        EXPECT_DOUBLE_EQ(EaseCurve(curve, 0.25), 0.25) << curve;
    }
    EXPECT_DOUBLE_EQ(EaseCurve(CurveCubic + 1, 1.5), 1.0);
    EXPECT_DOUBLE_EQ(EaseCurve(CurveCubic + 1, -0.5), 0.0);
}

using Entries = std::vector<backend::MenuEntry>;

TEST(MenuModel, ResolvesSubmenusAsTheyAreWhenShown) {
    const ExHandle top = Ex_MenuCreatePopup();
    const ExHandle more = Ex_MenuCreatePopup();
    const ExHandle gone = Ex_MenuCreatePopup();
    ASSERT_TRUE(Ex_MenuAppend(top, EX_MF_STRING, 1005, u"打开文件"));
    ASSERT_TRUE(Ex_MenuAppend(top, EX_MF_SEPARATOR, 0, nullptr));
    ASSERT_TRUE(Ex_MenuAppend(top, EX_MF_POPUP, more, u"更多"));
    ASSERT_TRUE(Ex_MenuAppend(top, EX_MF_POPUP, gone, u"已删"));
    ASSERT_TRUE(Ex_MenuAppend(more, EX_MF_GRAYED | EX_MF_CHECKED, 7, u"置顶"));
    EXPECT_FALSE(Ex_MenuAppend(more, EX_MF_STRING, 8, nullptr)) << "an item needs its text";
    Ex_MenuDestroy(gone);
    // Appended after the submenu was: it shows all the same.
    ASSERT_TRUE(Ex_MenuAppend(more, EX_MF_STRING, 9, u"全选"));

    const Entries expected = {
        {EX_MF_STRING, 1005, u"打开文件", {}},
        {EX_MF_SEPARATOR, 0, u"", {}},
        {EX_MF_POPUP,
         more,
         u"更多",
         {{EX_MF_GRAYED | EX_MF_CHECKED, 7, u"置顶", {}}, {EX_MF_STRING, 9, u"全选", {}}}},
        {EX_MF_POPUP, gone, u"已删", {}},  // its menu is gone: an empty submenu
    };
    EXPECT_EQ(ResolveMenu(top), expected);
    EXPECT_TRUE(ResolveMenu(gone).empty());
    Ex_MenuDestroy(more);
    Ex_MenuDestroy(top);
}

TEST(MenuModel, AMenuHoldingItselfEndsAtTheDepthLimit) {
    const ExHandle loop = Ex_MenuCreatePopup();
    ASSERT_TRUE(Ex_MenuAppend(loop, EX_MF_POPUP, loop, u"again"));
    Entries level = ResolveMenu(loop);
    int depth = 0;
    while (!level.empty()) {
        ASSERT_EQ(level.size(), 1u);
        level = Entries(level.front().submenu);
        ++depth;
    }
    EXPECT_EQ(depth, MaxMenuDepth + 1);
    Ex_MenuDestroy(loop);
}

TEST(BackendTimer, ASingleShotFiresOnceAndATimerMayEndItselfWhileFiring) {
    int once = 0;
    int ticks = 0;
    std::unique_ptr<backend::Timer> single = backend::MakeTimer([&] { ++once; });
    std::unique_ptr<backend::Timer> reference = backend::MakeTimer([&] { ++ticks; });
    single->Start(1, true);
    reference->Start(1);
    ASSERT_TRUE(RunEventsUntil([&] { return ticks >= 5; }));
    EXPECT_EQ(once, 1);
    EXPECT_FALSE(single->IsActive());
    EXPECT_TRUE(reference->IsActive());

    // An animation released at its last step destroys its timer from the
    // timer's own callback.
    int fired = 0;
    std::unique_ptr<backend::Timer> self;
    self = backend::MakeTimer([&] {
        ++fired;
        self.reset();
    });
    self->Start(1);
    const int ticksBefore = ticks;
    ASSERT_TRUE(RunEventsUntil([&] { return ticks >= ticksBefore + 5; }));
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(self, nullptr);
    backend::DeleteDeferredObjects();
}

TEST(Clipboard, TextComesBackFromTheFormatsSetTogether) {
    const std::string utf8 = "单号 SF123\n";
    backend::SetClipboard({{"text/uri-list", "file:///tmp/a.jpg\r\n"}, {"text/plain", utf8}});
    EXPECT_EQ(backend::ClipboardText(), u"单号 SF123\n");
    backend::SetClipboardText(u"复制");
    EXPECT_EQ(backend::ClipboardText(), u"复制");
    backend::SetClipboard({});
    EXPECT_EQ(backend::ClipboardText(), u"");
}

// Keeps every text an editor reports.
struct TextLog final : backend::TextInputCallbacks {
    std::vector<std::u16string> changes;
    bool KeyDown(int32_t, intptr_t) override { return false; }
    bool Pasting(std::u16string_view) override { return false; }
    void TextChanged(std::u16string_view text) override { changes.emplace_back(text); }
    void FocusChanged(bool) override {}
};

TEST(TextInput, ReportsEveryChangeButItsFirstTextAndKeepsTheCaretOnDeselect) {
    test::TestWindow win(200, 100);
    const ExHandle host =
        Ex_ObjCreateEx(-1, u"Static", u"", -1, 0, 0, 200, 60, win.Surface(), 0, -1, 0, 0, nullptr);
    for (const bool multiLine : {false, true}) {
        SCOPED_TRACE(multiLine ? "many lines" : "one line");
        TextLog log;
        backend::TextInputOptions options;
        options.multiLine = multiLine;
        options.text = u"搜索文件";
        auto input = backend::MakeTextInput(NativeViewOf(*ObjectFromHandle(host)), options, log);
        EXPECT_EQ(input->Text(), u"搜索文件");
        EXPECT_TRUE(log.changes.empty());
        input->Select({1, 3});
        EXPECT_EQ(input->Selection().start, 1);
        EXPECT_EQ(input->Selection().end, 3);
        input->Deselect();
        EXPECT_EQ(input->Selection().start, 3);
        EXPECT_EQ(input->Selection().end, 3);
        input->ReplaceSelection(u"夹");
        input->SetText(u"单号");
        EXPECT_EQ(log.changes, (std::vector<std::u16string>{u"搜索文夹件", u"单号"}));
    }
}

TEST(NativeHandle, OnlyTheSystemsOwnHandleIsGiven) {
    // The offscreen platform's window ids mean nothing to the system.
    test::TestWindow win(100, 100);
    EXPECT_EQ(Ex_WndGetNativeHandle(win.Window()), 0);
    EXPECT_EQ(Ex_WndGetNativeHandle(win.Surface()), 0);
    EXPECT_EQ(Ex_WndGetNativeHandle(0), 0);
    EXPECT_EQ(Ex_WndGetNativeHandle(424242), 0);
}

}  // namespace
}  // namespace exdui
