// The GDI+ back end's canvas: a backend::Painter over a Gdiplus::Graphics
// that a paint made (over the window's back buffer, or an image). It does
// not own the Graphics and must not outlive it.
#pragma once

#include <vector>

#include "backend/painter.h"
#include "gdiplus_api.h"

namespace exdui::backend::win32 {

class GdiplusPainter final : public Painter {
  public:
    // Sets the paint's starting state on graphics (no antialiasing, no image
    // smoothing) and puts pixel centres at .5, where the contract has them.
    explicit GdiplusPainter(Gdiplus::Graphics& graphics);
    // graphics goes back as it was lent, whatever Saves were left open.
    ~GdiplusPainter() override;
    GdiplusPainter(const GdiplusPainter&) = delete;
    GdiplusPainter& operator=(const GdiplusPainter&) = delete;

    void Save() override;
    void Restore() override;
    void Translate(float dx, float dy) override;
    void ClipRect(const RectF& rect) override;
    void ExcludeClip(const RectF& rect) override;
    void SetAntialias(bool on) override;
    void SetImageSmoothing(bool on) override;

    void Clear(ExArgb color) override;
    void FillRect(const RectF& rect, ExArgb color) override;
    void StrokeRect(const RectF& rect, ExArgb color, double width) override;
    void FillRoundedRect(const RectF& rect, const CornerRadii& radii, ExArgb color) override;
    void StrokeRoundedRect(const RectF& rect, const CornerRadii& radii, ExArgb color,
                           double width) override;
    void FillEllipse(const RectF& bounds, ExArgb color) override;
    void StrokeEllipse(const RectF& bounds, ExArgb color, double width) override;
    void DrawLine(PointF from, PointF to, ExArgb color, double width) override;
    void StrokePolyline(std::span<const PointF> points, ExArgb color, double width) override;
    void FillPolygon(std::span<const PointF> points, ExArgb color) override;
    void DrawImage(const Image& image, const RectF& target, uint8_t alpha) override;
    void DrawFormattedText(const Font& font, ExArgb color, std::u16string_view text, int32_t format,
                           const RectF& rect) override;

  private:
    Gdiplus::Graphics& m_graphics;
    Gdiplus::GraphicsState m_lent;                // The state it was lent in.
    std::vector<Gdiplus::GraphicsState> m_saved;  // Saves not yet restored.
};

}  // namespace exdui::backend::win32
