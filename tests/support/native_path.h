// Paths that tests write by hand with "/" between their parts, in the form the
// program's own paths take on this platform, so that one expectation serves
// Linux and Windows: "/scan/a.jpg" is "\scan\a.jpg" on Windows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace cj::test {

// text with each "/" turned into the platform separator. "/" is never the
// trail byte of a GBK pair (those start at 0x40), so the text may hold GBK.
inline std::string NativePath(std::string_view text) {
    std::string path(text);
    for (char& c : path) {
        if (c == '/') {
            c = platform::PathSeparator;
        }
    }
    return path;
}

inline std::vector<std::string> NativePaths(std::vector<std::string> texts) {
    for (std::string& text : texts) {
        text = NativePath(text);
    }
    return texts;
}

}  // namespace cj::test
