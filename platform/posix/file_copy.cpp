#include "platform/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <memory>

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

// The target this call created, removed unless it is kept: every way out of
// the copy but the successful one leaves nothing behind.
class CreatedTarget {
  public:
    CreatedTarget(const std::string& path, int fd) : m_path(path), m_fd(fd) {
        struct stat st {};
        if (::fstat(fd, &st) == 0) {
            m_dev = st.st_dev;
            m_ino = st.st_ino;
            m_known = true;
        }
    }
    ~CreatedTarget() {
        if (m_keep) {
            return;
        }
        // Another process may have renamed our file away and put its own in
        // its place: only the file this call created is removed.
        struct stat st {};
        if (::lstat(m_path.c_str(), &st) == 0 &&
            (!m_known || (st.st_dev == m_dev && st.st_ino == m_ino))) {
            ::unlink(m_path.c_str());
        }
        m_fd.Close();
    }
    CreatedTarget(const CreatedTarget&) = delete;
    CreatedTarget& operator=(const CreatedTarget&) = delete;

    int Descriptor() const { return m_fd.Get(); }
    // Closes the file; a failure there fails the copy as any write does.
    std::error_code Close() { return m_fd.Close() == 0 ? std::error_code{} : LastError(); }
    void Keep() { m_keep = true; }

  private:
    const std::string& m_path;
    FdGuard m_fd;
    dev_t m_dev = 0;
    ino_t m_ino = 0;
    bool m_known = false;
    bool m_keep = false;
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

// Copies from the descriptors' current offsets to the end of the source,
// telling progress after every chunk.
std::error_code CopyData(int in, int out, std::uint64_t total, const CopyProgress& progress) {
    std::uint64_t done = 0;
    // An empty file may be one of a file system that reports no size
    // (procfs): it goes straight to read, which finds the end in one call.
    bool copyRange = total > 0;
    std::unique_ptr<char[]> buffer;
    for (;;) {
        // The size read at the start is the snapshot we copy (a photo still
        // being written grows past it), so that a small file costs one call.
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
        return std::make_error_code(std::errc::invalid_argument);
    }
    // Reads of a regular file never block anyway, but a file on a network
    // share could answer EAGAIN: the flag goes before the copy.
    const int flags = ::fcntl(in.Get(), F_GETFL);
    if (flags < 0 || ::fcntl(in.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return LastError();
    }

    // The permission bits without set-user and set-group: a copy belongs to
    // whoever copied it, and must not run as the source's owner.
    const mode_t mode = st.st_mode & 0777;
    const int outFd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (outFd < 0) {
        return LastError();
    }
    CreatedTarget out(target, outFd);

    const auto total = static_cast<std::uint64_t>(st.st_size);
    if (progress && !progress(total, 0)) {
        return std::make_error_code(std::errc::operation_canceled);
    }
    if (const std::error_code ec = CopyData(in.Get(), out.Descriptor(), total, progress); ec) {
        return ec;
    }

    // The umask may have taken bits away at creation. Both calls are best
    // effort: a FAT stick can hold neither every mode nor every time, and a
    // copy whose bytes are all there is not thrown away for that.
    static_cast<void>(::fchmod(out.Descriptor(), mode));
    const struct timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
    static_cast<void>(::futimens(out.Descriptor(), times));
    if (const std::error_code ec = out.Close(); ec) {
        return ec;
    }
    out.Keep();
    return {};
}

}  // namespace cj::platform
