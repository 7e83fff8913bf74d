#include "search/search_engine.h"

#include "search/keywords.h"
#include "search/search_run.h"

namespace cj::search {

core::JobStart SearchEngine::Start(std::string_view keywordText, int shardCount) {
    return m_jobs.Start(
        shardCount,
        [this, keywords = std::string(keywordText)](core::JobGeneration generation, int shards) {
            Collect(generation, keywords, shards);
        },
        [this](core::JobGeneration generation) {
            SearchOutcome failed;
            failed.incomplete = true;
            m_listener.OnSearchFinished(generation, std::move(failed));
        });
}

void SearchEngine::Collect(core::JobGeneration generation, const std::string& keywordText,
                           int shardCount) {
    SearchOutcome outcome;
    try {
        const KeywordSet keywords(keywordText);
        const SearchRequest request{m_runDirectory, shardCount, HitDetail::Paths};
        std::vector<ShardHits> shards =
            SearchShards(request, keywords, m_activity.SearchStopFlag());
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
