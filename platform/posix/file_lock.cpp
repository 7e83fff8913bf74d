#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace cj::platform {

FileLock::~FileLock() {
    Unlock();
}

FileLock::FileLock(FileLock&& other) noexcept : m_handle(std::exchange(other.m_handle, NoHandle)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Unlock();
        m_handle = std::exchange(other.m_handle, NoHandle);
    }
    return *this;
}

void FileLock::Unlock() noexcept {
    if (m_handle != NoHandle) {
        // Closing the last descriptor of the open file description releases
        // its locks; nothing else shares this description.
        ::close(static_cast<int>(std::exchange(m_handle, NoHandle)));
    }
}

std::error_code FileLock::TryLock(const std::string& path, std::uint32_t slot, LockMode mode,
                                  LockWait wait) {
    Unlock();
    // Never through a link, and never anything but a regular file: a link
    // planted as the lock file would otherwise have us create or lock a file
    // of its maker's choosing, and a FIFO would hold the open.
    constexpr int Flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | Flags, 0666);
    if (fd < 0 && (errno == EACCES || errno == EROFS)) {
        // Someone else's lock file, or a read-only medium: a reader may still
        // take its shared lock through a read-only open.
        const std::error_code writeError(errno, std::generic_category());
        fd = ::open(path.c_str(), O_RDONLY | Flags);
        if (fd < 0 || mode == LockMode::Exclusive) {
            if (fd >= 0) {
                ::close(fd);
            }
            return writeError;  // The first obstacle: this user may not write here.
        }
    }
    if (fd < 0) {
        return {errno, std::generic_category()};
    }
    struct stat st {};
    std::error_code notLockable;
    if (::fstat(fd, &st) != 0) {
        notLockable = {errno, std::generic_category()};
    } else if (!S_ISREG(st.st_mode)) {
        notLockable = std::make_error_code(std::errc::invalid_argument);
    }
    if (notLockable) {
        ::close(fd);
        return notLockable;
    }
    struct flock range {};
    range.l_type = mode == LockMode::Exclusive ? F_WRLCK : F_RDLCK;
    range.l_whence = SEEK_SET;
    range.l_start = static_cast<off_t>(slot);
    range.l_len = 1;
    range.l_pid = 0;  // Required by open file description locks.
    const int command = wait == LockWait::Yes ? F_OFD_SETLKW : F_OFD_SETLK;
    for (;;) {
        if (::fcntl(fd, command, &range) == 0) {
            m_handle = fd;
            return {};
        }
        if (errno != EINTR) {
            break;
        }
    }
    // A conflicting lock is EAGAIN or EACCES depending on the system; both
    // mean "held by another" here.
    const int error = errno == EACCES ? EAGAIN : errno;
    ::close(fd);
    return {error, std::generic_category()};
}

}  // namespace cj::platform
