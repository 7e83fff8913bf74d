// The copy page's list as the copy list's view: one row per entry, with the
// file name (its extension kept), the size text of the counted size and the
// path, and the file type's icon before the name. UI thread only.
#pragma once

#include <cstddef>
#include <span>

#include "copylist/copy_list.h"
#include "ui/controls/report_list.h"

namespace cj::ui {

class CopyListRows final : public copylist::CopyListView {
  public:
    // list is the copy page's report list, which must outlive the view; it
    // may be created after the view.
    explicit CopyListRows(const ReportList& list) : m_list(list) {}

    void AppendRows(std::span<const copylist::CopyEntry> entries) override;
    void RemoveRows(std::span<const std::size_t> rows) override;
    void RemoveAllRows() override;
    void Redraw() override;

  private:
    const ReportList& m_list;
};

}  // namespace cj::ui
