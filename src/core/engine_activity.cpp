#include "core/engine_activity.h"

namespace cj::core {

StartOutcome EngineActivity::TryBegin(State job) {
    State expected = State::Idle;
    if (m_state.compare_exchange_strong(expected, job)) {
        return StartOutcome::Started;
    }
    return expected == State::Refreshing ? StartOutcome::RefreshRunning
                                         : StartOutcome::SearchRunning;
}

StartOutcome EngineActivity::TryBeginSearch() {
    const StartOutcome outcome = TryBegin(State::Searching);
    if (outcome == StartOutcome::Started) {
        m_stopRequested.store(false);
    }
    return outcome;
}

void EngineActivity::EndSearch() {
    m_stopRequested.store(false);
    m_state.store(State::Idle);
}

}  // namespace cj::core
