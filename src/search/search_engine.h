// The search as the window runs it: start and stop rules, one worker per
// shard and a collector that builds the rows and reports the outcome.
//
// The engine never touches the window. Start runs on the window's thread and
// says at once whether the search started, with its generation; the
// collector reports the end once, from its own thread, through
// SearchListener. The window applies that report on its own thread and drops
// it when a newer search has started since.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/engine_activity.h"
#include "core/job_generation.h"
#include "search/keywords.h"
#include "search/result_records.h"
#include "search/search_jobs.h"

namespace cj::search {

// How a search ended.
struct SearchOutcome {
    // The rows; null when nothing could be kept (no rows).
    std::unique_ptr<ResultsArray> results;
    // The search was asked to stop and shows what it found until then.
    bool stopped = false;
    // The search could not run to its end (no thread, out of memory).
    bool incomplete = false;
    // An exact search that found nothing: the files it would find ignoring
    // case and width (0 otherwise), so that the window can say so.
    std::uint64_t filesIgnoringCase = 0;
    // There is no index to search (never refreshed): no answer at all, not
    // an empty one.
    bool noIndex = false;
};

class SearchListener {
  public:
    // Called once per started search, on its collector thread, after the
    // engine has become idle again (so a new search may already have
    // started). Must not block on the window's thread.
    virtual void OnSearchFinished(core::JobGeneration generation, SearchOutcome outcome) = 0;

  protected:
    ~SearchListener() = default;
};

class SearchEngine {
  public:
    // runDirectory without a trailing separator. activity is shared with the
    // refresh.
    SearchEngine(core::EngineActivity& activity, SearchListener& listener, std::string runDirectory)
        : m_activity(activity),
          m_listener(listener),
          m_runDirectory(std::move(runDirectory)),
          m_jobs(activity) {}
    // Asks a running search to stop and waits for it (through m_jobs).
    SearchEngine(const SearchEngine&) = delete;
    SearchEngine& operator=(const SearchEngine&) = delete;

    // Handler of the search button and of Enter in the keyword box, on the
    // window's thread. During a refresh nothing happens (RefreshRunning);
    // during a search the start becomes a stop request (SearchRunning).
    // Otherwise the search runs on one worker per shard plus a collector and
    // the call returns at once with the search's generation. keywordText is
    // the keyword box's text; shardCount is the number of shards to read,
    // outside 1..12 meaning the index's own count (the stored thread count,
    // read under the index lock with the shards' counts); rule is the
    // settings page's.
    core::JobStart Start(std::string_view keywordText, int shardCount,
                         MatchRule rule = MatchRule::Exact);

    // Waits until the last search has finished. For tests and the command
    // line: the window never waits on a worker.
    void Wait() { m_jobs.Wait(); }

  private:
    void Collect(core::JobGeneration generation, const std::string& keywordText, int shardCount,
                 MatchRule rule);

    core::EngineActivity& m_activity;
    SearchListener& m_listener;
    const std::string m_runDirectory;
    SearchJobs m_jobs;  // Last: its collector uses the members above until it is joined.
};

}  // namespace cj::search
