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

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace cj::platform {

// The value of section/key, or "" when the file, section or key is missing or
// the key is empty.
std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key);

// The write calls return the failure, if any: the errno value of the read,
// write or rename that failed (a missing folder is ENOENT), or
// std::errc::invalid_argument for a section, key or value the format cannot
// hold: a line break or NUL anywhere, an empty key or section, a key starting
// with "[" or ";" or holding "=", a section holding "]". On failure the file is
// left as it was. A file that exists but cannot be read is never replaced.
// (Named Try... also so as not to meet the Windows header's profile macros.)

// Creates the file, the section and the key as needed and sets the value.
std::error_code TryWriteProfileString(const std::string& path, std::string_view section,
                                      std::string_view key, std::string_view value);

// Removes every item named key from every section named section. Nothing to
// remove (no file, section or key) is success.
std::error_code TryDeleteProfileKey(const std::string& path, std::string_view section,
                                    std::string_view key);

// Removes every section named section with all its lines.
std::error_code TryDeleteProfileSection(const std::string& path, std::string_view section);

// One change of a batch: sets section/key to *value, or removes the key (every
// copy, as TryDeleteProfileKey does) when value is empty.
struct ProfileEdit {
    std::string_view section;
    std::string_view key;
    std::optional<std::string_view> value;
};

// Applies the edits in order in one rewrite of the file, so that readers see
// all of them or none. Every edit is checked before anything is written: one
// that cannot be stored refuses the whole batch.
std::error_code TryEditProfile(const std::string& path, std::span<const ProfileEdit> edits);

// Whether two section or key names are the same name: ASCII letters match
// case-insensitively, other bytes exactly.
bool IsSameProfileName(std::string_view a, std::string_view b);

// A value as ReadProfileString returns it, from the trimmed text of an item:
// one pair of matching single or double quotes around it goes.
std::string_view UnquoteProfileValue(std::string_view value);

struct ProfileItem {
    std::string key;
    std::string value;  // Trimmed; quotes are kept, as the section read does on Windows.
};

// The items of the first section named section, in file order. A line without
// "=" is an item with an empty value; comments and blank lines are skipped.
std::vector<ProfileItem> ReadProfileSection(const std::string& path, std::string_view section);

}  // namespace cj::platform
