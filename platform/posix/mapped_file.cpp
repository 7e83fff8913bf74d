#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>
#include <vector>

#include "platform/posix/regular_file.h"

namespace cj::platform {

void MappedFile::Reset() noexcept {
    if (m_mapped) {
        ::munmap(const_cast<char*>(m_data), m_size);
    }
    m_data = nullptr;
    m_size = 0;
    m_mapped = false;
    m_fallback.clear();
    m_fallback.shrink_to_fit();
}

std::error_code MappedFile::Open(const std::string& path) {
    Reset();
    struct stat st {};
    std::error_code ec;
    const int fd = posix::OpenRegularFile(path, st, ec);
    if (ec) {
        return ec;
    }
    if (st.st_size > 0) {
        const auto size = static_cast<std::size_t>(st.st_size);
        void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (map != MAP_FAILED) {
            // The scan reads front to back once: let the kernel read ahead
            // generously and drop pages behind us.
            ::madvise(map, size, MADV_SEQUENTIAL);
            ::close(fd);
            m_data = static_cast<const char*>(map);
            m_size = size;
            m_mapped = true;
            return {};
        }
    }
    // Not mappable (an empty file, or a file system without mmap): read it
    // from the same descriptor.
    std::vector<char> chunk(1 << 16);
    for (;;) {
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            ec = {errno, std::generic_category()};
            ::close(fd);
            m_fallback.clear();
            return ec;
        }
        if (n == 0) {
            break;
        }
        m_fallback.append(chunk.data(), static_cast<std::size_t>(n));
    }
    ::close(fd);
    m_data = m_fallback.data();
    m_size = m_fallback.size();
    return {};
}

}  // namespace cj::platform
