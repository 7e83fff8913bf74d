#include "shell/hit_text.h"

#include "platform/code_page.h"
#include "shell/file_name.h"

namespace cj::shell {
namespace {

// The labels in the code page's bytes, like the names and paths beside them
// (GBK on a Chinese Windows).
const std::string& TypeLabel() {
    static const std::string label = platform::Utf16ToNarrow(u"文件类型：");
    return label;
}
const std::string& SizeLabel() {
    static const std::string label = platform::Utf16ToNarrow(u"   文件大小：");
    return label;
}

void AppendTypeAndSize(std::string& out, std::string_view name, std::string_view sizeText) {
    out += TypeLabel();
    for (const char c : FileExtension(name)) {
        if (c != '.') {
            out += c;
        }
    }
    out += SizeLabel();
    out += sizeText;
}

std::string SizeTextOf(std::optional<std::uint64_t> size) {
    return size ? SizeTextForBytes(*size) : std::string(UnknownSizeText);
}

}  // namespace

std::string TypeAndSizeText(std::string_view name, std::string_view sizeText) {
    std::string text;
    AppendTypeAndSize(text, name, sizeText);
    return text;
}

HitTexts MakeHitTexts(std::string_view path, std::optional<std::uint64_t> size, bool withSize) {
    const std::string name = FileName(path, true);
    HitTexts texts;
    texts.typeAndSize = TypeAndSizeText(name, withSize ? SizeTextOf(size) : std::string());
    texts.name = name.substr(0, name.size() - FileExtension(name).size());
    return texts;
}

void AppendHitLines(std::string& out, std::string_view path, std::optional<std::uint64_t> size) {
    const std::string name = FileName(path, true);
    const std::string_view bare =
        std::string_view(name).substr(0, name.size() - FileExtension(name).size());
    out += bare;
    out += '\n';
    AppendTypeAndSize(out, name, SizeTextOf(size));
    out += '\n';
    out += path;
    out += '\n';
}

}  // namespace cj::shell
