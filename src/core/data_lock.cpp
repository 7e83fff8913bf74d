#include "core/data_lock.h"

#include "platform/files.h"

namespace cj::core {

std::string LockFilePath(std::string_view folder) {
    return platform::JoinPath(folder, ".chengjing.lock");
}

std::error_code TryLockData(std::string_view folder, DataLock which, platform::LockMode mode,
                            platform::LockWait wait, platform::FileLock& out) {
    return out.TryLock(LockFilePath(folder), static_cast<std::uint32_t>(which), mode, wait);
}

}  // namespace cj::core
