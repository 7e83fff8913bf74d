#include "copylist/copy_list.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "copylist/list_backup.h"
#include "core/event_log.h"
#include "platform/files.h"
#include "shell/file_name.h"

namespace cj::copylist {
namespace {

// The automatic backup is written on every sixth single addition: the 6th,
// 12th, 18th ... since the last clear.
constexpr int AutoBackupEvery = 6;

// Makes room for more entries without giving up the vector's doubling: many
// small batches would otherwise reserve exactly, and copy the list each time.
void ReserveFor(std::vector<CopyEntry>& entries, std::size_t more) {
    const std::size_t needed = entries.size() + more;
    if (needed > entries.capacity()) {
        entries.reserve(std::max(needed, entries.capacity() * 2));
    }
}

}  // namespace

std::int64_t CountedSize(const std::string& path) {
    const platform::PathProbe probe = platform::ProbePath(path);
    if (!probe.exists) {
        return -1;
    }
    if (probe.isDirectory) {
        return 0;
    }
    constexpr auto Largest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    return static_cast<std::int64_t>(std::min(probe.size, Largest));
}

std::string EntrySizeText(const CopyEntry& entry) {
    if (entry.countedSize < 0) {
        return std::string(shell::UnknownSizeText);
    }
    return shell::SizeTextForBytes(static_cast<std::uint64_t>(entry.countedSize));
}

namespace {

// A cheap key of a path: its length and its last 16 bytes (the end of the
// file name, where the paths of one search differ), folded to a bit of
// CopyList::m_tailBits.
std::size_t TailKey(std::string_view path) {
    std::uint64_t last = 0;
    std::uint64_t before = 0;
    const std::size_t size = path.size();
    if (size == 0) {
        return 0;
    }
    const std::size_t lastBytes = std::min<std::size_t>(size, 8);
    std::memcpy(&last, path.data() + size - lastBytes, lastBytes);
    const std::size_t beforeBytes = std::min<std::size_t>(size - lastBytes, 8);
    std::memcpy(&before, path.data() + size - lastBytes - beforeBytes, beforeBytes);
    const std::uint64_t key =
        (last * 0x9E3779B97F4A7C15U) ^ ((before + size) * 0xC2B2AE3D27D4EB4FU);
    return static_cast<std::size_t>(key >> 48);  // 16 bits: 1024 words of 64.
}

}  // namespace

CopyList::CopyList(std::string backupPath, CopyListView* view)
    : m_backupPath(std::move(backupPath)), m_view(view) {}

bool CopyList::PushEntry(std::string path) {
    if (Contains(path)) {
        return false;
    }
    const std::int64_t size = CountedSize(path);
    ReserveFor(m_entries, 1);
    m_paths.insert(path);
    const std::size_t bit = TailKey(path);
    m_tailBits[bit / 64] |= std::uint64_t{1} << (bit % 64);
    m_entries.push_back({std::move(path), size});
    m_bytes += size;
    ++m_revision;
    return true;
}

bool CopyList::Contains(std::string_view path) const {
    // Most rows asked about are not in the list: a clear bit says so without
    // hashing the whole path.
    if (m_paths.empty()) {
        return false;
    }
    const std::size_t bit = TailKey(path);
    return (m_tailBits[bit / 64] >> (bit % 64) & 1U) != 0 && m_paths.contains(path);
}

namespace {

bool ShowsInList(search::CopyMark mark) {
    return mark == search::CopyMark::InCopyList || mark == search::CopyMark::AddedAgain;
}

// The mark of a row whose path the list holds once the user asked to add it.
search::CopyMark MarkOfListedRow(search::CopyMark before) {
    return ShowsInList(before) ? search::CopyMark::AddedAgain : search::CopyMark::InCopyList;
}

}  // namespace

bool CopyList::AddHit(search::ResultsArray& results, std::size_t row) {
    if (row == 0 || row > results.Count()) {
        return false;
    }
    const std::string_view path = results.Path(row);
    if (Contains(path)) {
        results.SetMark(row, MarkOfListedRow(results.Mark(row)));
        return false;
    }
    AppendEntry(path);
    // A batch lists a file once per number it matches: every row of it now
    // shows that the file is in the list. Comparing views costs little
    // beside the hash a full MarkRows would take of every path.
    for (std::size_t other = 1; other <= results.Count(); ++other) {
        if (results.Mark(other) == search::CopyMark::None && results.Path(other) == path) {
            results.SetMark(other, search::CopyMark::InCopyList);
        }
    }
    results.SetMark(row, search::CopyMark::InCopyList);
    return true;
}

std::size_t CopyList::AddHits(search::ResultsArray& results, std::span<const std::size_t> rows) {
    const std::size_t first = m_entries.size();
    ReserveFor(m_entries, rows.size());
    // One growth of the path set for a large batch, not one rehash per
    // doubling; doubling still, so that many small batches stay linear.
    if (const std::size_t needed = m_paths.size() + rows.size(); needed > m_paths.bucket_count()) {
        m_paths.reserve(std::max(needed, m_paths.size() * 2));
    }
    for (const std::size_t row : rows) {
        if (row == 0 || row > results.Count()) {
            continue;
        }
        const search::CopyMark before = results.Mark(row);
        if (!PushEntry(std::string(results.Path(row)))) {
            results.SetMark(row, MarkOfListedRow(before));
            continue;
        }
        results.SetMark(row, search::CopyMark::InCopyList);
    }
    const std::size_t added = m_entries.size() - first;
    if (added == 0) {
        return 0;
    }
    // Rows left out of the selection may name a file it added (a batch).
    MarkRows(results);
    // A batch is the user's one action: the view takes it as one append, and
    // it does not count towards the automatic backup.
    if (m_view != nullptr) {
        m_view->AppendRows(std::span<const CopyEntry>(m_entries).subspan(first));
    }
    return added;
}

bool CopyList::AppendEntry(std::string_view path) {
    if (!PushEntry(std::string(path))) {
        return false;
    }
    if (m_view != nullptr) {
        m_view->AppendRows(std::span<const CopyEntry>(m_entries).last(1));
    }
    if (m_autoBackupCounter < AutoBackupEvery - 1) {
        ++m_autoBackupCounter;
        return true;
    }
    // The rows are shown before the file is written, so the user sees the
    // sixth addition while the disk works. A failed automatic backup is not
    // shown: the list itself is whole, and the next backup tries again.
    if (m_view != nullptr) {
        m_view->Redraw();
    }
    if (const std::error_code error = TryWriteBackup()) {
        core::LogFailure("自动备份列表失败 " + m_backupPath, error);
    }
    m_autoBackupCounter = 0;
    return true;
}

void CopyList::MarkRows(search::ResultsArray& results) const {
    for (std::size_t row = 1; row <= results.Count(); ++row) {
        const search::CopyMark mark = results.Mark(row);
        if (mark == search::CopyMark::CopiedDirectly) {
            continue;
        }
        const bool listed = Contains(results.Path(row));
        if (listed && mark == search::CopyMark::None) {
            results.SetMark(row, search::CopyMark::InCopyList);
        } else if (!listed && ShowsInList(mark)) {
            results.SetMark(row, search::CopyMark::None);
        }
    }
}

void CopyList::RemoveRows(std::span<const std::size_t> rows) {
    // One pass that moves every kept entry up over the removed ones: removing
    // entries one by one would move the tail once per removal, quadratic for
    // "select all, delete".
    std::vector<std::size_t> removed;
    removed.reserve(std::min(rows.size(), m_entries.size()));
    auto next = rows.begin();
    std::size_t write = 0;
    for (std::size_t read = 0; read < m_entries.size(); ++read) {
        const std::size_t row = read + 1;
        // Row 0 and repeated numbers fall behind and are passed over.
        while (next != rows.end() && *next < row) {
            ++next;
        }
        if (next != rows.end() && *next == row) {
            // Exactly what adding it added: the file may have changed or gone
            // since, and a new measurement would leave the total off for good.
            m_bytes -= m_entries[read].countedSize;
            m_paths.erase(m_entries[read].path);
            removed.push_back(row);
            ++next;
            continue;
        }
        if (write != read) {
            m_entries[write] = std::move(m_entries[read]);
        }
        ++write;
    }
    if (removed.empty()) {
        return;
    }
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(write), m_entries.end());
    ++m_revision;
    if (m_view != nullptr) {
        m_view->RemoveRows(removed);
        m_view->Redraw();
    }
}

