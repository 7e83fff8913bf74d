// Object timers (-90 through the default procedure) and eased animations
// (-8 with the progress and the current value).
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "exdui_env.h"

namespace exdui::test {
namespace {

std::map<ExHandle, int> g_ticks;  // Per object.

intptr_t TickHandler(ExHandle object, int32_t, int32_t code, intptr_t, intptr_t) {
    if (code == EX_NM_TIMER) {
        ++g_ticks[object];
    }
    return 0;
}

// A second object ticking at interval: "nothing more happened" is checked
// against its ticks, not against a fixed wait.
class ReferenceTimer {
  public:
    ReferenceTimer(ExHandle parent, int32_t interval) {
        m_object = Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 0, 0, 1, 1, parent, 0, -1, 0, 0, nullptr);
        Ex_ObjHandleEvent(m_object, EX_NM_TIMER, &TickHandler);
        Ex_ObjSetTimer(m_object, interval);
    }
    ~ReferenceTimer() { Ex_ObjDestroy(m_object); }
    ReferenceTimer(const ReferenceTimer&) = delete;
    ReferenceTimer& operator=(const ReferenceTimer&) = delete;

    // Serves events until it has ticked count more times.
    bool RunTicks(int count) const {
        int target = g_ticks[m_object] + count;
        return inject::RunEventsUntil([&] { return g_ticks[m_object] >= target; });
    }

  private:
    ExHandle m_object = 0;
};

TEST(Timer, TicksRaiseTheTimerNotificationUntilStopped) {
    TestWindow win(100, 100);
    ExHandle label =
        Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 0, 0, 10, 10, win.Surface(), 0, -1, 0, 0, nullptr);
    Ex_ObjHandleEvent(label, EX_NM_TIMER, &TickHandler);
    g_ticks.clear();
    ASSERT_TRUE(Ex_ObjSetTimer(label, 10));
    ASSERT_TRUE(inject::RunEventsUntil([&] { return g_ticks[label] >= 3; }));
    Ex_ObjKillTimer(label);
    int stopped = g_ticks[label];
    // A timer left running at 10 ms would tick while the reference ticks
    // five times at the same interval.
    ReferenceTimer reference(win.Surface(), 10);
    ASSERT_TRUE(reference.RunTicks(5));
    EXPECT_EQ(g_ticks[label], stopped);
    // A destroyed object's timer ends with it.
    Ex_ObjSetTimer(label, 5);
    Ex_ObjDestroy(label);
    int atDestroy = g_ticks[label];
    ASSERT_TRUE(reference.RunTicks(5));
    EXPECT_EQ(g_ticks[label], atDestroy);
}

struct Step {
    double progress;
    double current;
};
std::vector<Step> g_steps;

intptr_t EasingHandler(ExHandle, int32_t, int32_t code, intptr_t, intptr_t lParam) {
    if (code == EX_NM_EASING) {
        auto* info = reinterpret_cast<const ExEasingInfo*>(lParam);
        g_steps.push_back({info->progress, info->current});
    }
    return 0;
}

TEST(Easing, StepsFromStartToStopAndEndsAtProgressOne) {
    TestWindow win(100, 100);
    ExHandle bar =
        Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 0, 0, 10, 10, win.Surface(), 0, -1, 0, 0, nullptr);
    Ex_ObjHandleEvent(bar, EX_NM_EASING, &EasingHandler);
    g_steps.clear();
    // The selector's animation: curve 6, 100 ms, mode 0x189, a step every 10 ms.
    ExHandle easing = _easing_create(6, nullptr, 0x189, bar, 100, 10, 0, 100, 300, 0, 0, 0, 0);
    ASSERT_NE(easing, 0);
    ASSERT_TRUE(inject::RunEventsUntil(
        [] { return !g_steps.empty() && g_steps.back().progress >= 1.0; }, 3000));
    EXPECT_GE(g_steps.size(), 2u);
    EXPECT_EQ(g_steps.back().current, 300.0);
    for (size_t i = 1; i < g_steps.size(); ++i) {
        EXPECT_GE(g_steps[i].progress, g_steps[i - 1].progress);
        EXPECT_GE(g_steps[i].current, g_steps[i - 1].current);    // out-cubic never turns back
        EXPECT_LT(static_cast<int>(g_steps[i - 1].progress), 1);  // truncated: 0 until the end
    }
    size_t count = g_steps.size();
    ReferenceTimer reference(win.Surface(), 10);
    ASSERT_TRUE(reference.RunTicks(5));
    EXPECT_EQ(g_steps.size(), count);         // single run: no more steps
    EXPECT_EQ(_easing_isrunning(easing), 0);  // and released (0x80)
    EXPECT_EQ(_easing_destroy(easing), 0);
}

TEST(Easing, DestroyStopsARepeatingAnimation) {
    TestWindow win(100, 100);
    ExHandle bar =
        Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 0, 0, 10, 10, win.Surface(), 0, -1, 0, 0, nullptr);
    Ex_ObjHandleEvent(bar, EX_NM_EASING, &EasingHandler);
    g_steps.clear();
    ExHandle easing =
        _easing_create(0, nullptr, EX_ES_DISPATCHNOTIFY, bar, 20, 5, 0, 0, 10, 0, 0, 0, 0);
    ASSERT_TRUE(inject::RunEventsUntil([] { return g_steps.size() >= 8; }));
    EXPECT_EQ(_easing_isrunning(easing), 1);
    EXPECT_EQ(_easing_destroy(easing), 1);
    size_t count = g_steps.size();
    ReferenceTimer reference(win.Surface(), 5);
    ASSERT_TRUE(reference.RunTicks(5));
    EXPECT_EQ(g_steps.size(), count);
}

}  // namespace
}  // namespace exdui::test
