// The main window: its frame, its three pages, the rows of the last search,
// and the jobs it starts. It starts a job on its own thread, receives the
// job's outcome events through its inbox and applies them in its window
// procedure, on the same thread.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "copylist/copy_job.h"
#include "copylist/copy_list.h"
#include "copylist/direct_copy.h"
#include "core/engine_activity.h"
#include "core/settings_file.h"
#include "exdui/exdui.h"
#include "index/refresh.h"
#include "search/batch_search.h"
#include "search/search_engine.h"
#include "ui/batch_window.h"
#include "ui/copy_list_rows.h"
#include "ui/copy_page.h"
#include "ui/copy_progress_window.h"
#include "ui/frame_window.h"
#include "ui/job_events.h"
#include "ui/list_interactions.h"
#include "ui/result_rows.h"
#include "ui/search_page.h"
#include "ui/settings_page.h"
#include "ui/window_dialogs.h"

namespace cj::ui {

inline constexpr char MainWindowTitle[] = "澄镜文件极速搜索工具";
inline constexpr int MainWindowWidth = 1000;
inline constexpr int MainWindowHeight = 720;
inline constexpr ExArgb MainWindowBackground = 0xFFFF0000;
inline constexpr ExArgb ClientColour = 0xFFDCDCDC;  // Below the band.
inline constexpr ExArgb BandColour = 0xC8FF0000;    // The top band, down to BandHeight.
inline constexpr int BandHeight = 60;
// The least size of the window, whoever sizes it: every control stays usable
// at it.
inline constexpr int MainWindowMinWidth = 800;
inline constexpr int MainWindowMinHeight = 600;
// The size "默认大小" gives the window.
inline constexpr int DefaultSizeWidth = 1200;
inline constexpr int DefaultSizeHeight = 720;

// What the window works with that outlives it. The engine objects report to
// inbox (through a JobReporter) and are shared with nothing else.
struct WindowContext {
    std::string runDirectory;            // No trailing separator.
    const core::SettingsFile& settings;  // data/chengjing.ini.
    core::EngineActivity& activity;
    search::SearchEngine& search;
    index::Refresher& refresher;
    copylist::CopyJob& copyJob;
    copylist::DirectCopier& directCopier;
    JobInbox& inbox;
    search::BatchSearch& batch;
};

// The options the settings page shows and the window saves when it closes.
struct WindowOptions {
    // Empty while the file holds an option this program does not know: it is
    // then left as it is.
    std::optional<core::WindowSizeOption> windowState = core::WindowSizeOption::Default;
    // What a double-click on a hit does; empty as windowState.
    std::optional<core::DoubleClickAction> doubleClick = core::DoubleClickAction::AddToCopyList;
    // No thread count: it belongs to the index, which another program may
    // rebuild while the window is open; every job reads it under the index
    // lock and the settings page shows the stored one.
    // How the search and the batch hold keywords against names.
    search::MatchRule matchRule = search::MatchRule::Exact;
    // What the copy job does with a file whose name is taken in the target.
    core::SameNameRule sameName = core::SameNameRule::Skip;
};

class MainWindow {
  public:
    explicit MainWindow(WindowContext context);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Starts the UI library, creates the window with its controls and the
    // saved settings, and runs until the window has been closed and the
    // settings saved. Returns whether a window could be made.
    bool Run();

    // The jobs, started on the UI thread by the pages' handlers.
    void StartSearch();
    // Refreshes the folders and the filter the settings page shows now, into
    // as many shards as the index has when the refresh takes its lock. The
    // page shown stays; the band says that the refresh runs, then how it ended.
    void StartRefresh();
    // "更新缓存": the same refresh, after which the search that filled the
    // list runs again with the keyword box's text, so that files added since
    // show up. With no search behind the list (none yet, or a batch's rows)
    // the box's keywords, if any, are searched.
    void RefreshAndSearchAgain();
    // The same refresh, building the index with count shards: the thread
    // count changes with the index. The count in use stays until the new
    // index is committed, and for good when the refresh fails (the previous
    // index stays too). Refused, with nothing changed, while a refresh or a
    // search runs: the UI thread never waits for either.
    core::StartOutcome StartThreadCountChange(int count);
    // The count a thread-count change is building the index with, until its
    // refresh has ended; nothing otherwise.
    std::optional<int> PendingThreadCount() const;
    // Shows in the settings page's selector the count a change is building,
    // or else the stored one, as another program may have changed it.
    void ShowThreadCount();

