#include <QCursor>
#include <QGuiApplication>
#include <QStyleHints>
#include <QWidget>

#include "backend/cursor.h"
#include "backend/qt/qt_native_view.h"

namespace exdui::backend {

ExPoint CursorPosition() {
    const QPoint p = QCursor::pos();
    return ExPoint{p.x(), p.y()};
}

int32_t DragDistance() {
    return QGuiApplication::styleHints()->startDragDistance();
}

int32_t DoubleClickTime() {
    return QGuiApplication::styleHints()->mouseDoubleClickInterval();
}

void SetCursorShape(NativeView* view, CursorShape shape) {
    QWidget* widget = qt::ToWidget(view);
    if (widget == nullptr) {
        return;
    }
    if (shape == CursorShape::SizeColumn) {
        widget->setCursor(Qt::SplitHCursor);
    } else {
        widget->unsetCursor();
    }
}

}  // namespace exdui::backend
