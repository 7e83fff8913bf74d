// Short byte-size text, as a file manager shows it beside a file.
#pragma once

#include <cstdint>
#include <string>

namespace cj::platform {

// Steps of 1024 with the units B, KB, MB, GB, TB, PB, EB. Below 1024 the plain
// count: "0 B", "532 B". Above, about three significant digits, truncated, not
// rounded: two decimals below 10 of a unit ("1.50 KB"), one below 100
// ("12.5 KB"), none below 1000 ("999 KB"), and from 1000 of a unit on, the next
// unit with two decimals ("0.97 MB").
std::string FormatByteSize(std::uint64_t bytes);

}  // namespace cj::platform
