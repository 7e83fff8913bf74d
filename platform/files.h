// Whole-file and path services. Paths are in the platform's multibyte encoding
// (UTF-8 on Linux) with the platform separator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace cj::platform {

#ifdef _WIN32
inline constexpr char PathSeparator = '\\';
#else
inline constexpr char PathSeparator = '/';
#endif

// Reads the whole file into out (replacing its content).
std::error_code ReadWholeFile(const std::string& path, std::string& out);

// Replaces the file with data atomically: the data goes to a temporary file in
// the same folder, is flushed to disk and renamed over the target. On any
// failure the previous file is left as it was and no temporary file remains.
// New files get mode 0644 less the umask; a replaced file keeps its mode.
std::error_code WriteWholeFileAtomic(const std::string& path, std::string_view data);

// Size in bytes of a regular file (following symbolic links). Directories and
// other non-regular entries report std::errc::invalid_argument.
std::error_code RegularFileSize(const std::string& path, std::uint64_t& size);

// What a directory search for exactly one path finds: whether an entry of that
// name exists, whether it is a folder, and its size (0 for folders).
struct PathProbe {
    bool exists = false;
    bool isDirectory = false;
    std::uint64_t size = 0;
    std::error_code error;  // Why exists is false (ENOENT for a missing entry).
};
PathProbe ProbePath(const std::string& path);

// Removes a file (not a folder). Named so as not to meet the Windows header's
// DeleteFile macro.
std::error_code RemoveFile(const std::string& path);

// Creates one directory level; the parent must exist. An existing directory is
// reported as std::errc::file_exists.
std::error_code MakeDirectory(const std::string& path);

// The directory of the running executable, without a trailing separator.
// Empty when it cannot be determined.
std::string ExecutableDirectory();

// Joins two path parts with exactly one separator between them. An empty part
// leaves the other as it is.
std::string JoinPath(std::string_view head, std::string_view tail);

}  // namespace cj::platform
