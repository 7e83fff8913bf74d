// Copies one file into a new file, never replacing anything that exists.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <system_error>

namespace cj::platform {

// Told the source's size and the bytes written so far: once before the first
// chunk (transferred 0) and after every chunk. Returning false stops the copy.
using CopyProgress = std::function<bool(std::uint64_t total, std::uint64_t transferred)>;

// Copies the regular file at source (symbolic links followed) to target,
// which is created exclusively: an entry that exists at target (a file, a
// folder, a link, even a dangling one) is never replaced or written, and the
// copy fails with std::errc::file_exists. Data goes in chunks (copy_file_range
// where the file systems allow it, read and write otherwise) up to the size
// the source had when it was opened; the target gets the source's
// modification time and permission bits (without set-user and set-group), as
// far as its file system can hold them (a FAT stick cannot hold every mode).
//
// No partial file is ever left: when the copy fails half-way (a full disk, a
// file-size limit, a read error) or progress returns false
// (std::errc::operation_canceled), what was written of target is removed.
// A source that is not a regular file (a folder, a FIFO, a device) is never
// read, and is not even opened in a way that could block:
// std::errc::invalid_argument. A missing source: std::errc::no_such_file_or_directory.
// Any thread; progress runs on the calling thread.
std::error_code CopyFileExclusive(const std::string& source, const std::string& target,
                                  const CopyProgress& progress = {});

}  // namespace cj::platform
