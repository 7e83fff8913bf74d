#include "list_view_widget.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include "backend/qt/qt_keys.h"
#include "backend/qt/qt_native_view.h"
#include "backend/qt/qt_painter.h"
#include "backend/tooltip.h"
#include "object_widget.h"

namespace exdui {

namespace {

ExPoint PointOf(const QPoint& p) {
    return {p.x(), p.y()};
}

std::int32_t ButtonOf(const QMouseEvent* event) {
    switch (event->button()) {
        case Qt::LeftButton:
            return EX_MK_LBUTTON;
        case Qt::RightButton:
            return EX_MK_RBUTTON;
        default:
            return 0;
    }
}

std::int32_t KeysOf(const QMouseEvent* event) {
    return static_cast<std::int32_t>(MouseKeys(event->buttons(), event->modifiers()));
}

}  // namespace

ListViewWidget::ListViewWidget(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The list paints its own background (often translucent over the window's).
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
    horizontalScrollBar()->setSingleStep(Horizontal().singleStep);
}

ExPoint ListViewWidget::ViewSize() const {
    return {viewport()->width(), viewport()->height()};
}

void ListViewWidget::InvalidateView() {
    viewport()->update();
}

void ListViewWidget::InvalidateRect(const ExRect& rect) {
    viewport()->update(backend::qt::ToQRect(rect));
}

void ListViewWidget::ScrollRangeChanged() {
    // Each field is read afresh: a bar that shows or hides resizes the view,
    // and the core's ranges change again inside these calls.
    const bool nested = m_syncing;
    m_syncing = true;
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, Vertical().maximum);
    bar->setSingleStep(Vertical().singleStep);
    bar->setPageStep(Vertical().pageStep);
    bar->setValue(Vertical().value);
    QScrollBar* across = horizontalScrollBar();
    across->setRange(0, Horizontal().maximum);
    across->setPageStep(Horizontal().pageStep);
    across->setValue(Horizontal().value);
    m_syncing = nested;
    LayoutChanged();
}

void ListViewWidget::paintEvent(QPaintEvent* event) {
    QPainter qpainter(viewport());
    backend::qt::QtPainter painter(qpainter);
    Paint(painter, backend::qt::ToExRect(event->rect()));
}

void ListViewWidget::resizeEvent(QResizeEvent* /*event*/) {
    UpdateScrollRanges();
    LayoutChanged();
}

void ListViewWidget::scrollContentsBy(int /*dx*/, int /*dy*/) {
    if (m_syncing) {
        return;  // the core moved itself and repaints
    }
    // The user moved a bar (dragged, clicked, wheeled).
    SetScrollValues(verticalScrollBar()->value(), horizontalScrollBar()->value());
    LayoutChanged();
}

bool ListViewWidget::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave) {
        MouseLeave();
    }
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const ListTip tip = TipAt(PointOf(help->pos()));
        if (!tip.text.empty()) {
            const QPoint at = help->globalPos();
            backend::ShowTooltip(backend::qt::ToNativeView(viewport()), ExPoint{at.x(), at.y()},
                                 tip.text, tip.area);
            return true;
        }
        // Nothing of the row's own: the object's tooltip, if any, shows.
        backend::HideTooltip();
        event->ignore();
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void ListViewWidget::mousePressEvent(QMouseEvent* event) {
    MouseDown(ButtonOf(event), PointOf(event->position().toPoint()), KeysOf(event));
    event->accept();
}

void ListViewWidget::mouseReleaseEvent(QMouseEvent* event) {
    MouseUp(ButtonOf(event), PointOf(event->position().toPoint()), KeysOf(event));
    event->accept();
}

void ListViewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    MouseDoubleClick(PointOf(event->position().toPoint()), KeysOf(event));
    event->accept();
}

void ListViewWidget::mouseMoveEvent(QMouseEvent* event) {
    MouseMove(PointOf(event->position().toPoint()), KeysOf(event));
    event->accept();
}

void ListViewWidget::keyPressEvent(QKeyEvent* event) {
    const std::int32_t modifiers =
        static_cast<std::int32_t>(MouseKeys(Qt::NoButton, event->modifiers()));
    if (KeyDown(VirtualKey(event->key()), modifiers)) {
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

}  // namespace exdui
