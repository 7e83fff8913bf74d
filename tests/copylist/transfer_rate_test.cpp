#include "copylist/transfer_rate.h"

#include <gtest/gtest.h>

namespace cj::copylist {
namespace {

using namespace std::chrono_literals;

TEST(TransferRate, SpeedIsOverTheLastSecondsAndTimeLeftFollowsIt) {
    TransferRate rate;
    const TransferRate::Clock::time_point start{};
    rate.Add(start, 0);
    EXPECT_FALSE(rate.BytesPerSecond()) << "one sample is no speed";
    rate.Add(start + 100ms, 50'000'000);
    EXPECT_FALSE(rate.SecondsLeft(1)) << "too short a span";

    // 100 MB/s for ten seconds, then a stick that takes 10 MB/s: within the
    // window the figure is the slow one's.
    for (int s = 1; s <= 10; ++s) {
        rate.Add(start + std::chrono::seconds(s), std::uint64_t(s) * 100'000'000);
    }
    EXPECT_DOUBLE_EQ(*rate.BytesPerSecond(), 100'000'000.0);
    EXPECT_EQ(rate.SecondsLeft(250'000'000), 3u) << "rounded up";
    for (int s = 11; s <= 16; ++s) {
        rate.Add(start + std::chrono::seconds(s),
                 1'000'000'000 + std::uint64_t(s - 10) * 10'000'000);
    }
    EXPECT_NEAR(*rate.BytesPerSecond(), 10'000'000.0, 1.0);

    // Stalled: no speed, no time left to promise.
    for (int s = 17; s <= 30; ++s) {
        rate.Add(start + std::chrono::seconds(s), 1'060'000'000);
    }
    EXPECT_EQ(*rate.BytesPerSecond(), 0.0);
    EXPECT_FALSE(rate.SecondsLeft(1));
}

}  // namespace
}  // namespace cj::copylist
