// The event loop, the wake and the timers of the Win32 back end, as the
// library uses them: from the thread's message queue, nested loops included.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "backend/event_loop.h"
#include "backend/timer.h"

namespace exdui::backend {
namespace {

// Runs events until done holds; false after five seconds without it.
bool RunUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 500 && !done(); ++i) {
        RunEvents(10);
    }
    return done();
}

class Win32Loop : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartApplication()); }
};

TEST_F(Win32Loop, TimersFireAsStartedAndStopWhenAsked) {
    struct Case {
        bool singleShot;
        bool stopInCallback;
        int firesWanted;
    };
    for (const Case c : {Case{true, false, 1}, Case{false, true, 3}}) {
        int fires = 0;
        std::unique_ptr<Timer> timer;
        timer = MakeTimer([&] {
            if (++fires == c.firesWanted && c.stopInCallback) {
                timer->Stop();
            }
        });
        timer->Start(1, c.singleShot);
        EXPECT_TRUE(timer->IsActive());
        ASSERT_TRUE(RunUntil([&] { return !timer->IsActive(); })) << c.singleShot;
        RunEvents(30);  // nothing fires once stopped
        EXPECT_EQ(fires, c.firesWanted) << c.singleShot;
    }
}

TEST_F(Win32Loop, TimerDestroyedFromItsOwnCallbackFiresNoMore) {
    int fires = 0;
    std::unique_ptr<Timer> timer;
    timer = MakeTimer([&] {
        ++fires;
        timer.reset();
    });
    timer->Start(1);
    ASSERT_TRUE(RunUntil([&] { return timer == nullptr; }));
    RunEvents(30);
    EXPECT_EQ(fires, 1);
}

TEST_F(Win32Loop, WakeFromAnotherThreadReachesANestedLoop) {
    int wakes = 0;
    std::unique_ptr<Wake> wake = MakeWake([&] {
        ++wakes;
        QuitLoops();
    });
    // A loop inside a timer's callback, as a message box runs one inside an
    // event: the worker's wake reaches it and ends it, and the outer loop.
    std::unique_ptr<Timer> timer = MakeTimer([&] {
        wake->Prepare();
        std::thread([&] { wake->Post(); }).join();
        RunLoop();
    });
    timer->Start(1, true);
    RunLoop();
    EXPECT_EQ(wakes, 1);
}

TEST_F(Win32Loop, WakeDestroyedWithAPostInFlightDropsIt) {
    int wakes = 0;
    std::unique_ptr<Wake> wake = MakeWake([&] { ++wakes; });
    std::unique_ptr<Wake> other = MakeWake([&] { QuitLoops(); });
    wake->Post();
    wake.reset();
    other->Post();
    RunLoop();
    EXPECT_EQ(wakes, 0);
}

TEST_F(Win32Loop, QuitLoopsEndsOnlyTheLoopsRunningThen) {
    std::vector<int> ended;
    std::unique_ptr<Timer> later;
    std::unique_ptr<Timer> quit = MakeTimer([&] {
        QuitLoops();
        // A loop started after the quit runs on until the next one.
        later->Start(1, true);
        RunLoop();
        ended.push_back(2);
    });
    later = MakeTimer([&] {
        ended.push_back(3);
        QuitLoops();
    });
    quit->Start(1, true);
    RunLoop();
    ended.push_back(1);
    EXPECT_EQ(ended, (std::vector<int>{3, 2, 1}));
}

}  // namespace
}  // namespace exdui::backend
