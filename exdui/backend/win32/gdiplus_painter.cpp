#include "gdiplus_painter.h"

#include <algorithm>
#include <cmath>

#include "gdiplus_font.h"
#include "gdiplus_image.h"

namespace exdui::backend::win32 {

namespace {

bool Invisible(ExArgb color) {
    return (color >> 24) == 0;
}

Gdiplus::RectF ToRectF(const RectF& r) {
    return {r.left, r.top, r.Width(), r.Height()};
}

std::vector<Gdiplus::PointF> ToPoints(std::span<const PointF> points) {
    std::vector<Gdiplus::PointF> out;
    out.reserve(points.size());
    for (PointF p : points) {
        out.emplace_back(p.x, p.y);
    }
    return out;
}

Gdiplus::Pen MakePen(ExArgb color, double width) {
    return Gdiplus::Pen(Gdiplus::Color(color), static_cast<Gdiplus::REAL>(width));
}

// The outline of a rectangle with corners of their own, clockwise from the
// top left, each radius cut to half the rectangle's side.
void AddRoundedRect(Gdiplus::GraphicsPath& path, const RectF& rect, const CornerRadii& radii) {
    const float left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
    // Each corner: the point of a square one, and where its arc starts.
    const struct {
        float x, y;
        float startAngle;
    } corners[4] = {{left, top, 180}, {right, top, 270}, {right, bottom, 0}, {left, bottom, 90}};
    for (int i = 0; i < 4; ++i) {
        const float rx = std::clamp(radii.corner[i].width, 0.0F, rect.Width() / 2);
        const float ry = std::clamp(radii.corner[i].height, 0.0F, rect.Height() / 2);
        const auto& c = corners[i];
        if (rx <= 0 || ry <= 0) {
            path.AddLine(c.x, c.y, c.x, c.y);
            continue;
        }
        const float x = c.x == left ? left : right - 2 * rx;
        const float y = c.y == top ? top : bottom - 2 * ry;
        path.AddArc(x, y, 2 * rx, 2 * ry, c.startAngle, 90);
    }
    path.CloseFigure();
}

}  // namespace

GdiplusPainter::GdiplusPainter(Gdiplus::Graphics& graphics)
    : m_graphics(graphics), m_lent(graphics.Save()) {
    m_graphics.SetSmoothingMode(Gdiplus::SmoothingModeNone);
    // GDI+ puts pixel centres on whole coordinates, the contract between
    // them. Moving everything by half a pixel is what PixelOffsetModeHalf
    // does, but Wine's GDI+ ignores that mode for shapes and lines while it
    // keeps the transform, so the move is made here.
    m_graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeNone);
    m_graphics.TranslateTransform(-0.5F, -0.5F);
    m_graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    m_graphics.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
    m_graphics.SetTextRenderingHint(TextHint);
}

GdiplusPainter::~GdiplusPainter() {
    m_graphics.Restore(m_lent);
}

void GdiplusPainter::Save() {
    m_saved.push_back(m_graphics.Save());
}

void GdiplusPainter::Restore() {
    if (!m_saved.empty()) {
        m_graphics.Restore(m_saved.back());
        m_saved.pop_back();
    }
}

void GdiplusPainter::Translate(float dx, float dy) {
    m_graphics.TranslateTransform(dx, dy);
}

void GdiplusPainter::ClipRect(const RectF& rect) {
    m_graphics.IntersectClip(ToRectF(rect.Normalized()));
}

void GdiplusPainter::ExcludeClip(const RectF& rect) {
    const RectF r = rect.Normalized();
    const Gdiplus::Rect whole(static_cast<INT>(std::floor(r.left)),
                              static_cast<INT>(std::floor(r.top)),
                              static_cast<INT>(std::ceil(r.right) - std::floor(r.left)),
                              static_cast<INT>(std::ceil(r.bottom) - std::floor(r.top)));
    m_graphics.ExcludeClip(whole);
}

void GdiplusPainter::SetAntialias(bool on) {
    m_graphics.SetSmoothingMode(on ? Gdiplus::SmoothingModeAntiAlias : Gdiplus::SmoothingModeNone);
}

void GdiplusPainter::SetImageSmoothing(bool on) {
    m_graphics.SetInterpolationMode(on ? Gdiplus::InterpolationModeHighQualityBilinear
                                       : Gdiplus::InterpolationModeNearestNeighbor);
}

void GdiplusPainter::Clear(ExArgb color) {
    // A copy of the colour over the clip's bounds: the clip keeps the rest.
    const Gdiplus::GraphicsState state = m_graphics.Save();
    m_graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    m_graphics.SetSmoothingMode(Gdiplus::SmoothingModeNone);
    Gdiplus::RectF bounds;
    m_graphics.GetClipBounds(&bounds);
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    m_graphics.FillRectangle(&brush, bounds);
    m_graphics.Restore(state);
}

