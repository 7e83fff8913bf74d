// Pieces every Win32 file routine of the platform layer shares: the share mode
// its files are opened with, a handle closed on every way out, and the errors
// of opening and reading.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/win32/win32_error.h"

namespace cj::platform::win32 {

// A search reads shards while a refresh in another process renames new ones
// over them, and a user's viewer may hold any file open: every file is opened
// so that others may read and write it and a rename may replace or remove it.
inline constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Owns a file handle (INVALID_HANDLE_VALUE for none, as CreateFileA fails).
class FileHandle {
  public:
    explicit FileHandle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    ~FileHandle() { Reset(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    explicit operator bool() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    HANDLE Release() { return std::exchange(m_handle, INVALID_HANDLE_VALUE); }
    void Reset(HANDLE handle = INVALID_HANDLE_VALUE) {
        if (m_handle != INVALID_HANDLE_VALUE) {
            CloseHandle(m_handle);
        }
        m_handle = handle;
    }

  private:
    HANDLE m_handle;
};

// The error of a CreateFileA of path that just failed. Windows refuses to
// open a folder as a file with ERROR_ACCESS_DENIED; that becomes
// std::errc::is_a_directory, as Linux says.
inline std::error_code OpenError(const std::string& path) {
    const DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return std::make_error_code(std::errc::is_a_directory);
        }
    }
    return FromWin32(error);
}

// Success when an open handle is a file on a disk; a pipe, a console or a
// device (NUL, COM1) under a data file's name is refused before it is read,
// as Linux refuses anything but a regular file: std::errc::invalid_argument.
inline std::error_code CheckDiskFile(HANDLE file) {
    if (GetFileType(file) != FILE_TYPE_DISK) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    return {};
}

// Appends what is left to read of file to out. The end of a pipe whose writer
// closed it (ERROR_BROKEN_PIPE) is its end, not a failure.
inline std::error_code ReadToEnd(HANDLE file, std::string& out) {
    // Uninitialised: zero-filling 64 KiB cost more than reading a small
    // configuration file.
    char chunk[1 << 16];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &read, nullptr)) {
            const DWORD error = GetLastError();
            return error == ERROR_BROKEN_PIPE ? std::error_code() : FromWin32(error);
        }
        if (read == 0) {
            return {};
        }
        out.append(chunk, read);
    }
}

// Writes all of data at the file's position.
inline std::error_code WriteAll(HANDLE file, std::string_view data) {
    while (!data.empty()) {
        // WriteFile counts in DWORDs: a larger piece goes in parts.
        constexpr std::size_t Largest = 1U << 30;
        const auto piece = static_cast<DWORD>(data.size() < Largest ? data.size() : Largest);
        DWORD written = 0;
        if (!WriteFile(file, data.data(), piece, &written, nullptr)) {
            return LastError();
        }
        if (written == 0) {
            return std::make_error_code(std::errc::io_error);  // Would loop for ever.
        }
        data.remove_prefix(written);
    }
    return {};
}

}  // namespace cj::platform::win32
