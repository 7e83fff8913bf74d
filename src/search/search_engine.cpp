#include "search/search_engine.h"

#include "core/text_rules.h"
#include "search/keywords.h"
#include "search/search_run.h"

namespace cj::search {

SearchEngine::~SearchEngine() {
    if (m_activity.IsSearchRunning()) {
        m_activity.RequestSearchStop();
    }
    Wait();
}

void SearchEngine::Wait() {
    if (m_collector.joinable()) {
        m_collector.join();
    }
}

core::JobStart SearchEngine::Start(std::string_view keywordText, int shardCount) {
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
        m_collector = std::thread(&SearchEngine::Collect, this, generation,
                                  std::string(keywordText), shardCount);
    } catch (...) {
        // No thread: the search ends at once, having found nothing.
        m_activity.EndSearch();
        SearchOutcome failed;
        failed.incomplete = true;
        m_listener.OnSearchFinished(generation, std::move(failed));
    }
    return {outcome, generation};
}

void SearchEngine::Collect(core::JobGeneration generation, std::string keywordText,
                           int shardCount) {
    SearchOutcome outcome;
    try {
        const KeywordSet keywords(keywordText);
        const SearchRequest request{m_runDirectory, shardCount, HitDetail::Paths};
        outcome.results = std::make_unique<ResultsArray>(
            SearchShards(request, keywords, m_activity.SearchStopFlag()));
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
