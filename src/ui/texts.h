// What the window says to people, in one place. The engine hands counts,
// paths and error codes; these make the texts (narrow, the platform encoding).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "copylist/copy_job.h"
#include "copylist/copy_report.h"
#include "copylist/copy_summary.h"
#include "core/engine_activity.h"
#include "index/refresh.h"

namespace cj::ui {

// The busy label's texts while a search or a refresh runs; the search's is
// also its resting text.
inline constexpr std::string_view SearchBusyText = "搜索中，请耐心等待...";
inline constexpr std::string_view RefreshBusyText = "刷新索引中，请耐心等待...";

// The status line after a search, and FoundText(0) when the window opens:
// "找到：" + count + " 个文件".
std::string FoundText(std::size_t count);
// The status line after an exact search that found nothing where ignoring
// case and width finds files.
std::string FoundIgnoringCaseText(std::uint64_t files);
// The settings page's keyword matching choices.
inline constexpr std::string_view MatchingGroupText = "关键词匹配";
inline constexpr std::string_view ExactMatchText = "精确匹配";
inline constexpr std::string_view IgnoreCaseAndWidthText = "忽略大小写和全半角";
// The status line after a search or a batch that found no index to search.
inline constexpr std::string_view NoIndexText = "还没有索引：请在设置页刷新索引";
// What the empty result list says while no directory list holds a folder:
// the three parts of one line, the middle one a link to the settings page.
inline constexpr std::string_view FirstStartHintBefore = "还没有目录列表：在";
inline constexpr std::string_view FirstStartHintLink = "「设置」";
inline constexpr std::string_view FirstStartHintAfter = "添加目录，然后刷新索引";

// The copy page's status texts, rewritten by its timer ("添加：" + count +
// " 个文件", as FoundText); the figures are copylist::FreeMegabytes and
// copylist::ListMegabytes, printed as copylist::FigureText prints them.
std::string AddedCountText(std::size_t count);
std::string FreeSpaceText(double megabytes);
std::string ListSizeText(double megabytes);

// The copy page's questions and the folder picker's title.
inline constexpr std::string_view PickFolderTitle = "请选择目录：";
inline constexpr std::string_view OpenBackupQuestion = "是否打开备份？";
inline constexpr std::string_view QuestionCaption = "提示";
// "清空列表" asks first, naming how many entries go.
std::string ClearListQuestion(std::size_t entries);
// "复制" asks before a copy that the target's file system cannot hold, and
// before one into a folder that does not exist.
std::string NotEnoughSpaceQuestion(std::uint64_t listBytes, std::uint64_t freeBytes);
std::string CreateFolderQuestion(std::string_view folder);
// What "复制" did not do: the folder could not be made.
std::string CreateFolderFailedText(std::string_view folder, std::error_code error);
// The copy page's choice for files whose name is taken in the target folder.
inline constexpr std::string_view SameNameCaption = "同名文件：";
inline constexpr std::string_view SameNameSkipText = "跳过";
inline constexpr std::string_view SameNameKeepBothText = "保留两者";
// The copy page's legend of the result rows' marks, in mark order (in the
// list, added again, copied directly).
inline constexpr std::string_view MarkLegendTexts[] = {"已加入列表", "重复加入", "已直接复制"};

// The copy progress window: its counter ("共：" + count + " 个文件，复制第：" +
// number + " 个") and the stop button's text once pressed.
std::string CopyCounterText(std::size_t fileCount, std::size_t fileNumber);
inline constexpr std::string_view StoppingText = "正在停止...";
// The text on the copy window's bar: the whole job's percentage, the bytes
// done of the total, and once the speed is known the speed and the time left
// ("45% · 1.20 GB / 2.65 GB · 35.2 MB/s · 剩余 41 秒").
std::string CopyProgressText(std::uint64_t bytesDone, std::uint64_t bytesTotal,
                             std::optional<double> bytesPerSecond,
                             std::optional<std::uint64_t> secondsLeft);
// The job's percentage of its bytes, 0 to 100; by files when the list holds
// no bytes at all.
int JobPercent(const copylist::CopyProgressReport& report);

// The status line at the end of a copy job or of a direct-copy run, short
// enough for the band: how many files were copied and how many were not
// (skipped because the target existed, failed, or left by a stop), or the
// target folder that could not be made, or that the copies could not be
// flushed to the device. The details are in the report
// (copylist::CopyReportText), which the band's report button opens.
std::string CopyNoticeText(const copylist::CopySummary& summary);
// The band's button that opens the last copy's report.
inline constexpr std::string_view CopyReportButtonText = "查看未复制";
// The details of a copy's end, for data/CopyReport.txt, which the command
// line writes too.
using copylist::CopyReportText;

// The status line after "备份列表" could not write the backup.
std::string BackupFailedText(std::error_code error);
// The status line after "备份列表" wrote the backup: "列表已备份：" + count + " 个文件".
std::string BackupDoneText(std::size_t entries);
// The status line after "打开备份" found a backup it could not read: a FIFO,
// a device or a folder under its name is refused, not read.
std::string OpenBackupFailedText(std::error_code error);

using copylist::FailureReasonText;

// The status line after a refresh that could not write the index: the
// reason first (a long path may not fit), then the file.
std::string RefreshFailedText(std::string_view path, std::error_code error);

// The status line after a refresh that did not run or wrote nothing new.
std::string FolderMissingText(std::string_view folder);
inline constexpr std::string_view AnotherRefreshRunsText = "另一个程序正在刷新索引，请稍后再试";
std::string FilterMatchedNothingText(std::string_view filter, std::uint64_t filesSeen);

// The settings page's messages, all under NoticeCaption with an OK button.
inline constexpr std::string_view NoticeCaption = "提示";
inline constexpr std::string_view ListTitleEmptyText = "目录列表标题不能为空！";
inline constexpr std::string_view ListExistsText = "目录列表已经存在！";
// A title the configuration file could not hold as it is.
inline constexpr std::string_view ListTitleUnstorableText =
    "目录列表标题不能含有 [ ] = 或换行，首尾不能是空格，也不能以 ; 开头！";
// A folder whose path the list cannot hold ("*/*" or a line break in it).
std::string FolderUnstorableText(std::string_view folder);
// A setting that could not be written to the configuration file at path.
std::string SettingsWriteFailedText(std::string_view path, std::error_code error);
// A thread-count change refused because a refresh or a search runs.
std::string ThreadCountRefusedText(core::StartOutcome outcome);
// "删除" asks first (yes or no, under QuestionCaption), naming the list and
// how many folders go with it.
std::string DeleteListQuestion(std::string_view title, std::size_t folders);
// A folder refused because the list has it already, or a folder around it
// (listed, the list's member).
std::string FolderAlreadyListedText(std::string_view folder, std::string_view listed);

// The status line after a refresh that wrote the index: "索引已刷新：" + records +
// " 个文件", then "，跳过 " + count + " 个" when it left paths out (folders it
// could not read, paths too long, names the index cannot hold).
std::string RefreshDoneText(const index::RefreshReport& report);
// The status line when "保存" has stored the type filter.
inline constexpr std::string_view SavedText = "已保存";

// The batch search of many waybill numbers: the band's button, the box's
// texts and the status line after a batch.
inline constexpr std::string_view BatchButtonText = "批量";
inline constexpr std::string_view BatchBoxTitle = "批量搜索快递单号";
inline constexpr std::string_view BatchInputCaption = "粘贴或输入快递单号，每行一个：";
inline constexpr std::string_view BatchTableCaption = "每个单号的结果：";
inline constexpr std::string_view BatchSearchButtonText = "搜索 (Ctrl+Enter)";
inline constexpr std::string_view CopyMissingButtonText = "复制缺少单号";
// The table's columns and the result column's words.
inline constexpr std::string_view BatchNumberColumn = "单号";
inline constexpr std::string_view BatchFilesColumn = "文件数";
inline constexpr std::string_view BatchResultColumn = "结果";
inline constexpr std::string_view BatchFoundWord = "找到";
inline constexpr std::string_view BatchMissingWord = "缺少";
// The result of a number that an exact batch did not find but that files
// hold when case and width are ignored.
std::string BatchMissingButFoundIgnoringCaseWord(std::uint64_t files);
// A number with no file in a batch that did not run to its end: it may
// still be in the part of the index that was not searched.
inline constexpr std::string_view BatchUnsureWord = "未搜完";
// "已识别 " + count + " 个单号"
std::string BatchCountText(std::size_t numbers);
// The busy label while a batch runs, with its share of the index scanned.
std::string BatchBusyText(int percent);
// The status line after a batch: "单号：找到 " + found + " 个，缺少 " +
// missing + " 个"; one that did not run to its end says so instead of
// counting numbers it may not have reached as missing.
std::string BatchFoundText(std::size_t found, std::size_t missing, bool complete);
// The box's line under the table adds the rows: "共 " + rows + " 个文件".
std::string BatchFilesText(std::size_t rows);
// The box's notices.
inline constexpr std::string_view BatchNothingToSearchText =
    "没有识别到单号：请粘贴或输入快递单号，每行一个";
inline constexpr std::string_view BatchListTooLargeText =
    "单号列表太大：一次最多 32 MB，请分几次搜索";
inline constexpr std::string_view BatchRefreshRunningText = "正在刷新索引，请等刷新结束后再搜索";
inline constexpr std::string_view BatchStoppingText = "正在停止搜索...";
inline constexpr std::string_view NoMissingNumbersText = "没有缺少的单号";
inline constexpr std::string_view MissingUnsureText =
    "搜索没有完成，缺少的单号还不确定：请重新搜索后再复制";
inline constexpr std::string_view ClipboardFailedText = "无法写入剪贴板，请重试";
// "已复制 " + count + " 个缺少单号到剪贴板"
std::string MissingCopiedText(std::size_t count);

// The messages when the desktop could not be handed a file: "打开文件",
// "打开文件目录" and "查看未复制". The reason is the system's when it is
// known (the file is gone, say), else that no program took the file.
std::string OpenFileFailedText(std::string_view path, std::error_code reason);
std::string ShowInFolderFailedText(std::string_view path, std::error_code reason);
std::string OpenReportFailedText(std::string_view path, std::error_code reason);
// Added to the first failure's text when more files could not be opened.
std::string MoreFilesNotOpenedText(std::size_t files);
// Asked before Enter opens more than ManyFilesToOpen selected files at once.
inline constexpr std::size_t ManyFilesToOpen = 10;
std::string OpenManyFilesQuestion(std::size_t files);

}  // namespace cj::ui
