#include "copylist/copy_report.h"

#include "core/data_paths.h"
#include "platform/file_copy.h"
#include "platform/files.h"

namespace cj::copylist {

namespace {

std::string SummaryLine(const CopySummary& summary) {
    std::string text = summary.stopped ? "复制已停止：" : "复制完成：";
    text += "已复制 " + std::to_string(summary.copied) + " 个，";
    if (!summary.renamed.empty()) {
        text += "改名 " + std::to_string(summary.renamed.size()) + " 个，";
    }
    text += "已存在跳过 " + std::to_string(summary.skippedExisting) + " 个，失败 " +
            std::to_string(summary.failed) + " 个";
    if (summary.notTried > 0) {
        text += "，未复制 " + std::to_string(summary.notTried) + " 个";
    }
    return text;
}

std::string FileReasonText(std::error_code error) {
    if (error == std::errc::file_exists) {
        return "已存在，未覆盖";
    }
    if (error == std::errc::operation_canceled) {
        return "已停止，未复制";
    }
    if (error == std::errc::no_such_file_or_directory) {
        return "找不到文件或目标文件夹";  // The folder may have gone meanwhile.
    }
    return FailureReasonText(error);
}

}  // namespace

std::string CopyReportText(const CopySummary& summary) {
    std::string text = SummaryLine(summary) + "\n";
    if (summary.folderError) {
        text += "无法创建目标文件夹 " + summary.targetFolder + "：" +
                FailureReasonText(summary.folderError) + "\n";
    }
    if (summary.flushError) {
        text += "复制的文件未能写入磁盘：" + FailureReasonText(summary.flushError) + "\n";
    }
    for (const CopiedAs& file : summary.renamed) {
        text += file.source + " -> " + file.target + "：同名，已改名复制\n";
    }
    for (const NotCopied& file : summary.notCopied) {
        // Each file of a folder that could not be made would only repeat it.
        if (summary.folderError && file.error == summary.folderError) {
            text += file.source + "\n";
            continue;
        }
        text += file.source + " -> " + file.target + "：" + FileReasonText(file.error) + "\n";
    }
    return text;
}

std::string FailureReasonText(std::error_code error) {
    if (error == std::errc::no_space_on_device || error == std::errc::file_too_large) {
        return "磁盘空间不足";
    }
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted) {
        return "没有写入权限";
    }
    if (error == std::errc::read_only_file_system) {
        return "磁盘只读";
    }
    if (error == std::errc::no_such_file_or_directory) {
        return "找不到文件夹";
    }
    if (error == std::errc::is_a_directory) {
        return "已有同名文件夹";
    }
    if (error == std::errc::not_a_directory) {
        return "已有同名文件";
    }
    if (error == std::errc::too_many_symbolic_link_levels) {
        // A data file that is a link another account made, or a loop.
        return "是符号链接，已拒绝";
    }
    if (error == platform::CopyError::NotRegularFile) {
        return "不是普通文件";
    }
    if (error == platform::CopyError::SourceChanged) {
        return "复制时文件大小改变";
    }
    return error ? error.message() : std::string("未知错误");
}

std::error_code TryWriteCopyReport(std::string_view runDirectory, const CopySummary& summary) {
    return platform::WriteWholeFileAtomic(core::CopyReportPath(runDirectory),
                                          CopyReportText(summary));
}

}  // namespace cj::copylist
