#include "search/keywords.h"

#include <algorithm>

#include "core/text_rules.h"

namespace cj::search {
namespace {

char AsciiLower(unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
}

// One character of a name or keyword under the folding rule.
struct FoldedChar {
    char twin = 0;           // Its lower-case ASCII twin; 0 when it has none.
    std::size_t length = 1;  // Its bytes.
};

// The full-width forms are EF BC 81..EF BD 9E in UTF-8. Code page 936 keeps
// them in the pairs A3 A1..A3 FE, but A3 A4 and A3 FE there are the yen sign
// and the macron; its full-width dollar and tilde are A1 E7 and A1 AB.
FoldedChar FoldedCharAt(std::string_view text, std::size_t pos, platform::CodePage codePage) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return {AsciiLower(lead), 1};
    }
    const std::size_t left = text.size() - pos;
    if (codePage == platform::CodePage::Utf8 && lead == 0xEF && left >= 3) {
        const unsigned char second = byte(1);
        const unsigned char third = byte(2);
        if (second == 0xBC && third >= 0x81 && third <= 0xBF) {
            return {AsciiLower(static_cast<unsigned char>(third - 0x60)), 3};
        }
        if (second == 0xBD && third >= 0x80 && third <= 0x9E) {
            return {AsciiLower(static_cast<unsigned char>(third - 0x20)), 3};
        }
    } else if (codePage == platform::CodePage::Gbk && left >= 2) {
        const unsigned char trail = byte(1);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFD && trail != 0xA4) {
            return {AsciiLower(static_cast<unsigned char>(trail - 0x80)), 2};
        }
        if (lead == 0xA1 && (trail == 0xE7 || trail == 0xAB)) {
            return {trail == 0xE7 ? '$' : '~', 2};
        }
    }
    return {0, platform::NextCharBoundary(text, pos, codePage) - pos};
}

// The ideographic space as the code page writes it.
std::string_view IdeographicSpace(platform::CodePage codePage) {
    switch (codePage) {
        case platform::CodePage::Utf8:
            return "\xE3\x80\x80";
        case platform::CodePage::Gbk:
            return "\xA1\xA1";
        case platform::CodePage::SingleByte:
            break;
    }
    return {};
}

std::vector<std::string> SplitKeywords(std::string_view text, platform::CodePage codePage,
                                       MatchRule rule) {
    if (rule == MatchRule::Exact) {
        return core::SplitText(text, " ");
    }
    const std::string_view wideSpace = IdeographicSpace(codePage);
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        if (!wideSpace.empty() && text.substr(pos, wideSpace.size()) == wideSpace) {
            folded += ' ';
            pos += wideSpace.size();
            continue;
        }
        const std::size_t next = platform::NextCharBoundary(text, pos, codePage);
        folded += FoldText(text.substr(pos, next - pos), codePage);
        pos = next;
    }
    return core::SplitText(folded, " ");
}

}  // namespace

std::string_view FullWidthLeadBytes(platform::CodePage codePage) {
    switch (codePage) {
        case platform::CodePage::Utf8:
            return "\xEF";
        case platform::CodePage::Gbk:
            return "\xA3\xA1";
        case platform::CodePage::SingleByte:
            break;
    }
    return {};
}

std::string FoldText(std::string_view text, platform::CodePage codePage) {
    std::string folded;
    FoldTextInto(text, codePage, folded);
    return folded;
}

void FoldTextInto(std::string_view text, platform::CodePage codePage, std::string& folded) {
    folded.clear();
    for (std::size_t pos = 0; pos < text.size();) {
        const FoldedChar c = FoldedCharAt(text, pos, codePage);
        if (c.twin != 0) {
            folded += c.twin;
        } else {
            folded.append(text.substr(pos, c.length));
        }
        pos += c.length;
    }
}

bool OccursFoldedAt(std::string_view name, std::size_t pos, std::string_view foldedKeyword,
                    platform::CodePage codePage) {
    for (std::size_t k = 0; k < foldedKeyword.size();) {
        if (pos >= name.size()) {
            return false;
        }
        const FoldedChar c = FoldedCharAt(name, pos, codePage);
        if (c.twin != 0 && foldedKeyword[k] == c.twin) {
            ++k;
        } else {
            // A keyword may end inside a character, as the exact rule allows.
            const std::size_t length = std::min(c.length, foldedKeyword.size() - k);
            if (name.substr(pos, length) != foldedKeyword.substr(k, length)) {
                return false;
            }
            k += length;
        }
        pos += c.length;
    }
    return true;
}

KeywordSet::KeywordSet(std::string_view text, platform::CodePage codePage, MatchRule rule)
    : m_keywords(SplitKeywords(text, codePage, rule)), m_codePage(codePage), m_rule(rule) {
    for (const std::string& keyword : m_keywords) {
        if (keyword.size() > m_anchor.size()) {
            m_anchor = keyword;
        }
    }
}

bool KeywordSet::MatchesName(std::string_view name) const {
    for (const std::string& keyword : m_keywords) {
        if (!KeywordOccurs(name, keyword, m_codePage, m_rule)) {
            return false;
        }
    }
    return true;
}

bool KeywordOccurs(std::string_view name, std::string_view keyword, platform::CodePage codePage,
                   MatchRule rule) {
    if (keyword.empty()) {
        return !name.empty();
    }
    if (rule == MatchRule::IgnoreCaseAndWidth) {
        // Stepping from boundary to boundary keeps GBK's boundary test, which
        // reads from the start of the name, out of the loop.
        for (std::size_t at = 0; at < name.size();
             at = platform::NextCharBoundary(name, at, codePage)) {
            if (OccursFoldedAt(name, at, keyword, codePage)) {
                return true;
            }
        }
        return false;
    }
    // A match that starts inside a character (the trail byte of a GBK pair,
    // say) is no match, but a later one may be.
    for (std::size_t at = name.find(keyword); at != std::string_view::npos;
         at = name.find(keyword, at + 1)) {
        if (platform::IsCharBoundary(name, at, codePage)) {
            return true;
        }
    }
    return false;
}

}  // namespace cj::search
