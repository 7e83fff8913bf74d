#include "platform/file_lock.h"

#include <windows.h>

#include <utility>

#include "platform/win32/win32_error.h"

namespace cj::platform {
namespace {

HANDLE ToHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A lock file that is a link, or not a file on a disk, is refused.
std::error_code CheckLockFile(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) {
        return win32::LastError();
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return std::make_error_code(std::errc::too_many_symbolic_link_levels);
    }
    if (GetFileType(handle) != FILE_TYPE_DISK ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    return {};
}

}  // namespace

FileLock::~FileLock() {
    Unlock();
}

FileLock::FileLock(FileLock&& other) noexcept
    : m_handle(std::exchange(other.m_handle, NoHandle)), m_slot(other.m_slot) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Unlock();
        m_handle = std::exchange(other.m_handle, NoHandle);
        m_slot = other.m_slot;
    }
    return *this;
}

void FileLock::Unlock() noexcept {
    if (m_handle == NoHandle) {
        return;
    }
    HANDLE handle = ToHandle(std::exchange(m_handle, NoHandle));
    // Closing the handle would release the lock too, but only "when the system
    // gets to it": a waiter in another process could still find the byte
    // held. The explicit unlock is at once.
    OVERLAPPED range{};
    range.Offset = m_slot;
    UnlockFileEx(handle, 0, 1, 0, &range);
    CloseHandle(handle);
}

std::error_code FileLock::TryLock(const std::string& path, std::uint32_t slot, LockMode mode,
                                  LockWait wait) {
    Unlock();
    // Every lock opens the file anew. Locks on Windows belong to the handle
    // (and process) that took them, so a second FileLock of this process
    // conflicts with the first like another program's would. Sharing every
    // access keeps other locks and readers of the file out of each other's
    // way; the content is never read or written.
    // The reparse-point flag opens a link itself, which is then refused
    // rather than followed to a file of its maker's choosing.
    constexpr DWORD Flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, ShareAll, nullptr,
                                OPEN_ALWAYS, Flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD writeError = GetLastError();
        if (writeError != ERROR_ACCESS_DENIED && writeError != ERROR_WRITE_PROTECT) {
            return win32::FromWin32(writeError);
        }
        // A read-only lock file, someone else's, or a read-only medium: a
        // reader may still take its shared lock through a read-only open.
        // LockFileEx would grant an exclusive lock there too, but a writer
        // that may not write is refused here as on Linux.
        if (mode == LockMode::Exclusive) {
            return win32::FromWin32(writeError);
        }
        handle = CreateFileA(path.c_str(), GENERIC_READ, ShareAll, nullptr, OPEN_EXISTING, Flags,
                             nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return win32::FromWin32(writeError);  // The first obstacle.
        }
    }
    if (const std::error_code ec = CheckLockFile(handle); ec) {
        CloseHandle(handle);
        return ec;
    }
    DWORD flags = 0;
    if (mode == LockMode::Exclusive) {
        flags |= LOCKFILE_EXCLUSIVE_LOCK;
    }
    if (wait == LockWait::No) {
        flags |= LOCKFILE_FAIL_IMMEDIATELY;
    }
    // The handle is synchronous, so a waiting lock returns only once it is
    // granted; a lock that would wait with FAIL_IMMEDIATELY fails with
    // ERROR_LOCK_VIOLATION (or ERROR_IO_PENDING), both "held by another".
    OVERLAPPED range{};
    range.Offset = slot;
    if (!LockFileEx(handle, flags, 0, 1, 0, &range)) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        return win32::FromWin32(error);
    }
    m_handle = reinterpret_cast<std::intptr_t>(handle);
    m_slot = slot;
    return {};
}

}  // namespace cj::platform
