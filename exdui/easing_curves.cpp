#include "easing_curves.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace exdui {
namespace {

constexpr double Pi = std::numbers::pi;
constexpr double ElasticAmplitude = 1.0;
constexpr double ElasticPeriod = 0.3;
constexpr double BackOvershoot = 1.70158;
// The in-out back curve widens the overshoot by 1.525, written as a float
// where the equations came from: kept, so that every step lands where it did.
constexpr double BackInOutWidening = 1.525F;
constexpr double BounceAmplitude = 1.0;

enum Shape { In, Out, InOut, OutIn };

// The out-in shape of the families that make it from their out and in
// halves.
template <class F>
double OutInOf(double t, F&& ease) {
    return t < 0.5 ? ease(Out, 2 * t) / 2 : ease(In, 2 * t - 1) / 2 + 0.5;
}

// The polynomial curves. Each is written exactly as the equations are, not
// through pow(): animations truncate the eased value to whole pixels, and a
// different rounding would stop a bar one pixel short.
double Quad(Shape shape, double t) {
    switch (shape) {
        case In:
            return t * t;
        case Out:
            return -t * (t - 2);
        case InOut:
            t *= 2;
            if (t < 1) {
                return t * t / 2;
            }
            t -= 1;
            return -0.5 * (t * (t - 2) - 1);
        case OutIn:
            return OutInOf(t, Quad);
    }
    return t;
}

double Cubic(Shape shape, double t) {
    switch (shape) {
        case In:
            return t * t * t;
        case Out:
            t -= 1;
            return t * t * t + 1;
        case InOut:
            t *= 2;
            if (t < 1) {
                return 0.5 * t * t * t;
            }
            t -= 2;
            return 0.5 * (t * t * t + 2);
        case OutIn:
            return OutInOf(t, Cubic);
    }
    return t;
}

double Quart(Shape shape, double t) {
    switch (shape) {
        case In:
            return t * t * t * t;
        case Out:
            t -= 1;
            return -(t * t * t * t - 1);
        case InOut:
            t *= 2;
            if (t < 1) {
                return 0.5 * t * t * t * t;
            }
            t -= 2;
            return -0.5 * (t * t * t * t - 2);
        case OutIn:
            return OutInOf(t, Quart);
    }
    return t;
}

double Quint(Shape shape, double t) {
    switch (shape) {
        case In:
            return t * t * t * t * t;
        case Out:
            t -= 1;
            return t * t * t * t * t + 1;
        case InOut:
            t *= 2;
            if (t < 1) {
                return 0.5 * t * t * t * t * t;
            }
            t -= 2;
            return 0.5 * (t * t * t * t * t + 2);
        case OutIn:
            return OutInOf(t, Quint);
    }
    return t;
}

double Sine(Shape shape, double t) {
    switch (shape) {
        case In:
            return t == 1 ? 1 : 1 - std::cos(t * Pi / 2);
        case Out:
            return std::sin(t * Pi / 2);
        case InOut:
            return -0.5 * (std::cos(Pi * t) - 1);
        case OutIn:
            return OutInOf(t, Sine);
    }
    return t;
}

// The exponential curves stop 0.001 short of their ends and jump there.
double Expo(Shape shape, double t) {
    switch (shape) {
        case In:
            return t == 0 || t == 1 ? t : std::pow(2.0, 10 * (t - 1)) - 0.001;
        case Out:
            return t == 1 ? 1 : 1.001 * (1 - std::pow(2.0, -10 * t));
        case InOut:
            if (t == 0 || t == 1) {
                return t;
            }
            t *= 2;
            if (t < 1) {
                return 0.5 * std::pow(2.0, 10 * (t - 1)) - 0.0005;
            }
            return 0.5 * 1.0005 * (2 - std::pow(2.0, -10 * (t - 1)));
        case OutIn:
            return OutInOf(t, Expo);
    }
    return t;
}

double Circ(Shape shape, double t) {
    switch (shape) {
        case In:
            return 1 - std::sqrt(1 - t * t);
        case Out:
            return std::sqrt(1 - (t - 1) * (t - 1));
        case InOut:
            t *= 2;
            if (t < 1) {
                return -0.5 * (std::sqrt(1 - t * t) - 1);
            }
            t -= 2;
            return 0.5 * (std::sqrt(1 - t * t) + 1);
        case OutIn:
            return OutInOf(t, Circ);
    }
    return t;
}

// The elastic halves over t in 0..1, rising by `by` (the in half from `from`,
// the out half from 0).
double ElasticIn(double t, double from, double by) {
    if (t == 0) {
        return from;
    }
    if (t == 1) {
        return from + by;
    }
    double a = ElasticAmplitude;
    double s = 0;
    if (a < std::abs(by)) {
        a = by;
        s = ElasticPeriod / 4;
    } else {
        s = ElasticPeriod / (2 * Pi) * std::asin(by / a);
    }
    t -= 1;
    return -(a * std::pow(2.0, 10 * t) * std::sin((t - s) * (2 * Pi) / ElasticPeriod)) + from;
}

double ElasticOut(double t, double by) {
    if (t == 0) {
        return 0;
    }
    if (t == 1) {
        return by;
    }
    double a = ElasticAmplitude;
    double s = 0;
    if (a < by) {
        a = by;
        s = ElasticPeriod / 4;
    } else {
        s = ElasticPeriod / (2 * Pi) * std::asin(by / a);
    }
    return a * std::pow(2.0, -10 * t) * std::sin((t - s) * (2 * Pi) / ElasticPeriod) + by;
}

double Elastic(Shape shape, double t) {
    switch (shape) {
        case In:
            return ElasticIn(t, 0, 1);
        case Out:
            return ElasticOut(t, 1);
        case InOut: {
            if (t == 0) {
                return 0;
            }
            t *= 2;
            if (t == 2) {
                return 1;
            }
            const double s = ElasticPeriod / (2 * Pi) * std::asin(1 / ElasticAmplitude);
            const double wave = std::sin((t - 1 - s) * (2 * Pi) / ElasticPeriod);
            if (t < 1) {
                return -0.5 * ElasticAmplitude * std::pow(2.0, 10 * (t - 1)) * wave;
            }
            return ElasticAmplitude * std::pow(2.0, -10 * (t - 1)) * wave * 0.5 + 1;
        }
        case OutIn:
            return t < 0.5 ? ElasticOut(2 * t, 0.5) : ElasticIn(2 * t - 1, 0.5, 0.5);
    }
    return t;
}

double Back(Shape shape, double t) {
    // The equations miss the ends by a rounding: they are met exactly.
    if (t == 0 || t == 1) {
        return t;
    }
    double s = BackOvershoot;
    switch (shape) {
        case In:
            return t * t * ((s + 1) * t - s);
        case Out:
            t -= 1;
            return t * t * ((s + 1) * t + s) + 1;
        case InOut:
            s *= BackInOutWidening;
            t *= 2;
            if (t < 1) {
                return 0.5 * (t * t * ((s + 1) * t - s));
            }
            t -= 2;
            return 0.5 * (t * t * ((s + 1) * t + s) + 2);
        case OutIn:
            return OutInOf(t, Back);
    }
    return t;
}

// Four bounces, each lower, the last ending at `top`.
double BounceOut(double t, double top) {
    if (t == 1) {
        return top;
    }
    constexpr double K = 7.5625;
    double rest = 0;
    if (t < 4 / 11.0) {
        return top * (K * t * t);
    }
    if (t < 8 / 11.0) {
        t -= 6 / 11.0;
        rest = 0.75;
    } else if (t < 10 / 11.0) {
        t -= 9 / 11.0;
        rest = 0.9375;
    } else {
        t -= 21 / 22.0;
        rest = 0.984375;
    }
    return -BounceAmplitude * (1 - (K * t * t + rest)) + top;
}

double Bounce(Shape shape, double t) {
    switch (shape) {
        case In:
            return 1 - BounceOut(1 - t, 1);
        case Out:
            return BounceOut(t, 1);
        case InOut:
            if (t < 0.5) {
                return Bounce(In, 2 * t) / 2;
            }
            return t == 1 ? 1 : Bounce(Out, 2 * t - 1) / 2 + 0.5;
        case OutIn:
            return t < 0.5 ? BounceOut(2 * t, 0.5) : 1 - BounceOut(2 - 2 * t, 0.5);
    }
    return t;
}

// A sine start blended into a straight line: sine alone up to 0.15, linear
// from 0.65.
double SineProgress(double t) {
    return std::sin(t * Pi - Pi / 2) / 2 + 0.5;
}

double SmoothMix(double t) {
    return std::clamp(1 - t * 2 + 0.3, 0.0, 1.0);
}

}  // namespace

