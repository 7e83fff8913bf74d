// The program-wide activity flags of the engine: whether a refresh or a search
// runs, and whether the running search has been asked to stop.
//
// One object per program (the window and the command line each own one) is
// shared by the refresh, the search and the window. At most one long job runs
// at a time: a refresh or a search. The transitions are single atomic steps,
// so two threads that both try to start a job cannot both succeed.
#pragma once

#include <atomic>

#include "core/job_generation.h"

namespace cj::core {

// What a request to start a refresh or a search came to.
enum class StartOutcome {
    Started,
    RefreshRunning,  // Refused: a refresh runs.
    SearchRunning,   // Refused: a search runs (a search start becomes a stop request).
};

// What the start of a job came to, and the number of the job when it started.
struct JobStart {
    StartOutcome outcome = StartOutcome::Started;
    JobGeneration generation = 0;  // 0 unless outcome is Started.
};

class EngineActivity {
  public:
    bool IsRefreshRunning() const { return m_state.load() == State::Refreshing; }
    bool IsSearchRunning() const { return m_state.load() == State::Searching; }
    bool IsIdle() const { return m_state.load() == State::Idle; }

    // Marks a refresh (or a search) as running when nothing runs; otherwise
    // says what runs and changes nothing.
    StartOutcome TryBeginRefresh() { return TryBegin(State::Refreshing); }
    StartOutcome TryBeginSearch();

    // Called by the job's own thread as its last step.
    void EndRefresh() { m_state.store(State::Idle); }
    // Also withdraws a stop request, so that the next search starts clean.
    void EndSearch();

    // Asks the running search to stop; it keeps what it found so far. A request
    // made while no search runs is withdrawn by the next search start.
    void RequestSearchStop() { m_stopRequested.store(true); }
    bool IsSearchStopRequested() const { return m_stopRequested.load(std::memory_order_relaxed); }
    // The flag itself, for workers that poll it in their hot loop.
    const std::atomic<bool>& SearchStopFlag() const { return m_stopRequested; }

  private:
    enum class State { Idle, Refreshing, Searching };

    StartOutcome TryBegin(State job);

    std::atomic<State> m_state{State::Idle};
    std::atomic<bool> m_stopRequested{false};
};

}  // namespace cj::core
