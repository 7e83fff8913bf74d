#include "search/search_engine.h"

#include "core/text_rules.h"
#include "index/refresh.h"
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

index::StartOutcome SearchEngine::Start(std::string_view keywordText, int shardCount) {
    const index::StartOutcome outcome = m_activity.TryBeginSearch();
    if (outcome == index::StartOutcome::SearchRunning) {
        m_activity.RequestSearchStop();
    }
    if (outcome != index::StartOutcome::Started) {
        return outcome;
    }
    // The previous collector has passed EndSearch, its last step, so this
    // join returns at once.
    Wait();
    m_view.HideUpdateCacheButton();
    m_view.ShowSearchPage();
    m_view.ShowBusy(index::SearchBusyText);
    m_view.SetSearchButtonBusy(true);
    m_results.Clear();
    m_view.ClearRows();
    if (shardCount < 1 || shardCount > core::MaxThreadCount) {
        shardCount = core::DefaultThreadCount();
    }
    try {
        m_collector =
            std::thread(&SearchEngine::Collect, this, std::string(keywordText), shardCount);
    } catch (...) {
        // No thread: end the search as one that found nothing.
        m_view.SetRowCount(0);
        m_view.ShowResultList(index::SearchBusyText);
        m_view.SetSearchButtonBusy(false);
        m_view.SetStatusText(FoundText(0));
        m_activity.EndSearch();
    }
    return outcome;
}

void SearchEngine::Collect(std::string keywordText, int shardCount) {
    try {
        const KeywordSet keywords(keywordText);
        const SearchRequest request{m_runDirectory, shardCount, HitDetail::Records};
        std::vector<ShardHits> hits = SearchShards(request, keywords, m_activity.SearchStopFlag());
        // Shard order: every hit of shard 1, then of shard 2, and so on.
        for (ShardHits& shard : hits) {
            m_results.Append(std::move(shard.records));
        }
    } catch (...) {
        // Out of memory: show what was collected. Nothing leaves this thread.
    }
    const std::size_t rows = m_results.Count();
    m_view.SetRowCount(rows);
    m_view.ShowResultList(index::SearchBusyText);
    m_view.FocusKeywordBox();
    m_view.SetSearchButtonBusy(false);
    m_view.SetStatusText(FoundText(rows));
    if (rows > 0) {
        m_view.SelectRow(1);
    }
    // Last, so that a new search cannot start (and clear the rows) while this
    // one still talks to the window.
    m_activity.EndSearch();
}

}  // namespace cj::search