double EaseCurve(int32_t curve, double progress) {
    const double t = std::clamp(progress, 0.0, 1.0);
    if (curve <= CurveLinear || curve >= CurveCount) {
        return t;
    }
    if (curve < CurveInCurve) {
        const int32_t family = (curve - 1) / 4;
        const auto shape = static_cast<Shape>((curve - 1) % 4);
        switch (family) {
            case 0:
                return Quad(shape, t);
            case 1:
                return Cubic(shape, t);
            case 2:
                return Quart(shape, t);
            case 3:
                return Quint(shape, t);
            case 4:
                return Sine(shape, t);
            case 5:
                return Expo(shape, t);
            case 6:
                return Circ(shape, t);
            case 7:
                return Elastic(shape, t);
            case 8:
                return Back(shape, t);
            default:
                return Bounce(shape, t);
        }
    }
    switch (curve) {
        case CurveInCurve: {
            const double mix = SmoothMix(t);
            return SineProgress(t) * mix + t * (1 - mix);
        }
        case CurveOutCurve: {
            const double mix = SmoothMix(1 - t);
            return SineProgress(t) * mix + t * (1 - mix);
        }
        case CurveSineCurve:
            return (std::sin(t * Pi * 2 - Pi / 2) + 1) / 2;
        default:
            return (std::cos(t * Pi * 2 - Pi / 2) + 1) / 2;
    }
}

}  // namespace exdui
