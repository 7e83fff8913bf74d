#include "copylist/copy_job.h"

#include <algorithm>
#include <functional>

#include "copylist/copy_list.h"
#include "copylist/copy_target.h"

namespace cj::copylist {
namespace {

bool IsSet(const std::atomic<bool>* flag) {
    return flag != nullptr && flag->load();
}

using ReportProgress = std::function<void(const CopyProgressReport&)>;

// The size of source now; 0 for a file that has gone.
std::uint64_t SizeOf(const std::string& source) {
    return static_cast<std::uint64_t>(std::max<std::int64_t>(CountedSize(source), 0));
}

std::uint64_t TotalBytes(const std::vector<std::string>& sources) {
    std::uint64_t total = 0;
    for (const std::string& source : sources) {
        total += SizeOf(source);
    }
    return total;
}

// The loop of the copy job and of CopyFiles: every source in order. A stop
// (stop set) is seen within the file being copied, which it cuts short, and
// the rest are not tried.
// report, when set, hears of every file before its copy and after every chunk
// of it. The outcome goes into summary as it happens, so that what was done
// is known even when the loop is left by an exception.
void CopyEach(const std::vector<std::string>& sources, const std::string& targetText,
              const std::atomic<bool>* stop, core::SameNameRule rule, const ReportProgress& report,
              CopySummary& summary) {
    CopyProgressReport position;
    position.fileCount = sources.size();
    if (report) {
        position.bytesTotal = TotalBytes(sources);
    }
    // bytesDone and bytesCopied before the current file.
    std::uint64_t doneBefore = 0;
    std::uint64_t copiedBefore = 0;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (IsSet(stop)) {
            summary.stopped = true;
            CountNotTried(sources, i, targetText, summary);
            break;
        }
        position.fileNumber = i + 1;
        position.percent = 0;
        position.bytesDone = doneBefore;
        position.bytesCopied = copiedBefore;
        if (report) {
            position.source = sources[i];
            report(position);
        }
        std::uint64_t fileTotal = 0;
        std::uint64_t fileDone = 0;
        const auto progress = [&](std::uint64_t total, std::uint64_t transferred) {
            if (IsSet(stop)) {
                return false;
            }
            fileTotal = total;
            fileDone = transferred;
            // The call before the first chunk tells nothing the announcement
            // did not.
            if (report && transferred > 0) {
                position.percent = CopyPercent(total, transferred);
                position.bytesDone = doneBefore + transferred;
                position.bytesCopied = copiedBefore + transferred;
                report(position);
            }
            return true;
        };
        const std::error_code ec = CopyIntoFolder(sources[i], targetText, progress, summary, rule);
        if (ec == std::errc::operation_canceled) {
            summary.stopped = true;
            CountNotTried(sources, i + 1, targetText, summary);
            break;
        }
        // A file skipped or failed counts as done all the same: the bar
        // reaches its end with the list's.
        if (report) {
            doneBefore += fileTotal > 0 ? fileTotal : SizeOf(sources[i]);
            copiedBefore += ec ? 0 : fileDone;
        }
    }
}

// Once for the whole job, stopped or not: what was copied is on the device
// before the user is told so.
void FlushCopies(const std::string& targetText, CopySummary& summary) {
    if (summary.copied > 0) {
        summary.flushError = platform::FlushFolderToDevice(targetText);
    }
}

void CopyAll(const std::vector<std::string>& sources, const std::string& targetText,
             const std::atomic<bool>* stop, core::SameNameRule rule, const ReportProgress& report,
             CopySummary& summary) {
    if (const std::error_code ec = PrepareTargetFolder(targetText); ec) {
        FailForFolder(sources, targetText, ec, summary);
        return;
    }
    CopyEach(sources, targetText, stop, rule, report, summary);
    FlushCopies(targetText, summary);
}

std::size_t Counted(const CopySummary& summary) {
    return summary.copied + summary.skippedExisting + summary.failed + summary.notTried;
}

// What CopyAll left undone when it was cut short by an exception (no memory
// for the next path or report): counted as failed, never as done.
void CountUnfinished(std::size_t count, CopySummary& summary) {
    if (const std::size_t counted = Counted(summary); counted < count) {
        summary.failed += count - counted;
    }
}

}  // namespace

CopyJob::~CopyJob() {
    RequestStop();
    Wait();
}

void CopyJob::Wait() {
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

core::JobGeneration CopyJob::Start(std::vector<std::string> sources, std::string targetText,
                                   core::SameNameRule rule) {
    bool idle = false;
    if (!m_running.compare_exchange_strong(idle, true)) {
        return 0;
    }
    // The last worker cleared m_running after its loop; all it may still do
    // is hand its summary to the listener, which only posts. So this join
    // returns at once.
    Wait();
    m_stopRequested.store(false);
    m_sources = std::move(sources);
    m_targetText = std::move(targetText);
    m_rule = rule;
    const core::JobGeneration generation = m_generations.Next();
    try {
        m_worker = std::thread(&CopyJob::Run, this, generation);
    } catch (...) {
        // No thread: nothing was copied, and the window hears so.
        CopySummary summary;
        for (const std::string& source : m_sources) {
            summary.notCopied.push_back(
                {source, TargetPath(m_targetText, source),
                 std::make_error_code(std::errc::resource_unavailable_try_again)});
        }
        summary.failed = m_sources.size();
        m_sources.clear();
        m_running.store(false);
        m_listener.OnCopyFinished(generation, std::move(summary));
    }
    return generation;
}

void CopyJob::Run(core::JobGeneration generation) {
    const std::vector<std::string> sources = std::move(m_sources);
    const std::string targetText = std::move(m_targetText);
    const core::SameNameRule rule = m_rule;
    CopySummary summary;
    try {
        CopyAll(
            sources, targetText, &m_stopRequested, rule,
            [&](const CopyProgressReport& report) {
                m_listener.OnCopyProgress(generation, report);
            },
            summary);
    } catch (...) {
        CountUnfinished(sources.size(), summary);
    }
    // Idle first, so that the window, once it has the summary, may start the
    // next job at once.
    m_running.store(false);
    m_listener.OnCopyFinished(generation, std::move(summary));
}

void CopySession::Copy(const std::vector<std::string>& sources) {
    const std::size_t before = Counted(m_summary);
    try {
        if (!m_folderError) {
            m_folderError = PrepareTargetFolder(m_targetText);
        }
        if (*m_folderError) {
            FailForFolder(sources, m_targetText, *m_folderError, m_summary);
        } else if (m_summary.stopped || IsSet(m_stop)) {
            m_summary.stopped = true;
            CountNotTried(sources, 0, m_targetText, m_summary);
        } else {
            CopyEach(sources, m_targetText, m_stop, m_rule, {}, m_summary);
        }
    } catch (...) {
        CountUnfinished(before + sources.size(), m_summary);
    }
}

void CopySession::Refuse(std::string source, std::error_code why) {
    ++m_summary.failed;
    try {
        m_summary.notCopied.push_back({std::move(source), {}, why});
    } catch (...) {
        // Counted, if not listed.
    }
}

CopySummary CopySession::Finish() {
    FlushCopies(m_targetText, m_summary);
    return std::move(m_summary);
}

CopySummary CopyFiles(const std::vector<std::string>& sources, const std::string& targetText,
                      const std::atomic<bool>* stop, core::SameNameRule rule) {
    CopySession session(targetText, stop, rule);
    session.Copy(sources);
    return session.Finish();
}

}  // namespace cj::copylist
