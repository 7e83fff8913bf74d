// The line end of text handed to other programs through the clipboard: what
// editors and chat windows of the platform expect to paste. Files the program
// writes keep their own formats (shards and the configuration use CR LF on
// every platform).
#pragma once

#include <string_view>

namespace cj::platform {

#ifdef _WIN32
inline constexpr std::string_view TextLineEnd = "\r\n";
#else
inline constexpr std::string_view TextLineEnd = "\n";
#endif

}  // namespace cj::platform
