// A timer source on the UI thread: object timers (Ex_ObjSetTimer) and the
// steps of eased animations.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace exdui::backend {

class Timer {
  public:
    // Stops it. May be called from its own callback.
    virtual ~Timer() = default;
    // (Re)starts the timer: it fires every intervalMs milliseconds (at least
    // 1), or once with singleShot.
    virtual void Start(int32_t intervalMs, bool singleShot = false) = 0;
    virtual void Stop() = 0;
    // Started and not stopped; a single shot stops as it fires.
    virtual bool IsActive() const = 0;
};

// onFire runs on the UI thread from the event loop. It may stop, restart or
// destroy the timer. UI thread.
std::unique_ptr<Timer> MakeTimer(std::function<void()> onFire);

}  // namespace exdui::backend
