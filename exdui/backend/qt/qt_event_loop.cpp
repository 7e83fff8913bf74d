// The application, the event loops and the wake on Qt: QApplication,
// QEventLoop, and one posted event of the library's own type.
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <utility>
#include <vector>

#include "backend/event_loop.h"

namespace exdui::backend {
namespace {

QApplication* g_ownApp = nullptr;  // UI thread: the application StartApplication made.
std::vector<QEventLoop*> g_loops;  // UI thread: the RunLoop loops running, innermost last.

QEvent::Type WakeEventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

// Receives the wake-ups on the UI thread. The window benchmark tells the wake
// from other events by this: an event of a registered type posted to an object
// that is no widget.
class WakeReceiver final : public QObject {
  public:
    explicit WakeReceiver(std::function<void()> onWake) : m_onWake(std::move(onWake)) {}

    bool event(QEvent* e) override {
        if (e->type() == WakeEventType()) {
            m_onWake();
            return true;
        }
        return QObject::event(e);
    }

  private:
    std::function<void()> m_onWake;
};

class QtWake final : public Wake {
  public:
    explicit QtWake(std::function<void()> onWake)
        : m_receiver(new WakeReceiver(std::move(onWake))) {}
    ~QtWake() override {
        // Qt drops the events in flight to a receiver it deletes.
        delete m_receiver;
        delete m_spare;
    }
    QtWake(const QtWake&) = delete;
    QtWake& operator=(const QtWake&) = delete;

    void Post() override {
        // Qt's own queue lock is invisible to ThreadSanitizer: a worker only
        // passes on the event the UI thread made.
        QEvent* event = std::exchange(m_spare, nullptr);
        QCoreApplication::postEvent(m_receiver,
                                    event != nullptr ? event : new QEvent(WakeEventType()));
    }

    void Prepare() override {
        if (m_spare == nullptr) {
            m_spare = new QEvent(WakeEventType());
        }
    }

  private:
    WakeReceiver* m_receiver;   // Lives on the UI thread.
    QEvent* m_spare = nullptr;  // Under the owner's lock.
};

}  // namespace

bool StartApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "exdui";
        static char* argv[] = {name, nullptr};
        g_ownApp = new QApplication(argc, argv);
    } else if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr ||
               QCoreApplication::instance()->thread() != QThread::currentThread()) {
        return false;  // widgets need a QApplication, on this thread
    }
    // The program decides when it ends: its main window's destruction ends
    // the message loop, whatever other windows remain.
    QApplication::setQuitOnLastWindowClosed(false);
    return true;
}

void EndApplication() {
    delete std::exchange(g_ownApp, nullptr);
}

void RunLoop() {
    QEventLoop loop;
    g_loops.push_back(&loop);
    loop.exec();
    std::erase(g_loops, &loop);
}

void QuitLoops() {
    for (QEventLoop* loop : g_loops) {
        loop->quit();
    }
}

void RunEvents(int32_t ms) {
    if (ms <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void DeleteDeferredObjects() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::unique_ptr<Wake> MakeWake(std::function<void()> onWake) {
    WakeEventType();  // Registered on the UI thread, before any worker posts.
    return std::make_unique<QtWake>(std::move(onWake));
}

}  // namespace exdui::backend
