#include "platform/mapped_file.h"

#include <windows.h>

#include <utility>

#include "platform/win32/file_handle.h"
#include "platform/win32/win32_error.h"

namespace cj::platform {

void MappedFile::Reset() noexcept {
    if (m_mapped) {
        UnmapViewOfFile(m_data);
    }
    m_data = nullptr;
    m_size = 0;
    m_mapped = false;
    m_fallback.clear();
    m_fallback.shrink_to_fit();
}

std::error_code MappedFile::Open(const std::string& path) {
    Reset();
    // Shared for deletion: a refresh in another process renames a new shard
    // over the one mapped here, and the view keeps showing the old bytes.
    win32::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, win32::ShareAll, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        return win32::OpenError(path);
    }
    if (const std::error_code ec = win32::CheckDiskFile(file.Get()); ec) {
        return ec;
    }
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.Get(), &size)) {
        if (size.QuadPart == 0) {
            return {};  // A mapping of nothing is refused (ERROR_FILE_INVALID); nothing to show.
        }
        // The view keeps the section, and the section the file, open after
        // both handles are closed.
        const HANDLE section =
            CreateFileMappingA(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (section != nullptr) {
            const void* view = MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0);
            CloseHandle(section);
            if (view != nullptr) {
                m_data = static_cast<const char*>(view);
                m_size = static_cast<std::size_t>(size.QuadPart);
                m_mapped = true;
                return {};
            }
        }
    }
    // Not mappable (a file system without sections): read it from the same
    // handle.
    if (const std::error_code ec = win32::ReadToEnd(file.Get(), m_fallback); ec) {
        m_fallback.clear();
        return ec;
    }
    m_data = m_fallback.data();
    m_size = m_fallback.size();
    return {};
}

}  // namespace cj::platform
