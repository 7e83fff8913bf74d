// The Qt back end's canvas: a backend::Painter over a QPainter that a paint
// event began. It does not own the QPainter and must not outlive it.
#pragma once

#include <QPainter>

#include "backend/painter.h"

namespace exdui::backend::qt {

class QtPainter final : public Painter {
  public:
    explicit QtPainter(QPainter& painter);
    // Undoes the Saves left open: the QPainter goes back as it was lent.
    ~QtPainter() override;
    QtPainter(const QtPainter&) = delete;
    QtPainter& operator=(const QtPainter&) = delete;

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
    // Draws the shape with the pen and brush given, restoring them after.
    template <class Draw>
    void WithPenAndBrush(const QPen& pen, const QBrush& brush, Draw draw);

    QPainter& m_painter;
    int m_depth = 0;  // Saves not yet restored.
};

}  // namespace exdui::backend::qt
