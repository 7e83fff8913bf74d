// The settings the program keeps in RunDirectory + "/data/chengjing.ini",
// typed. The names of the file's sections and keys live in settings_file.cpp
// and nowhere else.
//
// The file (the profile format of platform/profile.h, CR LF line ends):
//   [syml]   title = folders of the directory list, each followed by "*/*"
//   [syml_p] title = "1" for every list created in the settings
//   [syml_a] title = type filter text of the list
//   [syjs]   n     = number of records in index shard n
//   [ckzt]   zt    = window-size option 0, 1 or 2; kd, gd = width, height (option 2)
//   [sjms]   ma    = double-click option 0, 1 or 2
//   [xcs]    ma    = thread count: the index's shard count, written by its commit only
//   [mbml]   ma    = copy target folder
//   [ppms]   ma    = keyword matching: 1 ignores ASCII case and full-width
//                    forms, anything else is the exact byte match
//   [tmwj]   ma    = same-name files: 1 keeps both, anything else skips
// Numbers are decimal text, read as TextToInt reads them: missing or
// non-numeric text is 0. Titles and keys match ASCII case-insensitively and the
// first of a name wins.
//
// Thread-safe, as ConfigFile is. Reads never fail: a file, section or key that
// cannot be read reads as missing. Writes return the failure, if any, and then
// change nothing: the system's error (a missing data folder is ENOENT) or
// std::errc::invalid_argument for text the file cannot hold. Every write goes
// to the same file, Path().
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/config_file.h"
#include "core/same_name_rule.h"

namespace cj::core {

struct DirectoryList {
    std::string title;                 // Its name; see IsStorableListTitle.
    std::vector<std::string> folders;  // In display order.
    std::string filter;                // Type-filter text ("mp3|.flac"); "" passes every file.
    bool created = false;              // Created on the settings page.
};

// Whether a title can be stored and read back as it is: not empty, no blank at
// either end, no "[", "]", "=", line break or NUL, not starting with ";".
bool IsStorableListTitle(std::string_view title);

// Whether folders can be stored as one list's folders and read back as they
// are: none empty or holding a line break or NUL, none holding "*/*" or
// running into the separator (ending in "*/"), the first not starting with a
// blank (the file trims values).
bool AreStorableFolders(std::span<const std::string> folders);

enum class WindowSizeOption { Default = 0, Maximised = 1, Remembered = 2 };

struct WindowState {
    // Empty when the file holds a number outside 0..2 (a hand edit, another
    // version): the window opens at its default size and checks no option, and
    // the shutdown save leaves zt, kd and gd as they are.
    std::optional<WindowSizeOption> option = WindowSizeOption::Default;
    int width = 0;   // Outer size in pixels, kept for Remembered only; 0 when
    int height = 0;  // missing or not a positive number.
};

enum class DoubleClickAction { AddToCopyList = 0, OpenFile = 1, CopyDirectly = 2 };

// A stored number 0..2 as its option; any other number gives nothing.
std::optional<WindowSizeOption> WindowSizeOptionFromNumber(std::int64_t number);
std::optional<DoubleClickAction> DoubleClickActionFromNumber(std::int64_t number);

struct ThreadCountSetting {
    std::string text;  // As stored: the selector's text; "" when missing.
    int count = 0;     // The count to use: ThreadCountFromText(text), 1..MaxThreadCount.
};

// Everything the window shows, read at start.
struct Settings {
    std::vector<DirectoryList> directoryLists;  // In file order.
    WindowState window;
    // Empty when the file holds a number outside 0..2: the program acts as for
    // AddToCopyList, the window checks no option and the shutdown save leaves
    // the number as it is until the user picks one.
    std::optional<DoubleClickAction> doubleClick = DoubleClickAction::AddToCopyList;
    ThreadCountSetting threadCount;
    std::string copyTarget;
    bool ignoreCaseAndWidth = false;             // Off unless the file holds 1.
    SameNameRule sameName = SameNameRule::Skip;  // Skip unless the file holds 1.
};

// What the window saves when it is destroyed. An empty member is not written,
// so that nothing stored is replaced by a value nobody chose or saw (the copy
// target is empty while its control does not exist). The thread count is not
// among them: it is the index's shard count, which only the index commit
// writes, so that a window left open across another program's refresh never
// stores a count the shards no longer have.
struct ShutdownSettings {
    WindowState window;
    std::optional<DoubleClickAction> doubleClick = DoubleClickAction::AddToCopyList;
    std::optional<std::string> copyTarget;
};

class SettingsFile {
  public:
    // path is the full path of the INI file.
    explicit SettingsFile(std::string path) : m_config(std::move(path)) {}
    // data/chengjing.ini under runDirectory (no trailing separator).
    static SettingsFile InRunDirectory(std::string_view runDirectory);

