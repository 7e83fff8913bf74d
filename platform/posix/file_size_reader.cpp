#include "platform/file_size_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace cj::platform {

FileSizeReader::~FileSizeReader() {
    if (m_folderHandle >= 0) {
        ::close(static_cast<int>(m_folderHandle));
    }
}

std::error_code FileSizeReader::RegularFileSize(std::string_view path, std::uint64_t& size) {
    size = 0;
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos || slash + 1 == path.size()) {
        // No folder to keep, or no name below it: the plain way.
        struct stat st {};
        if (::stat(std::string(path).c_str(), &st) != 0) {
            return {errno, std::generic_category()};
        }
        size = static_cast<std::uint64_t>(st.st_size);
        return S_ISREG(st.st_mode) ? std::error_code()
                                   : std::make_error_code(std::errc::invalid_argument);
    }
    const std::string_view folder = path.substr(0, slash + 1);
    if (folder != m_folder) {
        if (m_folderHandle >= 0) {
            ::close(static_cast<int>(m_folderHandle));
        }
        m_folder.assign(folder);
        // O_PATH: a handle for lookups only; it needs no read permission on
        // the folder, just as a stat of the whole path needs none.
        m_folderHandle = ::open(m_folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    m_name.assign(path.substr(slash + 1));
    struct stat st {};
    const int rc = m_folderHandle >= 0
                       ? ::fstatat(static_cast<int>(m_folderHandle), m_name.c_str(), &st, 0)
                       : ::stat(std::string(path).c_str(), &st);
    if (rc != 0) {
        return {errno, std::generic_category()};
    }
    if (!S_ISREG(st.st_mode)) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    size = static_cast<std::uint64_t>(st.st_size);
    return {};
}

}  // namespace cj::platform
