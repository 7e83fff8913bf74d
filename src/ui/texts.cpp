#include "ui/texts.h"

#include <algorithm>

#include "copylist/copy_report.h"
#include "copylist/copy_target.h"
#include "copylist/list_status.h"
#include "shell/file_name.h"

namespace cj::ui {

std::string FoundText(std::size_t count) {
    return "找到：" + std::to_string(count) + " 个文件";
}

std::string FoundIgnoringCaseText(std::uint64_t files) {
    return "找到：0 个文件（忽略大小写可找到 " + std::to_string(files) + " 个）";
}

std::string BatchMissingButFoundIgnoringCaseWord(std::uint64_t files) {
    return "缺少（忽略大小写可找到 " + std::to_string(files) + " 个）";
}

std::string AddedCountText(std::size_t count) {
    return "添加：" + std::to_string(count) + " 个文件";
}

std::string FreeSpaceText(double megabytes) {
    return "磁盘可用空间：" + copylist::FigureText(megabytes) + " MB";
}

std::string ListSizeText(double megabytes) {
    return "列表占用空间：" + copylist::FigureText(megabytes) + " MB";
}

std::string CopyCounterText(std::size_t fileCount, std::size_t fileNumber) {
    return "共：" + std::to_string(fileCount) + " 个文件，复制第：" + std::to_string(fileNumber) +
           " 个";
}

namespace {

// A byte count in the lists' short units, "0 B" included.
std::string BytesText(std::uint64_t bytes) {
    return bytes == 0 ? std::string("0 B") : shell::SizeTextForBytes(bytes);
}

}  // namespace

std::string ClearListQuestion(std::size_t entries) {
    return "确定清空列表吗？将移除 " + std::to_string(entries) + " 个文件。";
}

std::string NotEnoughSpaceQuestion(std::uint64_t listBytes, std::uint64_t freeBytes) {
    return "列表共 " + BytesText(listBytes) + "，目标磁盘只有 " + BytesText(freeBytes) +
           " 可用空间，放不下全部文件。\n仍然复制吗？";
}

std::string CreateFolderQuestion(std::string_view folder) {
    return "目标文件夹不存在：\n" + std::string(folder) + "\n是否创建并复制？";
}

std::string CreateFolderFailedText(std::string_view folder, std::error_code error) {
    return "无法创建目标文件夹 " + std::string(folder) + "（" + FailureReasonText(error) + "）";
}

std::string CopyProgressText(std::uint64_t bytesDone, std::uint64_t bytesTotal,
                             std::optional<double> bytesPerSecond,
                             std::optional<std::uint64_t> secondsLeft) {
    // Files that grew while they were copied do not take the figure past its end.
    const std::uint64_t done = std::min(bytesDone, bytesTotal);
    const int percent = bytesTotal == 0 ? 0 : copylist::CopyPercent(bytesTotal, done);
    std::string text =
        std::to_string(percent) + "% · " + BytesText(done) + " / " + BytesText(bytesTotal);
    if (bytesPerSecond) {
        text += " · " + BytesText(static_cast<std::uint64_t>(*bytesPerSecond)) + "/s";
    }
    if (secondsLeft) {
        const std::uint64_t s = *secondsLeft;
        text += " · 剩余 ";
        if (s >= 3600) {
            text += std::to_string(s / 3600) + " 小时 " + std::to_string(s % 3600 / 60) + " 分";
        } else if (s >= 60) {
            text += std::to_string(s / 60) + " 分 " + std::to_string(s % 60) + " 秒";
        } else {
            text += std::to_string(s) + " 秒";
        }
    }
    return text;
}

int JobPercent(const copylist::CopyProgressReport& report) {
    if (report.bytesTotal > 0) {
        return copylist::CopyPercent(report.bytesTotal,
                                     std::min(report.bytesDone, report.bytesTotal));
    }
    if (report.fileCount == 0) {
        return 0;
    }
    return copylist::CopyPercent(report.fileCount, report.fileNumber - 1);
}

std::string CopyNoticeText(const copylist::CopySummary& summary) {
    if (summary.folderError) {
        return "无法创建目标文件夹 " + summary.targetFolder + "（" +
               FailureReasonText(summary.folderError) + "）";
    }
    // Said before "复制完成": a clerk who pulls the stick at that word must
    // not lose the copies.
    if (summary.flushError) {
        return "复制的文件未能写入磁盘（" + FailureReasonText(summary.flushError) + "）";
    }
    const std::size_t notCopied = summary.skippedExisting + summary.failed + summary.notTried;
    const std::string renamed =
        summary.renamed.empty() ? "" : "，改名 " + std::to_string(summary.renamed.size()) + " 个";
    if (notCopied == 0 && !summary.stopped) {
        return "复制完成：" + std::to_string(summary.copied) + " 个文件" + renamed;
    }
    return std::string(summary.stopped ? "已停止：" : "") + "已复制 " +
           std::to_string(summary.copied) + " 个" + renamed + "，未复制 " +
           std::to_string(notCopied) + " 个";
}

std::string BackupFailedText(std::error_code error) {
    return "备份列表失败（" + FailureReasonText(error) + "）";
}

std::string BackupDoneText(std::size_t entries) {
    return "列表已备份：" + std::to_string(entries) + " 个文件";
}

std::string OpenBackupFailedText(std::error_code error) {
    if (error == std::errc::invalid_argument) {
        return "打开备份失败（备份文件不是普通文件）";
    }
    if (error == std::errc::is_a_directory) {
        return "打开备份失败（备份文件是一个文件夹）";
    }
    return "打开备份失败（" + FailureReasonText(error) + "）";
}

std::string FolderMissingText(std::string_view folder) {
    return "无法打开目录 " + std::string(folder) + "，索引保持不变";
}

std::string FilterMatchedNothingText(std::string_view filter, std::uint64_t filesSeen) {
    return "文件类型“" + std::string(filter) + "”没有匹配任何文件（共找到 " +
           std::to_string(filesSeen) + " 个文件）";
}

std::string RefreshDoneText(const index::RefreshReport& report) {
    std::string text = "索引已刷新：" + std::to_string(report.records) + " 个文件";
    const index::WalkReport& walk = report.walk;
    if (const std::uint64_t skipped = walk.unreadableFolders + walk.tooLong + walk.unstorableNames;
        skipped > 0) {
        text += "，跳过 " + std::to_string(skipped) + " 个";
    }
    return text;
}

std::string RefreshFailedText(std::string_view path, std::error_code error) {
    std::string text = "索引更新失败（";
    text += FailureReasonText(error);
    text += "）：";
    text += path;
    return text;
}

std::string FolderUnstorableText(std::string_view folder) {
    return "目录路径含有 */* 或换行，无法加入目录列表：" + std::string(folder);
}

std::string SettingsWriteFailedText(std::string_view path, std::error_code error) {
    return "设置保存失败（" + FailureReasonText(error) + "）：" + std::string(path);
}

std::string ThreadCountRefusedText(core::StartOutcome outcome) {
    return outcome == core::StartOutcome::SearchRunning
               ? "正在搜索，请等搜索结束后再更改线程数！"
               : "正在刷新索引，请等刷新结束后再更改线程数！";
}

std::string DeleteListQuestion(std::string_view title, std::size_t folders) {
    return "删除目录列表「" + std::string(title) + "」（" + std::to_string(folders) + " 个目录）？";
}

std::string FolderAlreadyListedText(std::string_view folder, std::string_view listed) {
    if (folder == listed) {
        return "目录「" + std::string(folder) + "」已在列表中";
    }
    return "目录「" + std::string(folder) + "」已包含在列表中的目录「" + std::string(listed) +
           "」里";
}

std::string BatchCountText(std::size_t numbers) {
    return "已识别 " + std::to_string(numbers) + " 个单号";
}

std::string BatchBusyText(int percent) {
    return "批量搜索中 " + std::to_string(percent) + "%，请耐心等待...";
}

std::string BatchFoundText(std::size_t found, std::size_t missing, bool complete) {
    if (!complete) {
        return "搜索未完成：单号找到 " + std::to_string(found) + " 个";
    }
    return "单号：找到 " + std::to_string(found) + " 个，缺少 " + std::to_string(missing) + " 个";
}

std::string BatchFilesText(std::size_t rows) {
    return "共 " + std::to_string(rows) + " 个文件";
}

std::string MissingCopiedText(std::size_t count) {
    return "已复制 " + std::to_string(count) + " 个缺少单号到剪贴板";
}

namespace {

// What the system said about path, or that no program took it.
std::string DesktopFailureReason(std::error_code reason) {
    if (!reason) {
        return "没有程序能打开它";
    }
    if (reason == std::errc::no_such_file_or_directory) {
        return "文件不存在，可能已被移动或删除";
    }
    if (reason == std::errc::permission_denied) {
        return "没有访问权限";
    }
    return FailureReasonText(reason);
}

}  // namespace

std::string OpenFileFailedText(std::string_view path, std::error_code reason) {
    return "无法打开文件 " + std::string(path) + "（" + DesktopFailureReason(reason) + "）";
}

std::string ShowInFolderFailedText(std::string_view path, std::error_code reason) {
    return "无法打开文件所在的文件夹 " + std::string(path) + "（" + DesktopFailureReason(reason) +
           "）";
}

std::string OpenReportFailedText(std::string_view path, std::error_code reason) {
    return "无法打开复制报告 " + std::string(path) + "（" + DesktopFailureReason(reason) + "）";
}

std::string MoreFilesNotOpenedText(std::size_t files) {
    return "，另有 " + std::to_string(files) + " 个文件也未能打开";
}

std::string OpenManyFilesQuestion(std::size_t files) {
    return "要打开选中的 " + std::to_string(files) + " 个文件吗？";
}

}  // namespace cj::ui
