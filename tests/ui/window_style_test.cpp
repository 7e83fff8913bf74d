#include "ui/window_style.h"

#include <gtest/gtest.h>

#include <bit>

#include "exdui/exdui.h"
#include "ui/colour.h"

namespace cj::ui {
namespace {

TEST(BuildWindowStyle, EachSwitchIsABitOfItsOwnAndTheyCombine) {
    // Every switch on its own changes one bit of the all-off style (the title
    // bar trades the "no title bar" bit for its own), no two switches the
    // same bit, and switches together give the union of what each gives alone.
    using Field = int WindowStyleSwitches::*;
    const Field fields[] = {
        &WindowStyleSwitches::icon,           &WindowStyleSwitches::titleBar,
        &WindowStyleSwitches::centred,        &WindowStyleSwitches::minimiseButton,
        &WindowStyleSwitches::maximiseButton, &WindowStyleSwitches::closeButton,
        &WindowStyleSwitches::menuButton,     &WindowStyleSwitches::skinButton,
        &WindowStyleSwitches::settingsButton, &WindowStyleSwitches::movable,
        &WindowStyleSwitches::resizable,      &WindowStyleSwitches::escapeCloses,
        &WindowStyleSwitches::noShadow,       &WindowStyleSwitches::notMainWindow,
    };
    const std::int32_t none = BuildWindowStyle({});
    std::uint32_t seen = 0;
    WindowStyleSwitches all;
    std::uint32_t expectedAll = static_cast<std::uint32_t>(none);
    for (const Field field : fields) {
        WindowStyleSwitches one;
        one.*field = 1;
        const auto changed = static_cast<std::uint32_t>(BuildWindowStyle(one) ^ none);
        EXPECT_EQ(std::popcount(changed), field == &WindowStyleSwitches::titleBar ? 2 : 1);
        EXPECT_NE(changed, 0u);
        EXPECT_EQ(seen & changed, 0u) << "a bit of its own";
        seen |= changed;
        all.*field = 1;
        expectedAll ^= changed;
        // Only exactly 1 counts as on.
        one.*field = 2;
        EXPECT_EQ(BuildWindowStyle(one), none);
        one.*field = -1;
        EXPECT_EQ(BuildWindowStyle(one), none);
    }
    EXPECT_EQ(static_cast<std::uint32_t>(BuildWindowStyle(all)), expectedAll);
}

TEST(BuildWindowStyle, GivesTheLibraryTheProgramsTwoWindowStyles) {
    // The styles the UI library knows the main window and the copy window by.
    EXPECT_EQ(BuildWindowStyle({.centred = 1,
                                .minimiseButton = 1,
                                .maximiseButton = 1,
                                .closeButton = 1,
                                .movable = 1,
                                .resizable = 1}),
              0x70C07);
    EXPECT_EQ(BuildWindowStyle({.centred = 1, .movable = 1, .notMainWindow = 1}), 0x60800);
    EXPECT_EQ(BuildWindowStyle({}) & EX_WS_MAINWINDOW, EX_WS_MAINWINDOW)
        << "a window is the main one unless it says otherwise";
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
