#include "ui/copy_list_rows.h"

#include <vector>

#include "shell/file_name.h"

namespace cj::ui {

void CopyListRows::AppendRows(std::span<const copylist::CopyEntry> entries) {
    // All rows in one message: a row at a time costs a repaint and a
    // scroll-bar update for each, about 30 us a row (3 s for 100,000).
    std::vector<ReportRowTexts> rows;
    rows.reserve(entries.size());
    for (const copylist::CopyEntry& entry : entries) {
        rows.push_back(
            {{shell::FileName(entry.path, true), copylist::EntrySizeText(entry), entry.path},
             entry.path});
    }
    m_list.AppendRows(rows);
}

void CopyListRows::RemoveRows(std::span<const std::size_t> rows) {
    m_list.DeleteRows(rows);
}

void CopyListRows::RemoveAllRows() {
    m_list.DeleteAllRows();
}

void CopyListRows::Redraw() {
    m_list.Update();
}

}  // namespace cj::ui
