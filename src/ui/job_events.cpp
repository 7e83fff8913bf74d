#include "ui/job_events.h"

#include <utility>

#include "ui/control_ids.h"

namespace cj::ui {
namespace {

// Events are aggregates, built with braces: std::make_unique would need
// parenthesised aggregate initialisation, which not every compiler we use
// (clang 14, for the lint) has.
template <typename Event, typename... Fields>
std::unique_ptr<Event> MakeEvent(Fields&&... fields) {
    return std::unique_ptr<Event>(new Event{std::forward<Fields>(fields)...});
}

}  // namespace

void JobInbox::AttachWindow(ExHandle window) {
    m_window.store(window);
    if (window != 0) {
        m_events.Rearm();
    }
}

void JobReporter::OnSearchFinished(core::JobGeneration generation, search::SearchOutcome outcome) {
    m_inbox.Post(MakeEvent<SearchFinishedEvent>(generation, std::move(outcome)));
}

void JobReporter::OnRefreshFinished(core::JobGeneration generation, index::RefreshReport report) {
    m_inbox.Post(MakeEvent<RefreshFinishedEvent>(generation, std::move(report)));
}

void JobReporter::OnCopyProgress(core::JobGeneration generation,
                                 copylist::CopyProgressReport report) {
    m_inbox.Post(MakeEvent<CopyProgressEvent>(generation, std::move(report)), CopyProgressKey);
}

void JobReporter::OnCopyFinished(core::JobGeneration generation, copylist::CopySummary summary) {
    m_inbox.Post(MakeEvent<CopyFinishedEvent>(generation, std::move(summary)));
}

void JobReporter::OnDirectCopyProgress(core::JobGeneration generation, int percent) {
    m_inbox.Post(MakeEvent<DirectCopyProgressEvent>(generation, percent), DirectCopyProgressKey);
}

void JobReporter::OnDirectCopyFinished(core::JobGeneration generation,
                                       copylist::CopySummary summary) {
    m_inbox.Post(MakeEvent<DirectCopyFinishedEvent>(generation, std::move(summary)));
}

void JobReporter::OnBatchProgress(core::JobGeneration generation, int percent) {
    m_inbox.Post(MakeEvent<BatchProgressEvent>(generation, percent), BatchProgressKey);
}

void JobReporter::OnBatchFinished(core::JobGeneration generation, search::BatchOutcome outcome) {
    m_inbox.Post(MakeEvent<BatchFinishedEvent>(generation, std::move(outcome)));
}

bool JobInbox::Wake() const {
    const ExHandle window = m_window.load();
    // The library only queues the message here: the window procedure runs
    // later, on the UI thread, never inside the inbox's lock.
    return window != 0 && Ex_WndPostMessage(window, JobEventsMessage, 0, 0) != 0;
}

}  // namespace cj::ui
