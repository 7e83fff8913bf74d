// The speed of a copy over the last few seconds, for the progress window's
// "MB/s" and time left. Fed with the bytes written so far at the moments the
// window hears of them; any thread, but one at a time.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>

namespace cj::copylist {

class TransferRate {
  public:
    using Clock = std::chrono::steady_clock;

    // Measured over this much time: long enough that one slow chunk does not
    // halve the figure, short enough that a slower stick shows within seconds.
    static constexpr std::chrono::seconds Window{5};
    // A speed over less than this is no speed yet.
    static constexpr std::chrono::milliseconds Shortest{500};

    // bytes: what the job has written in all at `at` (never less than before).
    void Add(Clock::time_point at, std::uint64_t bytes);
    // Bytes a second over the window; nothing until samples span Shortest.
    std::optional<double> BytesPerSecond() const;
    // Seconds until remaining bytes are written at that speed; nothing while
    // the speed is unknown or 0.
    std::optional<std::uint64_t> SecondsLeft(std::uint64_t remaining) const;

  private:
    struct Sample {
        Clock::time_point at;
        std::uint64_t bytes;
    };
    std::deque<Sample> m_samples;  // Oldest first, spanning at most Window and one more.
};

}  // namespace cj::copylist
