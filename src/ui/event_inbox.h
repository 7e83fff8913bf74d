// The window's inbox for the outcome events of its workers.
//
// Workers post events from their own threads; the inbox keeps them in order
// and asks the window, through the wake function, for one message at a time:
// the window procedure then takes every pending event and applies them on
// the UI thread. A progress event posted with a coalescing key replaces the
// pending event of the same key, so a worker that reports ten thousand times
// a second costs the window one update per message; the replacement moves to
// the end of the queue, behind every event posted before it.
#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace cj::ui {

template <class Event>
class EventInbox {
  public:
    // Posts the window's message; returns false when there is no window to
    // post to (yet, or any more). Called with the inbox's lock held, so it
    // must only queue, never run the window's code.
    using Wake = std::function<bool()>;

    explicit EventInbox(Wake wake) : m_wake(std::move(wake)) {}
    EventInbox(const EventInbox&) = delete;
    EventInbox& operator=(const EventInbox&) = delete;

    // Any thread.
    void Post(Event event, std::optional<int> coalesceKey = std::nullopt) {
        std::lock_guard lock(m_mutex);
        if (coalesceKey) {
            for (auto it = m_pending.begin(); it != m_pending.end(); ++it) {
                if (it->key == coalesceKey) {
                    m_pending.erase(it);
                    break;
                }
            }
        }
        m_pending.push_back({coalesceKey, std::move(event)});
        WakeLocked();
    }

    // UI thread, in the window procedure: the pending events in order.
    std::vector<Event> Take() {
        std::vector<Entry> taken;
        {
            std::lock_guard lock(m_mutex);
            taken.swap(m_pending);
            m_wakePending = false;
        }
        std::vector<Event> events;
        events.reserve(taken.size());
        for (Entry& entry : taken) {
            events.push_back(std::move(entry.event));
        }
        return events;
    }

    // Asks for a message again when events wait and none is on its way: after
    // the window has come into being, or when a wake could not be posted.
    void Rearm() {
        std::lock_guard lock(m_mutex);
        if (!m_pending.empty()) {
            WakeLocked();
        }
    }

  private:
    struct Entry {
        std::optional<int> key;
        Event event;
    };

    void WakeLocked() {  // Under m_mutex.
        if (!m_wakePending) {
            m_wakePending = m_wake();
        }
    }

    const Wake m_wake;
    std::mutex m_mutex;
    std::vector<Entry> m_pending;  // Under m_mutex.
    bool m_wakePending = false;    // Under m_mutex: a message is on its way.
};

}  // namespace cj::ui
