#include "platform/code_page.h"

#include <windows.h>

#include <algorithm>

#include "platform/common/utf8.h"

namespace cj::platform {
namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Every ANSI code page the program runs under (the Western and Eastern
// European ones, GBK, Big5, Korean) keeps ASCII as it is, so that text needs
// no system call.
void AppendAsciiWide(std::string_view text, std::u16string& out) {
    for (const char c : text) {
        out.push_back(static_cast<char16_t>(c));
    }
}

// The narrow text of wide text that holds no surrogate, in the active code
// page. A character the code page lacks becomes "?": never a look-alike
// ("best fit" would turn "ā" into "a"), which could name another file.
bool AppendNarrow(std::u16string_view text, std::string& out) {
    if (text.empty()) {
        return true;
    }
    const std::size_t start = out.size();
    // A UTF-16 unit is at most two bytes in a double-byte code page.
    out.resize(start + 2 * text.size());
    const int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS,
                                            reinterpret_cast<const wchar_t*>(text.data()),
                                            static_cast<int>(text.size()), out.data() + start,
                                            static_cast<int>(2 * text.size()), "?", nullptr);
    out.resize(start + static_cast<std::size_t>(std::max(written, 0)));
    return written > 0;
}

// The wide text of narrow text when every character of it converts and
// converts back to the very same bytes; false otherwise (out is then
// unspecified).
bool TryWholeToUtf16(std::string_view text, std::u16string& out) {
    out.resize(text.size());  // Never more UTF-16 units than bytes.
    const int written = MultiByteToWideChar(
        CP_ACP, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
        reinterpret_cast<wchar_t*>(out.data()), static_cast<int>(out.size()));
    if (written <= 0) {
        return false;
    }
    out.resize(static_cast<std::size_t>(written));
    // A code page may map two byte sequences to one character; such a name
    // must stay the bytes it was, so the text has to come back unchanged.
    std::string back;
    back.reserve(text.size());
    return AppendNarrow(out, back) && back == text;
}

// One character's wide form, when it converts both ways exactly.
bool TryCharToUtf16(std::string_view character, std::u16string& out) {
    wchar_t wide[2] = {};
    const int written = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, character.data(),
                                            static_cast<int>(character.size()), wide, 2);
    if (written <= 0) {
        return false;
    }
    const std::u16string_view converted(reinterpret_cast<const char16_t*>(wide),
                                        static_cast<std::size_t>(written));
    std::string back;
    if (!AppendNarrow(converted, back) || back != character) {
        return false;
    }
    out.append(converted);
    return true;
}

// The slow way, for text with a byte that does not convert: character by
// character, each byte that does not start a character that converts
// becoming U+DC00 + byte. When a pair fails, its second byte is tried as the
// start of a character of its own, so a byte below 0x80 is never made a
// surrogate (Utf16ToNarrow gives back only U+DC80..U+DCFF).
std::u16string ToUtf16ByCharacter(std::string_view text, CodePage codePage) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            out.push_back(byte);
            ++pos;
            continue;
        }
        const std::size_t next = NextCharBoundary(text, pos, codePage);
        if (TryCharToUtf16(text.substr(pos, next - pos), out)) {
            pos = next;
        } else {
            out.push_back(static_cast<char16_t>(0xDC00 + byte));
            ++pos;
        }
    }
    return out;
}

}  // namespace

CodePage ActiveCodePage() {
    // The active code page is fixed for the life of the process.
    static const CodePage active = [] {
        switch (GetACP()) {
            case 936:
            case 949:
            case 950:
                return CodePage::Gbk;
            case CP_UTF8:
                return CodePage::Utf8;
            default:
                return CodePage::SingleByte;
        }
    }();
    return active;
}

std::u16string NarrowToUtf16(std::string_view text) {
    const CodePage codePage = ActiveCodePage();
    if (codePage == CodePage::Utf8) {
        return Utf8ToUtf16(text);
    }
    std::u16string out;
    // Paths are ASCII, or convert whole: one or two calls, not one a character.
    if (IsAscii(text)) {
        out.reserve(text.size());
        AppendAsciiWide(text, out);
        return out;
    }
    if (TryWholeToUtf16(text, out)) {
        return out;
    }
    return ToUtf16ByCharacter(text, codePage);
}

std::string Utf16ToNarrow(std::u16string_view text) {
    if (ActiveCodePage() == CodePage::Utf8) {
        return Utf16ToUtf8(text);
    }
    std::string out;
    out.reserve(text.size());
    // Runs without surrogates go to the system whole; a surrogate is a byte
    // NarrowToUtf16 kept (U+DC80..U+DCFF) or a character no ANSI code page
    // has (a pair, or a lone one).
    std::size_t runStart = 0;
    const auto flushRun = [&](std::size_t end) {
        const std::u16string_view run = text.substr(runStart, end - runStart);
        const bool ascii = std::all_of(run.begin(), run.end(), [](char16_t c) { return c < 0x80; });
        if (ascii) {
            for (const char16_t c : run) {
                out.push_back(static_cast<char>(c));
            }
        } else if (!AppendNarrow(run, out)) {
            out.append(run.size(), '?');  // The system failed; the text stays as long.
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0xD800 || c > 0xDFFF) {
            continue;
        }
        flushRun(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            out.push_back('?');  // One character beyond the code page.
            ++i;
        } else if (c >= 0xDC80 && c <= 0xDCFF) {
            out.push_back(static_cast<char>(c - 0xDC00));
        } else {
            out.push_back('?');
        }
        runStart = i + 1;
    }
    flushRun(text.size());
    return out;
}

}  // namespace cj::platform
