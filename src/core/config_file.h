// The program's configuration file, RunDirectory + "/data/chengjing.ini", as
// untyped sections, keys and values. The program reads and writes it through
// the typed settings module (core/settings_file.h), which documents its
// sections and keys; this class is the layer beneath.
//
// Thread-safe: the refresh thread writes shard counts and search workers read
// them while the UI thread reads and writes settings. Safe across processes
// too: every write holds the Config lock of the file's folder
// (core/data_lock.h) through its whole read-modify-write, so that two programs
// writing at once never drop each other's changes. Reads take no lock: the file
// is only ever replaced whole.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/file_lock.h"
#include "platform/profile.h"

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

    // The write calls return the failure, if any, changing nothing then: the
    // system's error when the file cannot be read or written (a missing data
    // folder is ENOENT), std::errc::invalid_argument when the text cannot be
    // stored (a line break in it, "=" in the key, "]" in the section).
    // Creates section and key as needed.
    std::error_code TryWriteItem(std::string_view section, std::string_view key,
                                 std::string_view value) const;
    // Nothing to delete is success.
    std::error_code TryDeleteItem(std::string_view section, std::string_view key) const;
    // Every edit in one rewrite of the file: all or nothing.
    std::error_code TryEdit(std::span<const platform::ProfileEdit> edits) const;

    // The items of the section in file order. Each entry is split at its first
    // "=": the key before it, the value after it (trimmed; quotes around it
    // are kept, see platform::UnquoteProfileValue).
    SectionItems ReadSection(std::string_view section) const;

    // Removes the temporary files of writes that were killed before their
    // rename (under the Config lock, so no live write loses its file). Goes
    // on past a failure; returns the first.
    std::error_code TryRemoveWriteLeftovers() const;

  private:
    // Takes the Config lock, waiting while another write runs.
    std::error_code TryLockForWrite(platform::FileLock& lock) const;

    std::string m_path;
};

}  // namespace cj::core
