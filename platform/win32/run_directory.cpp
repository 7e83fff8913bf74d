#include "platform/run_directory.h"

#include <cstdlib>

namespace cj::platform {

std::string UserDataHome() {
    // Where the per-user installation lives too (%LOCALAPPDATA%\Programs).
    // NOLINTNEXTLINE(concurrency-mt-unsafe)
    const char* local = std::getenv("LOCALAPPDATA");
    return local != nullptr ? std::string(local) : std::string();
}

}  // namespace cj::platform
