// "RadioButton": one of a set of exclusive options, the set being the radio
// buttons with the same parent. Checking it, by a click or by message 241
// with wParam 1, unchecks the others of the set and raises -89 with wParam 1
// on it (and -89 with 0 on the one that lost its check). Checking a checked
// button changes nothing and raises nothing. Text colour: slot 4 while
// pressed, 3 while hovered, 6 when checked, else 2.
#include "class_registry.h"
#include "core/ex_rect.h"
#include "window.h"

namespace exdui {
namespace {

constexpr float MarkSize = 14;
constexpr float TextLeft = MarkSize + 6;

struct RadioState : ClassState {
    bool checked = false;
};

const std::vector<Object*>& Siblings(Object& obj) {
    return obj.Parent() != nullptr ? obj.Parent()->Children() : obj.OwnerWindow().Roots();
}

void SetChecked(Object& obj, bool on) {
    auto* st = obj.StateAs<RadioState>();
    if (st == nullptr || st->checked == on) {
        return;
    }
    st->checked = on;
    obj.SetState(EX_STATE_CHECKED, on, true);
    if (on) {
        std::vector<Object*> siblings = Siblings(obj);
        for (Object* other : siblings) {
            if (other != &obj && !other->destroyed && other->Is(u"RadioButton")) {
                SetChecked(*other, false);
            }
        }
    }
    if (!obj.destroyed) {
        obj.Notify(EX_NM_CHECK, on ? 1 : 0, 0);
    }
}

ExArgb TextColor(const Object& obj) {
    uint32_t state = obj.State();
    int32_t slot = (state & EX_STATE_DOWN) != 0      ? EX_COLOR_TEXT_DOWN
                   : (state & EX_STATE_HOVER) != 0   ? EX_COLOR_TEXT_HOVER
                   : (state & EX_STATE_CHECKED) != 0 ? EX_COLOR_TEXT_CHECKED
                                                     : EX_COLOR_TEXT;
    ExArgb color = obj.Color(slot);
    return (color >> 24) != 0 ? color : obj.Color(EX_COLOR_TEXT);
}

void Paint(Object& obj, backend::Painter& p) {
    const RectF r = obj.ClientRect();
    ExArgb color = TextColor(obj);
    const RectF mark =
        RectF::OfSize(0.5F, (r.Height() - MarkSize) / 2 + 0.5F, MarkSize - 1, MarkSize - 1);
    p.SetAntialias(true);
    p.StrokeEllipse(mark, color, 1);
    if (auto* st = obj.StateAs<RadioState>(); st != nullptr && st->checked) {
        const PointF c = mark.Center();
        const float dot = MarkSize / 2 - 4;
        p.FillEllipse({c.x - dot, c.y - dot, c.x + dot, c.y + dot}, color);
    }
    p.DrawFormattedText(obj.Font(), color, obj.Text(), obj.TextFormat(),
                        {TextLeft, 0, r.right, r.bottom});
}

intptr_t RadioProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                   intptr_t lParam) {
    Object* obj = ObjectFromHandle(object);
    if (obj == nullptr || obj->StateAs<RadioState>() == nullptr) {
        return Ex_ObjDefProc(window, object, message, wParam, lParam);
    }
    switch (message) {
        case EX_BM_SETCHECK:
            SetChecked(*obj, wParam != 0);
            return 0;
        case EX_BM_GETCHECK:
            return obj->StateAs<RadioState>()->checked ? 1 : 0;
        case EX_WM_LBUTTONUP:
            if (obj->pressedLeft &&
                Contains({0, 0, obj->Width(), obj->Height()}, {PointX(lParam), PointY(lParam)})) {
                SetChecked(*obj, true);
            }
            break;
        case EX_WM_PAINT:
            if (obj->Painter() != nullptr) {
                Paint(*obj, *obj->Painter());
            }
            return 0;
        default:
            break;
    }
    return Ex_ObjDefProc(window, object, message, wParam, lParam);
}

void InitRadio(Object& obj) {
    obj.SetClassState(std::make_unique<RadioState>());
}

}  // namespace

void RegisterRadioButtonClass() {
    RegisterBuiltinClass(BuiltinClass{u"RadioButton",
                                      EX_OS_VISIBLE,
                                      0,
                                      EX_DT_VCENTER | EX_DT_SINGLELINE,
                                      &RadioProc,
                                      &InitRadio,
                                      0,
                                      {{EX_COLOR_TEXT, 0xFF000000},
                                       {EX_COLOR_TEXT_HOVER, 0xFF000000},
                                       {EX_COLOR_TEXT_DOWN, 0xFF000000},
                                       {EX_COLOR_TEXT_CHECKED, 0xFF000000}}});
}

}  // namespace exdui
