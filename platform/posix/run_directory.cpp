#include "platform/run_directory.h"

#include <cstdlib>
#include <string_view>

#include "platform/files.h"

namespace cj::platform {

std::string UserDataHome() {
    // The base directory rules of freedesktop.org: a relative $XDG_DATA_HOME
    // is invalid and ignored.
    // NOLINTNEXTLINE(concurrency-mt-unsafe)
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
        std::string home = xdg;
        while (home.size() > 1 && home.back() == '/') {
            home.pop_back();
        }
        return home;
    }
    // NOLINTNEXTLINE(concurrency-mt-unsafe)
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        return {};
    }
    return JoinPath(home, ".local/share");
}

}  // namespace cj::platform
