#include "list_view_widget.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include "backend/qt/qt_font.h"
#include "backend/qt/qt_keys.h"
#include "backend/qt/qt_native_view.h"
#include "backend/qt/qt_painter.h"
#include "backend/tooltip.h"

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

// The column titles above a report list's rows. It lives in the scroll
// area's top margin; the core paints it and takes its mouse.
class ListHeaderWidget : public QWidget {
  public:
    ListHeaderWidget(QWidget* parent, ReportListCore& report) : QWidget(parent), m_report(report) {
        setMouseTracking(true);
    }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter qpainter(this);
        backend::qt::QtPainter painter(qpainter);
        m_report.PaintHeader(painter, backend::qt::ToExRect(rect()));
    }

    void mousePressEvent(QMouseEvent* event) override {
        m_report.HeaderMouseDown(event->button() == Qt::LeftButton,
                                 event->position().toPoint().x());
        event->accept();
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        const bool resizing = m_report.HeaderResizing();
        const bool edge = m_report.HeaderMouseMove(event->position().toPoint().x());
        if (!resizing) {
            setCursor(edge ? Qt::SplitHCursor : Qt::ArrowCursor);
        }
        event->accept();
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        event->accept();
        m_report.HeaderMouseUp(event->button() == Qt::LeftButton, event->position().toPoint().x());
    }

  private:
    ReportListCore& m_report;
};

ListViewWidget::ListViewWidget(QWidget* parent, std::unique_ptr<ListViewCore> core)
    : QAbstractScrollArea(parent),
      m_core(std::move(core)),
      m_report(dynamic_cast<ReportListCore*>(m_core.get())) {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The list paints its own background (often translucent over the window's).
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
    horizontalScrollBar()->setSingleStep(m_core->Horizontal().singleStep);
    if (m_report != nullptr) {
        m_header = new ListHeaderWidget(this, *m_report);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
    m_core->SetSurface(this);
    FontChanged();
}

ListViewWidget::~ListViewWidget() {
    m_core->SetSurface(nullptr);
    if (m_gone) {
        m_gone();
    }
}

ListFrame* MakeListFrame(Object& obj, std::unique_ptr<ListViewCore> core) {
    auto* widget = new ListViewWidget(obj.Widget(), std::move(core));
    obj.SetFocusProxy(widget);
    widget->setFont(backend::qt::QFontOf(obj.Font()));
    return widget;
}

void ListViewWidget::Fit() {
    if (const QWidget* area = parentWidget()) {
        setGeometry(area->rect());
    }
}

void ListViewWidget::ShowScrollBars(bool vertical, bool horizontal) {
    const auto down = vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    if (verticalScrollBarPolicy() != down) {
        setVerticalScrollBarPolicy(down);
    }
    const auto across = horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    if (horizontalScrollBarPolicy() != across) {
        setHorizontalScrollBarPolicy(across);
    }
}

ExPoint ListViewWidget::ToClient(ExPoint viewPos) const {
    const QPoint client = viewport()->mapTo(parentWidget(), QPoint(viewPos.x, viewPos.y));
    return {client.x(), client.y()};
}

void ListViewWidget::InvalidateHeader() {
    if (m_header != nullptr) {
        m_header->update();
    }
}

void ListViewWidget::LayoutHeader() {
    if (m_header != nullptr) {
        const QRect view = viewport()->geometry();
        const int height = m_report->HeaderHeight();
        m_header->setGeometry(view.left(), view.top() - height, view.width(), height);
        m_header->update();
    }
}

void ListViewWidget::FontChanged() {
    if (m_report != nullptr) {
        m_report->SetFont(backend::qt::WrapFont(font()), fontMetrics().height());
        setViewportMargins(0, m_report->HeaderHeight(), 0, 0);
        LayoutHeader();
    }
}

void ListViewWidget::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        FontChanged();
    }
    QAbstractScrollArea::changeEvent(event);
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
    bar->setRange(0, m_core->Vertical().maximum);
    bar->setSingleStep(m_core->Vertical().singleStep);
    bar->setPageStep(m_core->Vertical().pageStep);
    bar->setValue(m_core->Vertical().value);
    QScrollBar* across = horizontalScrollBar();
    across->setRange(0, m_core->Horizontal().maximum);
    across->setPageStep(m_core->Horizontal().pageStep);
    across->setValue(m_core->Horizontal().value);
    m_syncing = nested;
    LayoutHeader();
}

void ListViewWidget::paintEvent(QPaintEvent* event) {
    QPainter qpainter(viewport());
    backend::qt::QtPainter painter(qpainter);
    m_core->Paint(painter, backend::qt::ToExRect(event->rect()));
}

void ListViewWidget::resizeEvent(QResizeEvent* /*event*/) {
    m_core->UpdateScrollRanges();
    LayoutHeader();
}

void ListViewWidget::scrollContentsBy(int /*dx*/, int /*dy*/) {
    if (m_syncing) {
        return;  // the core moved itself and repaints
    }
    // The user moved a bar (dragged, clicked, wheeled).
    m_core->SetScrollValues(verticalScrollBar()->value(), horizontalScrollBar()->value());
    LayoutHeader();
}

bool ListViewWidget::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave) {
        m_core->MouseLeave();
    }
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const ListTip tip = m_core->TipAt(PointOf(help->pos()));
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
    m_core->MouseDown(ButtonOf(event), PointOf(event->position().toPoint()), KeysOf(event));
    event->accept();
}

void ListViewWidget::mouseReleaseEvent(QMouseEvent* event) {
    m_core->MouseUp(ButtonOf(event), PointOf(event->position().toPoint()), KeysOf(event));
    event->accept();
}

void ListViewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    m_core->MouseDoubleClick(PointOf(event->position().toPoint()), KeysOf(event));
    event->accept();
}

void ListViewWidget::mouseMoveEvent(QMouseEvent* event) {
    m_core->MouseMove(PointOf(event->position().toPoint()), KeysOf(event));
    event->accept();
}

void ListViewWidget::keyPressEvent(QKeyEvent* event) {
    const std::int32_t modifiers =
        static_cast<std::int32_t>(MouseKeys(Qt::NoButton, event->modifiers()));
    if (m_core->KeyDown(VirtualKey(event->key()), modifiers)) {
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

}  // namespace exdui
