// The figures of the copy page's status texts: the list's size and the free
// space of the target's file system, in MB rounded to two decimals. The texts
// around them are the window's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace cj::copylist {

// Rounds half away from zero to two decimals; a negative value that rounds to
// zero stays a negative zero.
double RoundToHundredths(double value);

// A rounded figure as printf's "%.13g" prints it: 1536, 12.5, -0.
std::string FigureText(double value);

// The list's total in MB (bytes / 1048576), rounded.
double ListMegabytes(std::int64_t bytes);

// The free space of the target folder's file system in MB, rounded; the
// folder text as the user typed it (empty: the current folder). Counts whole
// KiB as the free-space text always has; a failed query gives -1 KiB, which
// shows as -0.
double FreeMegabytes(const std::string& targetText);

// The same figure from a free-space query's answer: whole KiB of bytes (no
// wrap at any size), or -1 KiB when error is set.
double FreeMegabytesOf(std::error_code error, std::uint64_t bytes);

}  // namespace cj::copylist
