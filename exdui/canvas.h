// Canvases, brushes and text layout. A canvas is a handle wrapping the
// QPainter of one object's (or window's) paint; it is valid only while that
// paint runs, on the UI thread. Built-in classes may draw with these helpers
// directly instead of going through the C calls.
#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <atomic>

#include "exdui.h"

class QPainter;

namespace exdui {

struct Canvas {
    QPainter* painter = nullptr;  // Set only during a paint.
    bool antialias = false;
    bool imageAntialias = false;
};

struct Brush {
    std::atomic<ExArgb> color{0};
};

inline QColor ToColor(ExArgb argb) {
    return QColor::fromRgba(argb);
}

// A new canvas handle with no painter; removed with DestroyCanvas.
ExHandle CreateCanvas();
void DestroyCanvas(ExHandle canvas);
// Binds a painter for the duration of one paint (nullptr unbinds).
void BindCanvas(ExHandle canvas, QPainter* painter);
QPainter* CanvasPainter(ExHandle canvas);

// Draws text with the library's text-format bits (EX_DT_*).
void DrawFormattedText(QPainter& painter, const QFont& font, ExArgb color, const QString& text,
                       int32_t format, const QRectF& rect);
// Size of text laid out with those bits within layout.
QSizeF MeasureText(const QFont& font, const QString& text, int32_t format, QSizeF layout);

// A rounded-corner path with one radius per corner (top-left, top-right,
// bottom-right, bottom-left); plain rectangle when all are 0.
void FillRoundedRect(QPainter& painter, const QRectF& rect, const float radius[4], ExArgb color);

QString FromUtf16(const char16_t* text, intptr_t length = -1);

}  // namespace exdui
