// The program's configuration file, RunDirectory + "/data/chengjing.ini".
//
// Sections and keys in use:
//   [syml]   title = folders of the directory list, each followed by "*/*"
//   [syml_p] title = "1" for every list created in the settings
//   [syml_a] title = type filter text of the list
//   [syjs]   n     = number of records in index shard n
//   [ckzt]   zt    = window-size option 0, 1 or 2; kd, gd = width, height (option 2)
//   [sjms]   ma    = double-click option 0, 1 or 2
//   [xcs]    ma    = thread count as shown in the selector
//   [mbml]   ma    = copy target folder
// Numbers are decimal text; see TextToInt for how they read back.
//
// Thread-safe: the refresh thread writes shard counts and search workers read
// them while the UI thread reads and writes settings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cj::core {

struct SectionItems {
    std::vector<std::string> keys;
    std::vector<std::string> values;  // values[i] belongs to keys[i]
};

class ConfigFile {
public:
    // path is the full path of the INI file.
    explicit ConfigFile(std::string path) : m_path(std::move(path)) {}

    const std::string& Path() const { return m_path; }

    // The value, whole, or "" when the file, section or key is missing or the
    // key is empty.
    std::string ReadItem(std::string_view section, std::string_view key) const;

    // Creates section and key as needed. Returns false, changing nothing, when
    // the file cannot be written (for example, the data folder is missing) or
    // the text cannot be stored (a line break in it, "=" in the key, "]" in the
    // section).
    bool WriteItem(std::string_view section, std::string_view key, std::string_view value) const;

    bool DeleteItem(std::string_view section, std::string_view key) const;
    bool DeleteSection(std::string_view section) const;

    // The items of the section in file order. Each entry is split at its first
    // "=": the key before it, the value after it.
    SectionItems ReadSection(std::string_view section) const;

private:
    std::string m_path;
};

}  // namespace cj::core
