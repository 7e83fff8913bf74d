// The window's own icons: 21 by 21 PNG images embedded in the program, drawn
// by scripts/make_icons.py. The page icons and the update-cache icon are white
// with a dark rim for the red band; the search button's icons are dark for its
// light background. The bytes live for the whole run.
#pragma once

#include <cstdint>
#include <span>

namespace cj::ui {

inline constexpr int IconSize = 21;

std::span<const std::uint8_t> SearchPageIcon();    // A magnifier.
std::span<const std::uint8_t> CopyPageIcon();      // Two sheets.
std::span<const std::uint8_t> SettingsPageIcon();  // A gear.
std::span<const std::uint8_t> SearchButtonIcon();  // A magnifier, dark.
std::span<const std::uint8_t> SearchBusyIcon();    // An hourglass, dark.
std::span<const std::uint8_t> UpdateCacheIcon();   // A circular arrow.

}  // namespace cj::ui
