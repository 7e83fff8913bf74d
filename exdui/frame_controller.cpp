// Moving and resizing frameless windows by hand. The platform's own move and
// resize (QWindow::startSystemMove) fail without a window manager (offscreen,
// bare Xvfb), so the window follows the pointer's screen position from where
// the drag began. One application-wide event filter sees the presses near a
// resizable window's edges before the objects under them do, and every move
// while a drag runs.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>

#include "backend/qt/qt_convert.h"
#include "backend/qt/qt_painter.h"
#include "window.h"
#include "window_widget.h"

namespace exdui {
namespace {

constexpr int EdgeMargin = 6;
constexpr int MinWidth = 120;
constexpr int MinHeight = 60;

enum Edge { Left = 1, Top = 2, Right = 4, Bottom = 8 };

int EdgesAt(QPoint local, QSize size) {
    int edges = 0;
    if (local.x() < EdgeMargin)
        edges |= Left;
    if (local.x() >= size.width() - EdgeMargin)
        edges |= Right;
    if (local.y() < EdgeMargin)
        edges |= Top;
    if (local.y() >= size.height() - EdgeMargin)
        edges |= Bottom;
    return edges;
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

WindowWidget* FrameOf(QObject* receiver) {
    auto* w = qobject_cast<QWidget*>(receiver);
    return w != nullptr ? dynamic_cast<WindowWidget*>(w->window()) : nullptr;
}

bool CanResize(WindowWidget* frame) {
    Window* win = frame->GetWindow();
    return win->IsBound() && (win->Style() & EX_WS_SIZEABLE) != 0 && !frame->isMaximized();
}

class FrameController : public QObject {
  public:
    void BeginMove(WindowWidget* frame, QPointF global) {
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
            default:
                return false;
        }
    }

  private:
    enum class Mode { None, Move, Resize };

    bool Press(QObject* receiver, QMouseEvent* event) {
        WindowWidget* frame = FrameOf(receiver);
        if (frame == nullptr || event->button() != Qt::LeftButton || m_mode != Mode::None ||
            !CanResize(frame)) {
            return false;
        }
        QPoint local = frame->mapFromGlobal(event->globalPosition()).toPoint();
        int edges = EdgesAt(local, frame->size());
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
            return false;  // the object under the pointer still sees the move
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
        WindowWidget* frame = FrameOf(receiver);
        if (frame == nullptr || event->buttons() != Qt::NoButton) {
            return;
        }
        int edges = 0;
        if (CanResize(frame)) {
            edges = EdgesAt(frame->mapFromGlobal(event->globalPosition()).toPoint(), frame->size());
        }
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
        return resizing;  // a move's release still reaches the object it began on
    }

    bool Key(QObject* receiver, QKeyEvent* event) {
        WindowWidget* frame = FrameOf(receiver);
        if (frame == nullptr || event->key() != Qt::Key_Escape) {
            return false;
        }
        Window* win = frame->GetWindow();
        if (!win->IsBound() || (win->Style() & EX_WS_ESCEXIT) == 0 || win->IsDestroying()) {
            return false;
        }
        win->Send(EX_WM_CLOSE, 0, 0);
        return true;
    }

    Mode m_mode = Mode::None;
    int m_edges = 0;
    QPointer<WindowWidget> m_frame;
    QPointF m_startGlobal;
    QRect m_startGeometry;
};

FrameController* g_controller = nullptr;  // UI thread.

}  // namespace

void InstallFrameController() {
    if (g_controller == nullptr && qApp != nullptr) {
        g_controller = new FrameController;
        qApp->installEventFilter(g_controller);
    }
}

void RemoveFrameController() {
    if (g_controller != nullptr) {
        if (qApp != nullptr) {
            qApp->removeEventFilter(g_controller);
        }
        delete g_controller;
        g_controller = nullptr;
    }
}

void BeginWindowMove(WindowWidget* widget, QPointF globalPos) {
    if (g_controller != nullptr) {
        g_controller->BeginMove(widget, globalPos);
    }
}

// ---- FrameButton -----------------------------------------------------------

FrameButton::FrameButton(Kind kind, WindowWidget* parent) : QWidget(parent), m_kind(kind) {
    setCursor(Qt::ArrowCursor);
}

void FrameButton::paintEvent(QPaintEvent*) {
    QPainter qpainter(this);
    backend::qt::QtPainter p(qpainter);
    const RectF area = backend::qt::ToRectF(rect());
    if (m_hover || m_down) {
        p.FillRect(area, m_kind == Close ? 0xFFE81123 : (m_down ? 0x5AFFFFFF : 0x32FFFFFF));
    }
    constexpr ExArgb Mark = 0xFFFFFFFF;
    constexpr double Pen = 1.2;
    p.SetAntialias(true);
    const PointF c = area.Center();
    const float s = 5;
    switch (m_kind) {
        case Close:
            p.DrawLine({c.x - s, c.y - s}, {c.x + s, c.y + s}, Mark, Pen);
            p.DrawLine({c.x - s, c.y + s}, {c.x + s, c.y - s}, Mark, Pen);
            break;
        case Maximize:
            if (window()->isMaximized()) {
                p.StrokeRect(RectF::OfSize(c.x - s, c.y - s + 2, 2 * s - 2, 2 * s - 2), Mark, Pen);
                const PointF corner[] = {
                    {c.x - s + 2, c.y - s}, {c.x + s, c.y - s}, {c.x + s, c.y + s - 2}};
                p.StrokePolyline(corner, Mark, Pen);
            } else {
                p.StrokeRect(RectF::OfSize(c.x - s, c.y - s, 2 * s, 2 * s), Mark, Pen);
            }
            break;
        case Minimize:
            p.DrawLine({c.x - s, c.y}, {c.x + s, c.y}, Mark, Pen);
            break;
    }
}

void FrameButton::enterEvent(QEnterEvent*) {
    m_hover = true;
    update();
}

void FrameButton::leaveEvent(QEvent*) {
    m_hover = false;
    update();
}

void FrameButton::mousePressEvent(QMouseEvent* event) {
    m_down = event->button() == Qt::LeftButton;
    update();
    event->accept();
}

void FrameButton::mouseReleaseEvent(QMouseEvent* event) {
    bool click =
        m_down && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_down = false;
    update();
    event->accept();
    if (!click) {
        return;
    }
    auto* frame = static_cast<WindowWidget*>(window());
    switch (m_kind) {
        case Close:
            frame->GetWindow()->Send(EX_WM_CLOSE, 0, 0);
            break;
        case Maximize:
            frame->isMaximized() ? frame->showNormal() : frame->showMaximized();
            break;
        case Minimize:
            frame->showMinimized();
            break;
    }
}

}  // namespace exdui
