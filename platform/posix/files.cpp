#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/regular_file.h"

namespace cj::platform {
namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

// Closes a descriptor on every path out of a function.
class FdGuard {
  public:
    explicit FdGuard(int fd) : m_fd(fd) {}
    ~FdGuard() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    int Get() const { return m_fd; }
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

  private:
    int m_fd;
};

std::error_code WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

std::string ParentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Whether a write may follow this link: one the caller or root made. Another
// account that may write a shared data folder could otherwise plant a link
// there and have us replace a file of its choosing with ours; a link of the
// user's own (a configuration kept in a synced folder) is followed as before.
bool IsTrustedLink(const struct stat& link) {
    return link.st_uid == ::geteuid() || link.st_uid == 0;
}

// The path a chain of symbolic links at path ends in: path itself when it is
// no link, and the last link's target when that is missing (a write creates
// it there, as opening the link would). Too many links, or a link of another
// account, is ELOOP, as an open that does not follow links reports it.
std::error_code ResolveLinks(const std::string& path, std::string& out) {
    out = path;
    for (int hop = 0; hop < 40; ++hop) {
        // The owner and the target are read through one handle of the link,
        // so that a link swapped in between is never followed on the word of
        // the one it replaced.
        FdGuard link(::open(out.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        struct stat st {};
        if (link.Get() < 0 || ::fstat(link.Get(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return {};
        }
        if (!IsTrustedLink(st)) {
            return std::make_error_code(std::errc::too_many_symbolic_link_levels);
        }
        // A link's target is never longer than PATH_MAX, whatever its size
        // says (some file systems say 0).
        std::vector<char> buffer(
            static_cast<std::size_t>(st.st_size > PATH_MAX ? st.st_size : PATH_MAX) + 1);
        const ssize_t n = ::readlinkat(link.Get(), "", buffer.data(), buffer.size());
        if (n < 0) {
            return LastError();
        }
        if (static_cast<std::size_t>(n) >= buffer.size()) {
            return std::make_error_code(std::errc::filename_too_long);
        }
        std::string target(buffer.data(), static_cast<std::size_t>(n));
        if (!target.starts_with('/')) {
            target = ParentOf(out).append("/").append(target);
        }
        out = std::move(target);
    }
    return std::make_error_code(std::errc::too_many_symbolic_link_levels);
}

std::error_code SyncFolderOf(const std::string& path) {
    return SyncFolder(ParentOf(path));
}

}  // namespace

std::error_code ReadWholeFile(const std::string& path, std::string& out) {
    out.clear();
    struct stat st {};
    std::error_code ec;
    FdGuard fd(posix::OpenRegularFile(path, st, ec));
    if (ec) {
        return ec;
    }
    if (st.st_size > 0) {
        out.reserve(static_cast<std::size_t>(st.st_size));
    }
    // Read to the end rather than trusting st_size: the file may grow or shrink
    // while we read, and some file systems report 0. The buffer is left
    // uninitialised: zero-filling 64 KiB cost more than reading a small
    // configuration file (every search reads it once a shard).
    char chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ec = LastError();
            out.clear();
            return ec;
        }
        if (n == 0) {
            return {};
        }
        out.append(chunk, static_cast<std::size_t>(n));
    }
}

std::error_code WriteWholeFileAtomic(const std::string& path, std::string_view data) {
    std::string target;
    if (const std::error_code ec = ResolveLinks(path, target); ec) {
        return ec;
    }
    if (const std::error_code ec = CheckReplaceable(target); ec) {
        return ec;
    }
    // The temporary file sits in the target's folder so that the rename stays
    // on one file system and is atomic. mkstemp fails when the folder is
    // missing, which leaves the file system untouched.
    std::string temp = ParentOf(target) + "/." + NameOf(target) + ".tmp-XXXXXX";
    FdGuard fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (fd.Get() < 0) {
        return LastError();
    }

    struct stat old {};
    mode_t mode = 0;
    if (::stat(target.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    std::error_code ec = WriteAll(fd.Get(), data);
    if (!ec && ::fchmod(fd.Get(), mode) != 0) {
        ec = LastError();
    }
    if (!ec && ::fsync(fd.Get()) != 0) {
        ec = LastError();
    }
    if (!ec && ::close(fd.Release()) != 0) {
        ec = LastError();
    }
    if (!ec && ::rename(temp.c_str(), target.c_str()) != 0) {
        ec = LastError();
    }
    if (ec) {
        ::unlink(temp.c_str());
        return ec;
    }
    // Make the rename itself durable; the data already is, so a failure here
    // only means a crash could bring back the previous whole file.
    static_cast<void>(SyncFolderOf(target));
    return {};
}

std::error_code RemoveAtomicWriteLeftovers(const std::string& path) {
    std::string target;
    if (const std::error_code ec = ResolveLinks(path, target); ec) {
        return ec;
    }
    const std::string folder = ParentOf(target);
    const std::string name = NameOf(target);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return LastError();
    }
    std::vector<std::string> leftovers;
    // readdir shares nothing between threads that read streams of their own.
    // NOLINTNEXTLINE(concurrency-mt-unsafe)
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_type != DT_DIR && AtomicWriteTarget(entry->d_name) == name) {
            leftovers.emplace_back(entry->d_name);
        }
    }
    ::closedir(dir);
    std::error_code first;
    for (const std::string& leftover : leftovers) {
        if (const std::error_code ec = RemoveFile(JoinPath(folder, leftover));
            ec && ec != std::errc::no_such_file_or_directory && !first) {
            first = ec;
        }
    }
    return first;
}

std::error_code SyncedFileWriter::TryCreate(const std::string& path) {
    Close();
    // Never opened and truncated: whatever has the name is removed (a link
    // itself, not what it leads to) and a new file made in its place. Another
    // account may plant a link again between the two; the create then fails
    // rather than follow it, after a few rounds.
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt == 3)) {
            return LastError();
        }
        if (fd < 0 && ::unlink(path.c_str()) != 0 && errno != ENOENT) {
            return LastError();
        }
    }
    m_handle = fd;
    m_size = 0;
    m_handedOn = 0;
    return {};
}

