// Animations: a value eased from start to stop over a time, stepped by a
// timer on the UI thread. Each step notifies the context object (-8) or calls
// the context function with the progress (0..1, exactly 1 at the end) and the
// current value.
#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "backend/timer.h"
#include "easing_curves.h"
#include "handle_table.h"
#include "marshal.h"
#include "object.h"

namespace exdui {
namespace {

using Clock = std::chrono::steady_clock;

class Easing {
  public:
    Easing(int32_t curve, uint32_t mode, intptr_t context, int32_t total, int32_t interval,
           int32_t start, int32_t stop, const intptr_t params[4])
        : m_curve(curve),
          m_mode(mode),
          m_context(context),
          m_total(std::max(0, total)),
          m_interval(std::max(1, interval)),
          m_start(start),
          m_stop(stop),
          m_timer(backend::MakeTimer([this] { Step(); })) {
        std::copy(params, params + 4, m_params);
    }

    void Start(ExHandle handle) {
        m_handle = handle;
        m_began = Clock::now();
        m_timer->Start(m_interval);
    }

    bool IsRunning() const { return m_timer->IsActive(); }

    // Frees the easing, also from inside its own step.
    static void Destroy(Easing* easing) {
        handles::Remove(easing->m_handle);
        std::erase_if(Registry(), [easing](const auto& e) { return e.get() == easing; });
    }

    static std::vector<std::unique_ptr<Easing>>& Registry() {
        static std::vector<std::unique_ptr<Easing>> all;  // UI thread.
        return all;
    }

  private:
    void Step() {
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_began).count();
        const double progress =
            m_total == 0 ? 1.0 : std::min(1.0, static_cast<double>(elapsed) / m_total);
        const double eased = EaseCurve(m_curve, m_backwards ? 1.0 - progress : progress);
        ExEasingInfo info{m_handle,
                          progress,
                          m_start + (m_stop - m_start) * eased,
                          m_context,
                          (m_mode & EX_ES_SINGLE) != 0 ? 0 : -1,
                          m_params[0],
                          m_params[1],
                          m_params[2],
                          m_params[3]};
        // The receivers may destroy the easing: after them only the copies
        // are read until it is known to live.
        const ExHandle self = m_handle;
        const uint32_t mode = m_mode;
        const intptr_t context = m_context;
        if ((mode & EX_ES_DISPATCHNOTIFY) != 0) {
            if (Object* obj = ObjectFromHandle(static_cast<ExHandle>(context))) {
                obj->Notify(EX_NM_EASING, 0, reinterpret_cast<intptr_t>(&info));
            }
        }
        if ((mode & EX_ES_CALLFUNCTION) != 0 && context != 0) {
            reinterpret_cast<ExEasingProc>(context)(&info);
        }
        if (!handles::IsLive(self, Kind::Easing)) {
            return;  // destroyed by the step's receiver
        }
        if (progress < 1.0) {
            return;
        }
        if ((mode & EX_ES_SINGLE) != 0) {
            m_timer->Stop();
            if ((mode & EX_ES_RELEASE) != 0) {
                Destroy(this);
            }
            return;
        }
        if ((mode & EX_ES_REVERSE) != 0) {
            m_backwards = !m_backwards;
        }
        m_began = Clock::now();
    }

    int32_t m_curve;
    uint32_t m_mode;
    intptr_t m_context;
    int32_t m_total;     // ms
    int32_t m_interval;  // ms
    int32_t m_start;
    int32_t m_stop;
    intptr_t m_params[4] = {};
    bool m_backwards = false;
    ExHandle m_handle = 0;
    Clock::time_point m_began;
    std::unique_ptr<backend::Timer> m_timer;
};

}  // namespace

void DestroyAllEasings() {
    while (!Easing::Registry().empty()) {
        Easing::Destroy(Easing::Registry().back().get());
    }
}

}  // namespace exdui

using namespace exdui;

extern "C" {

EXDUI_API ExHandle _easing_create(int32_t curve, void* curveContext, uint32_t mode,
                                  intptr_t context, int32_t total, int32_t interval, uint32_t state,
                                  int32_t start, int32_t stop, intptr_t param1, intptr_t param2,
                                  intptr_t param3, intptr_t param4) {
    (void)curveContext;
    (void)state;
    try {
        const intptr_t params[4] = {param1, param2, param3, param4};
        return marshal::Call(
            [&]() -> ExHandle {
                auto easing = std::make_unique<Easing>(curve, mode, context, total, interval, start,
                                                       stop, params);
                Easing* e = easing.get();
                ExHandle handle = handles::AddRaw(Kind::Easing, e);
                if (handle == 0) {
                    return 0;
                }
                Easing::Registry().push_back(std::move(easing));
                e->Start(handle);
                return handle;
            },
            ExHandle{0});
    } catch (...) {
        return 0;
    }
}

EXDUI_API int _easing_isrunning(ExHandle easing) {
    return marshal::Call(
        [&] {
            auto* e = handles::RawAs<Easing>(easing, Kind::Easing);
            return e != nullptr && e->IsRunning() ? 1 : 0;
        },
        0);
}

EXDUI_API int _easing_destroy(ExHandle easing) {
    return marshal::Call(
        [&] {
            auto* e = handles::RawAs<Easing>(easing, Kind::Easing);
            if (e == nullptr) {
                return 0;
            }
            Easing::Destroy(e);
            return 1;
        },
        0);
}

}  // extern "C"
