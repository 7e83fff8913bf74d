// The type filter of a directory list, as typed in the settings:
// "mp3|ape|.flac". A file name passes when it ends with one of the members,
// compared with ASCII letters folded to lower case (multibyte characters are
// compared as they are). A member without a leading "." gets one, so "mp3"
// tests ".mp3" and "tar.gz" tests ".tar.gz". The texts "", "*", ".*" and
// "*.*" pass everything.
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
    std::vector<std::string> m_endings;  // Lower-cased, each starting with ".".
};

}  // namespace cj::core
