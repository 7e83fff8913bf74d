// The temporary files' names of WriteWholeFileAtomic, the same on every system.
#include "platform/files.h"

namespace cj::platform {

std::string_view AtomicWriteTarget(std::string_view name) {
    constexpr std::string_view Mark = ".tmp-";
    constexpr std::size_t Random = 6;  // The XXXXXX of mkostemp.
    if (name.size() < 1 + 1 + Mark.size() + Random || name.front() != '.' ||
        name.substr(name.size() - Random - Mark.size(), Mark.size()) != Mark) {
        return {};
    }
    return name.substr(1, name.size() - 1 - Mark.size() - Random);
}

}  // namespace cj::platform
