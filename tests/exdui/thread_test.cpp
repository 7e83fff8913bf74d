// Calls from worker threads while the UI thread runs its events: they are
// carried out on the UI thread, in the order each worker made them; setters
// of high-rate values keep only the latest; a handle destroyed meanwhile
// only misses; a worker's message box holds no other worker back.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "exdui_env.h"

namespace exdui::test {
namespace {

std::thread::id g_uiThread;
std::atomic<int> g_onOtherThread{0};
std::atomic<int> g_positionsApplied{0};
ExClassProc g_baseBar = nullptr;

intptr_t ThreadCheckingProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                            intptr_t lParam) {
    if (std::this_thread::get_id() != g_uiThread) {
        ++g_onOtherThread;
    }
    if (message == EX_PBM_SETPOS) {
        ++g_positionsApplied;
    }
    return Ex_ObjCallProc(g_baseBar, window, object, message, wParam, lParam);
}

ExHandle CheckedBar(ExHandle parent) {
    static bool registered = false;
    if (!registered) {
        ExClassInfo info{};
        Ex_ObjGetClassInfoEx(u"progressBar", &info);
        g_baseBar = info.proc;
        Ex_ObjRegister(u"ThreadBar", info.style, info.styleEx, info.textFormat, 0, info.cursor,
                       info.flags, &ThreadCheckingProc);
        registered = true;
    }
    g_uiThread = std::this_thread::get_id();
    return Ex_ObjCreateEx(-1, u"ThreadBar", u"", -1, 0, 0, 100, 10, parent, 0, -1, 0, 0, nullptr);
}

TEST(Threads, WorkerCallsRunOnTheUiThreadInTheWorkersOrder) {
    TestWindow win(300, 100);
    ExHandle bar = CheckedBar(win.Surface());
    ExHandle label =
        Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 0, 20, 200, 20, win.Surface(), 0, -1, 0, 0, nullptr);
    Ex_ObjSendMessage(bar, EX_PBM_SETRANGE, 1, 1000000);
    g_onOtherThread = 0;
    std::atomic<bool> done{false};
    std::atomic<int> mismatches{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 3; ++t) {
        workers.emplace_back([&, t] {
            for (int i = 1; i <= 300; ++i) {
                Ex_ObjSendMessage(bar, EX_PBM_SETPOS, 1, i);
                if (t == 0) {
                    // A worker reads back what it set: its own calls keep their order.
                    std::u16string text =
                        u"第" + std::u16string(static_cast<size_t>(i % 7 + 1), u'x');
                    Ex_ObjSetText(label, text.c_str(), 1);
                    if (Ex_ObjGetTextLength(label) != text.size()) {
                        ++mismatches;
                    }
                }
                Ex_ObjMove(label, i % 50, EX_KEEP, EX_KEEP, EX_KEEP, 1);
            }
        });
    }
    std::thread joiner([&] {
        for (auto& w : workers) {
            w.join();
        }
        done = true;
    });
    ASSERT_TRUE(inject::RunEventsUntil([&] { return done.load(); }, 60000));
    joiner.join();
    inject::RunEvents(5);
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_EQ(g_onOtherThread.load(), 0);
    EXPECT_EQ(Ex_ObjSendMessage(bar, EX_PBM_GETPOS, 0, 0), 300);
}

TEST(Threads, ProgressFromAWorkerKeepsOnlyTheLatestPosition) {
    TestWindow win(300, 100);
    ExHandle bar = CheckedBar(win.Surface());
    Ex_ObjSendMessage(bar, EX_PBM_SETRANGE, 1, 100000);
    g_positionsApplied = 0;
    // The UI thread serves no events while the worker posts: every position
    // but the last is replaced before it is applied. Posting never waits, so
    // joining here cannot hang.
    std::thread worker([&] {
        for (int i = 1; i <= 5000; ++i) {
            EXPECT_EQ(Ex_ObjSendMessage(bar, EX_PBM_SETPOS, 1, i), 1);
        }
    });
    worker.join();
    ASSERT_TRUE(inject::RunEventsUntil(
        [&] { return Ex_ObjSendMessage(bar, EX_PBM_GETPOS, 0, 0) == 5000; }));
    EXPECT_EQ(g_positionsApplied.load(), 1);
}

