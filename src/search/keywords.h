// The keywords of a search and the rule that decides whether a file name
// holds them all.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

namespace cj::search {

class KeywordSet {
  public:
    // Splits text at every single space: "ab cd" is two keywords, "a  b" is
    // three (the middle one empty), a trailing space adds none and an empty
    // text gives no keywords at all. Text and names are in codePage.
    explicit KeywordSet(std::string_view text,
                        platform::CodePage codePage = platform::ActiveCodePage());

    const std::vector<std::string>& Keywords() const { return m_keywords; }
    platform::CodePage CodePage() const { return m_codePage; }

    // True when every keyword occurs in name (a file name, never a path):
    // its bytes appear in name, byte for byte and case-sensitive, starting at a
    // character boundary of name. An empty keyword occurs in every non-empty
    // name. With no keywords every name matches, the empty one too.
    bool MatchesName(std::string_view name) const;

    // The longest keyword: every matching name contains it, so a scan can look
    // for it alone and test the other keywords only where it occurs. Empty when
    // there are no keywords or all are empty.
    std::string_view Anchor() const { return m_anchor; }

  private:
    std::vector<std::string> m_keywords;
    std::string m_anchor;
    platform::CodePage m_codePage;
};

// Whether keyword occurs in name by the rule above.
bool KeywordOccurs(std::string_view name, std::string_view keyword, platform::CodePage codePage);

}  // namespace cj::search
