#include "platform/file_copy.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <memory>

#include "platform/common/copy_temporary.h"

namespace cj::platform {
namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

// copy_file_range moves this much a call: a 30 KB photo goes in one call, and
// a 1 GiB file in 128, each followed by a progress call, so that a stop is
// seen within 8 MiB.
constexpr std::size_t CopyChunk = std::size_t{8} << 20;
// The read/write fallback's buffer, allocated only when it is needed.
constexpr std::size_t BufferSize = std::size_t{1} << 20;

class FdGuard {
  public:
    explicit FdGuard(int fd) : m_fd(fd) {}
    ~FdGuard() { Close(); }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    int Get() const { return m_fd; }
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void Reset(int fd) {
        Close();
        m_fd = fd;
    }
    // The result of close, which on some file systems (NFS) is where a
    // failed write shows.
    int Close() {
        const int fd = m_fd;
        m_fd = -1;
        return fd >= 0 ? ::close(fd) : 0;
    }

  private:
    int m_fd;
};

// The temporary this call created and holds locked, removed unless it was
// published: every way out of the copy but the successful one leaves nothing
// behind. The lock tells RemoveOrphanedCopies in other processes that its
// writer is alive; it goes with the descriptor.
class Temporary {
  public:
    Temporary() = default;
    ~Temporary() {
        if (m_fd.Get() >= 0 && !m_published) {
            RemoveIfOurs();
        }
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    // Creates a fresh temporary beside target, locked. A clash of names, or a
    // sweeper that got the lock of our new file first (and may be removing
    // it), means another name.
    std::error_code TryCreate(const std::string& target, mode_t mode) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_path = CopyTemporaryPath(target, static_cast<std::uint64_t>(::getpid()));
            const int fd =
                ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
            if (fd < 0) {
                if (errno == EEXIST) {
                    continue;
                }
                return LastError();
            }
            FdGuard file(fd);
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
                continue;
            }
            // A file system without locks (ENOLCK, EOPNOTSUPP) has no sweeper
            // either: RemoveOrphanedCopies removes only what it could lock.
            struct stat st {};
            if (::fstat(fd, &st) != 0) {
                return LastError();
            }
            if (st.st_nlink == 0) {
                continue;  // A sweeper locked and removed it before we locked it.
            }
            m_dev = st.st_dev;
            m_ino = st.st_ino;
            m_fd.Reset(file.Release());
            return {};
        }
        return std::make_error_code(std::errc::file_exists);
    }

    int Descriptor() const { return m_fd.Get(); }
    const std::string& Path() const { return m_path; }
    // target now names our file, and the temporary's name is gone.
    void Published() { m_published = true; }
    // Closes the file; a failure there fails the copy as any write does.
    std::error_code Close() { return m_fd.Close() == 0 ? std::error_code{} : LastError(); }

    // Whether path names the file this call created (someone may have moved
    // ours away and put theirs in its place).
    bool IsOurs(const std::string& path) const {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0 && st.st_dev == m_dev && st.st_ino == m_ino;
    }

  private:
    void RemoveIfOurs() {
        if (IsOurs(m_path)) {
            ::unlink(m_path.c_str());
        }
    }

    std::string m_path;
    FdGuard m_fd{-1};
    dev_t m_dev = 0;
    ino_t m_ino = 0;
    bool m_published = false;
};

std::error_code WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return {};
}

bool CopyRangeUnsupported(int error) {
    return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP;
}

// Copies from the descriptors' current offsets to the end of the source, or
// to total, telling progress after every chunk; done counts what was copied.
std::error_code CopyData(int in, int out, std::uint64_t total, const CopyProgress& progress,
                         std::uint64_t& done) {
    // An empty file may be one of a file system that reports no size
    // (procfs): it goes straight to read, which finds the end in one call.
    bool copyRange = total > 0;
    std::unique_ptr<char[]> buffer;
    for (;;) {
        // A file that grows while we copy it is found out by its size
        // afterwards; reading on to its new end could go on for ever.
        if (total > 0 && done >= total) {
            return {};
        }
        ssize_t n = 0;
        if (copyRange) {
            n = ::copy_file_range(in, nullptr, out, nullptr, CopyChunk, 0);
            if (n < 0 && CopyRangeUnsupported(errno)) {
                copyRange = false;
                continue;
            }
            if (n == 0) {
                // The end, or a file system that says so too early (some
                // report 0 for data they hold): reading tells which.
                copyRange = false;
                continue;
            }
        } else {
            if (!buffer) {
                buffer.reset(new char[BufferSize]);
            }
            n = ::read(in, buffer.get(), BufferSize);
            if (n > 0) {
                if (const std::error_code ec =
                        WriteAll(out, buffer.get(), static_cast<std::size_t>(n));
                    ec) {
                    return ec;
                }
            }
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        if (n == 0) {
            return {};
        }
        done += static_cast<std::uint64_t>(n);
        if (progress && !progress(total > done ? total : done, done)) {
            return std::make_error_code(std::errc::operation_canceled);
        }
    }
}

bool CannotRenameWithoutReplacing(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

bool CannotLink(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS;
}

// Gives the whole temporary target's name, never replacing an entry there.
std::error_code Publish(Temporary& temporary, const std::string& target) {
    const char* from = temporary.Path().c_str();
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        temporary.Published();
        return {};
    }
    if (!CannotRenameWithoutReplacing(errno)) {
        return LastError();
    }
    // NFS and some FUSE file systems: a link fails when the name is taken. A
    // kill between the link and the unlink leaves the whole file under both
    // names, and the temporary's name is then an orphan's.
    if (::link(from, target.c_str()) == 0) {
        temporary.Published();
        ::unlink(from);
        return {};
    }
    if (!CannotLink(errno)) {
        return LastError();
    }
    // Neither (some SMB shares): take the name with an empty file first, so
    // that nobody else's file is there when ours replaces it. A kill between
    // the two calls leaves that empty file under the name.
    const int placeholder =
        ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (placeholder < 0) {
        return LastError();
    }
    ::close(placeholder);
    if (::rename(from, target.c_str()) != 0) {
        const std::error_code ec = LastError();
        ::unlink(target.c_str());
        return ec;
    }
    temporary.Published();
    return {};
}

}  // namespace