    // The batch search. OpenBatchBox opens the batch box (or brings it
    // forward) with text in its input when text is not empty, and the last
    // batch's numbers in its table. StartBatch searches the numbers of text
    // as the single search does: refused during a refresh, a stop request
    // during a search or a batch; a text without numbers searches nothing
    // and says so in the box. The rows replace the result list's, grouped by
    // number in list order.
    void OpenBatchBox(std::string_view text = {});
    void StartBatch(const std::string& text);
    // "复制缺少单号": the last batch's numbers without files onto the
    // clipboard, one a line; refused with a notice when that batch did not
    // run to its end (its missing numbers are not known).
    void CopyMissingNumbers();

    // The copy list's figures: the added count in the band, the target's
    // free space and the list's size on the copy page. Every 300 ms, by the
    // added-count label's timer. The free space is asked of the file system
    // on the UI thread: statvfs answers at once, except on a network mount
    // that has stopped answering.
    void RefreshCopyStatus();
    // The folder picker ("请选择目录："): the chosen folder, or nothing when
    // the user cancelled. It starts in the folder chosen last in this run,
    // else in the user's home folder.
    std::optional<std::string> PickFolder();
    // "浏览": the picker fills the target box.
    void BrowseForTarget();
    // "打开备份": asks first; only Yes replaces the list with the backup's.
    void RestoreBackup();
    // "复制": copies the list into the target box's folder, asking for the
    // folder first when the box is empty (a cancelled picker copies nothing),
    // and asking before a list larger than the folder's free space and
    // before making a folder that is not there (a no copies nothing).
    // The main window is disabled and the progress window shown until the
    // job ends.
    void StartCopyJob();
    // The copy page's "同名文件": used by the next copy job and stored at
    // once, a failed write said.
    void SetSameNameRule(core::SameNameRule rule);
    // Queues the paths of hit rows (from 1) for the direct copy into the
    // target box's folder, and marks the rows copied at once. An empty box
    // asks for the folder first, once, as "复制" does.
    void QueueDirectCopy(std::span<const std::size_t> rows);

    void OnCopyPageShown();
    void OnSettingsPageShown() { ShowThreadCount(); }
    // Whether a saved directory list holds a folder: before one does, the
    // empty result list says where to add one.
    bool HasDirectoryList() const;
    // Makes the result rows' marks say which of their files are in the copy
    // list, and repaints them: after entries went or came back.
    void ShowListMarks();
    // "默认大小": the normal state at DefaultSizeWidth by DefaultSizeHeight,
    // kept on the screen.
    void ShowDefaultSize();
    void ShowMaximised();
    // Sizes the window and centres it in its screen's work area, no larger
    // than that and no smaller than the window's least size; a size that is
    // not positive keeps the current one.
    void PlaceCentred(int width, int height);
    // Moves the window into its screen's work area and makes it no larger.
    void KeepOnScreen();
    // Tells the user text in a message box with an OK button.
    void Tell(std::string_view text);
    // Asks the user text with the buttons Yes and No: true for Yes.
    bool Ask(std::string_view text);

    const core::SettingsFile& Settings() const { return m_context.settings; }
    const core::EngineActivity& Activity() const { return m_context.activity; }
    WindowOptions& Options() { return m_options; }
    const FrameWindow& Frame() const { return m_frame; }
    ExHandle Surface() const { return m_surface; }
    SearchPage& Search() { return m_searchPage; }
    CopyPage& Copy() { return m_copyPage; }
    SettingsPage& SettingsTab() { return m_settingsPage; }
    ResultRows& Rows() { return m_rows; }
    copylist::CopyList& CopyEntries() { return m_copyList; }
    const CopyProgressWindow& CopyWindow() const { return m_copyWindow; }
    BatchWindow& Batch() { return m_batchWindow; }
    // The last batch's numbers as its table shows them; empty before the
    // first batch and while one runs.
    const std::vector<search::BatchNumber>& BatchNumbers() const { return m_batchNumbers; }
    // The dialogs the window asks with; tests put their own in place.
    WindowDialogs& Dialogs() { return m_dialogs; }
    // data/CopyReport.txt: the details of the last copy's end.
    std::string CopyReportPath() const;
    // Hands the report to the desktop's program for text files; tells the
    // user when it cannot.
    void OpenCopyReport();

