#include "shell/dropped_folders.h"

#include "platform/files.h"

namespace cj::shell {

std::vector<std::string> DroppedFolders(std::span<const std::string> names) {
    std::vector<std::string> folders;
    for (const std::string& name : names) {
        if (platform::ProbePath(name).isDirectory) {
            folders.push_back(name);
        }
    }
    return folders;
}

}  // namespace cj::shell
