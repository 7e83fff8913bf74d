#include "core/type_filter.h"

#include "core/text_rules.h"

namespace cj::core {
namespace {

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Folded(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        c = FoldAscii(c);
    }
    return folded;
}

}  // namespace

TypeFilter::TypeFilter(std::string_view text) {
    for (const std::string& raw : SplitText(text, "|")) {
        // Blanks typed around a member ("mp3 | flac") are not part of it: no
        // file type begins or ends with one.
        const std::size_t first = raw.find_first_not_of(' ');
        std::string_view member(raw);
        member = first == std::string::npos
                     ? std::string_view()
                     : member.substr(first, raw.find_last_not_of(' ') - first + 1);
        if (member.starts_with('*')) {
            // The way people write a type in a file dialog: "*.jpg". The star
            // matches any start, so what follows it is the ending itself.
            const std::size_t stars = member.find_first_not_of('*');
            member.remove_prefix(stars == std::string_view::npos ? member.size() : stars);
            if (member.empty() || member == ".*") {
                m_matchesAll = true;
                return;
            }
            m_endings.push_back(Folded(member));
        } else if (member == ".*") {
            m_matchesAll = true;
            return;
        } else {
            m_endings.push_back(
                Folded(member.starts_with('.') ? std::string(member) : "." + std::string(member)));
        }
    }
    // An empty text has no members: everything passes.
    m_matchesAll = m_endings.empty();
}

bool TypeFilter::Matches(std::string_view name) const {
    if (m_matchesAll) {
        return true;
    }
    for (const std::string& ending : m_endings) {
        if (ending.size() > name.size()) {
            continue;
        }
        const std::string_view tail = name.substr(name.size() - ending.size());
        bool same = true;
        for (std::size_t i = 0; i < tail.size() && same; ++i) {
            same = FoldAscii(tail[i]) == ending[i];
        }
        if (same) {
            return true;
        }
    }
    return false;
}

}  // namespace cj::core
