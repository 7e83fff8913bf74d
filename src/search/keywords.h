// The keywords of a search and the rule that decides whether a file name
// holds them all.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

namespace cj::search {

// How a keyword's bytes are held against a name's.
enum class MatchRule {
    Exact,  // Byte for byte: case and width count.
    // ASCII letters match in either case, and the full-width forms U+FF01 to
    // U+FF5E (typed in an input method's full-width mode) match their ASCII
    // twins, U+0021 to U+007E. Every other character still matches byte for
    // byte.
    IgnoreCaseAndWidth,
};

// text with every full-width form turned into its ASCII twin and every ASCII
// letter into lower case, character by character in codePage (a GBK trail
// byte that looks like a letter is left alone): a keyword as
// MatchRule::IgnoreCaseAndWidth compares it.
std::string FoldText(std::string_view text, platform::CodePage codePage);
// The same into out, reusing its memory.
void FoldTextInto(std::string_view text, platform::CodePage codePage, std::string& out);

// Whether foldedKeyword (FoldText's) occurs in name at pos under
// MatchRule::IgnoreCaseAndWidth, pos being a character boundary of name.
// Allocates nothing.
bool OccursFoldedAt(std::string_view name, std::size_t pos, std::string_view foldedKeyword,
                    platform::CodePage codePage);

// The lead bytes of the full-width forms in codePage ("" when it has none):
// a scan under IgnoreCaseAndWidth tests every name that holds one.
std::string_view FullWidthLeadBytes(platform::CodePage codePage);

class KeywordSet {
  public:
    // Splits text at every single space: "ab cd" is two keywords, "a  b" is
    // three (the middle one empty), a trailing space adds none and an empty
    // text gives no keywords at all. Text and names are in codePage. Under
    // IgnoreCaseAndWidth the keywords are kept folded (FoldText), and the
    // ideographic space U+3000 splits them as a space does: it is the space
    // of the full-width mode in which such keywords are typed.
    explicit KeywordSet(std::string_view text,
                        platform::CodePage codePage = platform::ActiveCodePage(),
                        MatchRule rule = MatchRule::Exact);

    const std::vector<std::string>& Keywords() const { return m_keywords; }
    platform::CodePage CodePage() const { return m_codePage; }
    MatchRule Rule() const { return m_rule; }

    // True when every keyword occurs in name (a file name, never a path):
    // its bytes appear in name by the set's rule (byte for byte and
    // case-sensitive when Exact), starting at a character boundary of name. An empty keyword occurs
    // in every non-empty name. With no keywords every name matches, the empty one too.
    bool MatchesName(std::string_view name) const;

    // The longest keyword: every matching name contains it, so a scan can look
    // for it alone and test the other keywords only where it occurs. Empty when
    // there are no keywords or all are empty.
    std::string_view Anchor() const { return m_anchor; }

  private:
    std::vector<std::string> m_keywords;
    std::string m_anchor;
    platform::CodePage m_codePage;
    MatchRule m_rule;
};

// Whether keyword occurs in name by the rule above. Under IgnoreCaseAndWidth
// keyword must be folded (FoldText).
bool KeywordOccurs(std::string_view name, std::string_view keyword, platform::CodePage codePage,
                   MatchRule rule = MatchRule::Exact);

}  // namespace cj::search
