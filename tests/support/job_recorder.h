// Records what an engine job reports to its listener, for the engine tests:
// each progress value and each end, with whether the engine was idle when the
// end came. A test's listener derives from it and forwards its calls to
// RecordProgress and RecordEnd; the reports come on the job's worker, the
// test reads them on its own thread.
#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "core/job_generation.h"

namespace cj::test {

template <typename Outcome, typename Progress = int>
class JobRecorder {
  public:
    struct Step {
        core::JobGeneration generation;
        Progress value;
    };
    struct End {
        core::JobGeneration generation;
        Outcome outcome;
        bool idle;  // What isIdle said as the end came; false without it.
        std::size_t progressBefore;
    };

    // Asked on the worker as each end comes. Set while no job runs.
    std::function<bool()> isIdle;
    // Runs on the worker at each progress value, after it is recorded and
    // outside the recorder's lock, so that it may hold the worker or call
    // the job. Set while no job runs.
    std::function<void(const Progress&)> onProgress;

    void RecordProgress(core::JobGeneration generation, Progress value) {
        {
            const std::lock_guard lock(m_mutex);
            m_steps.push_back({generation, value});
        }
        if (onProgress) {
            onProgress(value);
        }
    }
    void RecordEnd(core::JobGeneration generation, Outcome outcome) {
        const bool idle = isIdle && isIdle();
        const std::lock_guard lock(m_mutex);
        m_ends.push_back({generation, std::move(outcome), idle, m_steps.size()});
    }

    std::vector<Step> Steps() const {
        const std::lock_guard lock(m_mutex);
        return m_steps;
    }
    // Copies the ends; TakeEnds hands them over, for outcomes that do not copy.
    std::vector<End> Ends() const {
        const std::lock_guard lock(m_mutex);
        return m_ends;
    }
    std::vector<End> TakeEnds() {
        const std::lock_guard lock(m_mutex);
        return std::exchange(m_ends, {});
    }

  private:
    mutable std::mutex m_mutex;
    std::vector<Step> m_steps;  // Under m_mutex.
    std::vector<End> m_ends;    // Under m_mutex.
};

}  // namespace cj::test