void GdiplusPainter::FillRect(const RectF& rect, ExArgb color) {
    if (Invisible(color)) {
        return;
    }
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    m_graphics.FillRectangle(&brush, ToRectF(rect));
}

void GdiplusPainter::StrokeRect(const RectF& rect, ExArgb color, double width) {
    if (Invisible(color)) {
        return;
    }
    Gdiplus::Pen pen = MakePen(color, width);
    m_graphics.DrawRectangle(&pen, ToRectF(rect));
}

void GdiplusPainter::FillRoundedRect(const RectF& rect, const CornerRadii& radii, ExArgb color) {
    if (Invisible(color)) {
        return;
    }
    Gdiplus::GraphicsPath path;
    AddRoundedRect(path, rect, radii);
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    m_graphics.FillPath(&brush, &path);
}

void GdiplusPainter::StrokeRoundedRect(const RectF& rect, const CornerRadii& radii, ExArgb color,
                                       double width) {
    if (Invisible(color)) {
        return;
    }
    Gdiplus::GraphicsPath path;
    AddRoundedRect(path, rect, radii);
    Gdiplus::Pen pen = MakePen(color, width);
    m_graphics.DrawPath(&pen, &path);
}

void GdiplusPainter::FillEllipse(const RectF& bounds, ExArgb color) {
    if (Invisible(color)) {
        return;
    }
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    m_graphics.FillEllipse(&brush, ToRectF(bounds));
}

void GdiplusPainter::StrokeEllipse(const RectF& bounds, ExArgb color, double width) {
    if (Invisible(color)) {
        return;
    }
    Gdiplus::Pen pen = MakePen(color, width);
    m_graphics.DrawEllipse(&pen, ToRectF(bounds));
}

void GdiplusPainter::DrawLine(PointF from, PointF to, ExArgb color, double width) {
    const PointF points[] = {from, to};
    StrokePolyline(points, color, width);
}

void GdiplusPainter::StrokePolyline(std::span<const PointF> points, ExArgb color, double width) {
    if (points.size() < 2 || Invisible(color)) {
        return;
    }
    Gdiplus::Pen pen = MakePen(color, width);
    pen.SetLineCap(Gdiplus::LineCapSquare, Gdiplus::LineCapSquare, Gdiplus::DashCapFlat);
    pen.SetLineJoin(Gdiplus::LineJoinBevel);
    const std::vector<Gdiplus::PointF> p = ToPoints(points);
    m_graphics.DrawLines(&pen, p.data(), static_cast<INT>(p.size()));
}

void GdiplusPainter::FillPolygon(std::span<const PointF> points, ExArgb color) {
    if (points.size() < 3 || Invisible(color)) {
        return;
    }
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    const std::vector<Gdiplus::PointF> p = ToPoints(points);
    m_graphics.FillPolygon(&brush, p.data(), static_cast<INT>(p.size()),
                           Gdiplus::FillModeAlternate);
}

void GdiplusPainter::DrawImage(const Image& image, const RectF& target, uint8_t alpha) {
    if (alpha == 0) {
        return;
    }
    const GdiplusImage& source = GdiplusImageOf(image);
    // Mirrored beyond its edges, a scaled image does not fade at its borders.
    Gdiplus::ImageAttributes attributes;
    attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    if (alpha < 255) {
        Gdiplus::ColorMatrix fade = {{{1, 0, 0, 0, 0},
                                      {0, 1, 0, 0, 0},
                                      {0, 0, 1, 0, 0},
                                      {0, 0, 0, alpha / 255.0F, 0},
                                      {0, 0, 0, 0, 1}}};
        attributes.SetColorMatrix(&fade);
    }
    auto view = source.View();
    m_graphics.DrawImage(
        view.get(), ToRectF(target), 0, 0, static_cast<Gdiplus::REAL>(source.Width()),
        static_cast<Gdiplus::REAL>(source.Height()), Gdiplus::UnitPixel, &attributes);
}

void GdiplusPainter::DrawFormattedText(const Font& font, ExArgb color, std::u16string_view text,
                                       int32_t format, const RectF& rect) {
    if (text.empty() || Invisible(color)) {
        return;
    }
    const GdiplusFont& gdiplusFont = GdiplusFontOf(font);
    const TextLayout layout = LayOut(gdiplusFont, text, format, rect.Width());
    const Gdiplus::RectF box = ToRectF(rect);
    const Gdiplus::GraphicsState state = m_graphics.Save();
    m_graphics.IntersectClip(box);
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    m_graphics.DrawString(layout.Chars(), layout.Length(), &gdiplusFont.Get(), box,
                          layout.format.get(), &brush);
    m_graphics.Restore(state);
}

}  // namespace exdui::backend::win32
