// File-name and size texts shown beside a hit and in the copy list. Both run on
// any thread and keep no state. Paths use the platform separator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace cj::shell {

// The last component of path; "" when path ends in a separator. Without the
// extension, the name loses everything from its last "." on ("archive.tar.gz"
// gives "archive.tar", ".profile" gives "").
std::string FileName(std::string_view path, bool keepExtension);

// The extension of a file name: from its last "." to the end, the dot
// included, or "" when the name has no dot.
std::string_view FileExtension(std::string_view name);

// The size text of a file whose size cannot be read (missing, unreadable, not a
// regular file).
inline constexpr std::string_view UnknownSizeText = "0";

// The short size text of the file at path: the platform formatter's text with
// "B" for plain bytes ("0 B" for an empty file, "532 B", "1.50 KB"), or
// UnknownSizeText when its size cannot be read.
std::string SizeText(std::string_view path);

// The same text for a size already known.
std::string SizeTextForBytes(std::uint64_t bytes);

}  // namespace cj::shell
