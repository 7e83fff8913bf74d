// Whole-file and path services. Paths are in the platform's multibyte encoding
// (UTF-8 on Linux) with the platform separator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace cj::platform {

#ifdef _WIN32
inline constexpr char PathSeparator = '\\';
#else
inline constexpr char PathSeparator = '/';
#endif

// Reads the whole regular file at path into out (replacing its content),
// following links. Anything else is refused before a byte is read, so that
// nothing planted under a data file's name holds or floods the reader: a
// folder is std::errc::is_a_directory; a FIFO, a device or a pipe
// std::errc::invalid_argument (the open does not wait for a FIFO's writer).
std::error_code ReadWholeFile(const std::string& path, std::string& out);

// Replaces the file with data atomically: the data goes to a temporary file in
// the same folder, is flushed to disk and renamed over the target, and the
// folder is flushed. On any failure the previous file is left as it was and no
// temporary file remains (a process killed half-way leaves one, see
// AtomicWriteTarget). New files get mode 0666 less the umask; a replaced file
// keeps its mode. A symbolic link of the caller's own (or root's) is written
// through: the file it leads to is replaced (its temporary sits beside that
// file) and the link stays. A link another account made is not followed and
// nothing is written (Linux: std::errc::too_many_symbolic_link_levels), so
// that a link planted in a folder others may write never makes us replace a
// file of its maker's choosing; Windows, where making a link takes a
// privilege, follows every link. A file
// the caller may not write is not replaced: std::errc::permission_denied, as
// Windows refuses to replace a read-only file (root passes on Linux). Windows
// before 10 (and Wine) cannot replace a file that another program holds open:
// the write waits about half a second for it to be closed, then fails and
// leaves it.
std::error_code WriteWholeFileAtomic(const std::string& path, std::string_view data);

// The name of the file whose temporary WriteWholeFileAtomic calls name
// (".<target>.tmp-" and six characters), or empty when name is none.
std::string_view AtomicWriteTarget(std::string_view name);

// Removes what WriteWholeFileAtomic(path, ...) left behind when its process
// died between creating its temporary file and renaming it: the temporaries of
// path's file (a link followed) in that file's folder. The caller makes sure
// that no live writer of path is between those two steps (it holds the lock
// that every writer of path holds). Goes on past a failure; returns the first.
std::error_code RemoveAtomicWriteLeftovers(const std::string& path);

// Writes data to a new file at path, made as SyncedFileWriter::TryCreate
// does, and flushes it to disk. Not atomic: for a file nothing reads until
// the caller publishes it (by renaming it, or by a record of its own). On
// failure the file may hold part of data or exist empty; the caller removes
// it.
std::error_code WriteFileAndSync(const std::string& path, std::string_view data);

// A file written in pieces and flushed to disk once complete: what
// WriteFileAndSync does, for data that is still being made. Each piece is
// handed to the disk as soon as it is written, so that the flush at the end
// waits for little more than the last piece. Not atomic, as WriteFileAndSync:
// after a failure the file may hold part of the data, and the caller removes
// it. Owned by one thread; movable, not copyable.
class SyncedFileWriter {
  public:
    SyncedFileWriter() = default;
    ~SyncedFileWriter() { Close(); }  // A file still open is closed, unflushed.
    SyncedFileWriter(SyncedFileWriter&& other) noexcept;
    SyncedFileWriter& operator=(SyncedFileWriter&& other) noexcept;
    SyncedFileWriter(const SyncedFileWriter&) = delete;
    SyncedFileWriter& operator=(const SyncedFileWriter&) = delete;

    // Creates a new file at path for writing, exclusively and never through
    // a link: an entry already there (a leftover, or a link someone planted)
    // is removed first, never opened, so the file a link leads to stays as
    // it was. A folder there is std::errc::is_a_directory. A file this writer
    // had open is closed first, unflushed.
    std::error_code TryCreate(const std::string& path);
    // Appends data to the open file.
    std::error_code TryAppend(std::string_view data);
    // Starts writing everything appended to disk without waiting for it, so
    // that the flushes of several files overlap: call it for each, then
    // TrySyncAndClose for each. Nothing when no file is open.
    void StartFlush();
    // Flushes everything appended to disk and closes the file; on failure the
    // file is closed too.
    std::error_code TrySyncAndClose();
    // Closes the file without flushing it; nothing when none is open.
    void Close();

    bool IsOpen() const { return m_handle != NoHandle; }

  private:
    // Asks the system to start writing the bytes not yet handed to the disk:
    // all of them, or only the whole pages among them.
    void HandOn(bool all);

    static constexpr std::intptr_t NoHandle = -1;
    std::intptr_t m_handle = NoHandle;  // The file descriptor (Linux) or HANDLE (Windows).
    std::uint64_t m_size = 0;           // Bytes appended.
    std::uint64_t m_handedOn = 0;       // Bytes already handed to the disk.
};

// Renames from to to, replacing a file (not a folder) at to, atomically on one
// file system. Windows before 10 (and Wine) cannot replace a file that anyone
// holds open: such a file is renamed aside first and removed once closed, and
// the name is missing for that moment; the caller keeps readers from opening
// it meanwhile (the shards' Index lock). A read-only file at to is
// std::errc::permission_denied, as on Windows.
std::error_code RenameFile(const std::string& from, const std::string& to);

// Flushes a folder's entries (names created, renamed or removed) to disk.
// Nothing to do on systems that flush them with the files (Windows).
std::error_code SyncFolder(const std::string& path);

// Whether WriteWholeFileAtomic or RenameFile could replace path: success for a
// missing entry or a file the caller may write; std::errc::is_a_directory for
// a folder; std::errc::permission_denied for a file the caller may not write.
std::error_code CheckReplaceable(const std::string& path);

// Size in bytes of a regular file (following symbolic links). Directories and
// other non-regular entries report std::errc::invalid_argument.
std::error_code RegularFileSize(const std::string& path, std::uint64_t& size);

// What a directory search for exactly one path finds: whether an entry of that
// name exists, whether it is a folder, and its size (0 for folders).
struct PathProbe {
    bool exists = false;
    bool isDirectory = false;
    std::uint64_t size = 0;
    // The last modification, in the system's own units (Linux: nanoseconds
    // since 1970; Windows: 100-nanosecond steps since 1601): only to compare
    // two probes of one system.
    std::int64_t modified = 0;
    std::error_code error;  // Why exists is false (ENOENT for a missing entry).
};
PathProbe ProbePath(const std::string& path);

// Appends data to the regular file at path in one write, creating it when
// missing (mode 0666 less the umask), and sets sizeAfter to the file's size
// after the write. Never writes through a symbolic link (Linux: ELOOP) or
// into anything but a regular file (std::errc::invalid_argument), and never
// blocks on a FIFO. The data of one call is not interleaved with another
// process's appends. For logs: no flush to disk.
std::error_code AppendToFile(const std::string& path, std::string_view data,
                             std::uint64_t& sizeAfter);

// Removes a file (not a folder). Named so as not to meet the Windows header's
// DeleteFile macro.
std::error_code RemoveFile(const std::string& path);

// Creates one directory level; the parent must exist. An existing directory is
// reported as std::errc::file_exists.
std::error_code MakeDirectory(const std::string& path);

// The directory of the running executable, without a trailing separator.
// Empty when it cannot be determined.
std::string ExecutableDirectory();

// Joins two path parts with exactly one separator between them. An empty part
// leaves the other as it is.
std::string JoinPath(std::string_view head, std::string_view tail);

}  // namespace cj::platform
