// The directory walk of a refresh: every file below the folders of a directory
// list that passes the type filter, as full paths, in walk order.
//
// Walk order, for each folder of the list in turn:
//   - the folder's prefix D is its text with a separator appended unless it
//     already ends in one ("/" stays "/"); an empty text means the run
//     directory;
//   - first the folder's files: every entry that is not a folder (hidden files,
//     links to files, dangling links, FIFOs, sockets and devices included), in
//     the order the file system lists them, each recorded as D + name when its
//     name passes the filter;
//   - then its subfolders in that order, skipping every name that begins with
//     ".", each walked whole (as D + name) before the next one.
// Every real folder (device and inode) is walked once, along the first path
// that reaches it in walk order: a later path to it, through a symbolic link,
// a second link or a listed folder inside another, is skipped, and so a link
// loop ends at its first repeat. Skipped paths are not errors.
//
// Left out, counted and named in the WalkReport (walk order):
//   - names holding a line feed, a carriage return or 0x1A, which a shard
//     cannot store as one record (see shard_file.h): files that pass the
//     filter, and folders, which are not entered;
//   - paths longer than platform::MaxPathLength: files that pass the filter,
//     and folders too deep for any entry's path to fit, which are not entered;
//   - subfolders that cannot be listed (no permission, vanished); one whose
//     listing fails part-way keeps what was read.
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
    // --verbose); kept in the platform encoding. Folders without the trailing
    // separator. A name may hold the very line breaks that kept it out.
    std::vector<std::string> leftOut;
};

// The prefix D of a folder text, as above.
std::string FolderPrefix(std::string_view folder, std::string_view runDirectory);

// Receives one record in two parts, the folder's prefix D and the file's name:
// the record is D + name. (Handed on in parts, the record is copied once, by
// its receiver.)
using RecordSink = std::function<void(std::string_view folderPrefix, std::string_view name)>;

// Walks folders in list order and calls onRecord with each record in walk
// order, on the calling thread. The listing of folders runs on listThreads
// threads (0: three per processor core, 4 to 16); the records and the report
// come out in exactly the single-threaded order whatever the thread count.
// onRecord must not throw.
//
// Every listed folder is opened first. When one of them cannot be opened or
// read (missing, not a folder, no access, a read error) nothing is walked and
// onRecord is never called: the report names each such folder (as listed; the
// run directory for an empty text) in missingFolders. A listed folder whose
// own path cannot be stored or is too long is left out as above.
//
// Throws std::system_error when no lister thread can be started and
// std::bad_alloc when memory runs out, before or after records were handed on.
WalkReport WalkFolders(const std::vector<std::string>& folders, std::string_view runDirectory,
                       const core::TypeFilter& filter, int listThreads, const RecordSink& onRecord);

}  // namespace cj::index
