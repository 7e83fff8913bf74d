// Opening a file the program reads whole (configuration, backup, shards):
// only a regular file is read, so that a FIFO or a device planted under its
// name neither holds the reader nor feeds it without end.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace cj::platform::posix {

// Opens path for reading, following links, and fills st. Returns the
// descriptor, or -1 with ec set: the system's error, std::errc::is_a_directory
// for a folder, std::errc::invalid_argument for anything else that is not a
// regular file. O_NONBLOCK keeps the open of a FIFO without a writer from
// waiting; it changes nothing for a regular file.
inline int OpenRegularFile(const std::string& path, struct stat& st, std::error_code& ec) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        ec = {errno, std::generic_category()};
        return -1;
    }
    if (::fstat(fd, &st) != 0) {
        ec = {errno, std::generic_category()};
    } else if (!S_ISREG(st.st_mode)) {
        ec = std::make_error_code(S_ISDIR(st.st_mode) ? std::errc::is_a_directory
                                                      : std::errc::invalid_argument);
    } else {
        ec.clear();
        return fd;
    }
    ::close(fd);
    return -1;
}

}  // namespace cj::platform::posix
