#include "search/search_engine.h"

#include "search/keywords.h"
#include "search/search_run.h"

namespace cj::search {

namespace {

// The files an exact search that found nothing would find ignoring case and
// width: a second, counting scan, only after the first found nothing.
std::uint64_t CountIgnoringCase(SearchRequest request, const std::string& keywordText,
                                const std::atomic<bool>& stop) {
    request.detail = HitDetail::Count;
    request.match = MatchRule::IgnoreCaseAndWidth;
    const KeywordSet keywords(keywordText, platform::ActiveCodePage(), request.match);
    std::uint64_t files = 0;
    for (const ShardHits& shard : SearchShards(request, keywords, stop)) {
        files += shard.count;
    }
    return files;
}

}  // namespace

core::JobStart SearchEngine::Start(std::string_view keywordText, int shardCount,
                                   MatchRule rule) {
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
        const SearchRequest request{m_runDirectory, shardCount, HitDetail::Paths, rule};
        outcome.results = std::make_unique<ResultsArray>(
            SearchShards(request, keywords, m_activity.SearchStopFlag()));
        if (rule == MatchRule::Exact && outcome.results->Count() == 0 &&
            !m_activity.IsSearchStopRequested()) {
            outcome.filesIgnoringCase =
                CountIgnoringCase(request, keywordText, m_activity.SearchStopFlag());
        }
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
