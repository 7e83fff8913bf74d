// Copies one file into a new file, never replacing anything that exists.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>

namespace cj::platform {

// Why a copy failed when the system has no code for it.
enum class CopyError {
    NotRegularFile = 1,  // A folder, a FIFO, a device: never read.
    SourceChanged,       // The source grew or shrank while it was copied.
};
const std::error_category& CopyErrorCategory();
inline std::error_code make_error_code(CopyError e) {
    return {static_cast<int>(e), CopyErrorCategory()};
}

// Told the source's size and the bytes written so far: once before the first
// chunk (transferred 0) and after every chunk. Returning false stops the copy.
using CopyProgress = std::function<bool(std::uint64_t total, std::uint64_t transferred)>;

// Copies the regular file at source (symbolic links followed) to target. An
// entry that exists at target (a file, a folder, a link, even a dangling one)
// is never replaced or written: std::errc::file_exists.
//
// The data goes into a hidden temporary file in target's folder (see
// IsCopyTemporaryName), in chunks (copy_file_range where the file systems
// allow it, read and write otherwise), and the temporary is published under
// target's name only once it is whole, without replacing anything (Linux:
// renameat2 RENAME_NOREPLACE, else link and unlink; Windows: a move without
// replacing). So a copy cut short at any instant, by a kill or a power cut,
// leaves no file under target's name that differs from source; at worst an
// orphaned temporary, which RemoveOrphanedCopies clears. The one exception is
// a file system that can neither rename without replacing nor link (some
// network shares): there target's name is first taken by an empty file, which
// the temporary then replaces, and a kill between those two calls leaves that
// empty file.
//
// The data is not flushed to the device (see FlushFolderToDevice), except on
// Windows, where each copy is flushed before it is published. The copy gets
// the source's modification time; its permission bits are the source's less
// set-user, set-group and what the umask takes away (as cp does), as far as
// its file system can hold them.
//
// Failures leave nothing behind: a full disk, a file-size limit, a read
// error, a source that changes size while it is copied
// (CopyError::SourceChanged), or progress returning false
// (std::errc::operation_canceled, within a chunk of the stop). A source that
// is not a regular file is never read, nor opened in a way that could block:
// CopyError::NotRegularFile. A missing source:
// std::errc::no_such_file_or_directory. Any thread; progress runs on the
// calling thread.
std::error_code CopyFileExclusive(const std::string& source, const std::string& target,
                                  const CopyProgress& progress = {});

// Whether name (no folder) is that of one of CopyFileExclusive's temporaries:
// ".cjcopy-", 16 hexadecimal digits, ".part".
bool IsCopyTemporaryName(std::string_view name);

// Removes the temporaries that copies into folder (empty: the current
// folder) left when they were killed. A copy still writing its temporary
// holds it locked (Linux: flock; Windows: an open handle that shares no
// deletion), and only temporaries nobody holds are removed. On a file system
// without locks nothing is removed. Goes on past a failure and returns the
// first; a missing folder is no failure.
std::error_code RemoveOrphanedCopies(const std::string& folder);

// Puts everything written into folder's file system on the device, so that a
// stick pulled afterwards holds every copy (Linux: syncfs). One call for a
// whole job: per file, the flushes would cost more than the copies. On Windows
// each copy was flushed before it was published, and this does nothing.
std::error_code FlushFolderToDevice(const std::string& folder);

}  // namespace cj::platform

template <>
struct std::is_error_code_enum<cj::platform::CopyError> : std::true_type {};
