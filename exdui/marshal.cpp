#include "marshal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

namespace exdui::marshal {
namespace {

struct Queue {
    std::mutex mu;
    std::deque<std::function<void()>> tasks;                       // Under mu.
    std::map<std::pair<int32_t, int32_t>, std::function<void()>> latest;  // Under mu.
    bool wakePending = false;                                      // Under mu.
    bool accepting = false;                                        // Under mu.
    int fd = -1;                                                   // Set on the UI thread at start.
    QSocketNotifier* notifier = nullptr;                           // UI thread.
};

Queue& TheQueue() {
    static Queue* queue = new Queue;  // Never destroyed: workers may call during exit.
    return *queue;
}

std::atomic<std::thread::id> g_uiThread{};
std::atomic<bool> g_closing{false};

void Wake(Queue& q) {  // Under q.mu.
    if (!q.wakePending && q.fd >= 0) {
        q.wakePending = true;
        uint64_t one = 1;
        [[maybe_unused]] ssize_t n = write(q.fd, &one, sizeof one);
    }
}

bool Enqueue(std::function<void()> fn) {
    Queue& q = TheQueue();
    std::lock_guard lock(q.mu);
    if (!q.accepting) {
        return false;
    }
    q.tasks.push_back(std::move(fn));
    Wake(q);
    return true;
}

// Runs the tasks queued when the wake-up came; later ones wait for the next
// wake-up so that a flood from workers cannot starve painting and input.
void Drain() {
    Queue& q = TheQueue();
    uint64_t count = 0;
    [[maybe_unused]] ssize_t n = read(q.fd, &count, sizeof count);
    size_t budget;
    {
        std::lock_guard lock(q.mu);
        budget = q.tasks.size();
    }
    for (size_t i = 0; i < budget; ++i) {
        std::function<void()> task;
        {
            std::lock_guard lock(q.mu);
            if (q.tasks.empty()) {
                break;
            }
            task = std::move(q.tasks.front());
            q.tasks.pop_front();
        }
        try {
            task();
        } catch (...) {
            // A failing call must not take the event loop down.
        }
    }
    std::lock_guard lock(q.mu);
    q.wakePending = false;
    if (!q.tasks.empty()) {
        Wake(q);
    }
}

struct Pending {
    enum State { Queued, Running, Done, Abandoned };
    std::mutex mu;
    std::condition_variable cv;
    State state = Queued;  // Under mu.
};

}  // namespace

void Start() {
    Queue& q = TheQueue();
    g_uiThread = std::this_thread::get_id();
    g_closing = false;
    if (q.fd < 0) {
        q.fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    }
    if (q.notifier == nullptr && q.fd >= 0) {
        q.notifier = new QSocketNotifier(q.fd, QSocketNotifier::Read);
        QObject::connect(q.notifier, &QSocketNotifier::activated, [] { Drain(); });
    }
    std::lock_guard lock(q.mu);
    q.accepting = q.fd >= 0;
    q.wakePending = false;
}

void BeginShutdown() {
    g_closing = true;
    std::deque<std::function<void()>> dropped;
    std::map<std::pair<int32_t, int32_t>, std::function<void()>> droppedLatest;
    {
        Queue& q = TheQueue();
        std::lock_guard lock(q.mu);
        q.accepting = false;
        dropped.swap(q.tasks);
        droppedLatest.swap(q.latest);
    }
    // Destroyed here, outside the lock: their waiters see g_closing and leave.
}

void Stop() {
    BeginShutdown();
    Queue& q = TheQueue();
    delete q.notifier;
    q.notifier = nullptr;
    g_uiThread = std::thread::id{};
}

bool IsUiThread() {
    return g_uiThread.load() == std::this_thread::get_id();
}

bool IsRunning() {
    return g_uiThread.load() != std::thread::id{} && !g_closing.load();
}

bool Post(std::function<void()> fn) {
    return Enqueue(std::move(fn));
}

bool PostLatest(int32_t handle, int32_t channel, std::function<void()> fn) {
    Queue& q = TheQueue();
    std::pair<int32_t, int32_t> key{handle, channel};
    std::lock_guard lock(q.mu);
    if (!q.accepting) {
        return false;
    }
    auto it = q.latest.find(key);
    if (it != q.latest.end()) {
        it->second = std::move(fn);
        return true;
    }
    q.latest.emplace(key, std::move(fn));
    q.tasks.push_back([key] {
        std::function<void()> apply;
        {
            Queue& qq = TheQueue();
            std::lock_guard inner(qq.mu);
            auto found = qq.latest.find(key);
            if (found == qq.latest.end()) {
                return;
            }
            apply = std::move(found->second);
            qq.latest.erase(found);
        }
        apply();
    });
    Wake(q);
    return true;
}

bool CallBlocking(const std::function<void()>& fn) {
    if (g_closing.load()) {
        return false;
    }
    auto pending = std::make_shared<Pending>();
    // fn refers to the waiter's stack: it runs only while the waiter waits.
    bool queued = Enqueue([pending, &fn] {
        {
            std::lock_guard lock(pending->mu);
            if (pending->state == Pending::Abandoned) {
                return;
            }
            pending->state = Pending::Running;
        }
        try {
            fn();
        } catch (...) {
        }
        std::lock_guard lock(pending->mu);
        pending->state = Pending::Done;
        pending->cv.notify_all();
    });
    if (!queued) {
        return false;
    }
    std::unique_lock lock(pending->mu);
    while (pending->state != Pending::Done) {
        if (pending->state == Pending::Queued && g_closing.load()) {
            pending->state = Pending::Abandoned;
            return false;
        }
        pending->cv.wait_for(lock, std::chrono::milliseconds(20));
    }
    return true;
}

bool Run(std::function<bool()> fn) {
    if (IsUiThread()) {
        return fn();
    }
    return Post([f = std::move(fn)] { f(); });
}

}  // namespace exdui::marshal
