#include "copylist/copy_list.h"

#include <algorithm>
#include <limits>

#include "copylist/list_backup.h"
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
    return shell::SizeTextForBytes(
        entry.countedSize > 0 ? static_cast<std::uint64_t>(entry.countedSize) : 0U);
}

CopyList::CopyList(std::string backupPath, CopyListView* view)
    : m_backupPath(std::move(backupPath)), m_view(view) {}

bool CopyList::AddHit(search::ResultsArray& results, std::size_t row) {
    if (row == 0 || row > results.Count()) {
        return false;
    }
    const search::CopyMark mark = results.Mark(row);
    if (mark == search::CopyMark::InCopyList || mark == search::CopyMark::AddedAgain) {
        results.SetMark(row, search::CopyMark::AddedAgain);
        return false;
    }
    results.SetMark(row, search::CopyMark::InCopyList);
    AppendEntry(results.Path(row));
    return true;
}

std::size_t CopyList::AddHits(search::ResultsArray& results, std::span<const std::size_t> rows) {
    const std::size_t first = m_entries.size();
    ReserveFor(m_entries, rows.size());
    for (const std::size_t row : rows) {
        if (row == 0 || row > results.Count()) {
            continue;
        }
        const search::CopyMark mark = results.Mark(row);
        if (mark == search::CopyMark::InCopyList || mark == search::CopyMark::AddedAgain) {
            results.SetMark(row, search::CopyMark::AddedAgain);
            continue;
        }
        results.SetMark(row, search::CopyMark::InCopyList);
        std::string path(results.Path(row));
        const std::int64_t size = CountedSize(path);
        m_entries.push_back({std::move(path), size});
        m_bytes += size;
    }
    const std::size_t added = m_entries.size() - first;
    // A batch is the user's one action: the view takes it as one append, and
    // it does not count towards the automatic backup.
    if (added > 0 && m_view != nullptr) {
        m_view->AppendRows(std::span<const CopyEntry>(m_entries).subspan(first));
    }
    return added;
}

void CopyList::AppendEntry(std::string_view path) {
    std::string owned(path);
    const std::int64_t size = CountedSize(owned);
    ReserveFor(m_entries, 1);
    m_entries.push_back({std::move(owned), size});
    m_bytes += size;
    if (m_view != nullptr) {
        m_view->AppendRows(std::span<const CopyEntry>(m_entries).last(1));
    }
    if (m_autoBackupCounter < AutoBackupEvery - 1) {
        ++m_autoBackupCounter;
        return;
    }
    // The rows are shown before the file is written, so the user sees the
    // sixth addition while the disk works. A failed automatic backup is not
    // reported: the list itself is whole, and the next backup tries again.
    if (m_view != nullptr) {
        m_view->Redraw();
    }
    static_cast<void>(TryWriteBackup());
    m_autoBackupCounter = 0;
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
    if (m_view != nullptr) {
        m_view->RemoveRows(removed);
        m_view->Redraw();
    }
}

void CopyList::Clear() {
    // Gives the memory back: a cleared list of a million entries should not
    // keep holding their room.
    std::vector<CopyEntry>().swap(m_entries);
    m_bytes = 0;
    m_autoBackupCounter = 0;
    if (m_view != nullptr) {
        m_view->RemoveAllRows();
    }
}

std::error_code CopyList::TryWriteBackup() const {
    return TryWriteBackupFile(m_backupPath, m_entries);
}

std::error_code CopyList::RestoreBackup() {
    // The list is emptied before the file is read: a missing backup leaves an
    // empty list, not the old one, as the user was told it would be replaced.
    std::vector<CopyEntry>().swap(m_entries);
    m_bytes = 0;
    if (m_view != nullptr) {
        m_view->RemoveAllRows();
    }
    std::vector<std::string> paths;
    if (const std::error_code error = TryReadBackupFile(m_backupPath, paths)) {
        return error;
    }
    m_entries.reserve(paths.size());
    for (std::string& path : paths) {
        const std::int64_t size = CountedSize(path);
        m_entries.push_back({std::move(path), size});
        m_bytes += size;
    }
    if (m_view != nullptr) {
        if (!m_entries.empty()) {
            m_view->AppendRows(m_entries);
        }
        m_view->Redraw();
    }
    return {};
}

}  // namespace cj::copylist
