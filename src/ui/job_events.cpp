#include "ui/job_events.h"

#include <utility>

#include "ui/control_ids.h"

namespace cj::ui {

void JobInbox::AttachWindow(ExHandle window) {
    m_window.store(window);
    if (window != 0) {
        m_events.Rearm();
    }
}

void JobReporter::OnSearchFinished(core::JobGeneration generation,
                                   search::SearchOutcome outcome) {
    m_inbox.Post(std::make_unique<SearchFinishedEvent>(generation, std::move(outcome)));
}

void JobReporter::OnRefreshFinished(core::JobGeneration generation, index::RefreshReport report) {
    m_inbox.Post(std::make_unique<RefreshFinishedEvent>(generation, std::move(report)));
}

void JobReporter::OnCopyProgress(core::JobGeneration generation,
                                 copylist::CopyProgressReport report) {
    m_inbox.Post(std::make_unique<CopyProgressEvent>(generation, std::move(report)),
                 CopyProgressKey);
}

void JobReporter::OnCopyFinished(core::JobGeneration generation, copylist::CopySummary summary) {
    m_inbox.Post(std::make_unique<CopyFinishedEvent>(generation, std::move(summary)));
}

void JobReporter::OnDirectCopyProgress(core::JobGeneration generation, int percent) {
    m_inbox.Post(std::make_unique<DirectCopyProgressEvent>(generation, percent),
                 DirectCopyProgressKey);
}

void JobReporter::OnDirectCopyFinished(core::JobGeneration generation,
                                       copylist::CopySummary summary) {
    m_inbox.Post(std::make_unique<DirectCopyFinishedEvent>(generation, std::move(summary)));
}

void JobReporter::OnBatchProgress(core::JobGeneration generation, int percent) {
    m_inbox.Post(std::make_unique<BatchProgressEvent>(generation, percent), BatchProgressKey);
}

void JobReporter::OnBatchFinished(core::JobGeneration generation, search::BatchOutcome outcome) {
    m_inbox.Post(std::make_unique<BatchFinishedEvent>(generation, std::move(outcome)));
}

bool JobInbox::Wake() const {
    const ExHandle window = m_window.load();
    // The library only queues the message here: the window procedure runs
    // later, on the UI thread, never inside the inbox's lock.
    return window != 0 && Ex_WndPostMessage(window, JobEventsMessage, 0, 0) != 0;
}

}  // namespace cj::ui
