// The copy job: copies every entry of the copy list into one folder on a
// worker thread, reporting which file it copies and how far it has got, and
// a summary at the end. Nothing that exists is overwritten and no partial
// file is left (see platform::CopyFileExclusive); the copies are flushed to
// the device once, at the end of the job, before the summary is reported.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "copylist/copy_summary.h"
#include "core/job_generation.h"
#include "core/same_name_rule.h"

namespace cj::copylist {

// The job's position: file `fileNumber` (from 1) of `fileCount`, the
// percentage of that file copied so far (0 for an empty file), and the bytes.
struct CopyProgressReport {
    std::size_t fileNumber = 0;
    std::size_t fileCount = 0;
    std::string source;
    int percent = 0;
    // The sizes of all the sources, measured as the job starts.
    std::uint64_t bytesTotal = 0;
    // The sizes of the files done, whatever came of them, and what was
    // written of the current one: how far the job has got (may pass
    // bytesTotal when files grew).
    std::uint64_t bytesDone = 0;
    // What the job has written so far: the measure of its speed.
    std::uint64_t bytesCopied = 0;
};

class CopyJobListener {
  public:
    // On the worker thread, before each file's copy (percent 0) and after
    // each chunk of it (8 MiB; a 1 GiB file reports 128 times): must only post.
    virtual void OnCopyProgress(core::JobGeneration generation, CopyProgressReport report) = 0;
    // Once per started job, on the worker thread, after the job has become
    // idle again (so IsRunning is false and a new job may start).
    virtual void OnCopyFinished(core::JobGeneration generation, CopySummary summary) = 0;

  protected:
    ~CopyJobListener() = default;
};

class CopyJob {
  public:
    explicit CopyJob(CopyJobListener& listener) : m_listener(listener) {}
    // Aborts a running job (the file being copied is removed) and waits for it.
    ~CopyJob();
    CopyJob(const CopyJob&) = delete;
    CopyJob& operator=(const CopyJob&) = delete;

    // Starts copying sources, in order, into targetText (see TargetPath; the
    // folder is created one level deep when missing). Returns the job's
    // generation, or 0 when a job still runs. Two sources with the same file
    // name: the first is copied, the second skipped as existing or, under
    // KeepBoth, copied under a numbered name.
    core::JobGeneration Start(std::vector<std::string> sources, std::string targetText,
                              core::SameNameRule rule = core::SameNameRule::Skip);

    // Stops the job within a chunk of the current file: what was written of
    // it is removed, and the rest are not tried. Any thread.
    void RequestStop() { m_stopRequested.store(true); }
    // The same, for the window closing.
    void Abort() { RequestStop(); }

    bool IsRunning() const { return m_running.load(); }
    // Waits for the last job to end. Tests and the command line only.
    void Wait();

  private:
    void Run(core::JobGeneration generation);

    CopyJobListener& m_listener;
    core::GenerationCounter m_generations;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stopRequested{false};
    // The job's work: written by Start before the worker starts, then the
    // worker's until it clears m_running.
    std::vector<std::string> m_sources;
    std::string m_targetText;
    core::SameNameRule m_rule = core::SameNameRule::Skip;
    std::thread m_worker;  // Used by the starting thread only.
};

// A copy into one folder on the calling thread, with the job's rules, of a
// list that comes in groups: for the command line, which copies standard
// input as it is read. The folder is made ready (see PrepareTargetFolder)
// before the first group only, and what was copied is put on the device once,
// by Finish. stop may be null; once it is set (by a signal handler, say) the
// file being copied is stopped between chunks and removed, and every later
// source is counted as not tried.
class CopySession {
  public:
    CopySession(std::string targetText, const std::atomic<bool>* stop,
                core::SameNameRule rule = core::SameNameRule::Skip)
        : m_targetText(std::move(targetText)), m_stop(stop), m_rule(rule) {}

    // Copies sources in order; their outcomes join Summary().
    void Copy(const std::vector<std::string>& sources);
    // Counts source as failed without trying it: a line of input that names
    // no file.
    void Refuse(std::string source, std::error_code why);
    // What was done so far; notCopied grows at its end.
    const CopySummary& Summary() const { return m_summary; }
    // Flushes the folder's file system when anything was copied, and hands
    // over the summary. Called once, last.
    CopySummary Finish();

  private:
    std::string m_targetText;
    const std::atomic<bool>* m_stop;
    core::SameNameRule m_rule;
    std::optional<std::error_code> m_folderError;  // Set by the first Copy.
    CopySummary m_summary;
};

// Copies sources into targetText on the calling thread, with the job's rules:
// one CopySession of one group. stop may be null; once it is set (by a signal
// handler, say) the file being copied is stopped between chunks and removed,
// and the rest are not tried. Like the job, it puts what it copied on the
// device before it returns.
CopySummary CopyFiles(const std::vector<std::string>& sources, const std::string& targetText,
                      const std::atomic<bool>* stop = nullptr,
                      core::SameNameRule rule = core::SameNameRule::Skip);

}  // namespace cj::copylist
