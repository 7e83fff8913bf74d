// Advisory locks between processes, on single bytes of a lock file: several
// independent locks share one file, each taking the byte of its own number.
//
// Every FileLock opens the lock file anew and holds its own open of it, so two
// locks of one process conflict exactly like locks of two processes do (two
// threads of the window exclude each other as a second program would), and
// releasing one never releases another. A lock dies with its process: a
// crashed holder leaves nothing held. The locks are advisory: they bind only
// code that takes them, and the file's content is never read or written.
//
// Linux: open file description locks (fcntl F_OFD_SETLK/F_OFD_SETLKW), which
// have flock's per-open behaviour and byte ranges. Windows: LockFileEx on a
// one-byte range of a handle opened for this lock.
#pragma once

#include <cstdint>
#include <string>
#include <system_error>

namespace cj::platform {

enum class LockMode {
    Shared,     // Any number of shared holders at once, no exclusive one.
    Exclusive,  // One holder, no shared ones.
};

enum class LockWait {
    No,   // Fail at once when another holds a conflicting lock.
    Yes,  // Block the calling thread until the lock is free.
};

// One held lock; releases it when destroyed. Movable, not copyable. Not
// thread-safe itself: one thread owns a FileLock at a time.
class FileLock {
  public:
    FileLock() = default;
    ~FileLock();
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock on byte `slot` of the lock file at path, releasing what
    // this object held before. The file is created when missing (empty, mode
    // 0666 less the umask); its folder must exist and is never created.
    // Failures, with nothing held then:
    //   std::errc::resource_unavailable_try_again: LockWait::No and another
    //     open of the file holds a conflicting lock on the byte;
    //   the system's error when the file cannot be opened or created (a
    //     missing folder is ENOENT; a file that cannot be created in a folder
    //     the caller may not write is EACCES). A file that may be read but not
    //     written still gives shared locks; an exclusive one then fails with
    //     EACCES (EROFS on a read-only medium);
    //   a symbolic link at path, never followed (Linux: ELOOP; Windows:
    //     std::errc::too_many_symbolic_link_levels), and anything else that
    //     is not a regular file (std::errc::invalid_argument).
    // A lock that waits is not interrupted by signals.
    std::error_code TryLock(const std::string& path, std::uint32_t slot, LockMode mode,
                            LockWait wait);

    bool IsHeld() const { return m_handle != NoHandle; }
    // Releases the lock (nothing when none is held).
    void Unlock() noexcept;

  private:
    static constexpr std::intptr_t NoHandle = -1;
    std::intptr_t m_handle = NoHandle;  // The file descriptor (Linux) or HANDLE (Windows).
    std::uint32_t m_slot = 0;           // The byte held; Windows unlocks by the locked range.
};

}  // namespace cj::platform
