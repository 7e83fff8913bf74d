// The cross-thread queue on its own, under a bare QCoreApplication: the order
// in which workers' calls are carried out, coalesced values, calls that open
// their own event loop, and shutdown while workers wait.
#include "marshal.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace exdui::marshal {
namespace {

// Long enough never to end a healthy test; it only turns a hang into a failure.
constexpr int HangGuardMs = 20000;

class MarshalTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "marshal_test";
            static char* argv[] = {name, nullptr};
            new QCoreApplication(argc, argv);  // Kept for the whole run.
        }
    }
    void SetUp() override { Start(); }
    void TearDown() override { Stop(); }

    // Runs the UI thread's events until loop.quit(); false when the guard
    // ended it instead.
    static bool RunUntilQuit(QEventLoop& loop, int guardMs = HangGuardMs) {
        bool guardFired = false;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, [&] {
            guardFired = true;
            loop.quit();
        });
        guard.start(guardMs);
        loop.exec();
        return !guardFired;
    }

    // Runs the UI thread's events until every call queued so far has run.
    static bool RunQueued() {
        QEventLoop loop;
        EXPECT_TRUE(Post([&loop] { loop.quit(); }));
        return RunUntilQuit(loop);
    }
};

TEST_F(MarshalTest, CoalescedValueIsAppliedAfterEveryCallMadeBeforeItsLatestPost) {
    // A progress value replaced in its first place in the queue used to be
    // applied before calls the worker made ahead of the final value, so the
    // UI thread saw "done" before the steps that led to it.
    std::vector<std::string> seen;  // UI thread only.
    auto log = [&seen](std::string what) { return [&seen, what] { seen.push_back(what); }; };
    // Posting never waits, so the worker can run to its end before the UI
    // thread serves anything.
    std::thread worker([&] {
        Post(log("a1"));
        PostLatest(7, 1, log("progress 1"));
        Post(log("a2"));
        PostLatest(7, 2, log("text 1"));
        PostLatest(7, 1, log("progress 2"));
        Post(log("a3"));
        PostLatest(7, 2, log("text 2"));
        PostLatest(8, 1, log("other 1"));
    });
    worker.join();
    ASSERT_TRUE(RunQueued());
    EXPECT_EQ(seen,
              (std::vector<std::string>{"a1", "a2", "progress 2", "a3", "text 2", "other 1"}));

    // Once applied, the next value takes a new place of its own.
    seen.clear();
    std::thread later([&] {
        PostLatest(7, 1, log("progress 3"));
        Post(log("a4"));
    });
    later.join();
    ASSERT_TRUE(RunQueued());
    EXPECT_EQ(seen, (std::vector<std::string>{"progress 3", "a4"}));
}

TEST_F(MarshalTest, ANestedEventLoopKeepsServingOtherWorkersCalls) {
    // A worker's message box runs its own event loop inside the call. Other
    // workers' calls used to wait until it closed, because the wake-up was
    // re-armed only once the whole batch had run.
    QEventLoop* modal = nullptr;  // UI thread only: set while the "box" is open.
    std::atomic<bool> servedWhileOpen{false};
    std::atomic<bool> otherReturned{false};
    std::thread other;
    QEventLoop outer;
    std::thread asker([&] {
        bool ran = CallBlocking([&] {
            QEventLoop box;
            modal = &box;
            other = std::thread([&] {
                bool ok = CallBlocking([&] { servedWhileOpen = modal != nullptr; });
                otherReturned = ok;
                // The test closes the box once the other call has returned.
                Post([&] {
                    if (modal != nullptr) {
                        modal->quit();
                    }
                });
            });
            // Without the fix the box never sees the other call: close it
            // after the guard so that the test fails instead of hanging.
            QTimer::singleShot(HangGuardMs, &box, &QEventLoop::quit);
            box.exec();
            modal = nullptr;
        });
        EXPECT_TRUE(ran);
        Post([&] { outer.quit(); });
    });
    // The box's own guard ends it first.
    EXPECT_TRUE(RunUntilQuit(outer, 2 * HangGuardMs));
    asker.join();
    other.join();
    EXPECT_TRUE(otherReturned.load());
    EXPECT_TRUE(servedWhileOpen.load()) << "the other worker's call waited for the box to close";
}

