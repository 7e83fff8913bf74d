// The program's trace of failures it survives: data/chengjing.log, one line
// each, with the time, what failed and the system's reason. What the user
// sees does not change; the log is for whoever has to find out later why a
// backup is missing or a setting was not kept.
//
//   2026-12-07 23:40:01 备份列表失败 /srv/run/data/Backup.txt: No space left on device
//
// The file stays below MaxLogBytes: when an append passes it, the oldest
// lines are dropped and the newest half kept. Lines are in the platform's
// multibyte encoding, LF-terminated on Linux and CR LF on Windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace cj::core {

inline constexpr std::uint64_t MaxLogBytes = std::uint64_t{256} * 1024;

// data/chengjing.log; runDirectory has no trailing separator.
std::string LogPath(std::string_view runDirectory);

// Sends every later line to the log of runDirectory's data folder, or, with
// an empty runDirectory, nowhere (the default, which tests keep). Any thread.
void SetLogRunDirectory(std::string_view runDirectory);

// Appends "<local time> <what>: <reason's message>" (": <reason>" only when
// reason is set). what names the operation and its path; it may hold any
// bytes but line breaks, which become blanks. Any thread; never throws, and a
// line that cannot be written is dropped, since there is nowhere left to
// tell.
void LogFailure(std::string_view what, std::error_code reason = {}) noexcept;

}  // namespace cj::core
