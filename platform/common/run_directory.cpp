#include "platform/run_directory.h"

#include "platform/files.h"
#include "platform/path_text.h"

namespace cj::platform {
namespace {

bool IsFolder(const std::string& path) {
    return ProbePath(path).isDirectory;
}

// Makes path and every missing folder above it, as mkdir -p does.
bool MakeFolders(const std::string& path) {
    if (path.empty() || IsFolder(path)) {
        return !path.empty();
    }
    const std::size_t separator = FindLastSeparator(path);
    if (separator != std::string::npos && separator > 0 &&
        !MakeFolders(path.substr(0, separator))) {
        return false;
    }
    const std::error_code error = MakeDirectory(path);
    return !error || (error == std::errc::file_exists && IsFolder(path));
}

}  // namespace

std::string ChooseRunDirectory(const std::string& executableDirectory) {
    const std::string beside = JoinPath(executableDirectory, "data");
    if (executableDirectory.empty() || IsFolder(beside)) {
        return executableDirectory;
    }
    const std::string home = UserDataHome();
    if (home.empty()) {
        return executableDirectory;
    }
    std::string folder = JoinPath(home, "chengjing");
    return MakeFolders(JoinPath(folder, "data")) ? folder : executableDirectory;
}

}  // namespace cj::platform
