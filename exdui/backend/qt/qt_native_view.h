// The Qt back end's native views are widgets.
#pragma once

#include <QWidget>

#include "backend/native_view.h"
#include "exdui.h"

namespace exdui::backend::qt {

inline NativeView* ToNativeView(QWidget* widget) {
    return reinterpret_cast<NativeView*>(widget);
}

inline QWidget* ToWidget(NativeView* view) {
    return reinterpret_cast<QWidget*>(view);
}

inline QRect ToQRect(const ExRect& r) {
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

inline ExRect ToExRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

}  // namespace exdui::backend::qt
