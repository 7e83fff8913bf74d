// "progressBar": slot 0 the track, slot 6 the filled part, slot 1 a one-pixel
// border. 1025 sets the maximum (lParam), 1026 the position (lParam, kept
// within 0 .. maximum); both return the previous value. A worker's positions
// reach it coalesced (see Ex_ObjSendMessage), so only the latest is painted.
#include <algorithm>

#include "canvas.h"
#include "class_registry.h"

namespace exdui {
namespace {

struct ProgressState : ClassState {
    int64_t maximum = 100;
    int64_t position = 0;
};

void Paint(Object& obj, backend::Painter& p) {
    auto* st = obj.StateAs<ProgressState>();
    if (st == nullptr) {
        return;
    }
    const RectF r = obj.ClientRect();
    float radius[4] = {obj.Radius(0), obj.Radius(1), obj.Radius(2), obj.Radius(3)};
    if (st->maximum > 0 && st->position > 0) {
        RectF filled = r;
        filled.right = r.left + static_cast<float>(static_cast<double>(r.Width()) *
                                                   static_cast<double>(st->position) /
                                                   static_cast<double>(st->maximum));
        FillRoundedBox(p, filled, radius, obj.Color(EX_COLOR_TEXT_CHECKED));
    }
    ExArgb border = obj.Color(EX_COLOR_BORDER);
    if ((border >> 24) != 0 && r.Width() > 1 && r.Height() > 1) {
        p.StrokeRect({r.left + 0.5F, r.top + 0.5F, r.right - 0.5F, r.bottom - 0.5F}, border, 1);
    }
}

intptr_t ProgressProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                      intptr_t lParam) {
    Object* obj = ObjectFromHandle(object);
    auto* st = obj != nullptr ? obj->StateAs<ProgressState>() : nullptr;
    if (st == nullptr) {
        return Ex_ObjDefProc(window, object, message, wParam, lParam);
    }
    switch (message) {
        case EX_PBM_SETRANGE: {
            auto old = static_cast<intptr_t>(st->maximum);
            st->maximum = std::max<int64_t>(0, lParam);
            st->position = std::min(st->position, st->maximum);
            obj->Invalidate();
            return old;
        }
        case EX_PBM_SETPOS: {
            auto old = static_cast<intptr_t>(st->position);
            st->position = std::clamp<int64_t>(lParam, 0, st->maximum);
            if (old != st->position) {
                obj->Invalidate();
            }
            return old;
        }
        case EX_PBM_GETPOS:
            return static_cast<intptr_t>(st->position);
        case EX_PBM_GETRANGE:
            return static_cast<intptr_t>(st->maximum);
        case EX_WM_PAINT:
            if (obj->Painter() != nullptr) {
                Paint(*obj, *obj->Painter());
            }
            return 0;
        default:
            return Ex_ObjDefProc(window, object, message, wParam, lParam);
    }
}

void InitProgress(Object& obj) {
    obj.SetClassState(std::make_unique<ProgressState>());
}

}  // namespace

void RegisterProgressBarClass() {
    RegisterBuiltinClass(BuiltinClass{u"progressBar",
                                      EX_OS_VISIBLE,
                                      0,
                                      0,
                                      &ProgressProc,
                                      &InitProgress,
                                      0,
                                      {{EX_COLOR_BACKGROUND, 0x32000000},
                                       {EX_COLOR_BORDER, 0x32000000},
                                       {EX_COLOR_TEXT_CHECKED, 0x960088FF}}});
}

}  // namespace exdui
