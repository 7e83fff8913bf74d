#include "ui/job_events.h"

#include "ui/control_ids.h"

namespace cj::ui {

void JobInbox::AttachWindow(ExHandle window) {
    m_window.store(window);
    if (window != 0) {
        m_events.Rearm();
    }
}

bool JobInbox::Wake() const {
    const ExHandle window = m_window.load();
    // The library only queues the message here: the window procedure runs
    // later, on the UI thread, never inside the inbox's lock.
    return window != 0 && Ex_WndPostMessage(window, JobEventsMessage, 0, 0) != 0;
}

}  // namespace cj::ui
