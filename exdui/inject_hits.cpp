// What a press reaches, as the window's own hit test finds it, where the
// window's own buttons lie, as the library lays them out, and the clicks that
// are made of the back end's presses (exdui_inject.h).
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

EXDUI_API bool Click(ExHandle window, ExPoint at, Button button, uint32_t modifiers) {
    return MouseMove(window, at, modifiers) && MouseDown(window, at, button, modifiers) &&
           MouseUp(window, at, button, modifiers);
}

EXDUI_API bool DoubleClick(ExHandle window, ExPoint at, uint32_t modifiers) {
    return DoubleClickAndHold(window, at, modifiers) &&
           MouseUp(window, at, Button::Left, modifiers);
}

}  // namespace exdui::inject
