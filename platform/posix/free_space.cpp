#include "platform/free_space.h"

#include <sys/statvfs.h>

#include <cerrno>

namespace cj::platform {
namespace {

// The folder above path, by its text: "a/b/" gives "a", "/a" gives "/", and a
// relative name with no folder part gives "" (the current folder).
std::string ParentText(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return {};
    }
    if (slash == 0) {
        return "/";
    }
    path.resize(slash);
    return path;
}

}  // namespace

std::error_code FreeBytes(const std::string& path, std::uint64_t& bytes) {
    bytes = 0;
    std::string probe = path;
    for (;;) {
        struct statvfs fs {};
        if (::statvfs(probe.empty() ? "." : probe.c_str(), &fs) == 0) {
            // f_bavail leaves out the superuser's reserve: what a copy made
            // by this user can fill. Both factors are 64-bit here, so a
            // multi-terabyte disk does not wrap.
            bytes =
                static_cast<std::uint64_t>(fs.f_bavail) * static_cast<std::uint64_t>(fs.f_frsize);
            return {};
        }
        const int error = errno;
        // A folder the user is about to have created does not exist yet: its
        // nearest existing ancestor is on the file system it will be on.
        // Other failures (no permission to look) are the answer.
        if ((error != ENOENT && error != ENOTDIR) || probe.empty() || probe == "/") {
            return {error, std::generic_category()};
        }
        probe = ParentText(std::move(probe));
    }
}

}  // namespace cj::platform
