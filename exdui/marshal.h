// Carries calls from other threads to the UI thread.
//
// A worker's call is queued under our own mutex and the UI thread is woken by
// the back end's wake (backend/event_loop.h); the UI thread drains the queue
// in order. Only the wake-up crosses the system's event queue, never the call,
// so every hand-over is ordered by a std::mutex (ThreadSanitizer sees it).
// At most one wake-up is in flight.
//
// A drain runs only the calls queued when it began, so a flood from workers
// cannot starve painting and input. The wake-up is re-armed before each call
// runs: a call that opens its own event loop (a message box, a popup menu)
// keeps the queue served while it is open.
//
// The UI thread never waits on a worker. A worker waiting for a result sleeps
// on its own condition variable; BeginShutdown wakes every waiter whose call
// has not started, that call never runs (it may refer to the waiter's stack)
// and the waiter returns its fallback at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <type_traits>
#include <utility>

namespace exdui::marshal {

// Starts the queue on the calling thread, which becomes the UI thread. The
// back end's application must exist on it; calls are carried out while it
// runs an event loop.
void Start();
// From now on cross-thread calls return their fallback; queued ones are
// dropped and their waiters woken. Any thread.
void BeginShutdown();
// Ends the queue (Ex_UnInit). UI thread.
void Stop();

bool IsUiThread();
// Started and not shutting down.
bool IsRunning();

// Queues fn for the UI thread, also when called on it. False when not running.
bool Post(std::function<void()> fn);
// As Post, for high-rate setters: while an update for the same key is queued
// the new fn replaces it and the update moves to the back of the queue, so
// only the latest value is applied and it is applied after every call queued
// before it, in the order the calls were made. A value replaced faster than
// the UI thread reaches it waits until the replacing pauses.
bool PostLatest(int32_t handle, int32_t channel, std::function<void()> fn);
// Runs fn on the UI thread and waits for it (on the UI thread: runs it now).
// False when it did not run: not running, or shutdown began before it started.
bool CallBlocking(const std::function<void()>& fn);
// Calls queued and not yet started; for tests that must know a worker's call
// is waiting.
size_t QueuedCount();

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
