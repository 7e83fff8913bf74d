// "STATIC": a label. Its text in colour slot 2 with the object's text format;
// its background (slot 0) is transparent unless set. Pages of the program are
// labels too, so presses pass through to the window below.
#include "class_registry.h"

namespace exdui {
namespace {

intptr_t StaticProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                    intptr_t lParam) {
    if (message == EX_WM_PAINT) {
        Object* obj = ObjectFromHandle(object);
        if (obj != nullptr && obj->Painter() != nullptr) {
            obj->Painter()->DrawFormattedText(obj->Font(), obj->Color(EX_COLOR_TEXT), obj->Text(),
                                              obj->TextFormat(), obj->ClientRect());
        }
        return 0;
    }
    return Ex_ObjDefProc(window, object, message, wParam, lParam);
}

}  // namespace

void RegisterStaticClass() {
    RegisterBuiltinClass(BuiltinClass{u"STATIC",
                                      EX_OS_VISIBLE,
                                      0,
                                      EX_DT_VCENTER | EX_DT_SINGLELINE,
                                      &StaticProc,
                                      nullptr,
                                      TraitMouseTransparent,
                                      {{EX_COLOR_TEXT, 0xFF000000}}});
}

}  // namespace exdui
