// Colours. Inside the program a colour is red | green << 8 | blue << 16 (red
// in the low byte); the UI library takes 32-bit ARGB.
#pragma once

#include <cstdint>
#include <optional>

namespace cj::ui {

// ARGB of colour with the given alpha, or opaque when none is given.
constexpr std::uint32_t MakeArgb(std::uint32_t colour, std::optional<std::uint8_t> alpha = {}) {
    const std::uint32_t red = colour & 0xFF;
    const std::uint32_t green = (colour >> 8) & 0xFF;
    const std::uint32_t blue = (colour >> 16) & 0xFF;
    return std::uint32_t{alpha.value_or(255)} << 24 | red << 16 | green << 8 | blue;
}

}  // namespace cj::ui
