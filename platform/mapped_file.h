// A read-only view of a whole file's bytes, mapped into memory where the
// system allows it and read into a private buffer otherwise (file systems
// without mmap). Only regular files are opened. The view stays valid for the object's lifetime;
// the file is expected not to shrink meanwhile (the index shards are replaced
// by rename, never truncated in place, so a mapped shard stays intact).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>

namespace cj::platform {

class MappedFile {
  public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Opens path and makes its bytes available, replacing what the object held.
    // A missing or unreadable file fails and leaves the object empty, and so
    // does anything but a regular file (links followed), refused at once as
    // ReadWholeFile refuses it: a folder is std::errc::is_a_directory, a FIFO,
    // pipe or device std::errc::invalid_argument. An empty file succeeds with
    // an empty view.
    std::error_code Open(const std::string& path);

    std::string_view Bytes() const { return {m_data, m_size}; }
    bool IsMapped() const { return m_mapped; }

  private:
    void Reset() noexcept;

    const char* m_data = nullptr;
    std::size_t m_size = 0;
    bool m_mapped = false;   // m_data is a mapping of m_size bytes.
    std::string m_fallback;  // Holds the bytes when the file could not be mapped.
};

}  // namespace cj::platform
