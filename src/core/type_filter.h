// The type filter of a directory list, as typed in the settings:
// "mp3|ape|.flac" or "*.jpg|*.png". A file name passes when it ends with one
// of the members, compared with ASCII letters folded to lower case (multibyte
// characters are compared as they are). Blanks around a member are dropped,
// and each member reads as:
//   - "*", ".*" or "*.*": every name passes (and so do the empty text and
//     those texts alone);
//   - "*" and more: the rest as it stands, the star standing for any start of
//     the name, so "*.jpg" tests ".jpg" and "*_scan.pdf" tests "_scan.pdf";
//   - anything else gets a leading "." when it has none, so "mp3" tests ".mp3"
//     and "tar.gz" tests ".tar.gz" (an empty member tests a lone ".").
// No other character is a wildcard: "SF*.jpg" tests that text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cj::core {

class TypeFilter {
  public:
    explicit TypeFilter(std::string_view text);

    bool MatchesAll() const { return m_matchesAll; }

    // name is the file name alone, not a path.
    bool Matches(std::string_view name) const;

  private:
    bool m_matchesAll = false;
    std::vector<std::string> m_endings;  // Lower-cased.
};

}  // namespace cj::core
