// Canvases and brushes. A canvas is a handle on the backend::Painter of one
// object's (or window's, or list's) paint; it is valid only while that paint
// runs, on the UI thread. Built-in classes draw on the painter directly.
#pragma once

#include <atomic>

#include "backend/painter.h"
#include "exdui.h"

namespace exdui {

struct Brush {
    std::atomic<ExArgb> color{0};
};

// A new canvas handle with no painter; removed with DestroyCanvas.
ExHandle CreateCanvas();
void DestroyCanvas(ExHandle canvas);
// Binds a painter for the duration of one paint (nullptr unbinds), with
// antialiasing and image smoothing off.
void BindCanvas(ExHandle canvas, backend::Painter* painter);
backend::Painter* CanvasPainter(ExHandle canvas);

// An object's shape: rect with one radius per corner (top left, top right,
// bottom right, bottom left), each cut to half the shorter side, its edges
// smoothed; a plain rectangle when no radius is above 0.
void FillRoundedBox(backend::Painter& painter, const RectF& rect, const float radius[4],
                    ExArgb color);

}  // namespace exdui
