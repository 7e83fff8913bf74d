// The direct copy: hits double-clicked in "copy at once" mode are queued and
// copied, in order, by one worker that runs while the queue has paths. Its
// thin progress bar shows the current file's percentage. The copies are
// flushed to the device when the queue runs dry, before the run is reported.
//
// The queue is guarded by one lock, and the worker leaves only after it has
// found the queue empty and cleared its running flag in the same step: a path
// queued at any moment is copied, by the running worker or by a new one.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "copylist/copy_summary.h"
#include "core/job_generation.h"
#include "core/same_name_rule.h"

namespace cj::copylist {

class DirectCopyListener {
  public:
    // On the worker thread, before each file's copy (0) and whenever the
    // current file's percentage changes: must only post.
    virtual void OnDirectCopyProgress(core::JobGeneration generation, int percent) = 0;
    // Once per run, on the worker thread, after it has found the queue empty
    // and stopped running: every path queued to this run is in the summary.
    virtual void OnDirectCopyFinished(core::JobGeneration generation, CopySummary summary) = 0;

  protected:
    ~DirectCopyListener() = default;
};

class DirectCopier {
  public:
    explicit DirectCopier(DirectCopyListener& listener) : m_listener(listener) {}
    // Stops the worker at once (the file being copied is removed; queued
    // paths are dropped and counted as not tried in the run's summary, which
    // is still reported) and waits for it.
    ~DirectCopier();
    DirectCopier(const DirectCopier&) = delete;
    DirectCopier& operator=(const DirectCopier&) = delete;

    // Queues source to be copied into targetText (the text when the path was
    // queued; see TargetPath). A target that exists is skipped, or under
    // keep-both copied beside it under the next free numbered name, as the
    // copy job does (the rule is the one in force when queued). Starts a run
    // when none runs. Returns the generation of the run that will copy it:
    // the running one, or a new one. Never waits for a copy. Any thread (the
    // UI thread in the program). When no worker thread can be started the
    // path is reported failed at once, in a run of its own.
    core::JobGeneration Queue(std::string source, std::string targetText,
                              core::SameNameRule rule = core::SameNameRule::Skip);

    bool IsRunning() const;
    // Waits until no run is going and the last one's summary has been
    // handed to the listener. Tests only.
    void Wait();

  private:
    struct Item {
        std::string source;
        std::string targetText;
        core::SameNameRule rule = core::SameNameRule::Skip;
    };
    // The worker: one thread for the copier's life, asleep between runs, so
    // that no call on the UI thread ever joins a thread.
    void Work();
    // Copies the queue until it is empty, then flushes the folders it copied
    // into; the lock is held on entry and exit.
    CopySummary CopyRun(core::JobGeneration generation, std::unique_lock<std::mutex>& lock);
    // Copies one item without the lock; whether it was copied.
    bool CopyOne(core::JobGeneration generation, const Item& item, CopySummary& summary);

    DirectCopyListener& m_listener;
    core::GenerationCounter m_generations;
    mutable std::mutex m_lock;
    std::condition_variable m_wake;  // A run was started, or the copier stops.
    std::condition_variable m_idle;  // A run was reported.
    std::deque<Item> m_queue;        // Guarded by m_lock.
    // From the Queue that starts a run until the worker finds the queue empty
    // (both under m_lock, so a path queued meanwhile is never left behind).
    bool m_running = false;                // Guarded by m_lock.
    bool m_reporting = false;              // Guarded by m_lock.
    bool m_stopping = false;               // Guarded by m_lock.
    core::JobGeneration m_currentRun = 0;  // Guarded by m_lock.
    std::atomic<bool> m_abort{false};      // Set with m_stopping; read between chunks.
    std::thread m_worker;                  // Started by the first Queue, under m_lock.
};

}  // namespace cj::copylist
