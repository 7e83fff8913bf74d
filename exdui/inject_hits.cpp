// What a press reaches, as the window's own hit test finds it, and where the
// window's own buttons lie, as the library lays them out (exdui_inject.h).
#include "exdui_inject.h"
#include "marshal.h"
#include "object.h"
#include "window.h"

namespace exdui::inject {

EXDUI_API ExHandle ObjectAt(ExHandle window, ExPoint at) {
    Window* w = marshal::IsUiThread() ? WindowFromHandle(window) : nullptr;
    const Object* obj = w != nullptr && !w->IsDestroying() ? w->ObjectAt(at) : nullptr;
    return obj != nullptr ? obj->Handle() : 0;
}

EXDUI_API std::vector<ExRect> FrameButtonsOf(ExHandle window) {
    Window* w = WindowFromHandle(window);
    return w != nullptr ? w->FrameButtons() : std::vector<ExRect>{};
}

}  // namespace exdui::inject
