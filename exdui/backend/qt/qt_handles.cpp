// The Qt side of the library's handles (exdui_qt.h): the widget a window's
// objects are drawn in, for code that embeds the library.
#include "backend/qt/qt_native_window.h"
#include "exdui_qt.h"
#include "marshal.h"
#include "window.h"

using namespace exdui;

EXDUI_API QWidget* ExQtWidget(ExHandle handle) {
    if (!marshal::IsUiThread()) {
        return nullptr;
    }
    Window* w = WindowFromHandle(handle);
    if (w == nullptr) {
        w = WindowFromSurface(handle);
    }
    return w != nullptr && w->Native() != nullptr ? backend::qt::WidgetOf(*w->Native()) : nullptr;
}
