// The copy page's list as the copy list's view: one row per entry, with the
// file name (its extension kept), the size text of the counted size and the
// path, and the file type's icon before the name. UI thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "copylist/copy_list.h"
#include "ui/controls/report_list.h"

namespace cj::ui {

// The size column's text for an entry's counted size: "0" for an empty
// file, a folder or a path where nothing was found (-1).
std::string CountedSizeText(std::int64_t countedSize);

class CopyListRows final : public copylist::CopyListView {
  public:
    // list is the copy page's report list; only its handle is kept.
    explicit CopyListRows(const ReportList& list) : m_list(list) {}

    void AppendRows(std::span<const copylist::CopyEntry> entries) override;
    void RemoveRows(std::span<const std::size_t> rows) override;
    void RemoveAllRows() override;
    void Redraw() override;

  private:
    ReportList m_list;
};

}  // namespace cj::ui