  private:
    enum class JobKind { Search, Refresh, Batch };
    // A refresh that changes the thread count.
    struct ThreadCountChange {
        core::JobGeneration generation;
        int count;
    };
    // The job whose busy label the search page shows; its end brings the list back.
    struct BusyJob {
        JobKind kind;
        core::JobGeneration generation;
    };

    static intptr_t Procedure(ExHandle window, ExHandle surface, int32_t message, intptr_t wParam,
                              intptr_t lParam, intptr_t* result);
    intptr_t OnMessage(ExHandle surface, int32_t message, intptr_t wParam, intptr_t lParam,
                       intptr_t* result);
    void CreateControls();
    void LayOut(int width, int height);
    void SaveSettings();
    // Backs the copy list up if it changed, so that nothing collected goes
    // with the window.
    void BackUpCopyList();
    // Starts a refresh of the settings page's folders into shardCount shards.
    core::JobStart StartRefreshJob(int shardCount);

    // The target box's folder; when the box is empty, the one the user picks
    // now (filling the box), or nothing when the user cancels.
    std::optional<std::string> TargetFolder();
    // Whether a copy into target may start: a folder that is not there is
    // made, with its missing parents, when the user says yes to that.
    bool MakeTargetReady(const std::string& target);
    // Whether the list fits the target's free space, or the user said to copy
    // it all the same.
    bool ListFitsOrUserAgrees(const std::string& target);

    void ApplyJobEvents();
    void Apply(SearchFinishedEvent& event);
    void Apply(RefreshFinishedEvent& event);
    void Apply(CopyProgressEvent& event);
    void Apply(CopyFinishedEvent& event);
    void Apply(DirectCopyProgressEvent& event);
    void Apply(DirectCopyFinishedEvent& event);
    void Apply(BatchProgressEvent& event);
    void Apply(BatchFinishedEvent& event);
    // Saves the details of a copy's end and shows its summary in the status line.
    void ShowCopyEnd(const copylist::CopySummary& summary);
    // Ends the copy job as seen by the user: progress window closed, main
    // window enabled.
    void EndCopyJobWindow();
    bool OwnsBusyLabel(JobKind kind, core::JobGeneration generation) const;
    // What the status line says after a refresh: why it failed, that the
    // filter matched nothing, or what it wrote.
    std::string RefreshNotice(const index::RefreshReport& report) const;

    WindowContext m_context;
    WindowOptions m_options;
    FrameWindow m_frame;
    ExHandle m_surface = 0;  // Parent of every control.
    ResultRows m_rows;
    SearchPage m_searchPage{*this};
    CopyPage m_copyPage{*this};
    SettingsPage m_settingsPage{*this};
    CopyListRows m_copyRows{m_copyPage.CopyList()};
    copylist::CopyList m_copyList;
    ListInteractions m_lists{*this};
    WindowDialogs m_dialogs = SystemDialogs();
    CopyProgressWindow m_copyWindow;
    BatchWindow m_batchWindow{{.search = [this](const std::string& text) { StartBatch(text); },
                               .copyMissing = [this] { CopyMissingNumbers(); },
                               .newList = [this] { m_batchNumbers.clear(); }}};

    core::JobGeneration m_currentSearch = 0;   // The search started last.
    core::JobGeneration m_currentRefresh = 0;  // The refresh started last.
    core::JobGeneration m_currentBatch = 0;    // The batch started last.
    // Which of the search and the batch filled the result list last: the
    // other's late outcome is dropped even when it is the last of its kind.
    JobKind m_listOwner = JobKind::Search;
    std::vector<search::BatchNumber> m_batchNumbers;  // The last batch's, in list order.
    bool m_batchComplete = false;  // That batch ran to its end: its missing numbers are sure.
    core::JobGeneration m_currentCopyJob = 0;  // The copy job started last.
    // The direct-copy run the last queued path went to; its progress and end
    // are shown, those of earlier runs dropped.
    core::JobGeneration m_currentDirectRun = 0;
    std::optional<BusyJob> m_busyJob;
    std::string m_lastRefreshFilter;  // The type filter of the refresh started last.
    std::string m_lastPickedFolder;   // Empty until the picker returned a folder.
    std::optional<ThreadCountChange> m_threadCountChange;  // Until its refresh has ended.
    // The "更新缓存" refresh whose end runs the search again, and that search,
    // whose end shows the refresh's confirmation with its count.
    core::JobGeneration m_refreshThenSearch = 0;
    core::JobGeneration m_searchAfterRefresh = 0;
    std::string m_refreshDone;  // The confirmation of that refresh.
};

}  // namespace cj::ui
