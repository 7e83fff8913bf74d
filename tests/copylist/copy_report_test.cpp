#include "copylist/copy_report.h"

#include <gtest/gtest.h>

#include "platform/file_copy.h"

namespace cj::copylist {
namespace {

// The report named a folder's failure as each file's "No such file or
// directory", called a folder source "Invalid argument", and of an
// interrupted run gave only a count.
TEST(CopyReport, NamesTheFolderAndEachFileNotCopiedWithItsReason) {
    CopySummary summary;
    summary.copied = 1;
    summary.skippedExisting = 1;
    summary.failed = 3;
    summary.notTried = 1;
    summary.stopped = true;
    summary.flushError = std::make_error_code(std::errc::no_space_on_device);
    summary.notCopied = {
        {"/s/a.jpg", "/t/a.jpg", std::make_error_code(std::errc::file_exists)},
        {"/s/b.jpg", "/t/b.jpg", std::make_error_code(std::errc::no_space_on_device)},
        {"/s/dir", "/t/dir", platform::CopyError::NotRegularFile},
        {"/s/c.mp4", "/t/c.mp4", platform::CopyError::SourceChanged},
        {"/s/d.jpg", "/t/d.jpg", std::make_error_code(std::errc::operation_canceled)},
    };
    EXPECT_EQ(CopyReportText(summary),
              "复制已停止：已复制 1 个，已存在跳过 1 个，失败 3 个，未复制 1 个\n"
              "复制的文件未能写入磁盘：磁盘空间不足\n"
              "/s/a.jpg -> /t/a.jpg：已存在，未覆盖\n"
              "/s/b.jpg -> /t/b.jpg：磁盘空间不足\n"
              "/s/dir -> /t/dir：不是普通文件\n"
              "/s/c.mp4 -> /t/c.mp4：复制时文件大小改变\n"
              "/s/d.jpg -> /t/d.jpg：已停止，未复制\n");

    CopySummary folder;
    folder.failed = 2;
    folder.targetFolder = "/t/new";
    folder.folderError = std::make_error_code(std::errc::permission_denied);
    folder.notCopied = {{"/s/a.jpg", "/t/new/a.jpg", folder.folderError},
                        {"/s/b.jpg", "/t/new/b.jpg", folder.folderError}};
    EXPECT_EQ(CopyReportText(folder),
              "复制完成：已复制 0 个，已存在跳过 0 个，失败 2 个\n"
              "无法创建目标文件夹 /t/new：没有写入权限\n"
              "/s/a.jpg\n"
              "/s/b.jpg\n");
}

}  // namespace
}  // namespace cj::copylist
