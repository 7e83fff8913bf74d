// What a search hands to the window. The window implements it (tests record
// the calls). Texts are narrow, in the platform encoding; rows count from 1.
//
// The calls up to ClearRows come on the thread that starts the search (the
// window's); the rest on the search's collector thread. ShowSearchPage,
// ShowBusy, ShowResultList and HideUpdateCacheButton have the same meaning and
// signature as in index::RefreshView, so one window class can serve both.
#pragma once

#include <cstddef>
#include <string_view>

namespace cj::search {

class SearchView {
  public:
    virtual void HideUpdateCacheButton() = 0;
    // Switches the main area to the search page.
    virtual void ShowSearchPage() = 0;
    // Hides the result list and shows the busy label with text.
    virtual void ShowBusy(std::string_view text) = 0;
    // The search button's picture: the busy one while a search runs.
    virtual void SetSearchButtonBusy(bool busy) = 0;
    // The results array has been emptied: the list must show no rows now.
    virtual void ClearRows() = 0;
    // The results array is complete: the list shows rows 1..rows.
    virtual void SetRowCount(std::size_t rows) = 0;
    // Hides the busy label, shows the result list and sets the busy label's
    // text to busyText for its next appearance.
    virtual void ShowResultList(std::string_view busyText) = 0;
    // Gives the keyword box the focus with all its text selected.
    virtual void FocusKeywordBox() = 0;
    virtual void SetStatusText(std::string_view text) = 0;
    virtual void SelectRow(std::size_t row) = 0;

  protected:
    ~SearchView() = default;
};

}  // namespace cj::search