TEST(Threads, CallsOnAnObjectDestroyedMeanwhileOnlyMiss) {
    TestWindow win(300, 100);
    ExHandle label =
        Ex_ObjCreateEx(-1, u"STATIC", u"x", -1, 0, 0, 100, 20, win.Surface(), 0, -1, 0, 0, nullptr);
    std::atomic<bool> stop{false};
    std::atomic<bool> destroyed{false};
    std::atomic<int> roundsBefore{0};
    std::atomic<int> answeredBefore{0};
    std::atomic<int> roundsAfter{0};
    std::atomic<int> answeredAfter{0};
    std::thread worker([&] {
        while (!stop) {
            bool gone = destroyed.load();
            int ok = Ex_ObjSetText(label, u"abc", 1) +
                     static_cast<int>(Ex_ObjGetTextLength(label)) +
                     Ex_ObjMove(label, 1, 1, 10, 10, 1) + Ex_ObjShow(label, 1);
            ++(gone ? roundsAfter : roundsBefore);
            if (ok != 0) {
                ++(gone ? answeredAfter : answeredBefore);
            }
        }
    });
    // Enough rounds on either side of the destruction that a call reaching
    // the dead object would be seen.
    ASSERT_TRUE(inject::RunEventsUntil([&] { return roundsBefore.load() >= 20; }));
    Ex_ObjDestroy(label);
    destroyed = true;
    EXPECT_TRUE(inject::RunEventsUntil([&] { return roundsAfter.load() >= 20; }));
    stop = true;
    // The worker may be waiting for a getter: serve events until it ends.
    std::atomic<bool> joined{false};
    std::thread joiner([&] {
        worker.join();
        joined = true;
    });
    ASSERT_TRUE(inject::RunEventsUntil([&] { return joined.load(); }));
    joiner.join();
    EXPECT_GT(answeredBefore.load(), 0);
    EXPECT_EQ(answeredAfter.load(), 0);
}

TEST(Threads, AWorkersMessageBoxDoesNotHoldBackOtherWorkersCalls) {
    // A worker asks a question in a message box, whose loop runs inside the
    // worker's call on the UI thread. Another worker's status update and
    // read-back used to wait until the box was closed.
    TestWindow win(300, 100);
    ExHandle label =
        Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 0, 0, 200, 20, win.Surface(), 0, -1, 0, 0, nullptr);
    std::atomic<size_t> lengthRead{0};
    std::atomic<bool> readerReturned{false};
    bool readerReturnedWhileOpen = false;  // UI thread only.
    std::thread reader;
    // The box stands open, serving events as a real one does, until the
    // other worker's calls have returned (or long enough to fail instead of
    // hanging).
    inject::SetMessageBoxAnswer([&](ExHandle, std::u16string_view, std::u16string_view, uint32_t) {
        reader = std::thread([&] {
            Ex_ObjSetText(label, u"正在复制", 1);
            lengthRead = Ex_ObjGetTextLength(label);
            readerReturned = true;
        });
        readerReturnedWhileOpen =
            inject::RunEventsUntil([&] { return readerReturned.load(); }, 20000);
        return EX_IDCANCEL;
    });
    std::atomic<int32_t> answer{-1};
    std::thread asker([&] {
        answer = Ex_MessageBox(win.Surface(), u"是否停止复制？", u"提示", EX_MB_OKCANCEL, 0);
    });
    ASSERT_TRUE(inject::RunEventsUntil([&] { return answer.load() != -1 && readerReturned.load(); },
                                       60000));
    inject::SetMessageBoxAnswer({});
    asker.join();
    reader.join();
    EXPECT_TRUE(readerReturnedWhileOpen) << "the reader's calls waited for the box to close";
    EXPECT_EQ(answer.load(), EX_IDCANCEL);
    EXPECT_EQ(lengthRead.load(), 4u);
}

}  // namespace
}  // namespace exdui::test
