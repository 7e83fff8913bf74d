// The numbers of a pasted batch: SplitBatchNumbers.
#include <array>
#include <unordered_set>

#include "search/batch_search.h"

namespace cj::search {
namespace {

bool IsAsciiSeparator(char c) {
    return c == '\n' || c == '\r' || c == '\t' || c == ' ' || c == ',' || c == ';';
}

// The full-width comma, enumeration comma and semicolon as the code page
// writes them: a clerk's list typed in a Chinese input method uses them.
constexpr std::array<std::string_view, 3> Utf8Separators{"\xEF\xBC\x8C", "\xE3\x80\x81",
                                                         "\xEF\xBC\x9B"};
constexpr std::array<std::string_view, 3> GbkSeparators{"\xA3\xAC", "\xA1\xA2", "\xA3\xBB"};

// What a piece loses at either end: blanks that are no separators. Lists
// copied from spreadsheets and web pages bring the ideographic space and the
// no-break space; a file saved by Notepad begins with a byte order mark.
constexpr std::array<std::string_view, 5> Utf8Trimmed{"\v", "\f", "\xE3\x80\x80", "\xC2\xA0",
                                                      "\xEF\xBB\xBF"};
constexpr std::array<std::string_view, 3> GbkTrimmed{"\v", "\f", "\xA1\xA1"};
// A Western code page has no full-width punctuation; its no-break space is A0.
constexpr std::array<std::string_view, 0> SingleByteSeparators{};
constexpr std::array<std::string_view, 3> SingleByteTrimmed{"\v", "\f", "\xA0"};

template <std::size_t N>
std::size_t SeparatorAt(std::string_view text, std::size_t pos,
                        const std::array<std::string_view, N>& separators) {
    if (IsAsciiSeparator(text[pos])) {
        return 1;
    }
    for (const std::string_view separator : separators) {
        if (text.substr(pos, separator.size()) == separator) {
            return separator.size();
        }
    }
    return 0;
}

template <std::size_t N>
std::string_view Trim(std::string_view piece, platform::CodePage codePage,
                      const std::array<std::string_view, N>& trimmed) {
    for (bool again = true; again && !piece.empty();) {
        again = false;
        for (const std::string_view blank : trimmed) {
            if (piece.starts_with(blank)) {
                piece.remove_prefix(blank.size());
                again = true;
            } else if (piece.ends_with(blank) &&
                       platform::IsCharBoundary(piece, piece.size() - blank.size(), codePage)) {
                piece.remove_suffix(blank.size());
                again = true;
            }
        }
    }
    return piece;
}

template <std::size_t S, std::size_t T>
std::vector<std::string> Split(std::string_view text, platform::CodePage codePage,
                               const std::array<std::string_view, S>& separators,
                               const std::array<std::string_view, T>& trimmed) {
    std::vector<std::string> numbers;
    std::unordered_set<std::string_view> seen;
    const auto take = [&](std::size_t from, std::size_t to) {
        const std::string_view number = Trim(text.substr(from, to - from), codePage, trimmed);
        if (!number.empty() && seen.insert(number).second) {
            numbers.emplace_back(number);
        }
    };
    std::size_t pieceStart = 0;
    // Separators count only where a character starts: a GBK pair's trail
    // byte and the next pair's lead byte can look like a full-width comma.
    for (std::size_t pos = 0; pos < text.size();) {
        if (const std::size_t length = SeparatorAt(text, pos, separators); length > 0) {
            take(pieceStart, pos);
            pos += length;
            pieceStart = pos;
        } else {
            pos = platform::NextCharBoundary(text, pos, codePage);
        }
    }
    take(pieceStart, text.size());
    return numbers;
}

}  // namespace

std::vector<std::string> SplitBatchNumbers(std::string_view text, platform::CodePage codePage) {
    switch (codePage) {
        case platform::CodePage::Gbk:
            return Split(text, codePage, GbkSeparators, GbkTrimmed);
        case platform::CodePage::SingleByte:
            return Split(text, codePage, SingleByteSeparators, SingleByteTrimmed);
        case platform::CodePage::Utf8:
            break;
    }
    return Split(text, codePage, Utf8Separators, Utf8Trimmed);
}

}  // namespace cj::search
