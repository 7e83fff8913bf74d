#include "ui/window_style.h"

namespace cj::ui {

std::int32_t BuildWindowStyle(const WindowStyleSwitches& s) {
    const auto bit = [](int value, std::int32_t on, std::int32_t off = 0) {
        return value == 1 ? on : off;
    };
    return bit(s.icon, 0x80) | bit(s.titleBar, 0x100, 0x40000) | bit(s.centred, 0x20000) |
           bit(s.minimiseButton, 0x4) | bit(s.maximiseButton, 0x2) | bit(s.closeButton, 0x1) |
           bit(s.menuButton, 0x8) | bit(s.skinButton, 0x10) | bit(s.settingsButton, 0x20) |
           bit(s.movable, 0x800) | bit(s.resizable, 0x400) | bit(s.escapeCloses, 0x8000) |
           bit(s.noShadow, 0x1000) | bit(s.notMainWindow, 0, 0x10000);
}

void PaintBandedBackground(ExHandle surface, ExHandle canvas, ExArgb client, ExArgb band,
                           int bandHeight) {
    ExRect rect{};
    Ex_DUIGetClientRect(surface, &rect);
    _canvas_clear(canvas, 0x00000000);
    const ExHandle brush = _brush_create(client);
    _canvas_fillrect(canvas, brush, 0, 0, static_cast<float>(rect.right),
                     static_cast<float>(rect.bottom));
    _brush_setcolor(brush, band);
    _canvas_fillrect(canvas, brush, 0, 0, static_cast<float>(rect.right),
                     static_cast<float>(bandHeight));
    _brush_destroy(brush);
}

}  // namespace cj::ui
