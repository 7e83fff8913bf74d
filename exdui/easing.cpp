// Animations: a value eased from start to stop over a time, stepped by a
// timer on the UI thread. Each step notifies the context object (-8) or calls
// the context function with the progress (0..1, exactly 1 at the end) and the
// current value.
#include <QEasingCurve>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <set>

#include "handle_table.h"
#include "marshal.h"
#include "object.h"

namespace exdui {
namespace {

class Easing : public QObject {
  public:
    Easing(int32_t curve, uint32_t mode, intptr_t context, int32_t total, int32_t interval,
           int32_t start, int32_t stop, const intptr_t params[4])
        : m_mode(mode),
          m_context(context),
          m_total(std::max(0, total)),
          m_start(start),
          m_stop(stop) {
        auto type = static_cast<QEasingCurve::Type>(
            curve >= 0 && curve < QEasingCurve::BezierSpline ? curve : QEasingCurve::Linear);
        m_curve = QEasingCurve(type);
        std::copy(params, params + 4, m_params);
        m_timer.setInterval(std::max(1, interval));
        connect(&m_timer, &QTimer::timeout, this, [this] { Step(); });
    }

    void Start(ExHandle handle) {
        m_handle = handle;
        m_clock.start();
        m_timer.start();
    }

    void Stop() {
        m_timer.stop();
        handles::Remove(m_handle);
        Registry().erase(this);
        deleteLater();
    }

    bool IsRunning() const { return m_timer.isActive(); }

    static std::set<Easing*>& Registry() {
        static std::set<Easing*> all;  // UI thread.
        return all;
    }

  private:
    void Step() {
        double progress =
            m_total == 0 ? 1.0 : std::min(1.0, static_cast<double>(m_clock.elapsed()) / m_total);
        double eased = m_curve.valueForProgress(m_backwards ? 1.0 - progress : progress);
        ExEasingInfo info{m_handle,
                          progress,
                          m_start + (m_stop - m_start) * eased,
                          m_context,
                          (m_mode & EX_ES_SINGLE) != 0 ? 0 : -1,
                          m_params[0],
                          m_params[1],
                          m_params[2],
                          m_params[3]};
        ExHandle self = m_handle;
        if ((m_mode & EX_ES_DISPATCHNOTIFY) != 0) {
            if (Object* obj = ObjectFromHandle(static_cast<ExHandle>(m_context))) {
                obj->Notify(EX_NM_EASING, 0, reinterpret_cast<intptr_t>(&info));
            }
        }
        if ((m_mode & EX_ES_CALLFUNCTION) != 0 && m_context != 0) {
            reinterpret_cast<ExEasingProc>(m_context)(&info);
        }
        if (!handles::IsLive(self, Kind::Easing)) {
            return;  // destroyed by the step's receiver
        }
        if (progress < 1.0) {
            return;
        }
        if ((m_mode & EX_ES_SINGLE) != 0) {
            m_timer.stop();
            if ((m_mode & EX_ES_RELEASE) != 0) {
                Stop();
            }
            return;
        }
        if ((m_mode & EX_ES_REVERSE) != 0) {
            m_backwards = !m_backwards;
        }
        m_clock.restart();
    }

    uint32_t m_mode;
    intptr_t m_context;
    int32_t m_total;
    int32_t m_start;
    int32_t m_stop;
    intptr_t m_params[4] = {};
    bool m_backwards = false;
    ExHandle m_handle = 0;
    QEasingCurve m_curve;
    QElapsedTimer m_clock;
    QTimer m_timer;
};

}  // namespace

void DestroyAllEasings() {
    std::set<Easing*> all = Easing::Registry();
    for (Easing* e : all) {
        e->Stop();
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
                auto* e = new Easing(curve, mode, context, total, interval, start, stop, params);
                ExHandle handle = handles::AddRaw(Kind::Easing, e);
                Easing::Registry().insert(e);
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
            e->Stop();
            return 1;
        },
        0);
}

}  // extern "C"
