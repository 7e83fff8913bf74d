// Tooltips on Qt hold plain text: a file named "<b>.jpg" must not turn bold.
#pragma once

#include <QString>

class QWidget;

namespace exdui::backend::qt {

// What Qt's tooltip is given for a plain text: the text escaped as rich
// text, its line breaks kept. Qt wraps a rich tooltip at about 80
// characters, where a plain one would run a long path across the screen.
QString TooltipMarkup(const QString& plain);

// The tooltip Qt shows by itself when the pointer rests on widget, kept as it
// was given ("" removes it), and read back.
void SetWidgetTooltip(QWidget* widget, const QString& plain);
QString WidgetTooltip(const QWidget* widget);

}  // namespace exdui::backend::qt
