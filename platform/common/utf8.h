// UTF-8 steps and the lossless UTF-8 and UTF-16 conversions of code_page.h,
// shared by the systems whose narrow text is, or may be, UTF-8.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace cj::platform {

// The length of the well-formed UTF-8 sequence starting at pos, or 0 when the
// byte there does not start one (a stray continuation byte, an overlong form,
// a surrogate, a value beyond U+10FFFF or a cut-off sequence).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos);

// NarrowToUtf16 and Utf16ToNarrow for UTF-8 narrow text: a byte that starts no
// valid sequence becomes the lone surrogate U+DC00 + byte and back.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace cj::platform
