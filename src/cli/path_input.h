// The paths of chengjing-cli copy's standard input, read on a thread of their
// own while the copy runs, so that a list of any length is copied as it comes
// through a bounded buffer instead of being read whole first.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace cj::cli {

// Longest path line taken, in bytes without the line end. Linux paths stop at
// 4,096 bytes; a Windows path of 32,767 UTF-16 units is up to 98,301 bytes in
// GBK or UTF-8, but no file a clerk copies has one past 65,536.
inline constexpr std::size_t MaxPathLine = 65536;

enum class LineProblem {
    None,
    NulByte,  // A path cannot hold one: the text around it is no path.
    TooLong,  // Over MaxPathLine; only its start is kept, to name it.
};

// One non-empty line of the input.
struct PathLine {
    std::size_t number = 0;  // From 1, counting empty lines too.
    std::string path;        // Without its line end (LF or CR LF).
    LineProblem problem = LineProblem::None;
};

// Reads lines of in on its own thread, a UTF-8 byte order mark at the very
// start dropped and empty lines left out, and hands them on in order. At most
// QueueBytes of paths wait at a time; the reader waits while they do.
class PathInput {
  public:
    explicit PathInput(std::FILE* in);
    // Waits for a reader that has reached the end of its input; one still
    // reading (blocked on a terminal, or a pipe that goes on) is left to run
    // until the process ends, taking nothing more.
    ~PathInput();
    PathInput(const PathInput&) = delete;
    PathInput& operator=(const PathInput&) = delete;

    // Waits for at least one line, then moves every waiting line into out, up
    // to MaxTake; false when the input has ended and nothing waits, or once
    // stop is set (a signal handler's flag, looked at every 50 ms while the
    // input is quiet).
    bool Take(std::vector<PathLine>& out, const std::atomic<bool>& stop);
    // The lines waiting now (none are taken once this is called).
    std::size_t Abandon();
    // Why reading stopped before the end, once Take has returned false.
    std::error_code Error() const;

    static constexpr std::size_t QueueBytes = 1 << 20;
    static constexpr std::size_t MaxTake = 1024;

  private:
    // Shared by the reader and the taker; the reader keeps it alive when it
    // is left to run on.
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<PathLine> lines;  // Under mutex.
        std::size_t bytes = 0;       // Of lines' paths; under mutex.
        bool ended = false;          // The reader is done; under mutex.
        bool abandoned = false;      // Nobody takes any more; under mutex.
        std::error_code error;       // Under mutex.
    };

    static void Read(std::FILE* in, const std::shared_ptr<Shared>& shared);

    std::shared_ptr<Shared> m_shared;
    std::thread m_reader;
};

}  // namespace cj::cli
