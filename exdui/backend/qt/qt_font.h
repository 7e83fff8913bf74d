// Fonts of the Qt back end: a QFont with its metrics, and the text layout
// that drawing and measuring share.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <memory>

#include "backend/graphics.h"

namespace exdui::backend::qt {

class QtFont final : public Font {
  public:
    explicit QtFont(const QFont& font) : m_font(font), m_metrics(font) {}

    const QFont& Get() const { return m_font; }
    const QFontMetricsF& Metrics() const { return m_metrics; }

    float Ascent() const override;
    float Height() const override;
    float Advance(std::u16string_view text) const override;
    SizeF Measure(std::u16string_view text, int32_t format, SizeF layout) const override;

  private:
    QFont m_font;
    QFontMetricsF m_metrics;
};

// The QFont of a font made by this back end.
inline const QFont& QFontOf(const Font& font) {
    return static_cast<const QtFont&>(font).Get();
}

// A font of this back end for a QFont a widget already has.
std::shared_ptr<const Font> WrapFont(const QFont& font);

// Qt's text flags for the EX_DT_* bits of format.
int TextFlags(int32_t format);
// text shortened to width as the ellipsis bits of format ask; text itself
// when they ask for none or width is 0 or less.
QString Elided(const QFontMetricsF& metrics, const QString& text, int32_t format, qreal width);

}  // namespace exdui::backend::qt
