// The C functions on classes and procedures.
#include "class_registry.h"
#include "object_access.h"

using namespace exdui;

extern "C" {

EXDUI_API intptr_t Ex_ObjDefProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                                 intptr_t lParam) {
    (void)window;
    return WithObject(object, intptr_t{0},
                      [&](Object& obj) { return DefaultObjectProc(obj, message, wParam, lParam); });
}

EXDUI_API intptr_t Ex_ObjCallProc(ExClassProc proc, ExHandle window, ExHandle object,
                                  int32_t message, intptr_t wParam, intptr_t lParam) {
    if (proc == nullptr) {
        return 0;
    }
    return WithObject(object, intptr_t{0},
                      [&](Object&) { return proc(window, object, message, wParam, lParam); });
}

EXDUI_API int Ex_ObjRegister(const char16_t* className, int32_t style, int32_t styleEx,
                             int32_t textFormat, int32_t extraBytes, intptr_t cursor, int32_t flags,
                             ExClassProc proc) {
    if (className == nullptr || extraBytes < 0 || extraBytes > (1 << 20)) {
        return 0;
    }
    try {
        ClassRecord record;
        record.name = className;
        record.style = style;
        record.styleEx = styleEx;
        record.textFormat = textFormat;
        record.extraBytes = extraBytes;
        record.cursor = cursor;
        record.flags = flags;
        record.proc = proc != nullptr ? proc : &Ex_ObjDefProc;
        return marshal::Call(
            [&] {
                record.base = BaseFromFlags(flags);
                return AddClass(std::move(record)) ? 1 : 0;
            },
            0);
    } catch (...) {
        return 0;
    }
}

EXDUI_API int Ex_ObjGetClassInfoEx(const char16_t* className, ExClassInfo* info) {
    if (className == nullptr || info == nullptr) {
        return 0;
    }
    try {
        std::u16string name(className);
        return marshal::Call(
            [&] {
                const ClassRecord* cls = FindClass(name);
                if (cls == nullptr) {
                    return 0;
                }
                *info = ExClassInfo{cls->style,  cls->styleEx, cls->textFormat, cls->extraBytes,
                                    cls->cursor, cls->flags,   cls->proc};
                return 1;
            },
            0);
    } catch (...) {
        return 0;
    }
}

}  // extern "C"
