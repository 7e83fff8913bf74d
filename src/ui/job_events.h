// The outcome events the window's workers report, and the listener that
// turns the engine's reports into them.
//
// A worker reports on its own thread; JobReporter only posts the event to the
// window's inbox. The window applies each event on its thread, and only when
// the event's generation is the one of the job it started last: a report of
// a job that a newer one has replaced is dropped.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "copylist/copy_job.h"
#include "copylist/direct_copy.h"
#include "core/job_generation.h"
#include "exdui/exdui.h"
#include "index/refresh.h"
#include "search/batch_search.h"
#include "search/search_engine.h"
#include "ui/event_inbox.h"

namespace cj::ui {

struct SearchFinishedEvent {
    core::JobGeneration generation = 0;
    search::SearchOutcome outcome;
};

struct RefreshFinishedEvent {
    core::JobGeneration generation = 0;
    index::RefreshReport report;
};

// The copy job's position, posted with CopyProgressKey: only the latest one
// waits in the inbox.
struct CopyProgressEvent {
    core::JobGeneration generation = 0;
    copylist::CopyProgressReport report;
};

struct CopyFinishedEvent {
    core::JobGeneration generation = 0;
    copylist::CopySummary summary;
};

// The direct copy's percentage of its current file, posted with
// DirectCopyProgressKey.
struct DirectCopyProgressEvent {
    core::JobGeneration generation = 0;
    int percent = 0;
};

struct DirectCopyFinishedEvent {
    core::JobGeneration generation = 0;
    copylist::CopySummary summary;
};

// The batch search's share of the index scanned, posted with
// BatchProgressKey.
struct BatchProgressEvent {
    core::JobGeneration generation = 0;
    int percent = 0;
};

struct BatchFinishedEvent {
    core::JobGeneration generation = 0;
    search::BatchOutcome outcome;
};

// The inbox's coalescing keys of the progress events.
inline constexpr int CopyProgressKey = 1;
inline constexpr int DirectCopyProgressKey = 2;
inline constexpr int BatchProgressKey = 3;

// Each on the heap: events travel through the inbox by pointer, never copied.
using JobEvent =
    std::variant<std::unique_ptr<SearchFinishedEvent>, std::unique_ptr<RefreshFinishedEvent>,
                 std::unique_ptr<CopyProgressEvent>, std::unique_ptr<CopyFinishedEvent>,
                 std::unique_ptr<DirectCopyProgressEvent>, std::unique_ptr<DirectCopyFinishedEvent>,
                 std::unique_ptr<BatchProgressEvent>, std::unique_ptr<BatchFinishedEvent>>;

// The main window's inbox: wakes the window with one JobEventsMessage while
// events wait. Events posted before the window exists, or while it cannot
// take a message, wait for AttachWindow.
class JobInbox {
  public:
    JobInbox() : m_events([this] { return Wake(); }) {}

    // Any thread.
    void Post(JobEvent event, std::optional<int> coalesceKey = std::nullopt) {
        m_events.Post(std::move(event), coalesceKey);
    }
    // UI thread, in the window procedure.
    std::vector<JobEvent> Take() { return m_events.Take(); }

    // UI thread: the window that takes the events from now on (0: none).
    void AttachWindow(ExHandle window);

  private:
    bool Wake() const;

    std::atomic<ExHandle> m_window{0};
    EventInbox<JobEvent> m_events;
};

class JobReporter final : public search::SearchListener,
                          public index::RefreshListener,
                          public copylist::CopyJobListener,
                          public copylist::DirectCopyListener,
                          public search::BatchListener {
  public:
    explicit JobReporter(JobInbox& inbox) : m_inbox(inbox) {}

    void OnSearchFinished(core::JobGeneration generation, search::SearchOutcome outcome) override;
    void OnRefreshFinished(core::JobGeneration generation, index::RefreshReport report) override;
    void OnCopyProgress(core::JobGeneration generation,
                        copylist::CopyProgressReport report) override;
    void OnCopyFinished(core::JobGeneration generation, copylist::CopySummary summary) override;
    void OnDirectCopyProgress(core::JobGeneration generation, int percent) override;
    void OnDirectCopyFinished(core::JobGeneration generation,
                              copylist::CopySummary summary) override;
    void OnBatchProgress(core::JobGeneration generation, int percent) override;
    void OnBatchFinished(core::JobGeneration generation, search::BatchOutcome outcome) override;

  private:
    JobInbox& m_inbox;
};

}  // namespace cj::ui
