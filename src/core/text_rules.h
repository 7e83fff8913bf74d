// Small text rules shared across the program.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cj::core {

// Splits text at every occurrence of separator. Empty text gives no members; a
// trailing separator gives no empty last member; separators in a row (or a
// leading one) give empty members:
//   "a b" -> {a, b}, "a b " -> {a, b}, "a  b" -> {a, "", b}, " a" -> {"", a}.
// An empty separator gives the whole text as one member.
std::vector<std::string> SplitText(std::string_view text, std::string_view separator);

// Decimal text to integer, as the configuration file reads numbers: leading
// blanks and one sign are allowed, digits are read up to the first non-digit,
// empty or non-numeric text is 0 and values beyond the 64-bit range saturate.
std::int64_t TextToInt(std::string_view text);

// A directory list's folders as stored: each folder followed by "*/*".
inline constexpr std::string_view FolderSeparator = "*/*";
std::string JoinFolderList(const std::vector<std::string>& folders);
std::vector<std::string> SplitFolderList(std::string_view value);

// The thread count to use for a stored or shown text: its value when it lies in
// 1..MaxThreadCount, otherwise the number of processor cores clamped to that
// range.
inline constexpr int MaxThreadCount = 12;
int ThreadCountFromText(std::string_view text);
int DefaultThreadCount();

}  // namespace cj::core
