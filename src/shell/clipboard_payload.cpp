#include "shell/clipboard_payload.h"

#include <cstdint>

#include "platform/line_end.h"
#include "shell/file_name.h"

namespace cj::shell {
namespace {

bool IsKeptInUrl(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

void AppendFileUrl(std::string& out, std::string_view path) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    out += "file://";
    for (const char byte : path) {
        const auto c = static_cast<unsigned char>(byte);
        if (IsKeptInUrl(c)) {
            out += byte;
        } else {
            out += '%';
            out += Hex[c >> 4];
            out += Hex[c & 0x0F];
        }
    }
}

void AppendUint32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((value >> shift) & 0xFF);
    }
}

}  // namespace

std::string FileUrl(std::string_view path) {
    std::string url;
    url.reserve(path.size() + 16);
    AppendFileUrl(url, path);
    return url;
}

std::string UriList(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& path : paths) {
        AppendFileUrl(list, path);
        list += "\r\n";
    }
    return list;
}

std::string GnomeCopiedFiles(const std::vector<std::string>& paths) {
    std::string list = "copy";
    for (const std::string& path : paths) {
        list += '\n';
        AppendFileUrl(list, path);
    }
    return list;
}

std::string PathsText(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& path : paths) {
        text += path;
        text += platform::TextLineEnd;
    }
    return text;
}

std::string NamesText(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& path : paths) {
        text += FileName(path, false);
        text += platform::TextLineEnd;
    }
    return text;
}

std::string FileDropBlock(const std::vector<std::string>& paths) {
    // The header of the platform's DROPFILES record.
    constexpr std::uint32_t HeaderSize = 20;
    std::string block;
    AppendUint32(block, HeaderSize);  // Where the list starts.
    AppendUint32(block, 0);           // Drop point x.
    AppendUint32(block, 0);           // Drop point y.
    AppendUint32(block, 0);           // Not dropped on a non-client area.
    AppendUint32(block, 0);           // The names are narrow, not UTF-16.
    for (const std::string& path : paths) {
        if (path.find('\0') != std::string::npos) {
            continue;
        }
        block += path;
        block += '\0';
    }
    block += '\0';
    return block;
}

}  // namespace cj::shell