void CopyList::DropEntries() {
    // Gives the memory back: a cleared list of a million entries should not
    // keep holding their room.
    std::vector<CopyEntry>().swap(m_entries);
    decltype(m_paths)().swap(m_paths);
    m_tailBits.fill(0);
    m_bytes = 0;
    ++m_revision;
    if (m_view != nullptr) {
        m_view->RemoveAllRows();
    }
}

void CopyList::Clear() {
    DropEntries();
    m_autoBackupCounter = 0;
}

std::error_code CopyList::TryWriteBackup() {
    const std::error_code error = TryWriteBackupFile(m_backupPath, m_entries);
    if (!error) {
        m_backupRevision = m_revision;
    }
    return error;
}

std::error_code CopyList::TryBackUpChanges() {
    if (!HasUnsavedChanges() || m_entries.empty()) {
        return {};
    }
    return TryWriteBackup();
}

std::error_code CopyList::RestoreBackup() {
    // A missing backup leaves an empty list, not the old one, as the user was
    // told it would be replaced. A backup that is there but cannot be read (a
    // folder, a FIFO, no permission) leaves the list as it was: answering
    // "是否打开备份？" must not cost the clerk what was collected.
    std::vector<std::string> paths;
    const std::error_code error = TryReadBackupFile(m_backupPath, paths);
    if (error && error != std::errc::no_such_file_or_directory) {
        return error;
    }
    DropEntries();
    if (error) {
        return error;
    }
    m_entries.reserve(paths.size());
    m_paths.reserve(paths.size());
    for (std::string& path : paths) {
        // A file written before the list kept each path once may hold one twice.
        static_cast<void>(PushEntry(std::move(path)));
    }
    // The list is the backup's now: nothing to write until it changes.
    m_backupRevision = m_revision;
    if (m_view != nullptr) {
        if (!m_entries.empty()) {
            m_view->AppendRows(m_entries);
        }
        m_view->Redraw();
    }
    return {};
}

}  // namespace cj::copylist