std::error_code SyncedFileWriter::TryAppend(std::string_view data) {
    if (!IsOpen()) {
        return std::make_error_code(std::errc::bad_file_descriptor);
    }
    const int fd = static_cast<int>(m_handle);
    if (const std::error_code ec = WriteAll(fd, data); ec) {
        return ec;
    }
    m_size += data.size();
    // Start the disk writes now rather than in the final fsync, which then
    // waits only for the last piece (a refresh's two 12 MB shards took 23 ms
    // to flush after the walk). In pieces of a megabyte: smaller ones cost more
    // calls and give the file system less to allocate at once.
    constexpr std::uint64_t HandOnBytes = 1 << 20;
    if (m_size - m_handedOn >= HandOnBytes) {
        HandOn(false);
    }
    return {};
}

void SyncedFileWriter::StartFlush() {
    if (IsOpen()) {
        HandOn(true);
    }
}

void SyncedFileWriter::HandOn(bool all) {
#ifdef SYNC_FILE_RANGE_WRITE
    // Whole pages only, but at the end: a partial page handed on now would be
    // written again with the bytes that complete it.
    constexpr std::uint64_t PageBytes = 4096;
    const std::uint64_t end = all ? m_size : m_size / PageBytes * PageBytes;
    if (end > m_handedOn) {
        // A failure only loses the head start; the fsync reports what went wrong.
        static_cast<void>(
            ::sync_file_range(static_cast<int>(m_handle), static_cast<off_t>(m_handedOn),
                              static_cast<off_t>(end - m_handedOn), SYNC_FILE_RANGE_WRITE));
        m_handedOn = end;
    }
#else
    static_cast<void>(all);
#endif
}

std::error_code SyncedFileWriter::TrySyncAndClose() {
    if (!IsOpen()) {
        return std::make_error_code(std::errc::bad_file_descriptor);
    }
    const int fd = static_cast<int>(std::exchange(m_handle, NoHandle));
    std::error_code ec;
    if (::fsync(fd) != 0) {
        ec = LastError();
    }
    if (::close(fd) != 0 && !ec) {
        ec = LastError();
    }
    return ec;
}

void SyncedFileWriter::Close() {
    if (IsOpen()) {
        ::close(static_cast<int>(std::exchange(m_handle, NoHandle)));
    }
}

std::error_code RenameFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return LastError();
    }
    return {};
}

std::error_code SyncFolder(const std::string& path) {
    FdGuard dir(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() < 0 || ::fsync(dir.Get()) != 0) {
        return LastError();
    }
    return {};
}

std::error_code CheckReplaceable(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return errno == ENOENT ? std::error_code() : LastError();
    }
    if (S_ISDIR(st.st_mode)) {
        return std::make_error_code(std::errc::is_a_directory);
    }
    // Renaming over a file needs only the folder's permission on Linux; the
    // file's own is asked here so that a read-only file stays, as on Windows.
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES) {
        return LastError();
    }
    return {};
}

std::error_code RegularFileSize(const std::string& path, std::uint64_t& size) {
    size = 0;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return LastError();
    }
    if (!S_ISREG(st.st_mode)) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    size = static_cast<std::uint64_t>(st.st_size);
    return {};
}

PathProbe ProbePath(const std::string& path) {
    PathProbe probe;
    struct stat st {};
    if (path.empty()) {
        probe.error = std::make_error_code(std::errc::no_such_file_or_directory);
        return probe;
    }
    if (::stat(path.c_str(), &st) != 0) {
        probe.error = LastError();
        return probe;
    }
    probe.exists = true;
    probe.isDirectory = S_ISDIR(st.st_mode);
    if (S_ISREG(st.st_mode)) {
        probe.size = static_cast<std::uint64_t>(st.st_size);
    }
    probe.modified =
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    return probe;
}

std::error_code AppendToFile(const std::string& path, std::string_view data,
                             std::uint64_t& sizeAfter) {
    sizeAfter = 0;
    // O_NONBLOCK: a FIFO planted at path fails the open (no reader) instead
    // of holding it; the type check refuses one that has a reader.
    FdGuard fd(::open(path.c_str(),
                      O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666));
    if (fd.Get() < 0) {
        return LastError();
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) {
        return LastError();
    }
    if (!S_ISREG(st.st_mode)) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    // One write call: O_APPEND places it whole at the end, after any other
    // process's line.
    const ssize_t n = ::write(fd.Get(), data.data(), data.size());
    if (n < 0) {
        return LastError();
    }
    if (static_cast<std::size_t>(n) != data.size()) {
        return std::make_error_code(std::errc::no_space_on_device);
    }
    if (::fstat(fd.Get(), &st) != 0) {
        return LastError();
    }
    sizeAfter = static_cast<std::uint64_t>(st.st_size);
    return {};
}

std::error_code RemoveFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0) {
        return LastError();
    }
    return {};
}

std::error_code MakeDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) != 0) {
        return LastError();
    }
    return {};
}

std::string ExecutableDirectory() {
    std::vector<char> buffer(PATH_MAX);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            const std::string exe(buffer.data(), static_cast<std::size_t>(n));
            const std::size_t slash = exe.find_last_of('/');
            if (slash == std::string::npos) {
                return {};
            }
            // The executable in "/" has "/" as its folder; everywhere else the
            // folder has no trailing separator.
            return slash == 0 ? std::string("/") : exe.substr(0, slash);
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace cj::platform
