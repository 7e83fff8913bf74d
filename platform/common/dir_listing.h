// Filling a DirListing, the same on every system: the names go into the
// listing's one buffer, so that a walk allocates nothing per entry.
#pragma once

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/dir_enum.h"

namespace cj::platform {

// Appends an entry, its name copied into the listing's names. When the names
// must move to a larger buffer, the views of the entries already made move
// with them.
inline void AddEntry(DirListing& out, std::string_view name, bool isDirectory) {
    std::vector<char>& names = out.names;
    if (names.size() + name.size() > names.capacity()) {
        std::vector<char> larger;
        larger.reserve(std::max(2 * names.capacity(), names.size() + name.size() + 4096));
        larger.assign(names.begin(), names.end());
        for (DirEntry& entry : out.entries) {
            const auto offset = static_cast<std::size_t>(entry.name.data() - names.data());
            entry.name = std::string_view(larger.data() + offset, entry.name.size());
        }
        names.swap(larger);
    }
    const std::size_t start = names.size();
    names.insert(names.end(), name.begin(), name.end());
    out.entries.push_back(
        DirEntry{std::string_view(names.data() + start, name.size()), isDirectory});
}

}  // namespace cj::platform
