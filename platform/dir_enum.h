// Directory enumeration: the entries of one folder in the order the file
// system returns them. Paths and names are in the platform's multibyte
// encoding (UTF-8 on Linux).
#pragma once

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

namespace cj::platform {

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
// entry where the file system reports it and from a stat otherwise. Fails when
// the folder cannot be opened (missing, not a folder, no access); an error
// while reading ends the listing with what was read so far and reports it.
// Any thread; no shared state.
std::error_code ListDirectory(const std::string& path, DirListing& out);

}  // namespace cj::platform
