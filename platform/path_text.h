// Finding the separators of a path in its narrow text. On Windows the second
// byte of a GBK character can be 0x5C, the byte of "\" (the pair 95 5C is one
// character), so a separator counts only where a character starts.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/code_page.h"

namespace cj::platform {

// The position of the last separator of path that is a character of its own,
// or npos when it has none.
std::size_t FindLastSeparator(std::string_view path, CodePage codePage = ActiveCodePage());

// Whether path's last character is the separator.
bool EndsWithSeparator(std::string_view path, CodePage codePage = ActiveCodePage());

}  // namespace cj::platform
