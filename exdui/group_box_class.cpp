// "GroupBox": a frame with a title, around a set of options. Slot 0 fills the
// inside of the frame, slot 1 draws the frame, slot 2 the title. The frame's
// top line runs through the middle of the title and leaves a gap for it.
#include <QFontMetricsF>
#include <QPainter>

#include "canvas.h"
#include "class_registry.h"

namespace exdui {
namespace {

constexpr qreal TitleIndent = 10;
constexpr qreal TitleGap = 4;
constexpr qreal FrameRadius = 4;

void PaintGroupBox(Object& obj, QPainter& p) {
    QRectF box(obj.Widget()->rect());
    QFontMetricsF metrics(obj.Font());
    const QString& title = obj.Text();
    qreal titleWidth = title.isEmpty() ? 0 : metrics.horizontalAdvance(title);
    qreal top = title.isEmpty() ? 0.5 : std::floor(metrics.height() / 2) + 0.5;
    QRectF frame(0.5, top, box.width() - 1, box.height() - top - 0.5);
    p.setRenderHint(QPainter::Antialiasing, true);
    ExArgb fill = obj.Color(EX_COLOR_BACKGROUND);
    if ((fill >> 24) != 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(ToColor(fill));
        p.drawRoundedRect(frame, FrameRadius, FrameRadius);
    }
    ExArgb border = obj.Color(EX_COLOR_BORDER);
    if ((border >> 24) != 0) {
        p.save();
        if (titleWidth > 0) {
            // Leave the title's place out of the frame line.
            QRegion clip(box.toRect());
            clip -= QRect(static_cast<int>(TitleIndent - TitleGap), 0,
                          static_cast<int>(titleWidth + 2 * TitleGap),
                          static_cast<int>(metrics.height()));
            p.setClipRegion(clip);
        }
        p.setPen(QPen(ToColor(border), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(frame, FrameRadius, FrameRadius);
        p.restore();
    }
    DrawFormattedText(p, obj.Font(), obj.Color(EX_COLOR_TEXT), title, EX_DT_SINGLELINE,
                      QRectF(TitleIndent, 0, titleWidth + 1, metrics.height()));
}

intptr_t GroupBoxProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                      intptr_t lParam) {
    Object* obj = ObjectFromHandle(object);
    if (obj == nullptr) {
        return 0;
    }
    if (message == EX_WM_ERASEBKGND) {
        return 1;  // the frame paints its own inside
    }
    if (message == EX_WM_PAINT && obj->Painter() != nullptr) {
        PaintGroupBox(*obj, *obj->Painter());
        return 0;
    }
    return Ex_ObjDefProc(window, object, message, wParam, lParam);
}

}  // namespace

void RegisterGroupBoxClass() {
    RegisterBuiltinClass(
        BuiltinClass{u"GroupBox",
                     EX_OS_VISIBLE,
                     0,
                     EX_DT_SINGLELINE,
                     &GroupBoxProc,
                     nullptr,
                     TraitMouseTransparent,
                     {{EX_COLOR_TEXT, 0xFF000000}, {EX_COLOR_BORDER, 0x40000000}}});
}

}  // namespace exdui
