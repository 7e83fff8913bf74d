// The system's application, its event loop, and the wake that brings the UI
// thread calls from other threads. Every function here is for the UI thread
// (the thread that started the application) unless it says otherwise.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace exdui::backend {

// Makes the calling thread the UI thread: starts the system's application
// unless the embedding program runs one on this thread already, which is then
// used as it is. False when one exists that cannot show windows or runs on
// another thread.
bool StartApplication();
// Ends the application StartApplication made; one it found stays.
void EndApplication();

// Runs the event loop until QuitLoops. A loop may run inside another (a call
// made from an event that runs its own); each returns once control is back.
void RunLoop();
// Ends every RunLoop running now; a loop started later runs on.
void QuitLoops();
// Runs events as they come (timers, calls from other threads, input,
// repaints) for ms milliseconds in a loop of its own; 0 runs those pending.
void RunEvents(int32_t ms);
// Frees now the system objects whose freeing was left to the event loop
// (windows destroyed from inside their own events).
void DeleteDeferredObjects();

// Wakes the UI thread: after Post, the UI thread calls the wake's function
// once from its event loop, also from a loop nested in an event (a message
// box). Posts and Prepare are serialised by the owner's lock: the wake keeps
// none of its own.
class Wake {
  public:
    virtual ~Wake() = default;  // UI thread; wake-ups in flight are dropped.
    // Any thread.
    virtual void Post() = 0;
    // UI thread, whenever no wake-up is pending: readies what the next Post
    // hands to the system, so that a worker's Post allocates nothing and
    // passes the event queue nothing that the worker wrote.
    virtual void Prepare() = 0;
};
// onWake runs on the UI thread, after StartApplication.
std::unique_ptr<Wake> MakeWake(std::function<void()> onWake);

}  // namespace exdui::backend
