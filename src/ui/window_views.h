// The window's side of the engine: what a search and a refresh report, done
// to the controls. Called from the search's collector and the refresh thread
// as well as the UI thread; they only call the UI library, which carries the
// calls over to the UI thread.
#pragma once

#include "index/refresh.h"
#include "search/search_view.h"

namespace cj::ui {

struct MainControls;

// "更新缓存" is hidden while a search or a refresh runs and after a refresh
// (the index is fresh then); it shows again when a search ends, so that a
// user who misses a file can bring the index up to date from where the
// results are. The settings page's "刷新索引" is always there too.
class WindowSearchView final : public search::SearchView {
public:
    explicit WindowSearchView(MainControls& controls) : m_controls(controls) {}

    void HideUpdateCacheButton() override;
    void ShowSearchPage() override;
    void ShowBusy(std::string_view text) override;
    void SetSearchButtonBusy(bool busy) override;
    void ClearRows() override;
    void SetRowCount(std::size_t rows) override;
    void ShowResultList(std::string_view busyText) override;
    void FocusKeywordBox() override;
    void SetStatusText(std::string_view text) override;
    void SelectRow(std::size_t row) override;

private:
    MainControls& m_controls;
};

class WindowRefreshView final : public index::RefreshView {
public:
    explicit WindowRefreshView(MainControls& controls) : m_controls(controls) {}

    void ShowSearchPage() override;
    void ShowBusy(std::string_view text) override;
    void ShowResultList(std::string_view busyText) override;
    void HideUpdateCacheButton() override;

private:
    MainControls& m_controls;
};

}  // namespace cj::ui
