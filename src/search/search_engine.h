// The search as the window runs it: start and stop rules, the workers and the
// collector that fills the results array and tells the window.
#pragma once

#include <string>
#include <string_view>
#include <thread>

#include "index/engine_activity.h"
#include "search/result_records.h"
#include "search/search_view.h"

namespace cj::search {

class SearchEngine {
  public:
    // runDirectory without a trailing separator. activity is shared with the
    // refresh; view is the window.
    SearchEngine(index::EngineActivity& activity, SearchView& view, std::string runDirectory)
        : m_activity(activity), m_view(view), m_runDirectory(std::move(runDirectory)) {}
    // Asks a running search to stop and waits for it. The collector calls the
    // view until its end, so a window whose view calls wait for its own thread
    // must not destroy the engine on that thread while a search runs.
    ~SearchEngine();
    SearchEngine(const SearchEngine&) = delete;
    SearchEngine& operator=(const SearchEngine&) = delete;

    // Handler of the search button and of Enter in the keyword box, on the
    // window's thread. During a refresh nothing happens (RefreshRunning);
    // during a search the start becomes a stop request (SearchRunning).
    // Otherwise the page, busy label and button are set, the rows cleared and
    // the search runs on one worker per shard plus a collector; the call
    // returns at once. keywordText is the keyword box's text; shardCount is the
    // thread count, outside 1..12 meaning the number of processor cores.
    index::StartOutcome Start(std::string_view keywordText, int shardCount);

    // Waits until the last search has finished. For tests and the command
    // line: the window never waits on a worker.
    void Wait();

    // The rows of the last search. The window reads them on its thread after
    // SetRowCount and until the next Start; the engine writes them only in
    // between, while the list shows no rows.
    const ResultsArray& Results() const { return m_results; }
    ResultsArray& Results() { return m_results; }

  private:
    void Collect(std::string keywordText, int shardCount);

    index::EngineActivity& m_activity;
    SearchView& m_view;
    const std::string m_runDirectory;
    ResultsArray m_results;
    std::thread m_collector;  // The last search's collector. Used by the starting thread only.
};

}  // namespace cj::search
