#include "shell/file_name.h"

#include "platform/byte_size.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/path_text.h"

namespace cj::shell {

std::string_view FileExtension(std::string_view name) {
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

std::string FileName(std::string_view path, bool keepExtension) {
    const std::size_t slash = platform::FindLastSeparator(path);
    if (path.empty() || slash == path.size() - 1) {
        return {};
    }
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (keepExtension) {
        return std::string(name);
    }
    return std::string(name.substr(0, name.size() - FileExtension(name).size()));
}

std::string SizeTextForBytes(std::uint64_t bytes) {
    std::string text = platform::FormatByteSize(bytes);
    // A formatter that names plain bytes in the user's language ("字节", in the
    // code page's bytes) is brought to the short unit the lists show.
    static const std::string LocalBytes = [] {
        std::string local = platform::Utf16ToNarrow(u"字节");
        return platform::NarrowToUtf16(local) == u"字节" ? local : std::string();
    }();
    if (LocalBytes.empty()) {
        return text;
    }
    for (std::size_t at = text.find(LocalBytes); at != std::string::npos;
         at = text.find(LocalBytes, at + 1)) {
        text.replace(at, LocalBytes.size(), "B");
    }
    return text;
}

std::string SizeText(std::string_view path) {
    std::uint64_t size = 0;
    if (const std::error_code unreadable = platform::RegularFileSize(std::string(path), size)) {
        return std::string(UnknownSizeText);
    }
    return SizeTextForBytes(size);
}

}  // namespace cj::shell
