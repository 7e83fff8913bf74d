#include "copylist/direct_copy.h"

#include <algorithm>

#include "copylist/copy_target.h"

namespace cj::copylist {

DirectCopier::~DirectCopier() {
    {
        const std::lock_guard lock(m_lock);
        m_stopping = true;
        m_abort.store(true);
    }
    m_wake.notify_all();
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

core::JobGeneration DirectCopier::Queue(std::string source, std::string targetText,
                                        core::SameNameRule rule) {
    std::unique_lock lock(m_lock);
    if (m_stopping) {
        return 0;
    }
    if (!m_worker.joinable()) {
        try {
            m_worker = std::thread(&DirectCopier::Work, this);
        } catch (...) {
            lock.unlock();
            const core::JobGeneration generation = m_generations.Next();
            CopySummary summary;
            summary.failed = 1;
            std::string target = TargetPath(targetText, source);
            summary.notCopied.push_back(
                {std::move(source), std::move(target),
                 std::make_error_code(std::errc::resource_unavailable_try_again)});
            m_listener.OnDirectCopyFinished(generation, std::move(summary));
            return generation;
        }
    }
    m_queue.push_back({std::move(source), std::move(targetText), rule});
    if (!m_running) {
        m_running = true;
        m_currentRun = m_generations.Next();
        m_wake.notify_one();
    }
    return m_currentRun;
}

bool DirectCopier::IsRunning() const {
    const std::lock_guard lock(m_lock);
    return m_running;
}

void DirectCopier::Wait() {
    std::unique_lock lock(m_lock);
    m_idle.wait(lock, [this] { return !m_running && !m_reporting; });
}

void DirectCopier::Work() {
    std::unique_lock lock(m_lock);
    for (;;) {
        m_wake.wait(lock, [this] { return m_running || m_stopping; });
        if (!m_running) {
            return;
        }
        const core::JobGeneration generation = m_currentRun;
        CopySummary summary = CopyRun(generation, lock);
        // m_running went false in the same step that found the queue empty;
        // a Queue from now on starts the next run, which this loop takes up
        // after the report.
        m_reporting = true;
        lock.unlock();
        m_listener.OnDirectCopyFinished(generation, std::move(summary));
        lock.lock();
        m_reporting = false;
        m_idle.notify_all();
        if (m_stopping && !m_running) {
            return;
        }
    }
}

CopySummary DirectCopier::CopyRun(core::JobGeneration generation,
                                  std::unique_lock<std::mutex>& lock) {
    CopySummary summary;
    // The folders copied into since the last flush, flushed once the queue
    // runs dry: a run of double-clicks costs one flush, not one a file.
    std::vector<std::string> unflushed;
    // The folders made ready in this run: their orphaned temporaries are
    // swept once, not once per double-click (a sweep lists the whole folder).
    std::vector<std::string> prepared;
    for (;;) {
        if (m_stopping) {
            summary.stopped = true;
            for (const Item& item : m_queue) {
                summary.notCopied.push_back({item.source, TargetPath(item.targetText, item.source),
                                             std::make_error_code(std::errc::operation_canceled)});
                ++summary.notTried;
            }
            m_queue.clear();
        }
        if (m_queue.empty() && !unflushed.empty()) {
            lock.unlock();
            for (const std::string& folder : unflushed) {
                if (const std::error_code ec = platform::FlushFolderToDevice(folder); ec) {
                    summary.flushError = ec;
                }
            }
            unflushed.clear();
            lock.lock();
            continue;  // Paths queued meanwhile are this run's.
        }
        if (m_queue.empty()) {
            m_running = false;
            return summary;
        }
        const Item item = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        try {
            m_listener.OnDirectCopyProgress(generation, 0);
            std::error_code folderError;
            if (std::find(prepared.begin(), prepared.end(), item.targetText) == prepared.end()) {
                folderError = PrepareTargetFolder(item.targetText);
                if (!folderError) {
                    prepared.push_back(item.targetText);
                }
            }
            if (folderError) {
                FailForFolder({item.source}, item.targetText, folderError, summary);
            } else if (CopyOne(generation, item, summary)) {
                if (std::find(unflushed.begin(), unflushed.end(), item.targetText) ==
                    unflushed.end()) {
                    unflushed.push_back(item.targetText);
                }
            }
        } catch (...) {
            // No memory for the summary's entry: counted, if not listed.
            ++summary.failed;
        }
        lock.lock();
    }
}

bool DirectCopier::CopyOne(core::JobGeneration generation, const Item& item, CopySummary& summary) {
    int shown = 0;
    const auto progress = [&](std::uint64_t total, std::uint64_t transferred) {
        if (m_abort.load()) {
            return false;
        }
        if (const int percent = CopyPercent(total, transferred); percent != shown) {
            shown = percent;
            m_listener.OnDirectCopyProgress(generation, percent);
        }
        return true;
    };
    const std::error_code ec =
        CopyIntoFolder(item.source, item.targetText, progress, summary, item.rule);
    if (ec == std::errc::operation_canceled) {
        summary.stopped = true;
    }
    return !ec;
}

}  // namespace cj::copylist
