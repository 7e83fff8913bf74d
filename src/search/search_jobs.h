// The start and stop rules that the single search and the batch share: a
// search runs only while nothing else does (core::EngineActivity), a start
// during a search becomes a stop request instead, and each search reports
// from a collector thread of its own.
#pragma once

#include <functional>
#include <thread>

#include "core/engine_activity.h"
#include "core/job_generation.h"

namespace cj::search {

class SearchJobs {
  public:
    explicit SearchJobs(core::EngineActivity& activity) : m_activity(activity) {}
    // Asks a running search to stop and waits for this object's collector.
    ~SearchJobs();
    SearchJobs(const SearchJobs&) = delete;
    SearchJobs& operator=(const SearchJobs&) = delete;

    // The collector of a started search, on its own thread: given the
    // search's generation and its shard count (1..MaxThreadCount, or 0 for
    // anything outside: the stored count, which the search reads with the
    // counts under the index lock), it must end the search in the activity
    // before it reports, so that the next search may start then.
    using Collector = std::function<void(core::JobGeneration generation, int shardCount)>;
    // Called on the starting thread when no collector thread could be made,
    // after the search has been ended: it reports the failed start.
    using Failed = std::function<void(core::JobGeneration generation)>;

    // On the window's thread. During a refresh nothing happens
    // (RefreshRunning); during a search the start becomes a stop request
    // (SearchRunning). Otherwise collect runs on a new thread and the call
    // returns at once with the search's generation.
    core::JobStart Start(int shardCount, Collector collect, const Failed& failed);

    // Waits until this object's last collector has finished. For tests and
    // the command line: the window never waits on a worker.
    void Wait();

  private:
    core::EngineActivity& m_activity;
    core::GenerationCounter m_generations;
    std::thread m_collector;  // The last search's collector. Used by the starting thread only.
};

}  // namespace cj::search
