#include <QCursor>
#include <QGuiApplication>
#include <QStyleHints>

#include "backend/cursor.h"

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

}  // namespace exdui::backend
