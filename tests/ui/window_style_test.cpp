#include "ui/window_style.h"

#include <gtest/gtest.h>

#include "ui/colour.h"

namespace cj::ui {
namespace {

TEST(BuildWindowStyle, MapsEachSwitchToItsBit) {
    struct Case {
        const char* label;
        WindowStyleSwitches switches;
        std::int32_t style;
    };
    const Case cases[] = {
        // All off: no title bar and the main-window bit, the two inverted switches.
        {"all off", {}, 0x40000 | 0x10000},
        {"icon", {.icon = 1}, 0x80 | 0x50000},
        {"title bar", {.titleBar = 1}, 0x100 | 0x10000},
        {"centred", {.centred = 1}, 0x20000 | 0x50000},
        {"minimise", {.minimiseButton = 1}, 0x4 | 0x50000},
        {"maximise", {.maximiseButton = 1}, 0x2 | 0x50000},
        {"close", {.closeButton = 1}, 0x1 | 0x50000},
        {"menu", {.menuButton = 1}, 0x8 | 0x50000},
        {"skin", {.skinButton = 1}, 0x10 | 0x50000},
        {"settings", {.settingsButton = 1}, 0x20 | 0x50000},
        {"movable", {.movable = 1}, 0x800 | 0x50000},
        {"resizable", {.resizable = 1}, 0x400 | 0x50000},
        {"escape", {.escapeCloses = 1}, 0x8000 | 0x50000},
        {"no shadow", {.noShadow = 1}, 0x1000 | 0x50000},
        {"not main", {.notMainWindow = 1}, 0x40000},
        // Only exactly 1 counts as on.
        {"two is off", {.icon = 2, .titleBar = 2, .notMainWindow = 2}, 0x40000 | 0x10000},
        {"minus one is off", {.titleBar = -1, .closeButton = -1}, 0x40000 | 0x10000},
        // The two windows of the program.
        {"main window",
         {.centred = 1, .minimiseButton = 1, .maximiseButton = 1, .closeButton = 1, .movable = 1,
          .resizable = 1},
         0x70C07},
        {"copy window", {.centred = 1, .movable = 1, .notMainWindow = 1}, 0x60800},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildWindowStyle(c.switches), c.style) << c.label;
    }
}

TEST(MakeArgb, TurnsProgramColoursIntoArgb) {
    static_assert(MakeArgb(0xC06000) == 0xFF0060C0);
    EXPECT_EQ(MakeArgb(33 | 65 << 8 | 97 << 16, 230), 0xE6214161u);
    EXPECT_EQ(MakeArgb(0x0000FF), 0xFFFF0000u);
    EXPECT_EQ(MakeArgb(0xFF0000), 0xFF0000FFu);
    EXPECT_EQ(MakeArgb(0xFFFFFF, 0), 0x00FFFFFFu) << "an alpha of 0 given is kept";
    EXPECT_EQ(MakeArgb(0xAB123456), 0xFF563412u) << "bits above blue are dropped";
}

}  // namespace
}  // namespace cj::ui
