#include "ui/desktop_handover.h"

#include "core/event_log.h"
#include "platform/files.h"
#include "ui/texts.h"

namespace cj::ui {
namespace {

// Why the desktop could not take path: the system's reason when the file is
// not there (moved or deleted since the index was made), else none.
std::error_code ReasonNotTaken(const std::string& path) {
    const platform::PathProbe probe = platform::ProbePath(path);
    if (probe.exists) {
        return {};
    }
    return probe.error ? probe.error : std::make_error_code(std::errc::no_such_file_or_directory);
}

void Tell(const WindowDialogs& dialogs, std::string_view text) {
    if (dialogs.tell) {
        dialogs.tell(text, NoticeCaption);
    }
}

}  // namespace

void OpenFilesOrTell(const WindowDialogs& dialogs, const std::vector<std::string>& paths) {
    std::string told;
    std::size_t failed = 0;
    for (const std::string& path : paths) {
        const std::error_code reason = ReasonNotTaken(path);
        if (!reason && dialogs.openFile && dialogs.openFile(path)) {
            continue;
        }
        core::LogFailure("打开文件失败 " + path, reason);
        if (failed++ == 0) {
            told = OpenFileFailedText(path, reason);
        }
    }
    if (failed > 1) {
        told += MoreFilesNotOpenedText(failed - 1);
    }
    if (failed > 0) {
        Tell(dialogs, told);
    }
}

void ShowInFolderOrTell(const WindowDialogs& dialogs, const std::string& path) {
    const std::error_code reason = ReasonNotTaken(path);
    if (!reason && dialogs.showInFolder && dialogs.showInFolder(path)) {
        return;
    }
    core::LogFailure("在文件夹中显示失败 " + path, reason);
    Tell(dialogs, ShowInFolderFailedText(path, reason));
}

void OpenCopyReportOrTell(const WindowDialogs& dialogs, const std::string& path) {
    if (dialogs.openFile && dialogs.openFile(path)) {
        return;
    }
    core::LogFailure("打开复制报告失败 " + path);
    Tell(dialogs, OpenReportFailedText(path, ReasonNotTaken(path)));
}

}  // namespace cj::ui
