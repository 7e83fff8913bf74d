// The character rules of the narrow encodings, the same on every system;
// which encoding is active, and the conversions through it, are the system's
// (posix/ and win32/code_page.cpp).
#include "platform/code_page.h"

#include <cstdint>

#include "platform/common/utf8.h"

namespace cj::platform {
namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = at(pos);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) {
            low = 0xA0;
        } else if (lead == 0xED) {
            high = 0x9F;
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) {
            low = 0x90;
        } else if (lead == 0xF4) {
            high = 0x8F;
        }
    } else {
        return 0;
    }
    if (pos + length > text.size()) {
        return 0;
    }
    if (at(pos + 1) < low || at(pos + 1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (!IsContinuation(at(pos + i))) {
            return 0;
        }
    }
    return length;
}

namespace {

bool IsGbkLead(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}
bool IsGbkTrail(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

std::size_t GbkCharLength(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (IsGbkLead(lead) && pos + 1 < text.size() &&
        IsGbkTrail(static_cast<unsigned char>(text[pos + 1]))) {
        return 2;
    }
    return 1;
}

}  // namespace

bool IsCharBoundary(std::string_view text, std::size_t pos, CodePage codePage) {
    if (pos == 0 || pos >= text.size()) {
        return pos <= text.size();
    }
    if (codePage == CodePage::SingleByte) {
        return true;
    }
    if (codePage == CodePage::Gbk) {
        std::size_t at = 0;
        while (at < pos) {
            at += GbkCharLength(text, at);
        }
        return at == pos;
    }
    if (!IsContinuation(static_cast<unsigned char>(text[pos]))) {
        return true;
    }
    // A continuation byte is inside a character only when a lead byte at most
    // three bytes back starts a well-formed sequence that covers pos.
    for (std::size_t back = 1; back <= 3 && back <= pos; ++back) {
        const std::size_t start = pos - back;
        if (!IsContinuation(static_cast<unsigned char>(text[start]))) {
            return Utf8SequenceLength(text, start) <= back;
        }
    }
    return true;
}

std::size_t NextCharBoundary(std::string_view text, std::size_t pos, CodePage codePage) {
    if (pos >= text.size()) {
        return text.size();
    }
    if (codePage == CodePage::SingleByte) {
        return pos + 1;
    }
    if (codePage == CodePage::Gbk) {
        return pos + GbkCharLength(text, pos);
    }
    const std::size_t length = Utf8SequenceLength(text, pos);
    return pos + (length == 0 ? 1 : length);
}

std::size_t NextCharBoundaryByLead(std::string_view text, std::size_t pos, CodePage codePage) {
    if (pos >= text.size()) {
        return text.size();
    }
    if (codePage == CodePage::Gbk && IsGbkLead(static_cast<unsigned char>(text[pos]))) {
        return pos + 1 < text.size() ? pos + 2 : text.size();
    }
    return NextCharBoundary(text, pos, codePage);
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t length = Utf8SequenceLength(text, pos);
        const auto byte = [&](std::size_t i) {
            return static_cast<char32_t>(static_cast<unsigned char>(text[pos + i]));
        };
        char32_t code = 0;
        switch (length) {
            case 0:
                // Not valid UTF-8: keep the byte as a lone surrogate so that
                // Utf16ToNarrow gives it back.
                out.push_back(static_cast<char16_t>(0xDC00 + byte(0)));
                ++pos;
                continue;
            case 1:
                code = byte(0);
                break;
            case 2:
                code = ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
                break;
            case 3:
                code = ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
                break;
            default:
                code = ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) |
                       ((byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
                break;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
        pos += length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto put = [&](char32_t code) { out.push_back(static_cast<char>(code)); };
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xDC80 && code <= 0xDCFF) {
            put(code - 0xDC00);  // A byte NarrowToUtf16 could not decode.
            continue;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            put('?');
            continue;
        }
        if (code < 0x80) {
            put(code);
        } else if (code < 0x800) {
            put(0xC0 | (code >> 6));
            put(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            put(0xE0 | (code >> 12));
            put(0x80 | ((code >> 6) & 0x3F));
            put(0x80 | (code & 0x3F));
        } else {
            put(0xF0 | (code >> 18));
            put(0x80 | ((code >> 12) & 0x3F));
            put(0x80 | ((code >> 6) & 0x3F));
            put(0x80 | (code & 0x3F));
        }
    }
    return out;
}

}  // namespace cj::platform
