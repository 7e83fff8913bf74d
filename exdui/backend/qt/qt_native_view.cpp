#include "backend/qt/qt_native_view.h"

#include <QGuiApplication>

namespace exdui::backend {

std::intptr_t NativeHandle(NativeView* view) {
    QWidget* widget = qt::ToWidget(view);
    if (widget == nullptr) {
        return 0;
    }
    // Qt gives every platform's window an id, but only these two are the
    // system's: elsewhere it means nothing outside Qt.
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("xcb") && platform != QLatin1String("windows")) {
        return 0;
    }
    return static_cast<std::intptr_t>(widget->window()->winId());
}

void FocusView(NativeView* view, bool byTab) {
    if (QWidget* widget = qt::ToWidget(view)) {
        widget->setFocus(byTab ? Qt::TabFocusReason : Qt::OtherFocusReason);
    }
}

}  // namespace exdui::backend
