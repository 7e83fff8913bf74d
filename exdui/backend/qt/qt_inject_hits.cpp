// What a press reaches and where the window's own buttons lie
// (exdui_inject.h), read from the Qt widgets behind the window.
#include <QWidget>
#include <algorithm>

#include "exdui_inject.h"
#include "object.h"
#include "object_widget.h"
#include "window.h"
#include "window_widget.h"

namespace exdui::inject {

EXDUI_API ExHandle ObjectAt(ExHandle window, ExPoint at) {
    Window* w = WindowFromHandle(window);
    if (w == nullptr) {
        return 0;
    }
    QWidget* top = w->Widget();
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
    std::vector<ExRect> buttons;
    Window* w = WindowFromHandle(window);
    if (w == nullptr) {
        return buttons;
    }
    for (QObject* child : w->Widget()->children()) {
        const auto* button = dynamic_cast<FrameButton*>(child);
        if (button != nullptr && !button->isHidden()) {
            const QRect g = button->geometry();
            buttons.push_back({g.left(), g.top(), g.right() + 1, g.bottom() + 1});
        }
    }
    std::sort(buttons.begin(), buttons.end(),
              [](const ExRect& a, const ExRect& b) { return a.right > b.right; });
    return buttons;
}

}  // namespace exdui::inject
