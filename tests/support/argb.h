// The red, green and blue of an ARGB pixel (alpha in the top byte), for tests
// that look at a window's pixels.
#pragma once

#include <cstdint>

namespace cj::test {

inline int Red(std::uint32_t argb) {
    return static_cast<int>((argb >> 16) & 0xFF);
}
inline int Green(std::uint32_t argb) {
    return static_cast<int>((argb >> 8) & 0xFF);
}
inline int Blue(std::uint32_t argb) {
    return static_cast<int>(argb & 0xFF);
}

}  // namespace cj::test
