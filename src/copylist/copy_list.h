// The copy list: the files the user collected from the search rows, to be
// copied together into one folder. A UI-free model; the window shows it
// through CopyListView and asks it for its totals. UI thread only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_set>
#include <vector>

#include "search/result_records.h"

namespace cj::copylist {

// One entry: a path and the size it was counted with when it was added.
struct CopyEntry {
    std::string path;
    // The file's size in bytes when the entry was added (symbolic links
    // followed; 0 for a folder), or -1 when nothing was found at path.
    // Removing the entry subtracts exactly this from the list's total.
    std::int64_t countedSize = -1;
};

// The rows of the list as the window shows them: one row per entry, in the
// same order. The view derives the name and size columns from each entry.
class CopyListView {
  public:
    // Appends one row per entry, after the last row.
    virtual void AppendRows(std::span<const CopyEntry> entries) = 0;
    // Removes the rows whose numbers (from 1) are given, in ascending order,
    // in one pass; the rows after them move up.
    virtual void RemoveRows(std::span<const std::size_t> rows) = 0;
    virtual void RemoveAllRows() = 0;
    // Repaints the rows after a change.
    virtual void Redraw() = 0;

  protected:
    ~CopyListView() = default;
};

// An entry is one path: the list holds no path twice. Paths compare byte for
// byte, on Windows too: the rows come from one index, whose walk spells every
// file one way, and a case-folded compare in the active code page would need
// the file system's own case table to be right.
class CopyList {
  public:
    // backupPath: data/Backup.txt of the run directory, written by the
    // automatic backup (see AddHit). view may be null (the command line, tests).
    CopyList(std::string backupPath, CopyListView* view);

    // Adds search row `row` (from 1) of results. A row whose path is not in
    // the list becomes InCopyList and its path an entry; every other row of
    // results with that path shows InCopyList too. A row whose path is in the
    // list adds nothing: it becomes AddedAgain when it was marked as in the
    // list already, InCopyList otherwise. Row 0 or a row beyond the last does
    // nothing. Every sixth single addition since the last automatic backup
    // (or Clear) writes the backup file. Returns whether an entry was added.
    bool AddHit(search::ResultsArray& results, std::size_t row);

    // Adds every row of rows (ascending, from 1) as AddHit does, in one batch:
    // one AppendRows, and no automatic backup. Returns the entries added.
    std::size_t AddHits(search::ResultsArray& results, std::span<const std::size_t> rows);

    // Appends one entry for path, measuring its size now, as a single
    // addition (the automatic backup counts it); a path in the list already
    // adds nothing. Returns whether it was added.
    bool AppendEntry(std::string_view path);

    // Whether path is the path of an entry.
    bool Contains(std::string_view path) const;

    // Makes every row's mark say whether its path is in the list: None rows
    // whose path is in it become InCopyList, InCopyList and AddedAgain rows
    // whose path is not become None. CopiedDirectly stays: it tells of a copy,
    // not of the list. For a new search's rows, and after entries went.
    void MarkRows(search::ResultsArray& results) const;

    // Removes the entries of the given rows (ascending, from 1; rows beyond
    // the last are ignored), subtracting each one's counted size. Linear in
    // the list's length, whatever the number removed.
    void RemoveRows(std::span<const std::size_t> rows);

    // Empties the list and resets the totals and the automatic backup counter.
    void Clear();

    // Writes data/Backup.txt from the current entries (atomically). Returns
    // the failure; the previous backup then stays whole.
    std::error_code TryWriteBackup();

    // Writes the backup when the list changed since the backup was last
    // written or restored, so that nothing collected is lost when the list
    // goes (the window closing). An empty list writes nothing: the user who
    // cleared the list did not ask to lose the backup too. Returns the
    // failure of the write, if one was made.
    std::error_code TryBackUpChanges();

    // Replaces the list with the paths of the backup file: the list is
    // emptied first (the automatic backup counter keeps its value), then one
    // entry per path, sizes measured now; a path the file holds twice gives
    // one entry. A missing or unreadable file leaves the list empty and is
    // returned.
    std::error_code RestoreBackup();

    std::size_t Count() const { return m_entries.size(); }
    // The sum of the entries' counted sizes (may be negative when every
    // entry's file has gone).
    std::int64_t Bytes() const { return m_bytes; }
    // Single additions since the last automatic backup, 0 to 5.
    int AutoBackupCounter() const { return m_autoBackupCounter; }
    const std::vector<CopyEntry>& Entries() const { return m_entries; }
    // Counts every change of the entries; equal revisions mean equal lists.
    std::uint64_t Revision() const { return m_revision; }
    // Whether the entries changed since the backup was last written or restored.
    bool HasUnsavedChanges() const { return m_revision != m_backupRevision; }

  private:
    // Hashes a std::string and a std::string_view alike, so that a path is
    // looked up without being copied.
    struct PathHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view path) const {
            return std::hash<std::string_view>()(path);
        }
    };

    // Appends an entry for path, measured now, unless the list holds the path
    // already; the caller shows it. Returns whether it was added.
    bool PushEntry(std::string path);
    // Forgets every entry, keeping the automatic backup counter.
    void DropEntries();

    std::string m_backupPath;
    CopyListView* m_view;
    std::vector<CopyEntry> m_entries;
    // The paths of m_entries. Its own copies: the entries' strings move when
    // the vector grows or rows are removed, and a short string's bytes move
    // with it.
    std::unordered_set<std::string, PathHash, std::equal_to<>> m_paths;
    // One bit per TailKey of every path added since the list was last
    // emptied (removals leave their bits): a row whose bit is clear is not in
    // the list, known without hashing its whole path. Marking a million rows
    // against a list of a thousand took 140-200 ms with the hash alone.
    std::array<std::uint64_t, 1024> m_tailBits{};
    std::int64_t m_bytes = 0;
    int m_autoBackupCounter = 0;
    std::uint64_t m_revision = 0;
    std::uint64_t m_backupRevision = 0;  // m_revision when the backup matched the entries.
};

// The counted size of path, measured now: its size, 0 for a folder, -1 when
// nothing is there.
std::int64_t CountedSize(const std::string& path);

// The size column's text of an entry, from the size it was counted with (no
// second look at the file): "0 B" for an empty file or a folder,
// shell::UnknownSizeText when nothing was found.
std::string EntrySizeText(const CopyEntry& entry);

}  // namespace cj::copylist
