#include "search/batch_search.h"

#include "core/text_rules.h"
#include "search/batch_scan.h"
#include "search/search_run.h"

namespace cj::search {

BatchOutcome RunBatch(const std::string& runDirectory, const std::vector<std::string>& numbers,
                      int shardCount, const std::atomic<bool>& stop, platform::CodePage codePage) {
    if (numbers.empty()) {
        return GroupBatch({}, numbers);
    }
    const SearchRequest request{runDirectory, shardCount, HitDetail::Paths};
    return GroupBatch(ScanBatch(OpenShards(request), numbers, stop, codePage), numbers);
}

BatchSearch::BatchSearch(core::EngineActivity& activity, BatchListener& listener,
                         std::string runDirectory)
    : m_activity(activity), m_listener(listener), m_runDirectory(std::move(runDirectory)) {}

BatchSearch::~BatchSearch() {
    if (m_activity.IsSearchRunning()) {
        m_activity.RequestSearchStop();
    }
    Wait();
}

void BatchSearch::Wait() {
    if (m_collector.joinable()) {
        m_collector.join();
    }
}

core::JobStart BatchSearch::Start(std::vector<std::string> numbers, int shardCount) {
    const core::StartOutcome outcome = m_activity.TryBeginSearch();
    if (outcome == core::StartOutcome::SearchRunning) {
        m_activity.RequestSearchStop();
    }
    if (outcome != core::StartOutcome::Started) {
        return {outcome, 0};
    }
    // The previous collector has passed EndSearch, so this join returns at
    // once (at most it waits for the listener call that follows it).
    Wait();
    if (shardCount < 1 || shardCount > core::MaxThreadCount) {
        shardCount = core::DefaultThreadCount();
    }
    const core::JobGeneration generation = m_generations.Next();
    try {
        m_collector = std::thread(&BatchSearch::Collect, this, generation, std::move(numbers),
                                  shardCount);
    } catch (...) {
        // No thread: the batch ends at once, having found nothing. Numbers
        // may be gone with the failed start, so the outcome lists none.
        m_activity.EndSearch();
        BatchOutcome failed;
        failed.incomplete = true;
        m_listener.OnBatchFinished(generation, std::move(failed));
    }
    return {outcome, generation};
}

void BatchSearch::Collect(core::JobGeneration generation, std::vector<std::string> numbers,
                          int shardCount) {
    BatchOutcome outcome;
    try {
        if (!numbers.empty()) {
            const SearchRequest request{m_runDirectory, shardCount, HitDetail::Paths};
            const BatchProgress progress = [&](int percent) {
                m_listener.OnBatchProgress(generation, percent);
            };
            outcome = GroupBatch(ScanBatch(OpenShards(request), numbers,
                                           m_activity.SearchStopFlag(),
                                           platform::ActiveCodePage(), progress),
                                 numbers);
        } else {
            outcome = GroupBatch({}, numbers);
        }
    } catch (...) {
        // Out of memory: report the numbers without rows rather than no end
        // at all. Nothing leaves this thread.
        outcome = BatchOutcome();
        outcome.incomplete = true;
    }
    outcome.stopped = outcome.stopped || m_activity.IsSearchStopRequested();
    // Idle first, so that the window, once it has the outcome, can start the
    // next search at once.
    m_activity.EndSearch();
    m_listener.OnBatchFinished(generation, std::move(outcome));
}

}  // namespace cj::search
