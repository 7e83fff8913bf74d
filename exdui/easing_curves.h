// The easing curves of _easing_create: Robert Penner's equations in the
// common numbering (Qt's too), with the usual constants (elastic amplitude 1
// and period 0.3, back overshoot 1.70158, bounce amplitude 1). Plain maths:
// they give what QEasingCurve gave, to the last bit.
#pragma once

#include <cstdint>

namespace exdui {

// The common numbering: each family has in, out, in-out and out-in, in this
// order, from its first number.
enum EasingCurve : int32_t {
    CurveLinear = 0,
    CurveQuad = 1,
    CurveCubic = 5,
    CurveQuart = 9,
    CurveQuint = 13,
    CurveSine = 17,
    CurveExpo = 21,
    CurveCirc = 25,
    CurveElastic = 29,
    CurveBack = 33,
    CurveBounce = 37,
    // Four single curves: a sine start that turns linear, its mirror, and one
    // period of a sine and of a cosine (from 0.5 back to 0.5).
    CurveInCurve = 41,
    CurveOutCurve = 42,
    CurveSineCurve = 43,
    CurveCosineCurve = 44,
    CurveCount = 45,
};

// The eased value of curve at progress (clamped to 0..1): 0 at 0 and 1 at 1
// for all but the sine and cosine curves; elastic and back curves overshoot.
// An unknown curve is linear.
double EaseCurve(int32_t curve, double progress);

}  // namespace exdui
