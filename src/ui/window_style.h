// The surface style of a top-level window, from on/off switches (a switch is
// on only when its value is exactly 1), and the background the program's
// windows paint.
#pragma once

#include <cstdint>

#include "exdui/exdui.h"

namespace cj::ui {

struct WindowStyleSwitches {
    int icon = 0;            // 0x80
    int titleBar = 0;        // the library's title bar 0x100; off gives 0x40000
    int centred = 0;         // centred on creation, 0x20000
    int minimiseButton = 0;  // 0x4
    int maximiseButton = 0;  // 0x2
    int closeButton = 0;     // 0x1
    int menuButton = 0;      // 0x8
    int skinButton = 0;      // 0x10
    int settingsButton = 0;  // 0x20
    int movable = 0;         // 0x800
    int resizable = 0;       // 0x400
    int escapeCloses = 0;    // 0x8000
    int noShadow = 0;        // 0x1000
    int notMainWindow = 0;   // off marks the main window, 0x10000
};

std::int32_t BuildWindowStyle(const WindowStyleSwitches& switches);

// Paints the client area of surface on canvas in client, with a band of
// bandHeight pixels across the top in band. For the background message.
void PaintBandedBackground(ExHandle surface, ExHandle canvas, ExArgb client, ExArgb band,
                           int bandHeight);

}  // namespace cj::ui
