// The canvas every pixel of the library is drawn on. A back end makes one
// for each paint of a window, an object or a list, hands it to the library
// and takes it back when the paint ends; it must not outlive that paint.
// Standard C++ only: no toolkit type crosses this interface.
//
// Units are device-independent pixels of the target, (0, 0) at its top left
// before any Translate. Colours are ARGB, not premultiplied; a colour of
// alpha 0 draws nothing. Drawing blends over what is there, except Clear.
// Fills and strokes follow SetAntialias (off when a paint starts); text is
// always smoothed. A stroke of width w is centred on the outline, so a
// one-pixel line sits on whole pixels when its coordinates end in .5; widths
// are doubles so that one like 1.2 reaches the system as it was written.
// UI thread only, like the paint it belongs to.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "core/geometry.h"
#include "exdui.h"

namespace exdui::backend {

class Font;
class Image;

// The radii of a rounded rectangle's corners, clockwise from the top left:
// each corner is a quarter ellipse with these horizontal and vertical radii,
// circular when both are equal. A corner with a radius of 0 is square.
struct CornerRadii {
    SizeF corner[4];

    static CornerRadii Same(float radiusX, float radiusY) {
        return {{{radiusX, radiusY}, {radiusX, radiusY}, {radiusX, radiusY}, {radiusX, radiusY}}};
    }
};

class Painter {
  public:
    virtual ~Painter() = default;

    // Save pushes the state (translation, clip, antialiasing, image
    // smoothing) and Restore pops it; a Restore without its Save is ignored.
    virtual void Save() = 0;
    virtual void Restore() = 0;
    // Moves the origin of everything drawn or clipped afterwards.
    virtual void Translate(float dx, float dy) = 0;
    // Limits drawing to the part of the current clip inside rect.
    virtual void ClipRect(const RectF& rect) = 0;
    // Limits drawing to the part of the current clip outside rect, grown to
    // whole pixels.
    virtual void ExcludeClip(const RectF& rect) = 0;
    // Smooths the edges of fills and strokes (not of text, which always is).
    virtual void SetAntialias(bool on) = 0;
    // Scales images with filtering instead of repeating pixels.
    virtual void SetImageSmoothing(bool on) = 0;

    // Replaces every pixel inside the clip with color, alpha included.
    virtual void Clear(ExArgb color) = 0;
    virtual void FillRect(const RectF& rect, ExArgb color) = 0;
    virtual void StrokeRect(const RectF& rect, ExArgb color, double width) = 0;
    // A radius larger than half the rectangle's width (horizontal) or half its
    // height (vertical) is cut to that half.
    virtual void FillRoundedRect(const RectF& rect, const CornerRadii& radii, ExArgb color) = 0;
    virtual void StrokeRoundedRect(const RectF& rect, const CornerRadii& radii, ExArgb color,
                                   double width) = 0;
    // The ellipse inscribed in bounds.
    virtual void FillEllipse(const RectF& bounds, ExArgb color) = 0;
    virtual void StrokeEllipse(const RectF& bounds, ExArgb color, double width) = 0;
    // Lines end in square caps reaching half the width past their points;
    // a polyline's corners are bevelled. Fewer than two points draw nothing.
    virtual void DrawLine(PointF from, PointF to, ExArgb color, double width) = 0;
    virtual void StrokePolyline(std::span<const PointF> points, ExArgb color, double width) = 0;
    // The polygon closes itself; fewer than three points draw nothing.
    virtual void FillPolygon(std::span<const PointF> points, ExArgb color) = 0;
    // The whole image scaled into target, its own alpha multiplied by
    // alpha / 255. image must come from this back end's Graphics.
    virtual void DrawImage(const Image& image, const RectF& target, uint8_t alpha = 255) = 0;
    // Text laid out in rect by the EX_DT_* bits of format:
    //  - EX_DT_CENTER or EX_DT_RIGHT (right wins) across, EX_DT_VCENTER or
    //    EX_DT_BOTTOM (vcenter wins) down; otherwise left and top;
    //  - EX_DT_SINGLELINE keeps one line (line breaks show as spaces), else
    //    EX_DT_WORDBREAK wraps at word boundaries and elsewhere only at line
    //    breaks;
    //  - EX_DT_END_ELLIPSIS or EX_DT_PATH_ELLIPSIS (path wins: the middle
    //    goes) shorten text wider than rect with "…", when rect has a width.
    // Whatever falls outside rect is cut off. Empty text draws nothing. font
    // must come from this back end's Graphics.
    virtual void DrawFormattedText(const Font& font, ExArgb color, std::u16string_view text,
                                   int32_t format, const RectF& rect) = 0;
};

}  // namespace exdui::backend
