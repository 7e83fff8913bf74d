// The band across the top of the window (title, page selector, keyword box
// and search button, "批量", status texts, "更新缓存", the direct copy's thin bar)
// and the search page below it (the result list and the busy label that
// takes its place while a search or a refresh runs). UI thread only.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "ui/controls/basic_controls.h"
#include "ui/controls/drawn_button.h"
#include "ui/controls/link_label.h"
#include "ui/controls/page_selector.h"
#include "ui/result_rows.h"
#include "ui/texts.h"

namespace cj::ui {

class MainWindow;

enum class Page { Search = 1, Copy = 2, Settings = 3 };

class SearchPage {
  public:
    explicit SearchPage(MainWindow& window) : m_window(window) {}

    // Creates the band with the page selector and its pages, then the search
    // page's own controls; the band's status texts come last in the window's
    // order of creation, so CreatePageControls is separate.
    void CreateBand(ExHandle surface);
    void CreatePageControls(ExHandle surface, ResultRows& rows);
    // "批量", "更新缓存" and the direct copy's thin bar lie over the band; the
    // window makes them after the copy page and after the settings page.
    void CreateBandButtons(ExHandle surface);
    void CreateDirectCopyBar(ExHandle surface);
    void CreateMenu();
    void AttachHandlers();
    void LayOut(int width, int height);

    // What a job's start and end look like here. A search shows this page; a
    // batch search starts as a search does, with its own busy text, which its
    // progress then updates. A refresh leaves the page shown as it is, and
    // says in the band too that it runs.
    void ShowSearchStarted(std::string_view busyText = SearchBusyText);
    void ShowRefreshStarted();
    void SetBusyText(std::string_view text) const { m_busy.SetText(text); }
    // The search's own end: rows, status, button, focus, selection.
    // filesIgnoringCase: what ignoring case and width would find, said in
    // the band (as wide as a notice) when rows is 0. A search run again after
    // a refresh puts the refresh's confirmation (refreshDone) before its
    // count, as wide as a notice too.
    void ShowSearchResults(std::size_t rows, std::uint64_t filesIgnoringCase = 0,
                           std::string_view refreshDone = {});
    // Whether the band holds a notice: "更新缓存" stays hidden until the next search.
    bool NoticeShown() const { return m_noticeShown; }
    // The same with the status line's text given (a batch's counts).
    void ShowResults(std::size_t rows, std::string_view status);
    // The status line after a refresh: what it indexed, or why it failed;
    // until the next search the line takes the band's width up to the
    // window's buttons, and "更新缓存" is hidden. A text longer than the line
    // ends in "…" and shows whole in the line's tooltip.
    void ShowRefreshNotice(std::string_view text) { ShowNotice(text, false); }
    // The same for the end of a copy, with the button that opens the copy's
    // report below it when reportButton is set.
    void ShowNotice(std::string_view text, bool reportButton);
    // A short confirmation ("已保存") in the status line, at its usual width.
    void ShowConfirmation(std::string_view text);
    // The busy label gives way to the list again; "更新缓存" comes back after
    // a search, not after a refresh (the index is fresh then).
    void ShowListAgain(bool showUpdateCache);
    // Shows the first start's hint over the list while the list is shown
    // empty and no directory list holds a folder, and hides it otherwise.
    void UpdateFirstStartHint() const;

    std::string KeywordText() const { return m_searchBox.GetText(); }
    void SelectPage(Page page) const { m_pages.Select(static_cast<int>(page)); }
    Page SelectedPage() const { return static_cast<Page>(m_pages.SelectedIndex()); }

    const EditBox& SearchBox() const { return m_searchBox; }
    const DrawnButton& SearchButton() const { return m_searchButton; }
    const PageSelector& Pages() const { return m_pages; }
    const Label& Status() const { return m_status; }
    const Label& AddedCount() const { return m_addedCount; }
    const Label& Busy() const { return m_busy; }
    const DrawnButton& UpdateCache() const { return m_updateCache; }
    const DrawnButton& BatchButton() const { return m_batchButton; }
    ExHandle ResultList() const { return m_resultList; }
    ExHandle Menu() const { return m_menu; }
    const ProgressBar& DirectCopyBar() const { return m_directCopyProgress; }
    const DrawnButton& CopyReportButton() const { return m_copyReport; }
    const LinkLabel& FirstStartHint() const { return m_firstStartHint; }

  private:
    intptr_t OnSearchClick(const ControlEvent& event);
    intptr_t OnSearchKey(const ControlEvent& event);
    intptr_t OnUpdateCacheClick(const ControlEvent& event);
    intptr_t OnCopyPageChosen(const ControlEvent& event);
    intptr_t OnSettingsPageChosen(const ControlEvent& event);
    intptr_t OnAddedCountTimer(const ControlEvent& event);
    intptr_t OnCopyReportClick(const ControlEvent& event);
    intptr_t OnBatchClick(const ControlEvent& event);
    intptr_t OnSearchPageChosen(const ControlEvent& event);
    intptr_t OnFirstStartHintClick(const ControlEvent& event);
    // The keyword box's procedure: its painting, and a pasted list (text
    // with line breaks) taken to the batch box.
    static intptr_t SearchBoxProcedure(ExHandle window, ExHandle object, int32_t message,
                                       intptr_t wParam, intptr_t lParam, intptr_t* result);
    // Pasted text with line breaks: two numbers or more open the batch box
    // with the text; a single one (a spreadsheet cell ends with a line break)
    // goes into the keyword box without its line breaks. Returns whether the
    // paste was taken.
    bool OnPasteIntoSearchBox(std::u16string_view text);

    void ShowBusy(std::string_view text);
    // Places the band's controls for the current width and for whether a
    // notice and the report button show; a status text cut short gets its
    // whole text as its tooltip.
    void PlaceBand();

    MainWindow& m_window;
    EditBox m_searchBox;
    DrawnButton m_searchButton;
    Label m_title;
    PageSelector m_pages;
    Label m_status;
    Label m_addedCount;
    DrawnButton m_updateCache;
    DrawnButton m_batchButton;  // "批量": opens the batch box.
    DrawnButton m_copyReport;   // Opens the last copy's report; shown with its notice.
    ProgressBar m_directCopyProgress;
    ExHandle m_resultList = 0;
    Label m_busy;
    LinkLabel m_firstStartHint;  // Over the empty list; its link opens the settings page.
    ExHandle m_menu = 0;         // The result list's context menu.
    int m_width = 0;             // The client width of the last layout.
    bool m_noticeShown = false;  // The status line holds a notice until the next search.
    bool m_reportShown = false;  // The report button shows with the notice.
};

}  // namespace cj::ui
