// Conversions between the library's neutral types and Qt's.
#pragma once

#include <QColor>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QString>
#include <string_view>

#include "core/geometry.h"
#include "exdui.h"

namespace exdui::backend::qt {

inline QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// A view of the string's characters, valid while the string is unchanged.
inline std::u16string_view ViewOf(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())};
}

inline QColor ToQColor(ExArgb argb) {
    return QColor::fromRgba(argb);
}

inline QRectF ToQRectF(const RectF& r) {
    return {QPointF(r.left, r.top), QPointF(r.right, r.bottom)};
}

inline RectF ToRectF(const QRect& r) {
    return RectF::OfSize(static_cast<float>(r.x()), static_cast<float>(r.y()),
                         static_cast<float>(r.width()), static_cast<float>(r.height()));
}

inline QPointF ToQPointF(PointF p) {
    return {p.x, p.y};
}

}  // namespace exdui::backend::qt
