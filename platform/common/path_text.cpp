#include "platform/path_text.h"

#include "platform/files.h"

namespace cj::platform {
namespace {

// Whether a byte equal to the separator is always a character of its own: so
// in UTF-8 and one-byte code pages, and for "/" (below GBK's trail bytes).
bool SeparatorNeedsBoundaries(CodePage codePage) {
    return codePage == CodePage::Gbk && static_cast<unsigned char>(PathSeparator) >= 0x40;
}

}  // namespace

std::size_t FindLastSeparator(std::string_view path, CodePage codePage) {
    if (!SeparatorNeedsBoundaries(codePage)) {
        return path.rfind(PathSeparator);
    }
    std::size_t last = std::string_view::npos;
    for (std::size_t pos = 0; pos < path.size(); pos = NextCharBoundary(path, pos, codePage)) {
        if (path[pos] == PathSeparator) {
            last = pos;
        }
    }
    return last;
}

bool EndsWithSeparator(std::string_view path, CodePage codePage) {
    if (path.empty() || path.back() != PathSeparator) {
        return false;
    }
    return !SeparatorNeedsBoundaries(codePage) ||
           FindLastSeparator(path, codePage) == path.size() - 1;
}

}  // namespace cj::platform
