#include "backend/qt/qt_tooltip.h"

#include <QTextDocument>
#include <QToolTip>
#include <QVariant>

#include "backend/qt/qt_native_view.h"
#include "backend/tooltip.h"

namespace exdui::backend {
namespace qt {
namespace {

// The widget property that keeps a tooltip as it was given.
constexpr char TooltipProperty[] = "exduiTooltip";

}  // namespace

QString TooltipMarkup(const QString& plain) {
    return plain.isEmpty() ? plain : Qt::convertFromPlainText(plain, Qt::WhiteSpaceNormal);
}

void SetWidgetTooltip(QWidget* widget, const QString& plain) {
    widget->setProperty(TooltipProperty, plain);
    widget->setToolTip(TooltipMarkup(plain));
}

QString WidgetTooltip(const QWidget* widget) {
    return widget->property(TooltipProperty).toString();
}

}  // namespace qt

void ShowTooltip(NativeView* view, ExPoint at, std::u16string_view text, const ExRect& area) {
    if (text.empty()) {
        HideTooltip();
        return;
    }
    const QString plain = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    QToolTip::showText(QPoint(at.x, at.y), qt::TooltipMarkup(plain), qt::ToWidget(view),
                       qt::ToQRect(area));
}

void HideTooltip() {
    QToolTip::hideText();
}

}  // namespace exdui::backend
