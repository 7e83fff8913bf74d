#include "ui/window_views.h"

#include "ui/controls/icons.h"
#include "ui/program_state.h"
#include "ui/result_list.h"

namespace cj::ui {
namespace {

void ShowBusyLabel(MainControls& c, std::string_view text) {
    Ex_ObjShow(c.resultList, 0);
    c.busy.SetText(text);
    c.busy.Show(true);
}

void ShowList(MainControls& c, std::string_view busyText) {
    c.busy.Show(false);
    Ex_ObjShow(c.resultList, 1);
    c.busy.SetText(busyText);
}

}  // namespace

void WindowSearchView::HideUpdateCacheButton() { m_controls.updateCache.Show(false); }

void WindowSearchView::ShowSearchPage() { m_controls.pages.Select(1); }

void WindowSearchView::ShowBusy(std::string_view text) { ShowBusyLabel(m_controls, text); }

void WindowSearchView::SetSearchButtonBusy(bool busy) {
    m_controls.searchButton.SetImage(busy ? SearchBusyIcon() : SearchButtonIcon());
}

void WindowSearchView::ClearRows() {
    Ex_ObjSendMessage(m_controls.resultList, EX_LVM_SETITEMCOUNT, 0, 0);
    Ex_ObjSendMessage(m_controls.resultList, ResultListClearMessage, 0, 0);
}

void WindowSearchView::SetRowCount(std::size_t rows) {
    const auto count = static_cast<intptr_t>(rows);
    Ex_ObjSendMessage(m_controls.resultList, EX_LVM_SETITEMCOUNT, count, count);
}

void WindowSearchView::ShowResultList(std::string_view busyText) {
    ShowList(m_controls, busyText);
    m_controls.updateCache.Show(true);
}

void WindowSearchView::FocusKeywordBox() { m_controls.searchBox.FocusAndSelectAll(); }

void WindowSearchView::SetStatusText(std::string_view text) { m_controls.status.SetText(text); }

void WindowSearchView::SelectRow(std::size_t row) {
    Ex_ObjSendMessage(m_controls.resultList, EX_LVM_SETSELECTIONMARK, 1,
                      static_cast<intptr_t>(row));
}

void WindowRefreshView::ShowSearchPage() { m_controls.pages.Select(1); }

void WindowRefreshView::ShowBusy(std::string_view text) { ShowBusyLabel(m_controls, text); }

void WindowRefreshView::ShowResultList(std::string_view busyText) {
    ShowList(m_controls, busyText);
}

void WindowRefreshView::HideUpdateCacheButton() { m_controls.updateCache.Show(false); }

}  // namespace cj::ui
