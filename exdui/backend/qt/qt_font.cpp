#include "qt_font.h"

#include <algorithm>

#include "qt_convert.h"

namespace exdui::backend::qt {

namespace {

int AlignmentOf(int32_t format) {
    int align = (format & EX_DT_RIGHT) != 0    ? Qt::AlignRight
                : (format & EX_DT_CENTER) != 0 ? Qt::AlignHCenter
                                               : Qt::AlignLeft;
    align |= (format & EX_DT_VCENTER) != 0  ? Qt::AlignVCenter
             : (format & EX_DT_BOTTOM) != 0 ? Qt::AlignBottom
                                            : Qt::AlignTop;
    return align;
}

}  // namespace

int TextFlags(int32_t format) {
    int flags = AlignmentOf(format);
    if ((format & EX_DT_SINGLELINE) != 0) {
        flags |= Qt::TextSingleLine;
    } else if ((format & EX_DT_WORDBREAK) != 0) {
        flags |= Qt::TextWordWrap;
    }
    return flags;
}

QString Elided(const QFontMetricsF& metrics, const QString& text, int32_t format, qreal width) {
    if ((format & (EX_DT_END_ELLIPSIS | EX_DT_PATH_ELLIPSIS)) == 0 || width <= 0) {
        return text;
    }
    Qt::TextElideMode mode = (format & EX_DT_PATH_ELLIPSIS) != 0 ? Qt::ElideMiddle : Qt::ElideRight;
    return metrics.elidedText(text, mode, width);
}

float QtFont::Ascent() const {
    return static_cast<float>(m_metrics.ascent());
}

float QtFont::Height() const {
    return static_cast<float>(m_metrics.height());
}

float QtFont::Advance(std::u16string_view text) const {
    return static_cast<float>(m_metrics.horizontalAdvance(ToQString(text)));
}

SizeF QtFont::Measure(std::u16string_view text, int32_t format, SizeF layout) const {
    const qreal width = layout.width;
    const qreal height = layout.height;
    QRectF bound(0, 0, std::max<qreal>(width, 0), std::max<qreal>(height, 0));
    // Measured from the top left: the alignment would only move the box.
    int flags = TextFlags(format & ~(EX_DT_CENTER | EX_DT_RIGHT | EX_DT_VCENTER | EX_DT_BOTTOM));
    QRectF r =
        m_metrics.boundingRect(bound, flags, Elided(m_metrics, ToQString(text), format, width));
    qreal w = width > 0 ? std::min(r.width(), width) : r.width();
    qreal h = height > 0 ? std::min(r.height(), height) : r.height();
    return {static_cast<float>(w), static_cast<float>(h)};
}

std::shared_ptr<const Font> WrapFont(const QFont& font) {
    return std::make_shared<QtFont>(font);
}

}  // namespace exdui::backend::qt
