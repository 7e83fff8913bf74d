// File sizes for many paths in a row, as a search looks them up for its hits.
//
// Hits of one search tend to come in runs from the same folder (a shard keeps
// the walk order), and resolving the whole path is the largest part of a size
// lookup (the kernel's path walk leads the profile of a search with sizes).
// The reader keeps a handle to the last folder and resolves only the name
// below it while the folder stays the same: about 10% less system time for
// "SF" on the 300k benchmark tree.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace cj::platform {

// One per thread; not shareable.
class FileSizeReader {
  public:
    FileSizeReader() = default;
    ~FileSizeReader();
    FileSizeReader(const FileSizeReader&) = delete;
    FileSizeReader& operator=(const FileSizeReader&) = delete;

    // The same answer as RegularFileSize(path, size) (files.h): the size of a
    // regular file, following symbolic links; an error for anything else.
    std::error_code RegularFileSize(std::string_view path, std::uint64_t& size);

  private:
    std::string m_folder;  // The folder m_folderHandle was opened for, with its separator.
    long long m_folderHandle = -1;
    std::string m_name;  // Scratch: the name below the folder, NUL-terminated.
};

}  // namespace cj::platform