    const std::string& Path() const { return m_config.Path(); }

    Settings ReadAll() const;

    // Lists with an empty title, and later lists of a title met before, are
    // left out: they cannot be read, saved or deleted on their own.
    std::vector<DirectoryList> ReadDirectoryLists() const;
    std::optional<DirectoryList> ReadDirectoryList(std::string_view title) const;
    // Creates or replaces the list of that title in one rewrite of the file
    // (an empty filter and created == false remove their keys). Refused with
    // invalid_argument: a title IsStorableListTitle refuses, a folder that is
    // empty, holds a line break or NUL or would not read back as it is
    // (holding "*/*"), a filter with a line break.
    std::error_code TrySaveDirectoryList(const DirectoryList& list) const;
    // Removes the list's folders, filter and created mark. No such list is success.
    std::error_code TryDeleteDirectoryList(std::string_view title) const;
    // The settings page's edits of one item of a list, each leaving the list's
    // other items as they are. Refused with invalid_argument as
    // TrySaveDirectoryList refuses.
    //   TryCreateDirectoryList: the list without folders, marked created; a
    //     filter stored under the title stays.
    //   TrySaveListFolders: the list's folders (a list without a created mark
    //     or filter is a list all the same: its folders make it one).
    //   TrySaveListFilter: the type filter; empty removes it.
    std::error_code TryCreateDirectoryList(std::string_view title) const;
    std::error_code TrySaveListFolders(std::string_view title,
                                       std::span<const std::string> folders) const;
    std::error_code TrySaveListFilter(std::string_view title, std::string_view filter) const;

    WindowState ReadWindowState() const;
    std::optional<DoubleClickAction> ReadDoubleClickAction() const;
    ThreadCountSetting ReadThreadCount() const;
    std::string ReadCopyTarget() const;
    bool ReadIgnoreCaseAndWidth() const;
    SameNameRule ReadSameNameRule() const;

    // Writes zt, and kd and gd for Remembered only. An empty option writes nothing.
    std::error_code TrySaveWindowState(const WindowState& state) const;
    std::error_code TrySaveDoubleClickAction(DoubleClickAction action) const;
    std::error_code TrySaveThreadCount(std::string_view text) const;
    std::error_code TrySaveCopyTarget(std::string_view folder) const;
    std::error_code TrySaveIgnoreCaseAndWidth(bool ignore) const;
    std::error_code TrySaveSameNameRule(SameNameRule rule) const;

    // Writes, in this order: the window state; the double-click action; the
    // copy target. A failed write does not stop the ones
    // after it; the first failure is returned.
    std::error_code TrySaveShutdownSettings(const ShutdownSettings& settings) const;

    // The record count of index shard n (from 1): missing, non-numeric or
    // negative is 0.
    std::uint64_t ReadShardCount(int n) const;
    // The counts of shards 1..shardCount in one read of the file: element
    // n - 1 is ReadShardCount(n).
    std::vector<std::uint64_t> ReadShardCounts(int shardCount) const;
    // Whether the file holds any shard count: every index commit stores one
    // for each shard, 0 included, so a folder never refreshed has none.
    bool HoldsShardCounts() const;
    // The index's counts as one rewrite of the file, all or nothing: counts[n
    // - 1] becomes shard n's count, every other item of the shard counts'
    // section goes, and the thread count becomes threadCount when given. For
    // the index commit only (index/index_commit.h), which holds the data
    // folder's Index lock so that no other writer of these items runs.
    std::error_code TryWriteIndexCounts(std::span<const std::uint64_t> counts,
                                        std::optional<int> threadCount) const;

    // Removes the temporary files of writes killed before their rename.
    std::error_code TryRemoveWriteLeftovers() const { return m_config.TryRemoveWriteLeftovers(); }

  private:
    ConfigFile m_config;
};

}  // namespace cj::core
