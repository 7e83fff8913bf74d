// Numbers the runs of a long job so that the window can tell a current job's
// reports from the late reports of one it has already replaced.
//
// Every job the window starts (a search, a refresh, and the copy jobs) takes
// the next number of its own counter when it starts; the worker hands that
// number back with every report, and the window applies a report only while
// its number is the one it started last. Numbers start at 1; 0 means "no job".
#pragma once

#include <atomic>
#include <cstdint>

namespace cj::core {

using JobGeneration = std::uint64_t;

class GenerationCounter {
  public:
    // The number of a job that starts now. Any thread.
    JobGeneration Next() { return m_last.fetch_add(1, std::memory_order_relaxed) + 1; }

  private:
    std::atomic<JobGeneration> m_last{0};
};

}  // namespace cj::core