TEST_F(MarshalTest, AFloodOfCallsLetsTheUiThreadsOwnEventsIn) {
    // Each call queues the next one. A drain that ran until the queue was
    // empty would run the whole chain before the UI thread's own event.
    constexpr int Chain = 200;
    int ran = 0;                // UI thread only.
    int ranWhenEventCame = -1;  // UI thread only.
    QObject probe;
    QEventLoop loop;
    std::function<void()> step = [&] {
        if (++ran == 1) {
            QTimer::singleShot(0, &probe, [&] { ranWhenEventCame = ran; });
        }
        if (ran < Chain) {
            Post(step);
        } else {
            loop.quit();
        }
    };
    std::thread worker([&] { Post(step); });
    worker.join();
    ASSERT_TRUE(RunUntilQuit(loop));
    EXPECT_EQ(ran, Chain);
    EXPECT_GT(ranWhenEventCame, 0);
    EXPECT_LT(ranWhenEventCame, Chain);
}

TEST_F(MarshalTest, ShutdownWakesAWorkerWaitingWhileTheUiThreadIsBusy) {
    std::atomic<bool> ran{false};
    std::promise<bool> result;
    std::future<bool> returned = result.get_future();
    std::thread worker([&] { result.set_value(CallBlocking([&] { ran = true; })); });
    // The UI thread is busy (it serves no events) until the worker's call
    // is queued, then shutdown begins.
    auto guard = std::chrono::steady_clock::now() + std::chrono::milliseconds(HangGuardMs);
    while (QueuedCount() == 0 && std::chrono::steady_clock::now() < guard) {
        std::this_thread::yield();
    }
    ASSERT_EQ(QueuedCount(), 1u);
    BeginShutdown();
    bool woken =
        returned.wait_for(std::chrono::milliseconds(HangGuardMs)) == std::future_status::ready;
    EXPECT_TRUE(woken) << "the waiting worker was not woken by the shutdown";
    if (!woken) {
        worker.detach();
        return;
    }
    worker.join();
    EXPECT_FALSE(returned.get());
    // The dropped call refers to the worker's stack: it must never run.
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran.load());
    EXPECT_EQ(QueuedCount(), 0u);
    // Calls made from now on return at once.
    std::thread late([&] {
        EXPECT_FALSE(CallBlocking([&] { ran = true; }));
        EXPECT_FALSE(Post([&] { ran = true; }));
        EXPECT_FALSE(PostLatest(1, 1, [&] { ran = true; }));
    });
    late.join();
    EXPECT_FALSE(ran.load());
}

TEST_F(MarshalTest, ACallMadeOnTheUiThreadRunsAtOnce) {
    // Waiting for the UI thread on the UI thread would never end.
    bool ran = false;
    EXPECT_TRUE(CallBlocking([&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_EQ(Call([] { return 42; }, 0), 42);
}

TEST_F(MarshalTest, AFailingCallDoesNotStopTheQueue) {
    std::vector<int> seen;
    std::thread worker([&] {
        Post([] { throw std::runtime_error("failing call"); });
        Post([&] { seen.push_back(1); });
        EXPECT_EQ(Call([]() -> int { throw std::runtime_error("failing getter"); }, -1), -1);
        Post([&] { seen.push_back(2); });
    });
    // The worker waits on its getter: serve events meanwhile.
    QEventLoop loop;
    std::thread joiner([&] {
        worker.join();
        Post([&] { loop.quit(); });
    });
    EXPECT_TRUE(RunUntilQuit(loop));
    joiner.join();
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace exdui::marshal
