// Directory enumeration: the entries of one folder in the order the file
// system returns them. Paths and names are in the platform's multibyte
// encoding (UTF-8 on Linux).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

namespace cj::platform {

// The longest path, in bytes without the terminating NUL, that the system
// opens by name (Linux: PATH_MAX less one). A deeper path can be reached by
// opening folder after folder, but no program could then open it by its path.
#ifdef _WIN32
inline constexpr std::size_t MaxPathLength = 259;
#else
inline constexpr std::size_t MaxPathLength = 4095;
#endif

// Identifies a folder on this machine: two paths that reach the same folder
// (through a symbolic link, say) have equal identities.
struct FolderIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    friend bool operator==(const FolderIdentity&, const FolderIdentity&) = default;
};

struct DirEntry {
    std::string name;  // The entry's name alone, never "." or "..".
    // True for folders and for symbolic links that lead to a folder. Every
    // other entry (files, links to files, dangling links, devices, sockets) is
    // false.
    bool isDirectory = false;
};

struct DirListing {
    FolderIdentity identity;        // Of the folder that was opened.
    std::vector<DirEntry> entries;  // In file-system order; hidden entries included.
};

// Lists the folder at path. Symbolic links to folders are followed, both for
// path itself and for the entries. The entry type comes from the directory
// entry where the file system reports it and from a stat otherwise; no entry
// is ever opened, so FIFOs and devices in the folder cannot block the listing,
// and a path that names one fails as not a folder. Fails when
// the folder cannot be opened (missing, not a folder, no access); an error
// while reading ends the listing with what was read so far and reports it.
// Any thread; no shared state.
std::error_code ListDirectory(const std::string& path, DirListing& out);

}  // namespace cj::platform
