#include <QTimer>
#include <algorithm>
#include <memory>
#include <utility>

#include "backend/timer.h"

namespace exdui::backend {
namespace {

class QtTimer final : public Timer {
  public:
    explicit QtTimer(std::function<void()> onFire) : m_timer(new QTimer) {
        // The callback lives in the connection, so it outlives a timer
        // destroyed from inside it (see the destructor).
        QObject::connect(m_timer, &QTimer::timeout, m_timer,
                         [this, alive = m_alive, fn = std::move(onFire)] {
                             ++m_firing;
                             fn();
                             if (*alive) {
                                 --m_firing;
                             }
                         });
    }

    ~QtTimer() override {
        *m_alive = false;
        m_timer->stop();
        // Destroyed from its own callback (also a nested one): Qt is still
        // inside the QTimer's signal, which must outlive it.
        if (m_firing > 0) {
            m_timer->deleteLater();
        } else {
            delete m_timer;
        }
    }
    QtTimer(const QtTimer&) = delete;
    QtTimer& operator=(const QtTimer&) = delete;

    void Start(int32_t intervalMs, bool singleShot) override {
        m_timer->setSingleShot(singleShot);
        m_timer->start(std::max(1, intervalMs));
    }

    void Stop() override { m_timer->stop(); }

    bool IsActive() const override { return m_timer->isActive(); }

  private:
    QTimer* m_timer;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);  // False once destroyed.
    int m_firing = 0;  // Callbacks running, counting nested ones.
};

}  // namespace

std::unique_ptr<Timer> MakeTimer(std::function<void()> onFire) {
    return std::make_unique<QtTimer>(std::move(onFire));
}

}  // namespace exdui::backend
