#include "platform/file_size_reader.h"

#include "platform/files.h"

namespace cj::platform {

// The folder handle of the Linux reader has no cheap counterpart here: a
// lookup relative to an open folder needs NtCreateFile/NtQueryInformationByName
// of the native API, which the A functions do not reach. Every size is a
// query of the whole path (GetFileAttributesExA, one call); m_folder and
// m_folderHandle stay unused, and m_name is the path's scratch copy, so that
// a run of lookups allocates only for the longest path.
FileSizeReader::~FileSizeReader() = default;

std::error_code FileSizeReader::RegularFileSize(std::string_view path, std::uint64_t& size) {
    m_name.assign(path);
    return platform::RegularFileSize(m_name, size);
}

}  // namespace cj::platform
