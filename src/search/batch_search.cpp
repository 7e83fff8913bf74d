#include "search/batch_search.h"

#include "search/batch_scan.h"
#include "search/search_run.h"

namespace cj::search {

BatchOutcome RunBatch(const std::string& runDirectory, const std::vector<std::string>& numbers,
                      int shardCount, const std::atomic<bool>& stop, platform::CodePage codePage) {
    if (numbers.empty()) {
        return GroupBatch({}, numbers);
    }
    const SearchRequest request{runDirectory, shardCount, HitDetail::Paths};
    std::vector<ShardHits> shards = OpenShards(request);
    const bool noIndex = shards.empty();
    BatchOutcome outcome =
        GroupBatch(ScanBatch(std::move(shards), numbers, stop, codePage), numbers);
    outcome.noIndex = noIndex;
    return outcome;
}

BatchSearch::BatchSearch(core::EngineActivity& activity, BatchListener& listener,
                         std::string runDirectory)
    : m_activity(activity),
      m_listener(listener),
      m_runDirectory(std::move(runDirectory)),
      m_jobs(activity) {}

core::JobStart BatchSearch::Start(std::vector<std::string> numbers, int shardCount) {
    return m_jobs.Start(
        shardCount,
        [this, list = std::move(numbers)](core::JobGeneration generation, int shards) {
            Collect(generation, list, shards);
        },
        [this](core::JobGeneration generation) {
            // The numbers went with the failed start, so the outcome lists none.
            BatchOutcome failed;
            failed.incomplete = true;
            m_listener.OnBatchFinished(generation, std::move(failed));
        });
}

void BatchSearch::Collect(core::JobGeneration generation,
                          const std::vector<std::string>& numbers, int shardCount) {
    BatchOutcome outcome;
    try {
        if (!numbers.empty()) {
            const SearchRequest request{m_runDirectory, shardCount, HitDetail::Paths};
            const BatchProgress progress = [&](int percent) {
                m_listener.OnBatchProgress(generation, percent);
            };
            std::vector<ShardHits> shards = OpenShards(request);
            const bool noIndex = shards.empty();
            outcome = GroupBatch(ScanBatch(std::move(shards), numbers, m_activity.SearchStopFlag(),
                                           platform::ActiveCodePage(), progress),
                                 numbers);
            outcome.noIndex = noIndex;
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
