// The end of the library, in a process of its own. Workers that still call
// in when the main window is gone, and after Ex_UnInit, get 0 at once: they
// never wait for a UI thread that no longer serves them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "exdui_env.h"

namespace exdui::test {
namespace {

ExHandle g_label = 0;
std::atomic<size_t> g_lengthAtDestroy{0};
std::atomic<int> g_servedWhileRunning{0};

intptr_t MainProc(ExHandle, ExHandle, int32_t message, intptr_t, intptr_t, intptr_t*) {
    if (message == EX_WM_DESTROY) {
        // The settings are saved here: the objects must still answer.
        g_lengthAtDestroy = Ex_ObjGetTextLength(g_label);
    }
    return 0;
}

// The window closes once the workers have been served for a while, so that
// calls are in flight on every side of the end of the loop.
intptr_t CloseWhenServed(ExHandle object, int32_t, int32_t, intptr_t, intptr_t) {
    if (g_servedWhileRunning.load() >= 30) {
        Ex_ObjKillTimer(object);
        Ex_WndPostMessage(Ex_DUIGetWindow(Ex_ObjGetParent(object)), EX_WM_CLOSE, 0, 0);
    }
    return 0;
}

// Counts workers that have finished. The UI thread waits on it without
// serving events: the calls under test must not need them.
class Finished {
  public:
    void Add() {
        std::lock_guard lock(m_mu);
        ++m_count;
        m_cv.notify_all();
    }
    // False when target is not reached within timeoutMs, which only turns a
    // hang into a failure.
    bool WaitFor(int target, int timeoutMs) {
        std::unique_lock lock(m_mu);
        return m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return m_count >= target; });
    }

  private:
    std::mutex m_mu;
    std::condition_variable m_cv;
    int m_count = 0;  // Under m_mu.
};

TEST(Shutdown, WorkersGetZeroAtOnceOnceTheMainWindowIsGone) {
    ExHandle window = Ex_WndCreate(0, nullptr, u"澄镜文件极速搜索工具", 0, 0, 400, 300, 0, 0);
    ExHandle surface = Ex_DUIBindWindowEx(window, nullptr, 0x70C07, 0, &MainProc);
    ASSERT_NE(surface, 0);
    g_label = Ex_ObjCreateEx(-1, u"STATIC", u"找到：0个文件", -1, 0, 0, 200, 20, surface, 0, -1, 0,
                             0, nullptr);
    ExHandle bar =
        Ex_ObjCreateEx(-1, u"progressBar", u"", -1, 0, 30, 200, 5, surface, 0, -1, 0, 0, nullptr);
    Ex_DUIShowWindow(surface, 5, 0, 0, 0);

    std::atomic<bool> loopEnded{false};
    Finished finished;
    std::atomic<int> nonZeroAfterEnd{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 3; ++t) {
        workers.emplace_back([&] {
            while (!loopEnded) {
                Ex_ObjSetText(g_label, u"找到：1 个文件", 1);
                Ex_ObjSendMessage(bar, EX_PBM_SETPOS, 1, 30);
                if (Ex_ObjGetTextLength(g_label) > 0) {
                    ++g_servedWhileRunning;
                }
            }
            for (int i = 0; i < 200; ++i) {
                nonZeroAfterEnd += Ex_ObjGetTextLength(g_label) != 0 ? 1 : 0;
                nonZeroAfterEnd += Ex_ObjSendMessage(bar, EX_PBM_GETPOS, 0, 0) != 0 ? 1 : 0;
                nonZeroAfterEnd += Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 0, 0, 1, 1, surface, 0,
                                                  -1, 0, 0, nullptr) != 0
                                       ? 1
                                       : 0;
                Ex_ObjSetText(g_label, u"x", 1);
            }
            finished.Add();
        });
    }
    ExHandle closer =
        Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 0, 40, 1, 1, surface, 0, -1, 0, 0, nullptr);
    Ex_ObjHandleEvent(closer, EX_NM_TIMER, &CloseWhenServed);
    Ex_ObjSetTimer(closer, 1);
    Ex_WndMsgLoop();  // returns once the main window is destroyed
    loopEnded = true;
    EXPECT_GT(g_lengthAtDestroy.load(), 0u);
    bool allDone = finished.WaitFor(3, 10000);
    EXPECT_TRUE(allDone) << "a worker hung in a call after the loop ended";
    for (auto& w : workers) {
        if (allDone) {
            w.join();
        } else {
            w.detach();
        }
    }
    EXPECT_EQ(nonZeroAfterEnd.load(), 0);

    // After Ex_UnInit every call, from any thread, returns 0.
    EXPECT_EQ(Ex_UnInit(), 1);
    EXPECT_EQ(Ex_ObjGetTextLength(g_label), 0u);
    EXPECT_EQ(Ex_WndCreate(0, nullptr, u"", 0, 0, 10, 10, 0, 0), 0);
    std::atomic<int> late{0};
    std::thread after([&] {
        late += Ex_ObjSetText(g_label, u"y", 1);
        late += static_cast<int>(Ex_ObjGetTextLength(g_label));
        late += Ex_WndPostMessage(window, EX_WM_CLOSE, 0, 0);
        finished.Add();
    });
    bool lateDone = finished.WaitFor(4, 10000);
    EXPECT_TRUE(lateDone) << "a call after Ex_UnInit waited";
    if (lateDone) {
        after.join();
    } else {
        after.detach();
    }
    EXPECT_EQ(late.load(), 0);
}

}  // namespace
}  // namespace exdui::test
