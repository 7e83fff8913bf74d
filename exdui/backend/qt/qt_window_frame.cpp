// Moving and resizing frameless windows by hand. The platform's own move and
// resize (QWindow::startSystemMove) fail without a window manager (offscreen,
// bare Xvfb), so the window follows the pointer's screen position from where
// the drag began. One application-wide event filter sees the presses on a
// window's edges (as the library's hit test names them) before the widgets
// under them do, every move while a drag runs, the keys pressed in a window
// before its widgets, and the pointer going onto a view inside a window.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <algorithm>

#include "backend/qt/qt_keys.h"
#include "backend/qt/qt_native_window.h"

namespace exdui::backend::qt {
namespace {

constexpr int MinWidth = 120;
constexpr int MinHeight = 60;

enum Edge { Left = 1, Top = 2, Right = 4, Bottom = 8 };

int EdgesOf(FrameHit hit) {
    switch (hit) {
        case FrameHit::Left:
            return Left;
        case FrameHit::Top:
            return Top;
        case FrameHit::Right:
            return Right;
        case FrameHit::Bottom:
            return Bottom;
        case FrameHit::TopLeft:
            return Top | Left;
        case FrameHit::TopRight:
            return Top | Right;
        case FrameHit::BottomLeft:
            return Bottom | Left;
        case FrameHit::BottomRight:
            return Bottom | Right;
        default:
            return 0;
    }
}

Qt::CursorShape CursorFor(int edges) {
    if (edges == (Left | Top) || edges == (Right | Bottom))
        return Qt::SizeFDiagCursor;
    if (edges == (Right | Top) || edges == (Left | Bottom))
        return Qt::SizeBDiagCursor;
    if ((edges & (Left | Right)) != 0)
        return Qt::SizeHorCursor;
    return Qt::SizeVerCursor;
}

int EdgesAt(QtNativeWindow* frame, QPointF global) {
    const QPoint local = frame->mapFromGlobal(global).toPoint();
    return EdgesOf(frame->Events().OnHitTest({local.x(), local.y()}));
}

class WindowFrames : public QObject {
  public:
    using QObject::QObject;

    void BeginMove(QtNativeWindow* frame, QPointF global) {
        m_mode = Mode::Move;
        m_frame = frame;
        m_startGlobal = global;
        m_startGeometry = frame->geometry();
    }

  protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                return Press(receiver, static_cast<QMouseEvent*>(event));
            case QEvent::MouseMove:
                return Move(receiver, static_cast<QMouseEvent*>(event));
            case QEvent::MouseButtonRelease:
                return Release();
            case QEvent::KeyPress:
                return Key(receiver, static_cast<QKeyEvent*>(event));
            case QEvent::Enter:
                Enter(receiver, static_cast<QEnterEvent*>(event));
                return false;
            default:
                return false;
        }
    }

  private:
    enum class Mode { None, Move, Resize };

    bool Press(QObject* receiver, QMouseEvent* event) {
        QtNativeWindow* frame = NativeWindowOf(receiver);
        if (frame == nullptr || event->button() != Qt::LeftButton || m_mode != Mode::None) {
            return false;
        }
        const int edges = EdgesAt(frame, event->globalPosition());
        if (edges == 0) {
            return false;
        }
        m_mode = Mode::Resize;
        m_edges = edges;
        m_frame = frame;
        m_startGlobal = event->globalPosition();
        m_startGeometry = frame->geometry();
        return true;
    }

    bool Move(QObject* receiver, QMouseEvent* event) {
        if (m_mode == Mode::None || !m_frame) {
            m_mode = Mode::None;
            Hover(receiver, event);
            return false;
        }
        QPoint delta = (event->globalPosition() - m_startGlobal).toPoint();
        if (m_mode == Mode::Move) {
            m_frame->move(m_startGeometry.topLeft() + delta);
            return false;  // the widget under the pointer still sees the move
        }
        // The far edge stays put: a size below the window's minimum would be
        // taken up by Qt at the right and bottom, moving that edge instead.
        const int minWidth = std::max(MinWidth, m_frame->minimumWidth());
        const int minHeight = std::max(MinHeight, m_frame->minimumHeight());
        QRect g = m_startGeometry;
        if ((m_edges & Left) != 0)
            g.setLeft(std::min(g.left() + delta.x(), g.right() - minWidth + 1));
        if ((m_edges & Right) != 0)
            g.setRight(std::max(g.right() + delta.x(), g.left() + minWidth - 1));
        if ((m_edges & Top) != 0)
            g.setTop(std::min(g.top() + delta.y(), g.bottom() - minHeight + 1));
        if ((m_edges & Bottom) != 0)
            g.setBottom(std::max(g.bottom() + delta.y(), g.top() + minHeight - 1));
        m_frame->setGeometry(g);
        return true;
    }

    void Hover(QObject* receiver, QMouseEvent* event) {
        QtNativeWindow* frame = NativeWindowOf(receiver);
        if (frame == nullptr || event->buttons() != Qt::NoButton) {
            return;
        }
        const int edges = EdgesAt(frame, event->globalPosition());
        if (edges != 0) {
            frame->setCursor(CursorFor(edges));
        } else if (frame->testAttribute(Qt::WA_SetCursor)) {
            frame->unsetCursor();
        }
    }

    bool Release() {
        bool resizing = m_mode == Mode::Resize;
        m_mode = Mode::None;
        m_frame = nullptr;
        return resizing;  // a move's release still reaches the widget it began on
    }

    // The library hears of the pointer going onto a view inside a window,
    // where the window's own moves stop.
    static void Enter(QObject* receiver, QEnterEvent* event) {
        auto* widget = qobject_cast<QWidget*>(receiver);
        QtNativeWindow* frame = NativeWindowOf(receiver);
        if (widget != nullptr && frame != nullptr && widget != frame && !widget->isWindow()) {
            frame->PointerOnChild(widget, event->position());
        }
    }

    bool Key(QObject* receiver, QKeyEvent* event) {
        QtNativeWindow* frame = NativeWindowOf(receiver);
        const int32_t key = VirtualKey(event->key());
        return frame != nullptr && key != 0 && frame->Events().OnKeyDown(key);
    }

    Mode m_mode = Mode::None;
    int m_edges = 0;
    QPointer<QtNativeWindow> m_frame;
    QPointF m_startGlobal;
    QRect m_startGeometry;
};

QPointer<WindowFrames> g_frames;  // UI thread; goes with the application

}  // namespace

void InstallWindowFrames() {
    if (g_frames == nullptr && qApp != nullptr) {
        g_frames = new WindowFrames(qApp);
        qApp->installEventFilter(g_frames);
    }
}

void BeginWindowMove(QtNativeWindow* frame, QPointF global) {
    if (WindowFrames* frames = g_frames.data()) {
        frames->BeginMove(frame, global);
    }
}

}  // namespace exdui::backend::qt
