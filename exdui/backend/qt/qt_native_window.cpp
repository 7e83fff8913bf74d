#include "backend/qt/qt_native_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QUrl>
#include <algorithm>

#include "backend/qt/qt_convert.h"
#include "backend/qt/qt_keys.h"
#include "backend/qt/qt_native_view.h"
#include "backend/qt/qt_painter.h"

namespace exdui::backend {
namespace qt {

namespace {

ExPoint ToExPoint(QPointF p) {
    const QPoint q = p.toPoint();
    return {q.x(), q.y()};
}

bool ButtonOf(Qt::MouseButton qtButton, MouseButton* button) {
    switch (qtButton) {
        case Qt::LeftButton:
            *button = MouseButton::Left;
            return true;
        case Qt::RightButton:
            *button = MouseButton::Right;
            return true;
        case Qt::MiddleButton:
            *button = MouseButton::Middle;
            return true;
        default:
            return false;
    }
}

uint32_t KeysOf(const QMouseEvent* event) {
    return static_cast<uint32_t>(MouseKeys(event->buttons(), event->modifiers()));
}

// The local files a drag brings; none for anything else.
std::vector<std::u16string> LocalFiles(const QMimeData* mime) {
    std::vector<std::u16string> names;
    if (mime == nullptr || !mime->hasUrls()) {
        return names;
    }
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) {
            names.push_back(url.toLocalFile().toStdU16String());
        }
    }
    return names;
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

    void enterEvent(QEnterEvent*) override { m_window->Events().OnMouseLeave(); }

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
    setAcceptDrops(true);
    m_frame = new FrameArea(this);
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this,
                           [this](QWidget* old, QWidget* now) { FocusMoved(old, now); });
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
    disconnect(m_focusWatch);
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

void QtNativeWindow::TakeFocus() {
    setFocus(Qt::OtherFocusReason);
}

bool QtNativeWindow::HasFocus() const {
    return hasFocus();
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

void QtNativeWindow::Press(QMouseEvent* event, bool doubleClick) {
    // A popup takes every press while it is shown: one outside it closes it.
    if (m_popup && !rect().contains(event->position().toPoint())) {
        event->accept();
        close();
        return;
    }
    event->accept();
    MouseButton button;
    if (!ButtonOf(event->button(), &button)) {
        return;
    }
    const ExPoint at = ToExPoint(event->position());
    const bool caption = button == MouseButton::Left && m_events.OnHitTest(at) == FrameHit::Caption;
    const QPointF global = event->globalPosition();
    QPointer<QtNativeWindow> self(this);
    if (doubleClick) {
        m_events.OnDoubleClick(button, at, KeysOf(event));
    } else {
        m_events.OnMouseDown(button, at, KeysOf(event));
    }
    if (caption && self && isVisible()) {
        BeginWindowMove(this, global);
    }
}

void QtNativeWindow::mousePressEvent(QMouseEvent* event) {
    Press(event, false);
}

void QtNativeWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    Press(event, true);
}

void QtNativeWindow::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    MouseButton button;
    if (ButtonOf(event->button(), &button)) {
        m_events.OnMouseUp(button, ToExPoint(event->position()), KeysOf(event));
    }
}

void QtNativeWindow::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    m_events.OnMouseMove(ToExPoint(event->position()), KeysOf(event));
}

void QtNativeWindow::enterEvent(QEnterEvent* event) {
    m_events.OnMouseEnter(ToExPoint(event->position()));
}

void QtNativeWindow::leaveEvent(QEvent*) {
    m_events.OnMouseLeave();
}

void QtNativeWindow::PointerOnChild(QWidget* child, QPointF local) {
    if (child != m_frame && !m_frame->isAncestorOf(child)) {
        m_events.OnMouseEnter(ToExPoint(child->mapTo(this, local)));
    }
}

void QtNativeWindow::wheelEvent(QWheelEvent* event) {
    const auto keys = static_cast<uint32_t>(MouseKeys(event->buttons(), event->modifiers()));
    event->setAccepted(
        m_events.OnWheel(ToExPoint(event->position()), event->angleDelta().y(), keys));
}

void QtNativeWindow::keyPressEvent(QKeyEvent* event) {
    std::u16string text;
    for (QChar c : event->text()) {
        if (c.isPrint()) {
            text.push_back(c.unicode());
        }
    }
    const auto modifiers = static_cast<uint32_t>(MouseKeys(Qt::NoButton, event->modifiers()));
    event->setAccepted(m_events.OnKey(true, VirtualKey(event->key()), modifiers, text));
}

void QtNativeWindow::keyReleaseEvent(QKeyEvent* event) {
    const auto modifiers = static_cast<uint32_t>(MouseKeys(Qt::NoButton, event->modifiers()));
    event->setAccepted(m_events.OnKey(false, VirtualKey(event->key()), modifiers, {}));
}

void QtNativeWindow::focusInEvent(QFocusEvent*) {
    m_events.OnFocusChanged(true);
}

void QtNativeWindow::focusOutEvent(QFocusEvent*) {
    m_events.OnFocusChanged(false);
}

QWidget* QtNativeWindow::ChildViewOf(QWidget* widget) const {
    for (QWidget* w = widget; w != nullptr && w != this; w = w->parentWidget()) {
        if (w->parentWidget() == this) {
            return w;
        }
        if (w->isWindow()) {
            return nullptr;
        }
    }
    return nullptr;
}

void QtNativeWindow::FocusMoved(QWidget* old, QWidget* now) {
    QPointer<QtNativeWindow> self(this);
    if (QWidget* view = ChildViewOf(old)) {
        m_events.OnViewFocus(ToNativeView(view), false);
    }
    if (QWidget* view = self ? ChildViewOf(now) : nullptr) {
        m_events.OnViewFocus(ToNativeView(view), true);
    }
}

void QtNativeWindow::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);  // an enter is the first move
}

void QtNativeWindow::dragMoveEvent(QDragMoveEvent* event) {
    const std::vector<std::u16string> files = LocalFiles(event->mimeData());
    if (!files.empty() && m_events.OnFilesOver(ToExPoint(event->position()), files)) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void QtNativeWindow::dropEvent(QDropEvent* event) {
    const std::vector<std::u16string> files = LocalFiles(event->mimeData());
    if (!files.empty() && m_events.OnFilesDropped(ToExPoint(event->position()), files)) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void QtNativeWindow::showEvent(QShowEvent*) {
    m_events.OnVisible(true);
}

void QtNativeWindow::hideEvent(QHideEvent*) {
    m_events.OnVisible(false);
}

void QtNativeWindow::childEvent(QChildEvent* event) {
    // Views made inside the window stay below the frame area.
    if (event->added() && m_frame != nullptr && event->child() != m_frame &&
        event->child()->isWidgetType()) {
        m_frame->raise();
    }
    QWidget::childEvent(event);
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
