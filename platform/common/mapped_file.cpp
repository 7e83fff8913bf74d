// The mapped file's ownership, the same on every system; the mapping itself is
// the system's (posix/ and win32/mapped_file.cpp).
#include "platform/mapped_file.h"

#include <utility>

namespace cj::platform {

MappedFile::~MappedFile() {
    Reset();
}

MappedFile::MappedFile(MappedFile&& other) noexcept {
    *this = std::move(other);
}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        Reset();
        m_mapped = std::exchange(other.m_mapped, false);
        m_size = std::exchange(other.m_size, 0);
        m_fallback = std::move(other.m_fallback);
        other.m_fallback.clear();
        const char* data = std::exchange(other.m_data, nullptr);
        m_data = m_mapped ? data : m_fallback.data();
    }
    return *this;
}

}  // namespace cj::platform
