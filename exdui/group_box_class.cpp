// "GroupBox": a frame with a title, around a set of options. Slot 0 fills the
// inside of the frame, slot 1 draws the frame, slot 2 the title. The frame's
// top line runs through the middle of the title and leaves a gap for it.
#include <cmath>

#include "class_registry.h"

namespace exdui {
namespace {

constexpr float TitleIndent = 10;
constexpr float TitleGap = 4;
constexpr float FrameRadius = 4;

// Whole pixels, rounded towards 0.
float Whole(float value) {
    return static_cast<float>(static_cast<int>(value));
}

void PaintGroupBox(Object& obj, backend::Painter& p) {
    const RectF box = obj.ClientRect();
    const backend::Font& font = obj.Font();
    const std::u16string& title = obj.Text();
    const float titleWidth = title.empty() ? 0 : font.Advance(title);
    const float lineHeight = font.Height();
    const float top = title.empty() ? 0.5F : std::floor(lineHeight / 2) + 0.5F;
    const RectF frame{0.5F, top, box.Width() - 0.5F, box.Height() - 0.5F};
    const auto radii = backend::CornerRadii::Same(FrameRadius, FrameRadius);
    p.SetAntialias(true);
    ExArgb fill = obj.Color(EX_COLOR_BACKGROUND);
    if ((fill >> 24) != 0) {
        p.FillRoundedRect(frame, radii, fill);
    }
    ExArgb border = obj.Color(EX_COLOR_BORDER);
    if ((border >> 24) != 0) {
        p.Save();
        if (titleWidth > 0) {
            // Leave the title's place out of the frame line.
            p.ExcludeClip(RectF::OfSize(Whole(TitleIndent - TitleGap), 0,
                                        Whole(titleWidth + 2 * TitleGap), Whole(lineHeight)));
        }
        p.StrokeRoundedRect(frame, radii, border, 1);
        p.Restore();
    }
    p.DrawFormattedText(font, obj.Color(EX_COLOR_TEXT), title, EX_DT_SINGLELINE,
                        RectF::OfSize(TitleIndent, 0, titleWidth + 1, lineHeight));
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
