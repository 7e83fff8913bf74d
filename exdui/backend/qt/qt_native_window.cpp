#include "backend/qt/qt_native_window.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "backend/qt/qt_convert.h"
#include "backend/qt/qt_native_view.h"
#include "backend/qt/qt_painter.h"

namespace exdui::backend {
namespace qt {

namespace {

ExPoint ToExPoint(QPointF p) {
    const QPoint q = p.toPoint();
    return {q.x(), q.y()};
}

}  // namespace

// The frame area: transparent, above the objects' widgets; drawn by the
// library in the window's client pixels, and its mouse input is the
// library's.
class FrameArea : public QWidget {
  public:
    FrameArea(QtNativeWindow* window) : QWidget(window), m_window(window) {
        setMouseTracking(true);
        setCursor(Qt::ArrowCursor);
        hide();
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter qpainter(this);
        QtPainter painter(qpainter);
        painter.Translate(static_cast<float>(-x()), static_cast<float>(-y()));
        m_window->Events().OnPaintFrame(painter, ToExRect(event->rect().translated(pos())));
    }

    void mouseMoveEvent(QMouseEvent* event) override { Tell(FrameMouse::Move, event); }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            Tell(FrameMouse::Press, event);
        }
        event->accept();
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            Tell(FrameMouse::Release, event);
        }
        event->accept();
    }

    void leaveEvent(QEvent*) override { m_window->Events().OnFrameMouse(FrameMouse::Leave, {}); }

  private:
    void Tell(FrameMouse action, QMouseEvent* event) {
        m_window->Events().OnFrameMouse(action, ToExPoint(mapToParent(event->position())));
    }

    QtNativeWindow* m_window;
};

QtNativeWindow::QtNativeWindow(const NativeWindowOptions& options, NativeWindowEvents& events)
    : QWidget(nullptr, (options.popup ? Qt::Popup : Qt::Window) | Qt::FramelessWindowHint),
      m_events(events),
      m_popup(options.popup) {
    if (!m_popup) {
        setAttribute(Qt::WA_TranslucentBackground);
    }
    setMouseTracking(true);
    m_frame = new FrameArea(this);
    if (options.owner != nullptr) {
        setParent(WidgetOf(*options.owner), windowFlags());
    }
    if (options.topmost) {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    setWindowTitle(ToQString(options.title));
    SetRect(options.rect);
}

QtNativeWindow::~QtNativeWindow() {
    // The objects' widgets refer to the library's window: they go first.
    const QList<QWidget*> kids = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    qDeleteAll(kids);
    m_events.OnDestroyed();
}

ExRect QtNativeWindow::Rect() const {
    return ToExRect(geometry());
}

ExRect QtNativeWindow::OuterRect() const {
    return ToExRect(frameGeometry());
}

void QtNativeWindow::SetRect(const ExRect& rect) {
    setGeometry(rect.left, rect.top, std::max(1, rect.right - rect.left),
                std::max(1, rect.bottom - rect.top));
}

void QtNativeWindow::Show(int32_t command) {
    switch (command) {
        case EX_SW_HIDE:
            hide();
            break;
        case EX_SW_SHOWMINIMIZED:
            showMinimized();
            break;
        case EX_SW_SHOWMAXIMIZED:
            showMaximized();
            break;
        case EX_SW_SHOWNOACTIVATE:
            setAttribute(Qt::WA_ShowWithoutActivating, true);
            showNormal();
            setAttribute(Qt::WA_ShowWithoutActivating, false);
            break;
        case EX_SW_SHOWNORMAL:
        case EX_SW_RESTORE:
            showNormal();
            activateWindow();
            break;
        default:
            show();
            break;
    }
}

WindowState QtNativeWindow::State() const {
    if (isMinimized()) {
        return WindowState::Minimized;
    }
    return isMaximized() ? WindowState::Maximized : WindowState::Normal;
}

bool QtNativeWindow::IsVisible() const {
    return isVisible();
}

void QtNativeWindow::Enable(bool enable) {
    setEnabled(enable);
}

void QtNativeWindow::SetTopmost(bool topmost) {
    const bool visible = isVisible();
    const QRect g = geometry();
    setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    setGeometry(g);
    if (visible) {
        show();  // changing flags hides a window
    }
}

void QtNativeWindow::SetMinSize(int32_t width, int32_t height) {
    // Frameless: the outer size is the widget's own.
    setMinimumSize(std::max(0, width), std::max(0, height));
}

void QtNativeWindow::Invalidate(const ExRect* area) {
    if (area != nullptr) {
        update(ToQRect(*area));
    } else {
        update();
    }
}

void QtNativeWindow::SetFrameArea(const ExRect& area) {
    const QRect r = ToQRect(area);
    if (r.isEmpty()) {
        m_frame->hide();
        return;
    }
    m_frame->setGeometry(r);
    m_frame->raise();
    m_frame->show();
}

NativeView* QtNativeWindow::View() {
    return ToNativeView(this);
}

void QtNativeWindow::Destroy() {
    hide();
    deleteLater();
}

void QtNativeWindow::paintEvent(QPaintEvent* event) {
    QPainter qpainter(this);
    QtPainter painter(qpainter);
    m_events.OnPaint(painter, ToExRect(event->rect()));
}

void QtNativeWindow::resizeEvent(QResizeEvent*) {
    m_events.OnResized(width(), height());
}

void QtNativeWindow::moveEvent(QMoveEvent*) {
    m_events.OnMoved(x(), y());
    DismissPopups();
}

void QtNativeWindow::closeEvent(QCloseEvent* event) {
    if (m_popup) {
        // Qt closes a popup itself (a press outside it, the application
        // going inactive): the library hears of it once it is hidden.
        event->accept();
        if (isVisible()) {
            hide();
            m_events.OnPopupDismissed();
        }
        return;
    }
    // The library decides, and destroys the window when it agrees.
    event->ignore();
    m_events.OnCloseRequested();
}

void QtNativeWindow::DismissPopups() {
    // Not findChildren: without a meta-object of its own this class would
    // match every child widget.
    const QObjectList kids = children();
    for (QObject* child : kids) {
        auto* window = dynamic_cast<QtNativeWindow*>(child);
        if (window != nullptr && window->m_popup && window->isVisible()) {
            window->close();
        }
    }
}

void QtNativeWindow::mousePressEvent(QMouseEvent* event) {
    // A popup takes every press while it is shown: one outside it closes it.
    if (m_popup) {
        if (!rect().contains(event->position().toPoint())) {
            close();
        }
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton &&
        m_events.OnHitTest(ToExPoint(event->position())) == FrameHit::Caption) {
        BeginWindowMove(this, event->globalPosition());
    }
    event->accept();
}

void QtNativeWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        m_events.OnStateChanged(State());
    } else if (event->type() == QEvent::ActivationChange) {
        const bool active = isActiveWindow();
        if (!active) {
            DismissPopups();
        }
        m_events.OnActivated(active);
    }
    QWidget::changeEvent(event);
}

QtNativeWindow* NativeWindowOf(QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    return widget != nullptr ? dynamic_cast<QtNativeWindow*>(widget->window()) : nullptr;
}

}  // namespace qt

NativeWindow* CreateNativeWindow(const NativeWindowOptions& options, NativeWindowEvents& events) {
    qt::InstallWindowFrames();
    return new qt::QtNativeWindow(options, events);
}

}  // namespace exdui::backend
