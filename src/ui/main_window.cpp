#include "ui/main_window.h"

#include <algorithm>
#include <utility>
#include <variant>
#include <vector>

#include "copylist/copy_target.h"
#include "copylist/list_status.h"
#include "core/data_paths.h"
#include "core/event_log.h"
#include "platform/files.h"
#include "platform/free_space.h"
#include "ui/control_ids.h"
#include "ui/desktop_handover.h"
#include "ui/object_owners.h"
#include "ui/texts.h"
#include "ui/window_placement.h"
#include "ui/window_style.h"

namespace cj::ui {
namespace {

// The window of each surface, for the surface's procedure. Never destroyed,
// so that a surface that hears of its end while the process exits still
// finds it.
ObjectOwners<MainWindow>& MainWindows() {
    static auto* windows = new ObjectOwners<MainWindow>;
    return *windows;
}

void PaintBackground(ExHandle surface, ExHandle canvas) {
    PaintBandedBackground(surface, canvas, ClientColour, BandColour, BandHeight);
}

// A job's shard count that asks for the index's own: read with the shards'
// counts under the index lock (or the Refresh lock), never kept by the window.
constexpr int IndexShardCount = 0;

}  // namespace

MainWindow::MainWindow(WindowContext context)
    : m_context(std::move(context)),
      m_copyList(core::BackupPath(m_context.runDirectory), &m_copyRows) {}

bool MainWindow::Run() {
    FrameWindowDescription main;
    main.embedded = false;
    main.initFlags = DefaultInitFlags;
    main.title = MainWindowTitle;
    main.width = MainWindowWidth;
    main.height = MainWindowHeight;
    main.background = MainWindowBackground;
    main.style = BuildWindowStyle({.centred = 1,
                                   .minimiseButton = 1,
                                   .maximiseButton = 1,
                                   .closeButton = 1,
                                   .movable = 1,
                                   .resizable = 1});
    main.blur = 0;
    main.outSurface = &m_surface;
    main.content = [this] { CreateControls(); };
    main.procedure = &MainWindow::Procedure;
    return m_frame.Create(main);
}

void MainWindow::CreateControls() {
    MainWindows().Set(m_surface, *this);
    m_frame.SetMinimumSize(MainWindowMinWidth, MainWindowMinHeight);
    m_searchPage.CreateBand(m_surface);
    m_searchPage.CreatePageControls(m_surface, m_rows);
    m_copyPage.Create(m_searchPage.Pages().PageHandle(static_cast<int>(Page::Copy)));
    m_copyPage.AttachHandlers();
    m_searchPage.CreateBandButtons(m_surface);
    m_settingsPage.Create(m_searchPage.Pages().PageHandle(static_cast<int>(Page::Settings)));
    m_searchPage.CreateDirectCopyBar(m_surface);
    m_searchPage.CreateMenu();
    m_searchPage.AttachHandlers();
    m_settingsPage.AttachHandlers();
    const core::Settings saved = m_context.settings.ReadAll();
    m_settingsPage.Load(saved);
    m_copyPage.SetTargetText(saved.copyTarget);
    m_options.sameName = saved.sameName;
    m_copyPage.ShowSameNameRule(saved.sameName);
    // Whatever the saved state made of it, the window starts on the screen:
    // a screen smaller than the window, or a size saved on a larger one.
    KeepOnScreen();
    m_searchPage.UpdateFirstStartHint();
    // Reports of jobs can reach the window from now on.
    m_context.inbox.AttachWindow(m_frame.WindowHandle());
}

intptr_t MainWindow::Procedure(ExHandle /*window*/, ExHandle surface, int32_t message,
                               intptr_t wParam, intptr_t lParam, intptr_t* result) {
    MainWindow* self = MainWindows().Find(surface);
    intptr_t handled = 0;
    try {
        handled = self != nullptr ? self->OnMessage(surface, message, wParam, lParam, result) : 0;
    } catch (...) {
        // Out of memory in a handler: the message counts as not handled.
    }
    if (message == EX_WM_DESTROY) {
        MainWindows().Forget(surface);
    }
    return handled;
}

intptr_t MainWindow::OnMessage(ExHandle surface, int32_t message, intptr_t wParam, intptr_t lParam,
                               intptr_t* result) {
    switch (message) {
        case EX_WM_ERASEBKGND:
            PaintBackground(surface, static_cast<ExHandle>(wParam));
            if (result != nullptr) {
                *result = 1;
            }
            return 1;
        case EX_WM_SIZE:
            LayOut(static_cast<int>(lParam & 0xFFFF), static_cast<int>((lParam >> 16) & 0xFFFF));
            return 0;
        case JobEventsMessage:
            ApplyJobEvents();
            return 0;
        case EX_WM_NOTIFY: {
            const auto* notify = reinterpret_cast<const ExNotify*>(lParam);
            return notify != nullptr && m_lists.OnNotify(*notify) ? 1 : 0;
        }
        case EX_WM_COMMAND:
            return m_lists.OnCommand(wParam) ? 1 : 0;
        case EX_WM_DESTROY:
            // Late reports find no window: they stay in the inbox, unapplied.
            m_context.inbox.AttachWindow(0);
            // A copy under way stops now, between two chunks, and what it
            // wrote of its file is removed; the start-up waits for that
            // before the process ends.
            m_context.copyJob.Abort();
            m_copyWindow.Close();
            m_batchWindow.Close();
            SaveSettings();
            BackUpCopyList();
            return 0;
        default:
            return 0;
    }
}

void MainWindow::LayOut(int width, int height) {
    m_searchPage.LayOut(width, height);
    m_copyPage.LayOut(width, height, m_searchPage.SelectedPage() == Page::Copy);
    m_settingsPage.LayOut();
}

void MainWindow::OnCopyPageShown() {
    m_copyPage.FitListToWindow(m_frame.Width(), m_frame.Height());
}

void MainWindow::ShowDefaultSize() {
    m_frame.ShowState(0);
    m_frame.Place({}, {}, DefaultSizeWidth, DefaultSizeHeight);
    // The window keeps its place as it grows: centred at 1000 pixels on a
    // screen 1280 wide, it would end 60 pixels past the right edge.
    KeepOnScreen();
}

void MainWindow::ShowMaximised() {
    m_frame.ShowState(1);
}

namespace {

ExRect WorkArea(ExHandle window) {
    ExRect area{};
    if (Ex_WndGetWorkRect(window, &area) == 0) {
        Ex_WndGetDesktopRect(&area);
    }
    return area;
}

bool SameRect(const ExRect& a, const ExRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

void MainWindow::PlaceCentred(int width, int height) {
    // A size missing from the file reads as 0: the window keeps its own.
    // A size stored smaller than the window can be (by hand, or by an older
    // version) opens at the least size, centred as that.
    const int w = std::max(width > 0 ? width : m_frame.Width(), MainWindowMinWidth);
    const int h = std::max(height > 0 ? height : m_frame.Height(), MainWindowMinHeight);
    const ExRect placed = CentreInArea(w, h, WorkArea(m_frame.WindowHandle()));
    m_frame.Place(placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top);
}

void MainWindow::KeepOnScreen() {
    const ExRect now = m_frame.Rectangle();
    const ExRect fitted = FitIntoArea(now, WorkArea(m_frame.WindowHandle()));
    if (!SameRect(now, fitted)) {
        m_frame.Place(fitted.left, fitted.top, fitted.right - fitted.left,
                      fitted.bottom - fitted.top);
    }
}

void MainWindow::Tell(std::string_view text) {
    if (m_dialogs.tell) {
        m_dialogs.tell(text, NoticeCaption);
    }
}

bool MainWindow::Ask(std::string_view text) {
    return m_dialogs.askYesNo && m_dialogs.askYesNo(text, QuestionCaption);
}

void MainWindow::SaveSettings() {
    core::ShutdownSettings settings;
    settings.window.option = m_options.windowState;
    settings.window.width = m_frame.Width();
    settings.window.height = m_frame.Height();
    settings.doubleClick = m_options.doubleClick;
    // A control that was never made has no text to save: the stored value
    // stays rather than being replaced by an empty one.
    if (m_copyPage.Exists()) {
        settings.copyTarget = m_copyPage.TargetText();
    }
    // A failed write cannot be shown any more (the window is going); the
    // items after it are still written, and the log keeps the reason.
    if (const std::error_code error = m_context.settings.TrySaveShutdownSettings(settings)) {
        core::LogFailure("关闭时保存设置失败 " + m_context.settings.Path(), error);
    }
}

void MainWindow::BackUpCopyList() {
    if (const std::error_code error = m_copyList.TryBackUpChanges()) {
        core::LogFailure("关闭窗口时备份列表失败 " + core::BackupPath(m_context.runDirectory),
                         error);
    }
}

void MainWindow::StartSearch() {
    const core::JobStart start =
        m_context.search.Start(m_searchPage.KeywordText(), IndexShardCount, m_options.matchRule);
    if (start.outcome != core::StartOutcome::Started) {
        return;
    }
    m_currentSearch = start.generation;
    m_listOwner = JobKind::Search;
    m_busyJob = BusyJob{JobKind::Search, start.generation};
    m_searchPage.ShowSearchStarted();
}

void MainWindow::OpenBatchBox(std::string_view text) {
    if (!m_batchWindow.Open(m_frame.WindowHandle(), text)) {
        return;
    }
    if (!m_batchNumbers.empty()) {
        m_batchWindow.ShowNumbers(m_batchNumbers, m_batchComplete);
    }
}

void MainWindow::StartBatch(const std::string& text) {
    // The command line's limit: a list past it would take gigabytes to match.
    if (text.size() > search::MaxBatchListBytes) {
        m_batchWindow.ShowNotice(BatchListTooLargeText);
        return;
    }
    std::vector<std::string> numbers = search::SplitBatchNumbers(text);
    if (numbers.empty()) {
        m_batchWindow.ShowNotice(BatchNothingToSearchText);
        return;
    }
    const core::JobStart start =
        m_context.batch.Start(std::move(numbers), IndexShardCount, m_options.matchRule);
    switch (start.outcome) {
        case core::StartOutcome::RefreshRunning:
            m_batchWindow.ShowNotice(BatchRefreshRunningText);
            return;
        case core::StartOutcome::SearchRunning:
            m_batchWindow.ShowNotice(BatchStoppingText);
            return;
        case core::StartOutcome::Started:
            break;
    }
    m_currentBatch = start.generation;
    m_listOwner = JobKind::Batch;
    m_busyJob = BusyJob{JobKind::Batch, start.generation};
    // The table would otherwise offer the last batch's missing numbers as
    // this one's until it ends.
    m_batchNumbers.clear();
    m_batchComplete = false;
    m_batchWindow.ShowNumbers({}, false);
    m_batchWindow.ShowSummary({});
    m_batchWindow.ShowNotice({});
    m_searchPage.ShowSearchStarted(BatchBusyText(0));
}

void MainWindow::CopyMissingNumbers() {
    if (m_batchNumbers.empty()) {
        m_batchWindow.ShowNotice(BatchNothingToSearchText);
        return;
    }
    if (!m_batchComplete) {
        m_batchWindow.ShowNotice(MissingUnsureText);
        return;
    }
    const std::string text = MissingNumbersText(m_batchNumbers);
    if (text.empty()) {
        m_batchWindow.ShowNotice(NoMissingNumbersText);
        return;
    }
    if (!m_dialogs.setClipboardText || !m_dialogs.setClipboardText(text)) {
        m_batchWindow.ShowNotice(ClipboardFailedText);
        return;
    }
    const auto missing = static_cast<std::size_t>(
        std::count_if(m_batchNumbers.begin(), m_batchNumbers.end(),
                      [](const search::BatchNumber& number) { return number.files == 0; }));
    m_batchWindow.ShowNotice(MissingCopiedText(missing));
}

void MainWindow::StartRefresh() {
    StartRefreshJob(IndexShardCount);
}

void MainWindow::RefreshAndSearchAgain() {
    m_searchPage.SelectPage(Page::Search);
    if (const core::JobStart start = StartRefreshJob(IndexShardCount);
        start.outcome == core::StartOutcome::Started) {
        m_refreshThenSearch = start.generation;
    }
}

core::StartOutcome MainWindow::StartThreadCountChange(int count) {
    const core::JobStart start = StartRefreshJob(count);
    if (start.outcome == core::StartOutcome::Started) {
        m_threadCountChange = ThreadCountChange{start.generation, count};
    }
    return start.outcome;
}

std::optional<int> MainWindow::PendingThreadCount() const {
    return m_threadCountChange ? std::optional<int>(m_threadCountChange->count) : std::nullopt;
}

void MainWindow::ShowThreadCount() {
    m_settingsPage.ShowThreadCount(
        PendingThreadCount().value_or(m_context.settings.ReadThreadCount().count));
}

bool MainWindow::HasDirectoryList() const {
    const std::vector<core::DirectoryList> lists = m_context.settings.ReadDirectoryLists();
    return std::any_of(lists.begin(), lists.end(),
                       [](const core::DirectoryList& list) { return !list.folders.empty(); });
}

void MainWindow::ShowListMarks() {
    m_copyList.MarkRows(m_rows.Records());
    Ex_ObjSendMessage(m_searchPage.ResultList(), EX_LVM_UPDATE, 0, 0);
}

core::JobStart MainWindow::StartRefreshJob(int shardCount) {
    index::RefreshRequest request;
    request.runDirectory = m_context.runDirectory;
    request.folders = m_settingsPage.Folders();
    request.filter = m_settingsPage.TypeFilter();
    request.shardCount = shardCount;
    const std::string filter = request.filter;
    const core::JobStart start = m_context.refresher.Start(std::move(request));
    if (start.outcome != core::StartOutcome::Started) {
        return start;
    }
    m_lastRefreshFilter = filter;
    m_currentRefresh = start.generation;
    m_busyJob = BusyJob{JobKind::Refresh, start.generation};
    m_searchPage.ShowRefreshStarted();
    return start;
}

std::string MainWindow::CopyReportPath() const {
    return core::CopyReportPath(m_context.runDirectory);
}

void MainWindow::RefreshCopyStatus() {
    m_searchPage.AddedCount().SetText(AddedCountText(m_copyList.Count()));
    if (m_copyPage.Exists()) {
        m_copyPage.ShowStatus(FreeSpaceText(copylist::FreeMegabytes(m_copyPage.TargetText())),
                              ListSizeText(copylist::ListMegabytes(m_copyList.Bytes())));
    }
}

std::optional<std::string> MainWindow::PickFolder() {
    if (!m_dialogs.pickFolder) {
        return std::nullopt;
    }
    std::optional<std::string> folder =
        m_dialogs.pickFolder(std::string(PickFolderTitle), m_lastPickedFolder);
    if (folder && !folder->empty()) {
        m_lastPickedFolder = *folder;
    }
    return folder;
}

void MainWindow::BrowseForTarget() {
    if (const std::optional<std::string> folder = PickFolder()) {
        m_copyPage.SetTargetText(*folder);
    }
}

void MainWindow::RestoreBackup() {
    if (!Ask(OpenBackupQuestion)) {
        return;
    }
    // A missing backup leaves the list empty, as the user was told it would
    // be replaced; there is nothing more to say about it. One that is there
    // but cannot be read keeps the list as it was and says why.
    if (const std::error_code error = m_copyList.RestoreBackup();
        error && error != std::errc::no_such_file_or_directory) {
        m_searchPage.ShowNotice(OpenBackupFailedText(error), false);
    }
    ShowListMarks();
}

std::optional<std::string> MainWindow::TargetFolder() {
    std::string target = m_copyPage.TargetText();
    if (!target.empty()) {
        return target;
    }
    // An empty box would copy into whatever the current folder is, where the
    // user would never find the files: ask instead.
    std::optional<std::string> folder = PickFolder();
    if (!folder || folder->empty()) {
        return std::nullopt;
    }
    m_copyPage.SetTargetText(*folder);
    return folder;
}

bool MainWindow::MakeTargetReady(const std::string& target) {
    // Something other than a folder under the name is the job's to report.
    if (target.empty() || platform::ProbePath(target).exists) {
        return true;
    }
    if (!Ask(CreateFolderQuestion(target))) {
        return false;
    }
    if (const std::error_code error = copylist::CreateTargetFolders(target)) {
        Tell(CreateFolderFailedText(target, error));
        return false;
    }
    return true;
}

bool MainWindow::ListFitsOrUserAgrees(const std::string& target) {
    std::uint64_t free = 0;
    // A file system that tells nothing is not held against the copy: the
    // job reports a full disk file by file.
    if (m_copyList.Bytes() <= 0 || platform::FreeBytes(target, free)) {
        return true;
    }
    const auto bytes = static_cast<std::uint64_t>(m_copyList.Bytes());
    return bytes <= free || Ask(NotEnoughSpaceQuestion(bytes, free));
}

void MainWindow::SetSameNameRule(core::SameNameRule rule) {
    if (rule == m_options.sameName) {
        return;
    }
    m_options.sameName = rule;
    if (const std::error_code error = m_context.settings.TrySaveSameNameRule(rule)) {
        Tell(SettingsWriteFailedText(m_context.settings.Path(), error));
    }
}

void MainWindow::StartCopyJob() {
    if (m_context.copyJob.IsRunning() || m_copyWindow.IsOpen()) {
        return;
    }
    std::optional<std::string> target = TargetFolder();
    // The space first: a no to it must not leave new folders behind.
    if (!target || !ListFitsOrUserAgrees(*target) || !MakeTargetReady(*target)) {
        return;
    }
    std::vector<std::string> sources;
    sources.reserve(m_copyList.Count());
    for (const copylist::CopyEntry& entry : m_copyList.Entries()) {
        sources.push_back(entry.path);
    }
    if (!m_copyWindow.Open([this] { m_context.copyJob.RequestStop(); })) {
        return;
    }
    m_frame.SetDisabled(1);
    const core::JobGeneration generation =
        m_context.copyJob.Start(std::move(sources), std::move(*target), m_options.sameName);
    if (generation == 0) {
        EndCopyJobWindow();
        return;
    }
    m_currentCopyJob = generation;
}

void MainWindow::QueueDirectCopy(std::span<const std::size_t> rows) {
    search::ResultsArray& records = m_rows.Records();
    const auto isHit = [&records](std::size_t row) { return row > 0 && row <= records.Count(); };
    if (std::none_of(rows.begin(), rows.end(), isHit)) {
        return;
    }
    const std::optional<std::string> target = TargetFolder();
    if (!target || !MakeTargetReady(*target)) {
        return;
    }
    core::JobGeneration run = 0;
    for (const std::size_t row : rows) {
        if (isHit(row)) {
            run = m_context.directCopier.Queue(std::string(records.Path(row)), *target,
                                               m_options.sameName);
            records.SetMark(row, search::CopyMark::CopiedDirectly);
        }
    }
    Ex_ObjSendMessage(m_searchPage.ResultList(), EX_LVM_UPDATE, 0, 0);
    if (run != m_currentDirectRun) {
        m_currentDirectRun = run;
        m_searchPage.DirectCopyBar().SetPosition(0);
        m_searchPage.DirectCopyBar().Show(true);
    }
}

void MainWindow::EndCopyJobWindow() {
    m_copyWindow.Close();
    m_frame.SetDisabled(0);
}

void MainWindow::ShowCopyEnd(const copylist::CopySummary& summary) {
    // Only the data folder holds the details: nothing but the copied files
    // ever goes into the target folder.
    const bool saved = !copylist::TryWriteCopyReport(m_context.runDirectory, summary);
    m_searchPage.ShowNotice(CopyNoticeText(summary), saved && !summary.notCopied.empty());
}

void MainWindow::OpenCopyReport() {
    OpenCopyReportOrTell(m_dialogs, CopyReportPath());
}

void MainWindow::ApplyJobEvents() {
    for (JobEvent& event : m_context.inbox.Take()) {
        std::visit([this](auto& e) { Apply(*e); }, event);
    }
}

void MainWindow::Apply(CopyProgressEvent& event) {
    if (event.generation == m_currentCopyJob) {
        m_copyWindow.ShowProgress(event.report);
    }
}

void MainWindow::Apply(CopyFinishedEvent& event) {
    if (event.generation != m_currentCopyJob) {
        return;
    }
    EndCopyJobWindow();
    ShowCopyEnd(event.summary);
}

void MainWindow::Apply(DirectCopyProgressEvent& event) {
    if (event.generation == m_currentDirectRun) {
        m_searchPage.DirectCopyBar().SetPosition(event.percent);
    }
}

void MainWindow::Apply(DirectCopyFinishedEvent& event) {
    if (event.generation != m_currentDirectRun) {
        return;
    }
    m_searchPage.DirectCopyBar().Show(false);
    ShowCopyEnd(event.summary);
}

bool MainWindow::OwnsBusyLabel(JobKind kind, core::JobGeneration generation) const {
    return m_busyJob && m_busyJob->kind == kind && m_busyJob->generation == generation;
}

void MainWindow::Apply(SearchFinishedEvent& event) {
    if (event.generation != m_currentSearch || m_listOwner != JobKind::Search) {
        return;  // A newer search or batch has started since: its rows are the ones to show.
    }
    m_rows.Replace(std::move(event.outcome.results));
    m_copyList.MarkRows(m_rows.Records());
    // The search "更新缓存" ran again says what the refresh found as well.
    const std::string_view refreshDone =
        event.generation == m_searchAfterRefresh ? std::string_view(m_refreshDone) : "";
    if (event.outcome.noIndex) {
        m_searchPage.ShowResults(0, NoIndexText);
    } else {
        m_searchPage.ShowSearchResults(m_rows.Count(), event.outcome.filesIgnoringCase,
                                       refreshDone);
    }
    if (OwnsBusyLabel(JobKind::Search, event.generation)) {
        m_busyJob.reset();
        m_searchPage.ShowListAgain(!m_searchPage.NoticeShown());
    }
}

void MainWindow::Apply(BatchProgressEvent& event) {
    if (OwnsBusyLabel(JobKind::Batch, event.generation)) {
        m_searchPage.SetBusyText(BatchBusyText(event.percent));
    }
}

void MainWindow::Apply(BatchFinishedEvent& event) {
    if (event.generation != m_currentBatch || m_listOwner != JobKind::Batch) {
        return;
    }
    search::BatchOutcome& outcome = event.outcome;
    m_rows.Replace(std::move(outcome.results));
    m_copyList.MarkRows(m_rows.Records());
    m_batchNumbers = std::move(outcome.numbers);
    m_batchComplete = !outcome.stopped && !outcome.incomplete && !outcome.noIndex;
    const std::string summary =
        outcome.noIndex ? std::string(NoIndexText)
                        : BatchFoundText(outcome.found, outcome.missing, m_batchComplete);
    m_searchPage.ShowResults(m_rows.Count(), summary);
    m_batchWindow.ShowNumbers(m_batchNumbers, m_batchComplete);
    m_batchWindow.ShowSummary(outcome.noIndex ? summary
                                              : summary + "，" + BatchFilesText(m_rows.Count()));
    if (OwnsBusyLabel(JobKind::Batch, event.generation)) {
        m_busyJob.reset();
        m_searchPage.ShowListAgain(true);
    }
}

void MainWindow::Apply(RefreshFinishedEvent& event) {
    if (event.generation != m_currentRefresh) {
        return;
    }
    if (m_threadCountChange && m_threadCountChange->generation == event.generation) {
        m_threadCountChange.reset();
    }
    // The count stored with the index is the one the index has now: a
    // change's once its commit got as far as the counts (even if a later step
    // left it for the next reader to finish), the old one after any failure
    // before, or another program's.
    ShowThreadCount();
    const std::string notice = RefreshNotice(event.report);
    m_searchPage.ShowRefreshNotice(notice);
    if (OwnsBusyLabel(JobKind::Refresh, event.generation)) {
        m_busyJob.reset();
        m_searchPage.ShowListAgain(false);
    }
    if (event.generation == m_refreshThenSearch && event.report.end == index::RefreshEnd::Written &&
        ((m_listOwner == JobKind::Search && m_currentSearch != 0) ||
         !m_searchPage.KeywordText().empty())) {
        const core::JobGeneration before = m_currentSearch;
        StartSearch();
        if (m_currentSearch != before) {
            m_searchAfterRefresh = m_currentSearch;
            m_refreshDone = notice;
        }
    }
}

std::string MainWindow::RefreshNotice(const index::RefreshReport& report) const {
    const index::WalkReport& walk = report.walk;
    switch (report.end) {
        case index::RefreshEnd::FoldersMissing:
            return FolderMissingText(walk.missingFolders.empty() ? std::string()
                                                                 : walk.missingFolders.front());
        case index::RefreshEnd::AnotherRefreshRuns:
            return std::string(AnotherRefreshRunsText);
        case index::RefreshEnd::WriteFailed: {
            if (report.failedShards.empty()) {
                return RefreshFailedText(m_context.runDirectory, {});
            }
            const index::ShardFailure& first = report.failedShards.front();
            return RefreshFailedText(first.path, first.error);
        }
        case index::RefreshEnd::Written:
            break;
    }
    if (report.records == 0 && walk.filesSeen > 0 && !m_lastRefreshFilter.empty()) {
        return FilterMatchedNothingText(m_lastRefreshFilter, walk.filesSeen);
    }
    return RefreshDoneText(report);
}

}  // namespace cj::ui
