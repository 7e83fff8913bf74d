// Fonts. The program names "微软雅黑" (and leaves the family empty for the
// default); both map to an installed Simplified Chinese font. Qt must never be
// left to pick the CJK fallback itself: under C.UTF-8 it takes the Japanese
// forms, so every font we make lists the SC family as its fallback.
#pragma once

#include <QFont>
#include <QString>
#include <mutex>

#include "exdui.h"

namespace exdui {

constexpr int DefaultFontPixelSize = 12;

// The family to use for a family the program names.
QString ResolveFamily(const QString& family);
// size in pixels (-1: default); style bits 1 bold, 2 italic, 4 underline, 8 strikeout.
QFont MakeFont(const QString& family, int32_t size, int32_t style);
QFont DefaultFont();

struct FontResource {
    mutable std::mutex mu;
    QFont font;  // Under mu.
};

ExHandle CreateFontHandle(const QFont& font);
void SetFontHandle(ExHandle handle, const QFont& font);
// The font behind a handle; the default font for 0 or a bad handle.
QFont FontFromHandle(ExHandle handle);

}  // namespace exdui
