#include "marshal.h"

#include <atomic>
#include <condition_variable>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "backend/event_loop.h"

namespace exdui::marshal {
namespace {

using LatestKey = std::pair<int32_t, int32_t>;

// The waiter of a blocking call. The call's task refers to the waiter's stack,
// so the waiter leaves only once the task is Done or will never run.
struct Pending {
    enum State { Queued, Done, Abandoned };
    std::mutex mu;
    std::condition_variable cv;
    State state = Queued;  // Under mu.
};

struct Task {
    std::function<void()> run;
    std::shared_ptr<Pending> waiter;  // Blocking calls only.
    uint64_t seq = 0;                 // Order of (the latest) queuing.
    bool coalesced = false;           // Made by PostLatest, listed in Queue::latest.
    LatestKey key{};                  // When coalesced.
};

struct Queue {
    std::mutex mu;
    // Always in ascending seq: new tasks and replaced latest values go to the
    // back. A list, so that a replaced value moves back without a copy and
    // the iterators in latest stay valid.
    std::list<Task> tasks;                                  // Under mu.
    std::map<LatestKey, std::list<Task>::iterator> latest;  // Under mu.
    uint64_t nextSeq = 0;                                   // Under mu.
    bool wakePending = false;                               // Under mu.
    bool accepting = false;                                 // Under mu.
    // Made on the UI thread by Start, destroyed there by Stop. The UI thread
    // prepares it whenever no wake-up is pending, so that a worker's post
    // hands the event queue nothing the worker wrote outside mu.
    std::unique_ptr<backend::Wake> wake;  // Under mu.
};

Queue& TheQueue() {
    static Queue* queue = new Queue;  // Never destroyed: workers may call during exit.
    return *queue;
}

std::atomic<std::thread::id> g_uiThread{};
std::atomic<bool> g_closing{false};

void Wake(Queue& q) {  // Under q.mu.
    if (!q.wakePending && q.wake != nullptr) {
        q.wakePending = true;
        q.wake->Post();
    }
}

void Finish(Pending& pending, Pending::State state) {
    std::lock_guard lock(pending.mu);
    pending.state = state;
    pending.cv.notify_all();
}

bool Enqueue(Task task) {
    Queue& q = TheQueue();
    std::lock_guard lock(q.mu);
    if (!q.accepting) {
        return false;
    }
    task.seq = q.nextSeq++;
    q.tasks.push_back(std::move(task));
    Wake(q);
    return true;
}

// Runs the tasks queued before it began; later ones wait for the next wake-up
// so that a flood from workers cannot starve painting and input. The wake-up
// is re-armed before each task runs: a task that opens a nested event loop
// (a modal box) would otherwise hold every other call back until it closes.
void Drain() {
    Queue& q = TheQueue();
    uint64_t end = 0;
    {
        std::lock_guard lock(q.mu);
        if (q.wake != nullptr) {
            q.wake->Prepare();
        }
        q.wakePending = false;
        end = q.nextSeq;
    }
    for (;;) {
        Task task;
        {
            std::lock_guard lock(q.mu);
            // A nested drain may have run the rest of this one's tasks.
            if (q.tasks.empty() || q.tasks.front().seq >= end) {
                return;
            }
            task = std::move(q.tasks.front());
            if (task.coalesced) {
                q.latest.erase(task.key);
            }
            q.tasks.pop_front();
            if (!q.tasks.empty()) {
                Wake(q);
            }
        }
        try {
            task.run();
        } catch (...) {
            // A failing call must not take the event loop down.
        }
        if (task.waiter) {
            Finish(*task.waiter, Pending::Done);
        }
    }
}

}  // namespace

void Start() {
    Queue& q = TheQueue();
    g_uiThread = std::this_thread::get_id();
    g_closing = false;
    std::lock_guard lock(q.mu);
    if (q.wake == nullptr) {
        q.wake = backend::MakeWake(&Drain);
    }
    q.wake->Prepare();
    q.accepting = true;
    q.wakePending = false;
}

void BeginShutdown() {
    g_closing = true;
    std::list<Task> dropped;
    {
        Queue& q = TheQueue();
        std::lock_guard lock(q.mu);
        q.accepting = false;
        dropped.swap(q.tasks);
        q.latest.clear();
    }
    // None of these will run: their waiters may leave now.
    for (Task& task : dropped) {
        if (task.waiter) {
            Finish(*task.waiter, Pending::Abandoned);
        }
    }
    // The tasks are destroyed here, outside the lock.
}

void Stop() {
    BeginShutdown();
    Queue& q = TheQueue();
    std::unique_ptr<backend::Wake> wake;
    {
        std::lock_guard lock(q.mu);
        wake = std::move(q.wake);
        q.wakePending = false;
    }
    // No wake-up can be posted any more; those in flight go with it.
    wake.reset();
    g_uiThread = std::thread::id{};
}

bool IsUiThread() {
    return g_uiThread.load() == std::this_thread::get_id();
}

bool IsRunning() {
    return g_uiThread.load() != std::thread::id{} && !g_closing.load();
}

bool Post(std::function<void()> fn) {
    return Enqueue(Task{std::move(fn), nullptr});
}

bool PostLatest(int32_t handle, int32_t channel, std::function<void()> fn) {
    Queue& q = TheQueue();
    LatestKey key{handle, channel};
    std::function<void()> replaced;  // Destroyed outside the lock.
    std::lock_guard lock(q.mu);
    if (!q.accepting) {
        return false;
    }
    if (auto it = q.latest.find(key); it != q.latest.end()) {
        Task& task = *it->second;
        replaced = std::exchange(task.run, std::move(fn));
        // Behind anything posted since its last post, so that it is applied
        // after it. When nothing was, it keeps its place and its number: a
        // value renumbered at every post would stay beyond every drain's end
        // for as long as a worker kept reporting, and the bar would not move.
        if (std::next(it->second) != q.tasks.end()) {
            task.seq = q.nextSeq++;
            q.tasks.splice(q.tasks.end(), q.tasks, it->second);
        }
    } else {
        Task task{std::move(fn), nullptr};
        task.seq = q.nextSeq++;
        task.coalesced = true;
        task.key = key;
        q.tasks.push_back(std::move(task));
        q.latest.emplace(key, std::prev(q.tasks.end()));
    }
    Wake(q);
    return true;
}

bool CallBlocking(const std::function<void()>& fn) {
    if (IsUiThread()) {
        // Waiting for ourselves would never end.
        try {
            fn();
        } catch (...) {
        }
        return true;
    }
    auto pending = std::make_shared<Pending>();
    // fn refers to the waiter's stack: it runs only while the waiter waits.
    if (!Enqueue(Task{std::function<void()>(std::cref(fn)), pending})) {
        return false;
    }
    std::unique_lock lock(pending->mu);
    pending->cv.wait(lock, [&] { return pending->state != Pending::Queued; });
    return pending->state == Pending::Done;
}

size_t QueuedCount() {
    Queue& q = TheQueue();
    std::lock_guard lock(q.mu);
    return q.tasks.size();
}

bool Run(std::function<bool()> fn) {
    if (IsUiThread()) {
        return fn();
    }
    return Post([f = std::move(fn)] { f(); });
}

}  // namespace exdui::marshal
