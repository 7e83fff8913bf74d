// The copy list: the files the user collected from the search rows, to be
// copied together into one folder. A UI-free model; the window shows it
// through CopyListView and asks it for its totals. UI thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
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

class CopyList {
  public:
    // backupPath: data/Backup.txt of the run directory, written by the
    // automatic backup (see AddHit). view may be null (the command line, tests).
    CopyList(std::string backupPath, CopyListView* view);

    // Adds search row `row` (from 1) of results: a row marked None or
    // CopiedDirectly becomes InCopyList and its path an entry; a row already
    // InCopyList or AddedAgain becomes AddedAgain and nothing is added. Row 0
    // or a row beyond the last does nothing. Every sixth single addition
    // since the last automatic backup (or Clear) writes the backup file.
    // Returns whether an entry was added.
    bool AddHit(search::ResultsArray& results, std::size_t row);

    // Adds every row of rows (ascending, from 1) as AddHit does, in one batch:
    // one AppendRows, and no automatic backup. Returns the entries added.
    std::size_t AddHits(search::ResultsArray& results, std::span<const std::size_t> rows);

    // Appends one entry for path, measuring its size now, as a single
    // addition (the automatic backup counts it).
    void AppendEntry(std::string_view path);

    // Removes the entries of the given rows (ascending, from 1; rows beyond
    // the last are ignored), subtracting each one's counted size. Linear in
    // the list's length, whatever the number removed.
    void RemoveRows(std::span<const std::size_t> rows);

    // Empties the list and resets the totals and the automatic backup counter.
    void Clear();

    // Writes data/Backup.txt from the current entries (atomically). Returns
    // the failure; the previous backup then stays whole.
    std::error_code TryWriteBackup() const;

    // Replaces the list with the paths of the backup file: the list is
    // emptied first (the automatic backup counter keeps its value), then one
    // entry per path, sizes measured now. A missing or unreadable file leaves
    // the list empty and is returned.
    std::error_code RestoreBackup();

    std::size_t Count() const { return m_entries.size(); }
    // The sum of the entries' counted sizes (may be negative when every
    // entry's file has gone).
    std::int64_t Bytes() const { return m_bytes; }
    // Single additions since the last automatic backup, 0 to 5.
    int AutoBackupCounter() const { return m_autoBackupCounter; }
    const std::vector<CopyEntry>& Entries() const { return m_entries; }

  private:
    std::string m_backupPath;
    CopyListView* m_view;
    std::vector<CopyEntry> m_entries;
    std::int64_t m_bytes = 0;
    int m_autoBackupCounter = 0;
};

// The counted size of path, measured now: its size, 0 for a folder, -1 when
// nothing is there.
std::int64_t CountedSize(const std::string& path);

// The size column's text of an entry, from the size it was counted with (no
// second look at the file): "0" for an empty file, a folder or nothing found.
std::string EntrySizeText(const CopyEntry& entry);

}  // namespace cj::copylist
