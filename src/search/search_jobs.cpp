#include "search/search_jobs.h"

#include "core/text_rules.h"

namespace cj::search {

SearchJobs::~SearchJobs() {
    if (m_activity.IsSearchRunning()) {
        m_activity.RequestSearchStop();
    }
    Wait();
}

void SearchJobs::Wait() {
    if (m_collector.joinable()) {
        m_collector.join();
    }
}

core::JobStart SearchJobs::Start(int shardCount, Collector collect, const Failed& failed) {
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
    // The count another program's refresh may have changed since this one
    // started is read with the counts it belongs to: reading it here would
    // search some shards of a rebuilt index, or shards that are gone.
    if (shardCount < 1 || shardCount > core::MaxThreadCount) {
        shardCount = 0;
    }
    const core::JobGeneration generation = m_generations.Next();
    try {
        m_collector = std::thread(std::move(collect), generation, shardCount);
    } catch (...) {
        // No thread: the search ends at once, having found nothing.
        m_activity.EndSearch();
        failed(generation);
    }
    return {outcome, generation};
}

}  // namespace cj::search
