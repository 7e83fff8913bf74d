// Timers on Win32: SetTimer on the UI thread's message-only window, so that
// they fire in every message loop of the thread.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <utility>

#include "backend/timer.h"
#include "backend/win32/win32_app.h"

namespace exdui::backend {
namespace win32 {
namespace {

class Win32Timer;
std::unordered_map<UINT_PTR, Win32Timer*> g_timers;  // UI thread: the timers by id
UINT_PTR g_nextTimerId = 1;

class Win32Timer final : public Timer {
  public:
    explicit Win32Timer(std::function<void()> onFire)
        : m_onFire(std::make_shared<std::function<void()>>(std::move(onFire))),
          m_id(g_nextTimerId++) {
        g_timers.emplace(m_id, this);
    }
    ~Win32Timer() override {
        Stop();
        g_timers.erase(m_id);
    }
    Win32Timer(const Win32Timer&) = delete;
    Win32Timer& operator=(const Win32Timer&) = delete;

    void Start(int32_t intervalMs, bool singleShot) override {
        m_singleShot = singleShot;
        m_active = SetTimer(MessageWindow(), m_id, static_cast<UINT>(std::max(1, intervalMs)),
                            nullptr) != 0;
    }

    void Stop() override {
        if (std::exchange(m_active, false)) {
            KillTimer(MessageWindow(), m_id);
        }
    }

    bool IsActive() const override { return m_active; }

    void Fire() {
        if (!m_active) {
            return;  // a WM_TIMER queued before Stop
        }
        if (m_singleShot) {
            Stop();
        }
        // The callback may destroy the timer: it runs from a reference of
        // its own.
        const std::shared_ptr<std::function<void()>> fn = m_onFire;
        (*fn)();
    }

  private:
    std::shared_ptr<std::function<void()>> m_onFire;
    UINT_PTR m_id;
    bool m_singleShot = false;
    bool m_active = false;
};

}  // namespace

void FireTimer(UINT_PTR id) {
    if (auto it = g_timers.find(id); it != g_timers.end()) {
        it->second->Fire();
    }
}

}  // namespace win32

std::unique_ptr<Timer> MakeTimer(std::function<void()> onFire) {
    return std::make_unique<win32::Win32Timer>(std::move(onFire));
}

}  // namespace exdui::backend
