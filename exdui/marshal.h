// Carries calls from other threads to the UI thread.
//
// A worker's call is queued under our own mutex and the UI thread is woken
// through an eventfd watched by a QSocketNotifier; the UI thread drains the
// queue in order. Nothing of the call crosses through Qt's event queue, so
// every hand-over is ordered by a std::mutex (ThreadSanitizer sees it).
//
// The UI thread never waits on a worker. A worker waiting for a result polls
// the shutdown flag every 20 ms, so once shutdown begins every waiting or new
// cross-thread call returns its fallback at once and a call that was queued
// but not started never runs (it may refer to the waiter's stack).
#pragma once

#include <cstdint>
#include <functional>
#include <type_traits>
#include <utility>

namespace exdui::marshal {

// Starts the queue on the calling thread, which becomes the UI thread.
void Start();
// From now on cross-thread calls return their fallback; queued ones are dropped.
void BeginShutdown();
// Ends the queue (Ex_UnInit).
void Stop();

bool IsUiThread();
// Started and not shutting down.
bool IsRunning();

// Queues fn for the UI thread, also when called on it. False when not running.
bool Post(std::function<void()> fn);
// As Post, but while an update for the same key is queued the new fn replaces
// it: only the latest value of a high-rate setter is applied.
bool PostLatest(int32_t handle, int32_t channel, std::function<void()> fn);
// Runs fn on the UI thread and waits for it. False when it did not run.
bool CallBlocking(const std::function<void()>& fn);

// On the UI thread: fn() now. Elsewhere: fn() on the UI thread, waiting for
// its result, or fallback when the library is not running.
template <class F, class R = std::invoke_result_t<F&>>
R Call(F&& fn, R fallback) {
    if (IsUiThread()) {
        return fn();
    }
    R result = fallback;
    if (!CallBlocking([&] { result = fn(); })) {
        return fallback;
    }
    return result;
}

// On the UI thread: runs fn now. Elsewhere: queues it and returns at once.
// Returns what fn returned (UI thread) or whether it was queued.
bool Run(std::function<bool()> fn);

}  // namespace exdui::marshal
