// The directory walk of a refresh: every file below the folders of a directory
// list that passes the type filter, as full paths, in walk order.
//
// Walk order, for each folder of the list in turn:
//   - the folder's prefix D is its text with a separator appended unless it
//     already ends in one ("/" stays "/"); an empty text means the run
//     directory;
//   - first the folder's files: every entry that is not a folder (hidden files,
//     links to files and dangling links included), in the order the file
//     system lists them, each recorded as D + name when its name passes the
//     filter;
//   - then its subfolders in that order, skipping every name that begins with
//     ".", each walked whole (as D + name) before the next one.
// Symbolic links to folders are walked like folders, except a folder that is
// already on the current walk path (the same device and inode as the folder
// being walked or one of its parents), which is skipped: a link loop ends
// there. Folders that cannot be listed contribute nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/type_filter.h"

namespace cj::index {

// What a walk could not index, and the listed folders it could not open at all.
struct WalkReport {
    // Listed folders that could not be opened (missing, unplugged, no
    // permission): the refresh stops and the previous index stays.
    std::vector<std::string> missingFolders;
    std::uint64_t unreadableFolders = 0;  // Subfolders that could not be listed.
    std::uint64_t tooLong = 0;            // Paths longer than the system takes.
    std::uint64_t unstorableNames = 0;    // Names holding LF, CR or 0x1A.
    std::uint64_t filesSeen = 0;          // Files found, before the type filter.
    // Every path left out, for a listing on request (the command line's
    // --verbose); kept in the platform encoding.
    std::vector<std::string> leftOut;
};

// The prefix D of a folder text, as above.
std::string FolderPrefix(std::string_view folder, std::string_view runDirectory);

// Walks folders in list order and calls onRecord with each record in walk
// order, on the calling thread. The listing of folders runs on listThreads
// threads (0: one per processor core); the records come out in exactly the
// single-threaded order whatever the thread count. onRecord must not throw.
void WalkFolders(const std::vector<std::string>& folders, std::string_view runDirectory,
                 const core::TypeFilter& filter, int listThreads,
                 const std::function<void(std::string_view record)>& onRecord);

}  // namespace cj::index
