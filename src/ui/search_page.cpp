#include "ui/search_page.h"

#include <algorithm>

#include "platform/code_page.h"
#include "search/batch_search.h"
#include "ui/band_layout.h"
#include "ui/control_ids.h"
#include "ui/controls/icons.h"
#include "ui/main_window.h"
#include "ui/object_owners.h"
#include "ui/result_list.h"
#include "ui/search_box.h"
#include "ui/texts.h"

namespace cj::ui {
namespace {

constexpr ExArgb White = 0xFFFFFFFF;
constexpr ExArgb Black = 0xFF000000;
constexpr ExArgb BusyTextColour = 0xFFDC143C;
constexpr ExArgb CaretColour = 0xFF4B0082;
constexpr int BusyFontSize = 25;
// The timer of the added-count label, which the copy list's figures follow.
constexpr int AddedCountInterval = 300;
// The pages start below the band and the page selector's bar, and end at the
// window's bottom edge.
constexpr int PageTop = 70;
// The status texts end in "…" when the band has no room for them.
constexpr std::int32_t StatusFormat = EX_DT_VCENTER | EX_DT_SINGLELINE | EX_DT_END_ELLIPSIS;
constexpr int HintFontSize = 18;
constexpr int HintHeight = 40;
constexpr ExArgb HintColour = 0xFF505050;

// The page of each keyword box, for the box's procedure. Never destroyed, so
// that a box that hears of its end while the process exits still finds it.
ObjectOwners<SearchPage>& SearchBoxPages() {
    static auto* pages = new ObjectOwners<SearchPage>;
    return *pages;
}

}  // namespace

void SearchPage::CreateBand(ExHandle surface) {
    m_searchBox.Create({.parent = surface,
                        .id = SearchBoxId,
                        .x = 700,
                        .y = 20,
                        .width = BandSearchBoxWidth,
                        .height = 30,
                        .drawnFrameStyle = true,
                        .textColour = Black,
                        .procedure = &SearchPage::SearchBoxProcedure});
    NarrowSearchBoxText(m_searchBox, BandSearchBoxWidth);
    // One pixel less than the 20 between it and the page selector below.
    m_title.Create({.parent = surface,
                    .id = BandLabelId,
                    .x = 1,
                    .y = 1,
                    .width = 200,
                    .height = 19,
                    .text = "   澄镜文件极速搜索工具",
                    .textColour = White});
    m_pages.Create({.parent = surface,
                    .titles = {"搜索栏", "复制栏", "设置"},
                    .titleColour = White,
                    .images = {SearchPageIcon(), CopyPageIcon(), SettingsPageIcon()},
                    .x = PageSelectorX,
                    .y = PageSelectorY,
                    .itemWidth = PageItemWidth,
                    .itemHeight = PageItemHeight,
                    .selectedFill = 0x90FFFFFF,
                    .barColour = 0xE80088FF,
                    .farEdge = true,
                    .itemHoverFill = 0x90FFFFFF,
                    .pageX = 0,
                    .pageY = PageTop,
                    .pageWidth = 1000,
                    .pageHeight = 660,
                    .pageBackground = 0x00FFFFFF,
                    .animation = 1});
    Ex_ObjSetColor(m_searchBox.Handle(), EX_COLOR_CARET, CaretColour, 0);
    m_searchButton.Create({.parent = m_searchBox.Handle(),
                           .id = SearchButtonId,
                           .textColour = Black,
                           .normal = 0xC8FFFFFF,
                           .hover = 0xC800FF00,
                           .pressed = 0xF4FF0000,
                           .radius = 13,
                           .image = SearchButtonIcon(),
                           .x = BandSearchBoxWidth - SearchButtonWidth - 2,
                           .y = 2,
                           .width = SearchButtonWidth,
                           .height = 26});
}

void SearchPage::CreatePageControls(ExHandle surface, ResultRows& rows) {
    const ExHandle page = m_pages.PageHandle(static_cast<int>(Page::Search));
    m_resultList = CreateResultList(page, 0, 0, 1000, 660, rows);
    m_busy.Create({.parent = page,
                   .id = BusyLabelId,
                   .x = 0,
                   .y = 0,
                   .width = 500,
                   .height = 100,
                   .text = std::string(SearchBusyText),
                   .textColour = BusyTextColour,
                   .textFormat = EX_DT_CENTER | EX_DT_VCENTER});
    m_busy.SetFont({}, BusyFontSize);
    m_busy.Show(false);
    m_firstStartHint.Create({.parent = page,
                             .id = FirstStartHintId,
                             .x = 0,
                             .y = 300,
                             .width = 1000,
                             .height = HintHeight,
                             .before = std::string(FirstStartHintBefore),
                             .link = std::string(FirstStartHintLink),
                             .after = std::string(FirstStartHintAfter),
                             .textColour = HintColour,
                             .fontSize = HintFontSize});
    m_firstStartHint.Show(false);
    m_status.Create({.parent = surface,
                     .id = BandLabelId,
                     .x = 900,
                     .y = 10,
                     .width = 200,
                     .height = 20,
                     .text = FoundText(0),
                     .textColour = White,
                     .textFormat = StatusFormat});
    m_addedCount.Create({.parent = surface,
                         .id = BandLabelId,
                         .x = 900,
                         .y = 32,
                         .width = 200,
                         .height = 20,
                         .text = AddedCountText(0),
                         .textColour = White,
                         .textFormat = StatusFormat});
    Ex_ObjSetTimer(m_addedCount.Handle(), AddedCountInterval);
}

void SearchPage::CreateBandButtons(ExHandle surface) {
    m_updateCache.Create({.parent = surface,
                          .id = UpdateCacheId,
                          .title = "更新缓存",
                          .textColour = White,
                          .normal = 0x00FFFFFF,
                          .hover = 0x90FFFFFF,
                          .pressed = 0x58FFFFFF,
                          .radius = 0,
                          .image = UpdateCacheIcon(),
                          .x = 800,
                          .y = 15,
                          .width = 100,
                          .height = 40});
    m_copyReport.Create({.parent = surface,
                         .id = CopyReportId,
                         .title = std::string(CopyReportButtonText),
                         .textColour = White,
                         .normal = 0x30FFFFFF,
                         .hover = 0x90FFFFFF,
                         .pressed = 0x58FFFFFF,
                         .radius = 3,
                         .x = 1030,
                         .y = 32,
                         .width = 80,
                         .height = 20});
    m_copyReport.Show(false);
    m_batchButton.Create({.parent = surface,
                          .id = BatchButtonId,
                          .title = std::string(BatchButtonText),
                          .textColour = White,
                          .normal = 0x30FFFFFF,
                          .hover = 0x90FFFFFF,
                          .pressed = 0x58FFFFFF,
                          .radius = 3,
                          .x = 1005,
                          .y = 20,
                          .width = 42,
                          .height = 30});
}

void SearchPage::CreateDirectCopyBar(ExHandle surface) {
    m_directCopyProgress.Create({.parent = surface,
                                 .id = DirectCopyProgressId,
                                 .x = 450,
                                 .y = 57,
                                 .width = 300,
                                 .height = 3,
                                 .background = 0xB8000000,
                                 .border = 0xB8000000,
                                 .fill = 0xB8FF8000,
                                 .maximum = 100,
                                 .position = 50});
    m_directCopyProgress.Show(false);
}

void SearchPage::CreateMenu() {
    m_menu = Ex_MenuCreatePopup();
    Ex_MenuAppend(m_menu, EX_MF_STRING, OpenFileCommand, u"打开文件");
    Ex_MenuAppend(m_menu, EX_MF_STRING, CopySelectedCommand, u"复制选中");
    Ex_MenuAppend(m_menu, EX_MF_STRING, CopyNamesCommand, u"复制文件名");
    Ex_MenuAppend(m_menu, EX_MF_STRING, CopyPathsCommand, u"复制路径");
    Ex_MenuAppend(m_menu, EX_MF_STRING, ShowInFolderCommand, u"打开文件目录");
    Ex_MenuAppend(m_menu, EX_MF_SEPARATOR, 0, nullptr);
    Ex_MenuAppend(m_menu, EX_MF_STRING, SelectAllCommand, u"全选");
    Ex_MenuAppend(m_menu, EX_MF_STRING, AddSelectedCommand, u"选中添加列表");
}

void SearchPage::AttachHandlers() {
    SearchBoxPages().Set(m_searchBox.Handle(), *this);
    BindEvent<&SearchPage::OnSearchClick>(m_searchButton, EX_NM_CLICK, *this);
    BindEvent<&SearchPage::OnSearchKey>(m_searchBox, EX_NM_KEYDOWN, *this);
    BindEvent<&SearchPage::OnUpdateCacheClick>(m_updateCache, EX_NM_CLICK, *this);
    BindEvent<&SearchPage::OnAddedCountTimer>(m_addedCount, EX_NM_TIMER, *this);
    BindEvent<&SearchPage::OnCopyReportClick>(m_copyReport, EX_NM_CLICK, *this);
    BindEvent<&SearchPage::OnBatchClick>(m_batchButton, EX_NM_CLICK, *this);
    BindEvent<&SearchPage::OnFirstStartHintClick>(m_firstStartHint, EX_NM_CLICK, *this);
    BindEvent<&SearchPage::OnSearchPageChosen>(
        Control(m_pages.ItemHandle(static_cast<int>(Page::Search))), EX_NM_CLICK, *this);
    BindEvent<&SearchPage::OnCopyPageChosen>(
        Control(m_pages.ItemHandle(static_cast<int>(Page::Copy))), EX_NM_CLICK, *this);
    BindEvent<&SearchPage::OnSettingsPageChosen>(
        Control(m_pages.ItemHandle(static_cast<int>(Page::Settings))), EX_NM_CLICK, *this);
}

void SearchPage::LayOut(int width, int height) {
    m_width = width;
    const double h = height;
    const auto px = [](double value) { return static_cast<int>(value); };  // Toward zero.
    for (const ExHandle page : m_pages.Pages()) {
        Ex_ObjMove(page, KeepValue, KeepValue, width, height - PageTop, 1);
    }
    Ex_ObjMove(m_resultList, KeepValue, KeepValue, width, height - PageTop, 1);
    m_busy.Move({}, px((h - 300) / 2), width, {});
    m_firstStartHint.Move({}, (height - PageTop - HintHeight) / 2, width, {});
    PlaceBand();
}

void SearchPage::PlaceBand() {
    if (m_width <= 0) {
        return;  // Not laid out yet: the first size comes with the window's.
    }
    const BandLayout band = LayOutBand(m_width, m_noticeShown, m_reportShown);
    const auto place = [](const Control& control, const BandPlace& at) {
        control.Move(at.x, at.y, at.width, at.height);
    };
    if (m_searchBox.Width() != band.searchBox.width) {
        place(m_searchBox, band.searchBox);
        m_searchButton.Move(band.searchBox.width - SearchButtonWidth - 2, {});
        NarrowSearchBoxText(m_searchBox, band.searchBox.width);
        Ex_ObjInvalidateRect(m_searchBox.Handle(), nullptr);
    } else {
        place(m_searchBox, band.searchBox);
    }
    place(m_batchButton, band.batchButton);
    place(m_status, band.status);
    place(m_addedCount, band.addedCount);
    place(m_updateCache, band.updateCache);
    place(m_copyReport, band.copyReport);
    place(m_directCopyProgress, band.directCopyBar);
    m_status.RefreshTip();
    m_addedCount.RefreshTip();
}

void SearchPage::ShowBusy(std::string_view text) {
    m_updateCache.Show(false);
    Ex_ObjShow(m_resultList, 0);
    m_firstStartHint.Show(false);
    m_busy.SetText(text);
    m_busy.Show(true);
}

void SearchPage::ShowSearchStarted(std::string_view busyText) {
    SelectPage(Page::Search);
    ShowBusy(busyText);
    m_searchButton.SetImage(SearchBusyIcon());
    // The rows of the last search go now; the new ones come all at once.
    Ex_ObjSendMessage(m_resultList, EX_LVM_SETITEMCOUNT, 0, 0);
    Ex_ObjSendMessage(m_resultList, ResultListClearMessage, 0, 0);
}

void SearchPage::ShowRefreshStarted() {
    ShowBusy(RefreshBusyText);
    // Said in the band too: a refresh started on the settings page stays there.
    ShowNotice(RefreshBusyText, false);
}

void SearchPage::ShowConfirmation(std::string_view text) {
    m_noticeShown = false;
    m_copyReport.Show(false);
    PlaceBand();
    m_status.SetText(text);
}

void SearchPage::ShowSearchResults(std::size_t rows, std::uint64_t filesIgnoringCase,
                                   std::string_view refreshDone) {
    const bool plain = rows > 0 || filesIgnoringCase == 0;
    std::string status = plain ? FoundText(rows) : FoundIgnoringCaseText(filesIgnoringCase);
    if (!refreshDone.empty()) {
        status = std::string(refreshDone) + "，" + status;
    }
    ShowResults(rows, status);
    if (plain && refreshDone.empty()) {
        return;
    }
    m_noticeShown = true;
    m_updateCache.Show(false);
    PlaceBand();
}

void SearchPage::ShowResults(std::size_t rows, std::string_view status) {
    const auto count = static_cast<intptr_t>(rows);
    Ex_ObjSendMessage(m_resultList, EX_LVM_SETITEMCOUNT, count, count);
    m_searchBox.FocusAndSelectAll();
    m_searchButton.SetImage(SearchButtonIcon());
    m_noticeShown = false;
    m_reportShown = false;
    m_copyReport.Show(false);
    m_status.SetText(status);
    PlaceBand();
    if (rows > 0) {
        Ex_ObjSendMessage(m_resultList, EX_LVM_SETSELECTIONMARK, 1, 1);
    }
    UpdateFirstStartHint();
}

void SearchPage::ShowNotice(std::string_view text, bool reportButton) {
    m_noticeShown = true;
    m_reportShown = reportButton;
    m_updateCache.Show(false);
    m_status.SetText(text);
    PlaceBand();
    m_copyReport.Show(reportButton);
}

void SearchPage::ShowListAgain(bool showUpdateCache) {
    m_busy.Show(false);
    Ex_ObjShow(m_resultList, 1);
    m_busy.SetText(SearchBusyText);
    if (showUpdateCache) {
        m_updateCache.Show(true);
    }
    UpdateFirstStartHint();
}

void SearchPage::UpdateFirstStartHint() const {
    // The settings file is read only when the hint could show at all.
    const bool show = Ex_ObjIsVisible(m_resultList) != 0 &&
                      Ex_ObjSendMessage(m_resultList, EX_LVM_GETITEMCOUNT, 0, 0) == 0 &&
                      !m_window.HasDirectoryList();
    m_firstStartHint.Show(show);
}

intptr_t SearchPage::OnSearchPageChosen(const ControlEvent& /*event*/) {
    // The settings page is where lists come and go.
    UpdateFirstStartHint();
    return 0;
}

intptr_t SearchPage::OnFirstStartHintClick(const ControlEvent& /*event*/) {
    SelectPage(Page::Settings);
    m_window.OnSettingsPageShown();
    return 0;
}

intptr_t SearchPage::OnCopyReportClick(const ControlEvent& /*event*/) {
    m_window.OpenCopyReport();
    return 0;
}

intptr_t SearchPage::OnBatchClick(const ControlEvent& /*event*/) {
    m_window.OpenBatchBox();
    return 0;
}

intptr_t SearchPage::SearchBoxProcedure(ExHandle window, ExHandle object, int32_t message,
                                        intptr_t wParam, intptr_t lParam, intptr_t* result) {
    if (message == EX_WM_DESTROY) {
        SearchBoxPages().Forget(object);
    }
    if (message != EX_WM_PASTE) {
        return SearchBoxPainter(window, object, message, wParam, lParam, result);
    }
    SearchPage* page = SearchBoxPages().Find(object);
    const auto* text = reinterpret_cast<const char16_t*>(lParam);
    if (page == nullptr || text == nullptr) {
        return 0;
    }
    bool taken = false;
    try {
        taken = page->OnPasteIntoSearchBox(text);
    } catch (...) {
        return 0;  // Out of memory: the box pastes as usual.
    }
    if (taken && result != nullptr) {
        *result = 1;
    }
    return taken ? 1 : 0;
}

bool SearchPage::OnPasteIntoSearchBox(std::u16string_view text) {
    if (text.find_first_of(u"\r\n") == std::u16string_view::npos) {
        return false;
    }
    std::string narrow = platform::Utf16ToNarrow(text);
    if (search::SplitBatchNumbers(narrow).size() >= 2) {
        m_window.OpenBatchBox(narrow);
        return true;
    }
    // One line: its line breaks would become part of the keyword.
    const std::size_t first = narrow.find_first_not_of("\r\n");
    const std::size_t last = narrow.find_last_not_of("\r\n");
    narrow = first == std::string::npos ? std::string() : narrow.substr(first, last - first + 1);
    std::replace_if(
        narrow.begin(), narrow.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    const std::u16string line = platform::NarrowToUtf16(narrow);
    m_searchBox.Send(EX_EM_REPLACESEL, 0, reinterpret_cast<intptr_t>(line.c_str()));
    return true;
}

intptr_t SearchPage::OnSearchClick(const ControlEvent& /*event*/) {
    m_window.StartSearch();
    return 0;
}

intptr_t SearchPage::OnSearchKey(const ControlEvent& event) {
    if (event.wParam == EX_VK_RETURN) {
        m_window.StartSearch();
    }
    return 0;
}

intptr_t SearchPage::OnUpdateCacheClick(const ControlEvent& /*event*/) {
    SelectPage(Page::Search);
    m_window.RefreshAndSearchAgain();
    return 0;
}

intptr_t SearchPage::OnAddedCountTimer(const ControlEvent& /*event*/) {
    m_window.RefreshCopyStatus();
    return 0;
}

intptr_t SearchPage::OnCopyPageChosen(const ControlEvent& /*event*/) {
    m_window.OnCopyPageShown();
    return 0;
}

intptr_t SearchPage::OnSettingsPageChosen(const ControlEvent& /*event*/) {
    m_window.OnSettingsPageShown();
    return 0;
}

}  // namespace cj::ui
