// Tooltips hold plain text: a file named "<b>.jpg" must not turn bold.
#pragma once

#include <QString>
#include <QTextDocument>

namespace exdui {

// What Qt's tooltip is given for a plain text: the text escaped as rich
// text, its line breaks kept. Qt wraps a rich tooltip at about 80
// characters, where a plain one would run a long path across the screen.
inline QString TooltipMarkup(const QString& plain) {
    return plain.isEmpty() ? plain : Qt::convertFromPlainText(plain, Qt::WhiteSpaceNormal);
}

// The widget property that keeps an object's tooltip as it was given.
inline constexpr char TooltipProperty[] = "exduiTooltip";

}  // namespace exdui
