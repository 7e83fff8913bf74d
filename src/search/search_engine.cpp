#include "search/search_engine.h"

#include <algorithm>

#include "search/keywords.h"
#include "search/search_run.h"

namespace cj::search {

core::JobStart SearchEngine::Start(std::string_view keywordText, int shardCount, MatchRule rule) {
    return m_jobs.Start(
        shardCount,
        [this, keywords = std::string(keywordText), rule](core::JobGeneration generation,
                                                          int shards) {
            Collect(generation, keywords, shards, rule);
        },
        [this](core::JobGeneration generation) {
            SearchOutcome failed;
            failed.incomplete = true;
            m_listener.OnSearchFinished(generation, std::move(failed));
        });
}

void SearchEngine::Collect(core::JobGeneration generation, const std::string& keywordText,
                           int shardCount, MatchRule rule) {
    SearchOutcome outcome;
    try {
        const KeywordSet keywords(keywordText, platform::ActiveCodePage(), rule);
        const SearchRequest request{m_runDirectory, shardCount, HitDetail::Paths, nullptr, rule};
        std::vector<ShardHits> shards = OpenShards(request);
        ScanShards(request, shards, keywords, m_activity.SearchStopFlag());
        const bool none = std::all_of(shards.begin(), shards.end(),
                                      [](const ShardHits& shard) { return shard.count == 0; });
        // Only after finding nothing: the common search costs no second scan.
        if (rule == MatchRule::Exact && none && !m_activity.IsSearchStopRequested()) {
            outcome.filesIgnoringCase =
                CountIgnoringCase(request, shards, keywordText, m_activity.SearchStopFlag());
        }
        outcome.noIndex = shards.empty();
        outcome.results = std::make_unique<ResultsArray>(std::move(shards));
    } catch (...) {
        // Out of memory: report an empty result rather than none at all.
        // Nothing leaves this thread.
        outcome.incomplete = true;
    }
    outcome.stopped = m_activity.IsSearchStopRequested();
    // Idle first, so that the window, once it has the outcome, can start the
    // next search at once.
    m_activity.EndSearch();
    m_listener.OnSearchFinished(generation, std::move(outcome));
}

}  // namespace cj::search
