// The texts of one hit as the result list and the command line's long output
// show them: the file name without its extension, and the type-and-size text
// "文件类型：jpg   文件大小：532 B". Narrow text in the platform encoding; any
// thread, no state.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cj::shell {

struct HitTexts {
    std::string name;         // The file name without its extension.
    std::string typeAndSize;  // See TypeAndSizeText.
};

// "文件类型：" + the extension of name with every "." removed + "   文件大小："
// + sizeText.
std::string TypeAndSizeText(std::string_view name, std::string_view sizeText);

// The texts of the hit at path. size is the file's size in bytes, or nothing
// when it could not be read (the file is gone or not a regular file), which
// shows UnknownSizeText where an empty file shows "0 B"; the size text is left
// out entirely when withSize is false.
HitTexts MakeHitTexts(std::string_view path, std::optional<std::uint64_t> size,
                      bool withSize = true);

// Appends the three lines of a hit to out, each ended by LF: the name without
// its extension, the type-and-size text and the path. Builds no temporary
// texts: the command line's long output runs through here for every hit.
void AppendHitLines(std::string& out, std::string_view path, std::optional<std::uint64_t> size);

}  // namespace cj::shell
