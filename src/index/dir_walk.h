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

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/type_filter.h"

namespace cj::index {

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
