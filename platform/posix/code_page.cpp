#include "platform/code_page.h"

#include "platform/common/utf8.h"

namespace cj::platform {

CodePage ActiveCodePage() {
    return CodePage::Utf8;
}

std::u16string NarrowToUtf16(std::string_view text) {
    return Utf8ToUtf16(text);
}

std::string Utf16ToNarrow(std::u16string_view text) {
    return Utf16ToUtf8(text);
}

}  // namespace cj::platform
