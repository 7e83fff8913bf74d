#include "ui/event_inbox.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace cj::ui {
namespace {

struct Event {
    std::string what;
};

std::vector<std::string> Names(const std::vector<Event>& events) {
    std::vector<std::string> names;
    for (const Event& e : events) {
        names.push_back(e.what);
    }
    return names;
}

TEST(EventInbox, AsksForOneMessageUntilTheWindowTakesTheEvents) {
    int wakes = 0;
    EventInbox<Event> inbox([&] {
        ++wakes;
        return true;
    });
    inbox.Post({"a"});
    inbox.Post({"b"});
    EXPECT_EQ(wakes, 1) << "one message on its way is enough";
    EXPECT_EQ(Names(inbox.Take()), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(inbox.Take().empty());
    inbox.Post({"c"});
    EXPECT_EQ(wakes, 2);
}

TEST(EventInbox, ProgressKeepsOnlyItsLatestValueBehindWhatCameBefore) {
    EventInbox<Event> inbox([] { return true; });
    inbox.Post({"progress 1"}, 7);
    inbox.Post({"other job ended"});
    inbox.Post({"progress 2"}, 7);
    inbox.Post({"another job's progress"}, 8);
    inbox.Post({"progress 3"}, 7);
    // The newest value of key 7 is applied after everything posted before it.
    EXPECT_EQ(Names(inbox.Take()), (std::vector<std::string>{
                                       "other job ended", "another job's progress", "progress 3"}));
}

TEST(EventInbox, EventsWaitForAWindowAndAreNotLost) {
    bool window = false;
    int wakes = 0;
    EventInbox<Event> inbox([&] {
        wakes += window ? 1 : 0;
        return window;
    });
    inbox.Post({"early"});
    EXPECT_EQ(wakes, 0);
    window = true;
    inbox.Rearm();
    EXPECT_EQ(wakes, 1);
    inbox.Rearm();
    EXPECT_EQ(wakes, 1) << "a message is already on its way";
    EXPECT_EQ(Names(inbox.Take()), std::vector<std::string>{"early"});
    inbox.Rearm();
    EXPECT_EQ(wakes, 1) << "nothing waits";
}

TEST(EventInbox, WorkersPostingAtOnceLoseNothing) {
    EventInbox<Event> inbox([] { return true; });
    constexpr int PerWorker = 2000;
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w) {
        workers.emplace_back([&inbox, w] {
            for (int i = 0; i < PerWorker; ++i) {
                inbox.Post({std::to_string(w)});
            }
        });
    }
    std::size_t taken = 0;
    while (taken < 4 * PerWorker) {
        taken += inbox.Take().size();
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    EXPECT_EQ(taken + inbox.Take().size(), 4u * PerWorker);
}

}  // namespace
}  // namespace cj::ui
