// What a press reaches, read from the Qt widgets behind the window, and where
// the window's own buttons lie, as the library lays them out (exdui_inject.h).
#include <QWidget>
#include <algorithm>

#include "backend/qt/qt_native_window.h"
#include "exdui_inject.h"
#include "object.h"
#include "object_widget.h"
#include "window.h"

namespace exdui::inject {

EXDUI_API ExHandle ObjectAt(ExHandle window, ExPoint at) {
    Window* w = WindowFromHandle(window);
    if (w == nullptr) {
        return 0;
    }
    QWidget* top = backend::qt::WidgetOf(*w->Native());
    // The widget under the point, and up to the object's own: an object's
    // parts (a scroll bar, a line edit) are widgets inside its widget.
    for (QWidget* hit = top->childAt(at.x, at.y); hit != nullptr && hit != top;
         hit = hit->parentWidget()) {
        if (auto* widget = dynamic_cast<ObjectWidget*>(hit)) {
            const Object* obj = widget->GetObject();
            return obj != nullptr && !obj->destroyed ? obj->Handle() : 0;
        }
    }
    return 0;
}

EXDUI_API std::vector<ExRect> FrameButtonsOf(ExHandle window) {
    Window* w = WindowFromHandle(window);
    return w != nullptr ? w->FrameButtons() : std::vector<ExRect>{};
}

}  // namespace exdui::inject
