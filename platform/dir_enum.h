// Directory enumeration: the entries of one folder in the order the file
// system returns them. Paths and names are in the platform's multibyte
// encoding (UTF-8 on Linux).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
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
    // The entry's name alone, never "." or "..": a view into the names of the
    // listing that holds it, valid until that listing is listed into again.
    std::string_view name;
    // True for folders and for symbolic links that lead to a folder. Every
    // other entry (files, links to files, dangling links, devices, sockets) is
    // false.
    bool isDirectory = false;
};

// One listing, meant to be reused folder after folder by one thread: its
// buffers keep their capacity, so that a walk allocates nothing per entry.
// Not copyable (the entries view its own names); a move keeps them valid.
struct DirListing {
    DirListing() = default;
    DirListing(const DirListing&) = delete;
    DirListing& operator=(const DirListing&) = delete;
    DirListing(DirListing&&) = default;
    DirListing& operator=(DirListing&&) = default;

    FolderIdentity identity;        // Of the folder that was opened.
    std::vector<DirEntry> entries;  // In file-system order; hidden entries included.
    // The entries' names back to back. One buffer for all: a string of its
    // own per entry cost an allocation per file, as most file names are longer
    // than the 15 bytes a std::string holds inline.
    std::vector<char> names;
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
