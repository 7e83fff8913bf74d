// INI profile service: sections, keys and values in a text file, read and
// written with the behaviour of the Windows profile functions.
//
// Format, as read:
//   - A UTF-8 byte-order mark at the start is skipped (and kept on rewrite).
//   - Lines end at LF; a CR before the LF is dropped. Lines we add end in CR LF;
//     lines we keep keep their own ending.
//   - "[name]" opens a section; blanks around the line and inside the brackets
//     are ignored. Lines before the first section belong to no section.
//   - "key=value" is an item; blanks around key and value are trimmed, and a
//     value wrapped in matching single or double quotes loses them.
//   - Lines beginning with ";" are comments. Blank lines and comments are kept
//     in place on rewrite.
//   - Section and key names match ASCII case-insensitively; the first matching
//     section and the first matching key in it win.
//
// Every write replaces the whole file atomically (a temporary file in the same
// folder, then a rename), so a crash or a full disk leaves the previous file
// intact. A missing folder makes writes fail and creates nothing. All calls are
// thread-safe: they are serialised within the process.
//
// Texts are in the platform's multibyte encoding (UTF-8 on Linux) and are
// returned whole, whatever their length.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cj::platform {

// The value of section/key, or "" when the file, section or key is missing or
// the key is empty.
std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key);

// Creates the file, the section and the key as needed and sets the value.
// Returns false, writing nothing, when the file cannot be written or when the
// section, key or value cannot be held by the format: a line break or NUL
// anywhere, an empty key or section, a key starting with "[" or ";" or holding
// "=", a section holding "]".
bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);

// Removes every item named key from every section named section. Returns true
// when the file is as asked afterwards (including when there was nothing to do).
bool DeleteProfileKey(const std::string& path, std::string_view section, std::string_view key);

// Removes every section named section with all its lines.
bool DeleteProfileSection(const std::string& path, std::string_view section);

struct ProfileItem {
    std::string key;
    std::string value;  // Trimmed; quotes are kept, as the section read does on Windows.
};

// The items of the first section named section, in file order. A line without
// "=" is an item with an empty value; comments and blank lines are skipped.
std::vector<ProfileItem> ReadProfileSection(const std::string& path, std::string_view section);

}  // namespace cj::platform
