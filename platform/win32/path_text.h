// Reading Windows paths as text in the active code page. A GBK trail byte can
// be 0x5C, the value of '\', so a byte is a separator only where a character
// starts; '/' never occurs inside a character and counts as a separator too,
// as it does for the system.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/code_page.h"

namespace cj::platform::win32 {

inline bool IsSeparatorByte(char byte) {
    return byte == '\\' || byte == '/';
}

// The first separator at or after from (a character boundary), or npos.
inline std::size_t FindSeparator(std::string_view path, std::size_t from) {
    const CodePage codePage = ActiveCodePage();
    for (std::size_t pos = from; pos < path.size(); pos = NextCharBoundary(path, pos, codePage)) {
        if (IsSeparatorByte(path[pos])) {
            return pos;
        }
    }
    return std::string_view::npos;
}

// The last separator of path, or npos.
inline std::size_t LastSeparator(std::string_view path) {
    const CodePage codePage = ActiveCodePage();
    std::size_t last = std::string_view::npos;
    for (std::size_t pos = 0; pos < path.size(); pos = NextCharBoundary(path, pos, codePage)) {
        if (IsSeparatorByte(path[pos])) {
            last = pos;
        }
    }
    return last;
}

inline bool EndsWithSeparator(std::string_view path) {
    return !path.empty() && IsSeparatorByte(path.back()) &&
           IsCharBoundary(path, path.size() - 1, ActiveCodePage());
}

// The length of the part of path that names a volume or its root folder and
// has no parent: "C:\" 3, "C:" 2 (the current folder of drive C), "\" 1,
// "\\server\share\" all of it, "\\?\C:\" 7; 0 for a relative path.
inline std::size_t RootLength(std::string_view path) {
    const auto isDrive = [&](std::size_t at) {
        const char letter = at < path.size() ? path[at] : '\0';
        return ((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')) &&
               at + 1 < path.size() && path[at + 1] == ':';
    };
    const auto withSeparator = [&](std::size_t length) {
        return length < path.size() && IsSeparatorByte(path[length]) ? length + 1 : length;
    };
    // Past the end of the component that starts at from, and its separator.
    const auto afterComponent = [&](std::size_t from) {
        const std::size_t separator = FindSeparator(path, from);
        return separator == std::string_view::npos ? path.size() : separator + 1;
    };
    if (path.size() >= 4 && IsSeparatorByte(path[0]) && IsSeparatorByte(path[1]) &&
        (path[2] == '?' || path[2] == '.') && IsSeparatorByte(path[3])) {
        // "\\?\C:\", "\\?\UNC\server\share\", "\\.\pipe\".
        if (isDrive(4)) {
            return withSeparator(6);
        }
        if (path.substr(4, 4) == "UNC\\") {
            return afterComponent(afterComponent(8));
        }
        return afterComponent(4);
    }
    if (path.size() >= 2 && IsSeparatorByte(path[0]) && IsSeparatorByte(path[1])) {
        return afterComponent(afterComponent(2));
    }
    if (isDrive(0)) {
        return withSeparator(2);
    }
    return !path.empty() && IsSeparatorByte(path[0]) ? 1 : 0;
}

// The folder above path by its text: "C:\a\b" gives "C:\a", "C:\a" gives
// "C:\", "C:a" gives "C:", and a relative name with no folder part gives ""
// (the current folder). Trailing separators of path are ignored. A root is
// its own parent.
inline std::string_view ParentText(std::string_view path) {
    const std::size_t root = RootLength(path);
    while (path.size() > root && EndsWithSeparator(path)) {
        path.remove_suffix(1);
    }
    if (path.size() <= root) {
        return path;
    }
    const std::size_t separator = LastSeparator(path);
    const std::size_t end =
        separator == std::string_view::npos || separator < root ? root : separator;
    return path.substr(0, end);
}

// The part of path up to its file's name, with its separator ("" for a bare
// name, "C:" for "C:name"), and the name.
inline std::size_t NameStart(std::string_view path) {
    const std::size_t separator = LastSeparator(path);
    const std::size_t afterSeparator = separator == std::string_view::npos ? 0 : separator + 1;
    const std::size_t root = RootLength(path);
    return afterSeparator > root ? afterSeparator : root;
}

}  // namespace cj::platform::win32
