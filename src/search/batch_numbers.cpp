// The numbers of a pasted batch: SplitBatchNumbers.
#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "search/batch_search.h"

namespace cj::search {
namespace {

bool IsAsciiSeparator(char c) {
    return c == '\n' || c == '\r' || c == '\t' || c == ' ' || c == ',' || c == ';';
}

// The full-width comma, enumeration comma and semicolon as the code page
// writes them: a clerk's list typed in a Chinese input method uses them. The
// ideographic space (a blank typed in full-width mode) and the zero-width
// space (web pages and chat programs put it between numbers) split as a blank
// does; GBK has no zero-width space.
constexpr std::array<std::string_view, 5> Utf8Separators{
    "\xEF\xBC\x8C", "\xE3\x80\x81", "\xEF\xBC\x9B", "\xE3\x80\x80", "\xE2\x80\x8B"};
constexpr std::array<std::string_view, 4> GbkSeparators{"\xA3\xAC", "\xA1\xA2", "\xA3\xBB",
                                                        "\xA1\xA1"};

// What a piece loses at either end: blanks that are no separators. Lists
// copied from spreadsheets and web pages bring the no-break space; a file
// saved by Notepad as UTF-8 begins with a byte order mark.
constexpr std::array<std::string_view, 4> Utf8Trimmed{"\v", "\f", "\xC2\xA0", "\xEF\xBB\xBF"};
constexpr std::array<std::string_view, 2> GbkTrimmed{"\v", "\f"};
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

// The numbers taken so far, as 4-byte indices into them in an open-addressed
// table: a list of millions of short numbers would take a node of about 56
// bytes per number in a std::unordered_set.
class SeenNumbers {
  public:
    explicit SeenNumbers(const std::vector<std::string>& numbers) : m_numbers(numbers) {}

    // Whether number is none of m_numbers; if so, it is to become the next one.
    bool IsNew(std::string_view number) {
        if ((m_numbers.size() + 1) * 2 > m_slots.size()) {
            Grow();
        }
        std::size_t slot = Hash(number) & (m_slots.size() - 1);
        for (; m_slots[slot] != 0; slot = (slot + 1) & (m_slots.size() - 1)) {
            if (m_numbers[m_slots[slot] - 1] == number) {
                return false;
            }
        }
        m_slots[slot] = static_cast<std::uint32_t>(m_numbers.size() + 1);
        return true;
    }

  private:
    static std::size_t Hash(std::string_view text) { return std::hash<std::string_view>{}(text); }

    void Grow() {
        m_slots.assign(std::max<std::size_t>(64, m_slots.size() * 2), 0);
        for (std::size_t i = 0; i < m_numbers.size(); ++i) {
            std::size_t slot = Hash(m_numbers[i]) & (m_slots.size() - 1);
            while (m_slots[slot] != 0) {
                slot = (slot + 1) & (m_slots.size() - 1);
            }
            m_slots[slot] = static_cast<std::uint32_t>(i + 1);
        }
    }

    const std::vector<std::string>& m_numbers;
    std::vector<std::uint32_t> m_slots;  // Index + 1 of a number; 0: empty.
};

template <std::size_t S, std::size_t T>
std::vector<std::string> Split(std::string_view text, platform::CodePage codePage,
                               const std::array<std::string_view, S>& separators,
                               const std::array<std::string_view, T>& trimmed) {
    std::vector<std::string> numbers;
    SeenNumbers seen(numbers);
    const auto take = [&](std::size_t from, std::size_t to) {
        const std::string_view number = Trim(text.substr(from, to - from), codePage, trimmed);
        if (!number.empty() && seen.IsNew(number)) {
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

// A list saved as "Unicode" by Notepad or Excel: UTF-16 behind its byte
// order mark, in either byte order. Nothing when text has no such mark. An odd
// last byte is no character and is dropped.
std::optional<std::string> FromUtf16(std::string_view text) {
    const bool little = text.starts_with("\xFF\xFE");
    if (!little && !text.starts_with("\xFE\xFF")) {
        return std::nullopt;
    }
    std::u16string wide;
    wide.reserve(text.size() / 2);
    for (std::size_t i = 2; i + 1 < text.size(); i += 2) {
        const auto first = static_cast<unsigned char>(text[i]);
        const auto second = static_cast<unsigned char>(text[i + 1]);
        const auto unit = static_cast<char16_t>(little ? first | second << 8 : first << 8 | second);
        // A code page without the wide separators (none has the zero-width
        // space; a Western one has none of them) would turn them into "?",
        // part of a number: they become their ASCII twins here already.
        switch (unit) {
            case u'\u3000':
            case u'\u200B':
                wide.push_back(u' ');
                break;
            case u'\uFF0C':
            case u'\u3001':
                wide.push_back(u',');
                break;
            case u'\uFF1B':
                wide.push_back(u';');
                break;
            default:
                wide.push_back(unit);
                break;
        }
    }
    return platform::Utf16ToNarrow(wide);
}

}  // namespace

std::vector<std::string> SplitBatchNumbers(std::string_view text, platform::CodePage codePage) {
    if (const std::optional<std::string> narrow = FromUtf16(text)) {
        return SplitBatchNumbers(*narrow, codePage);
    }
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
