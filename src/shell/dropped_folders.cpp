#include "shell/dropped_folders.h"

#include "platform/files.h"
#include "platform/path_text.h"

namespace cj::shell {
namespace {

// The path without its trailing separators: the root becomes empty, so that
// "/" + "/a" reads as the root's child like any other.
std::string_view WithoutTrailingSeparators(std::string_view path) {
    while (platform::EndsWithSeparator(path)) {
        path.remove_suffix(1);
    }
    return path;
}

bool Covers(std::string_view outer, std::string_view inner) {
    return inner == outer || (inner.size() > outer.size() && inner.starts_with(outer) &&
                              inner[outer.size()] == platform::PathSeparator);
}

}  // namespace

std::vector<std::string> DroppedFolders(std::span<const std::string> names) {
    std::vector<std::string> folders;
    for (const std::string& name : names) {
        if (platform::ProbePath(name).isDirectory) {
            folders.push_back(name);
        }
    }
    return folders;
}

std::optional<std::string> CoveringFolder(std::string_view folder,
                                          std::span<const std::string> listed) {
    if (folder.empty()) {
        return std::nullopt;
    }
    const std::string_view inner = WithoutTrailingSeparators(folder);
    for (const std::string& member : listed) {
        if (!member.empty() && Covers(WithoutTrailingSeparators(member), inner)) {
            return member;
        }
    }
    return std::nullopt;
}

}  // namespace cj::shell
