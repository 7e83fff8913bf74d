#include "platform/byte_size.h"

#include <shlwapi.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <limits>

#include "platform/code_page.h"
#include "platform/common/utf8.h"

namespace cj::platform {
namespace {

// Drops the first part of a multibyte character that the end of a cut text
// split.
void DropCutCharacter(std::string& text) {
    const CodePage codePage = ActiveCodePage();
    if (codePage == CodePage::SingleByte) {
        return;
    }
    if (codePage == CodePage::Gbk) {
        std::size_t last = 0;
        for (std::size_t pos = 0; pos < text.size(); pos = NextCharBoundary(text, pos, codePage)) {
            last = pos;
        }
        // A lead byte at the very end lost its trail byte.
        if (last + 1 == text.size() && static_cast<unsigned char>(text[last]) >= 0x81) {
            text.pop_back();
        }
        return;
    }
    // UTF-8: the bytes of a cut sequence stand alone, a lead byte followed by
    // continuation bytes; the lead is at most three bytes from the end.
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if ((byte & 0xC0) != 0x80) {
            if (byte >= 0xC0 && Utf8SequenceLength(text, text.size() - back) == 0) {
                text.resize(text.size() - back);
            }
            return;
        }
    }
}

}  // namespace

// The system's own short format, as Explorer shows sizes: the text and its
// units are the system's, in the active code page ("532 字节" in GBK bytes on
// a Chinese system, "532 bytes" on an English one), so the table of
// byte_size.h describes it only roughly there.
std::string FormatByteSize(std::uint64_t bytes) {
    // The formatter takes a signed size. Nothing holds 8 EiB, but such a count
    // must not print as a negative one: it shows as the largest it can say.
    constexpr auto Largest = static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max());
    const auto value = static_cast<LONGLONG>(bytes > Largest ? Largest : bytes);
    // The 20 bytes the program has always given it, which hold every text
    // seen ("1023 bytes" is the longest in English, "1023 字节" nine bytes in
    // GBK). A longer text is cut by the system, which may then leave the
    // buffer without its terminating NUL (Wine's does): the text ends at the
    // last byte whatever the system did, and a double-byte character cut in half is
    // dropped rather than shown as a stray lead byte.
    char buffer[20] = {};
    if (StrFormatByteSize64A(value, buffer, sizeof buffer) == nullptr) {
        return {};
    }
    std::string text(buffer, strnlen(buffer, sizeof buffer - 1));
    if (text.size() == sizeof buffer - 1) {
        DropCutCharacter(text);
    }
    return text;
}

}  // namespace cj::platform