std::error_code CopyFileExclusive(const std::string& source, const std::string& target,
                                  const CopyProgress& progress) {
    // Non-blocking, so that a FIFO without a writer does not hold us in open;
    // the type check below then refuses it before a single read.
    FdGuard in(::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (in.Get() < 0) {
        return LastError();
    }
    struct stat st {};
    if (::fstat(in.Get(), &st) != 0) {
        return LastError();
    }
    if (!S_ISREG(st.st_mode)) {
        return CopyError::NotRegularFile;
    }
    // Reads of a regular file never block anyway, but a file on a network
    // share could answer EAGAIN: the flag goes before the copy.
    const int flags = ::fcntl(in.Get(), F_GETFL);
    if (flags < 0 || ::fcntl(in.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return LastError();
    }
    // Taken here, so that a copy into a folder of the same name's file is
    // refused before a byte is written; the publish checks again.
    struct stat existing {};
    if (::lstat(target.c_str(), &existing) == 0) {
        return std::make_error_code(std::errc::file_exists);
    }

    // The permission bits without set-user and set-group (a copy belongs to
    // whoever copied it, and must not run as the source's owner), less the
    // umask, which open applies.
    Temporary out;
    if (const std::error_code ec = out.TryCreate(target, st.st_mode & 0777); ec) {
        return ec;
    }

    const auto total = static_cast<std::uint64_t>(st.st_size);
    if (progress && !progress(total, 0)) {
        return std::make_error_code(std::errc::operation_canceled);
    }
    std::uint64_t done = 0;
    if (const std::error_code ec = CopyData(in.Get(), out.Descriptor(), total, progress, done);
        ec) {
        return ec;
    }
    // A photo still being written, or cut by its writer, while we copied it:
    // what we have is no copy of either. A file whose file system reports no
    // size (procfs) keeps reporting none.
    struct stat after {};
    if (::fstat(in.Get(), &after) != 0) {
        return LastError();
    }
    if (after.st_size != st.st_size || (total > 0 && done != total)) {
        return CopyError::SourceChanged;
    }

    // Best effort: a FAT stick cannot hold every time, and a copy whose bytes
    // are all there is not thrown away for that.
    const struct timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
    static_cast<void>(::futimens(out.Descriptor(), times));
    // Published while we still hold the lock, so that no sweeper takes the
    // temporary between the last write and the new name.
    if (const std::error_code ec = Publish(out, target); ec) {
        return ec;
    }
    // Some file systems (NFS) report a failed write only here: the published
    // copy is then not whole, and goes.
    if (const std::error_code ec = out.Close(); ec) {
        if (out.IsOurs(target)) {
            ::unlink(target.c_str());
        }
        return ec;
    }
    return {};
}

std::error_code RemoveOrphanedCopies(const std::string& folder) {
    const std::string base = folder.empty() ? std::string(".") : folder;
    DIR* dir = ::opendir(base.c_str());
    if (dir == nullptr) {
        return errno == ENOENT ? std::error_code{} : LastError();
    }
    std::error_code first;
    // readdir shares nothing between threads that read streams of their own.
    // NOLINTNEXTLINE(concurrency-mt-unsafe)
    for (errno = 0; const dirent* entry = ::readdir(dir); errno = 0) {
        if (!IsCopyTemporaryName(entry->d_name)) {
            continue;
        }
        const std::string path = base + "/" + entry->d_name;
        FdGuard file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        // A live writer holds the lock; one that died let it go with its
        // descriptor.
        if (file.Get() < 0 || ::flock(file.Get(), LOCK_EX | LOCK_NB) != 0) {
            continue;
        }
        struct stat locked {};
        struct stat named {};
        if (::fstat(file.Get(), &locked) == 0 && S_ISREG(locked.st_mode) &&
            ::lstat(path.c_str(), &named) == 0 && named.st_dev == locked.st_dev &&
            named.st_ino == locked.st_ino && ::unlink(path.c_str()) != 0 && !first) {
            first = LastError();
        }
    }
    if (errno != 0 && !first) {
        first = LastError();
    }
    ::closedir(dir);
    return first;
}

std::error_code FlushFolderToDevice(const std::string& folder) {
    FdGuard dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() < 0) {
        return LastError();
    }
    if (::syncfs(dir.Get()) != 0) {
        return LastError();
    }
    return {};
}

}  // namespace cj::platform
