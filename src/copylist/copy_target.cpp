#include "copylist/copy_target.h"

#include <limits>

#include "platform/files.h"
#include "platform/path_text.h"
#include "shell/file_name.h"

namespace cj::copylist {

std::string TargetPath(std::string_view targetText, std::string_view source) {
    std::string path(targetText);
    if (!path.empty() && !platform::EndsWithSeparator(path)) {
        path += platform::PathSeparator;
    }
    path += shell::FileName(source, true);
    return path;
}

void PrepareTargetFolder(const std::string& targetText) {
    if (targetText.empty() || platform::ProbePath(targetText).exists) {
        return;
    }
    // One level only: a mistyped path must not grow a tree of folders. When
    // this fails every copy into the folder fails and says why.
    static_cast<void>(platform::MakeDirectory(targetText));
}

std::error_code CopyIntoFolder(const std::string& source, const std::string& targetText,
                               const platform::CopyProgress& progress, CopySummary& summary) {
    std::string target = TargetPath(targetText, source);
    const std::error_code ec = platform::CopyFileExclusive(source, target, progress);
    if (!ec) {
        ++summary.copied;
    } else if (ec == std::errc::operation_canceled) {
        ++summary.notTried;
    } else {
        // Listed before counted: when the list cannot grow, the caller
        // counts the file itself.
        summary.notCopied.push_back({source, std::move(target), ec});
        ++(ec == std::errc::file_exists ? summary.skippedExisting : summary.failed);
    }
    return ec;
}

int CopyPercent(std::uint64_t total, std::uint64_t transferred) {
    if (total == 0) {
        return 0;
    }
    if (transferred >= total) {
        return 100;
    }
    // transferred * 100 wraps past 184 PB: both sides lose their low bits
    // first, which moves the figure by far less than one percent.
    while (transferred > std::numeric_limits<std::uint64_t>::max() / 100) {
        transferred >>= 1;
        total >>= 1;
    }
    const std::uint64_t percent = transferred * 100 / total;
    return static_cast<int>(percent < 99 ? percent : 99);
}

}  // namespace cj::copylist
