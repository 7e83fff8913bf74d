#include "search/keywords.h"

#include "core/text_rules.h"

namespace cj::search {

KeywordSet::KeywordSet(std::string_view text, platform::CodePage codePage)
    : m_keywords(core::SplitText(text, " ")), m_codePage(codePage) {
    for (const std::string& keyword : m_keywords) {
        if (keyword.size() > m_anchor.size()) {
            m_anchor = keyword;
        }
    }
}

bool KeywordSet::MatchesName(std::string_view name) const {
    for (const std::string& keyword : m_keywords) {
        if (!KeywordOccurs(name, keyword, m_codePage)) {
            return false;
        }
    }
    return true;
}

bool KeywordOccurs(std::string_view name, std::string_view keyword, platform::CodePage codePage) {
    if (keyword.empty()) {
        return !name.empty();
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
