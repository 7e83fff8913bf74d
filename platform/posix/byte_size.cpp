#include "platform/byte_size.h"

#include <array>
#include <string_view>

namespace cj::platform {
namespace {
__extension__ using Uint128 = unsigned __int128;
}  // namespace

std::string FormatByteSize(std::uint64_t bytes) {
    static constexpr std::array<std::string_view, 7> Units = {"B",  "KB", "MB", "GB",
                                                              "TB", "PB", "EB"};
    if (bytes < 1024) {
        return std::to_string(bytes) + " B";
    }
    // Exact integer arithmetic: scaled = bytes * 100 / 1024^unit is the value
    // with two decimals, truncated. 128 bits hold bytes * 100 for every size.
    std::size_t unit = 1;
    Uint128 divisor = 1024;
    while (unit + 1 < Units.size() && bytes >= divisor * 1024) {
        divisor *= 1024;
        ++unit;
    }
    Uint128 scaled = static_cast<Uint128>(bytes) * 100 / divisor;
    if (scaled >= 100000 && unit + 1 < Units.size()) {
        // 1000 of a unit or more reads as a fraction of the next unit.
        divisor *= 1024;
        ++unit;
        scaled = static_cast<Uint128>(bytes) * 100 / divisor;
    }
    const auto hundredths = static_cast<std::uint64_t>(scaled);
    const std::uint64_t whole = hundredths / 100;
    const std::uint64_t fraction = hundredths % 100;
    std::string text = std::to_string(whole);
    if (whole < 10) {
        text += '.';
        text += static_cast<char>('0' + fraction / 10);
        text += static_cast<char>('0' + fraction % 10);
    } else if (whole < 100) {
        text += '.';
        text += static_cast<char>('0' + fraction / 10);
    }
    text += ' ';
    text += Units[unit];
    return text;
}

}  // namespace cj::platform
