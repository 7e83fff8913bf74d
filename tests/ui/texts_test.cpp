#include "ui/texts.h"

#include <gtest/gtest.h>

namespace cj::ui {
namespace {

TEST(WindowTexts, FailuresAUserCanActOnAreSaidInTheProgramsWords) {
    EXPECT_EQ(
        RefreshFailedText("/d/data/1.txt", std::make_error_code(std::errc::no_space_on_device)),
        "索引更新失败（磁盘空间不足）：/d/data/1.txt");
    EXPECT_EQ(FailureReasonText(std::make_error_code(std::errc::permission_denied)),
              "没有写入权限");
    EXPECT_EQ(RefreshFailedText("/d/data/.chengjing.lock",
                                std::make_error_code(std::errc::too_many_symbolic_link_levels)),
              "索引更新失败（是符号链接，已拒绝）：/d/data/.chengjing.lock");
    EXPECT_EQ(OpenBackupFailedText(std::make_error_code(std::errc::is_a_directory)),
              "打开备份失败（备份文件是一个文件夹）");
    // Others keep the system's message rather than saying nothing.
    const std::error_code other = std::make_error_code(std::errc::too_many_files_open);
    EXPECT_EQ(FailureReasonText(other), other.message());
}

TEST(WindowTexts, ARefreshSaysHowManyFilesItIndexedAndHowManyItSkipped) {
    index::RefreshReport report;
    report.records = 21000;
    EXPECT_EQ(RefreshDoneText(report), "索引已刷新：21000 个文件");
    report.walk.unreadableFolders = 2;
    report.walk.tooLong = 1;
    report.walk.unstorableNames = 4;
    EXPECT_EQ(RefreshDoneText(report), "索引已刷新：21000 个文件，跳过 7 个");
}

TEST(WindowTexts, EachCounterIsSpelledOneWay) {
    EXPECT_EQ(FoundText(0), "找到：0 个文件");
    EXPECT_EQ(FoundText(1262157), "找到：1262157 个文件");
    EXPECT_EQ(AddedCountText(0), "添加：0 个文件");
}

TEST(WindowTexts, CopyPageStatusTextsMatchTheirStartingTexts) {
    // The page opens with these texts; the timer's must read the same for an
    // empty list, or the labels would jump on the first tick.
    EXPECT_EQ(ListSizeText(0.0), "列表占用空间：0 MB");
    EXPECT_EQ(FreeSpaceText(1536.0), "磁盘可用空间：1536 MB");
    EXPECT_EQ(FreeSpaceText(-0.0), "磁盘可用空间：-0 MB") << "a failed query";
    EXPECT_EQ(ListSizeText(12.5), "列表占用空间：12.5 MB");
}

TEST(WindowTexts, TheCopyCounterReadsTheCountThenTheFile) {
    EXPECT_EQ(CopyCounterText(0, 0), "共：0 个文件，复制第：0 个");
    EXPECT_EQ(CopyCounterText(120000, 7), "共：120000 个文件，复制第：7 个");
}

TEST(WindowTexts, TheCopyBarSaysThePercentageTheBytesTheSpeedAndTheTimeLeft) {
    constexpr std::uint64_t MB = std::uint64_t{1} << 20;
    constexpr std::uint64_t GB = std::uint64_t{1} << 30;
    struct Case {
        std::uint64_t done, total;
        std::optional<double> rate;
        std::optional<std::uint64_t> left;
        const char* expected;
    };
    const Case cases[] = {
        {0, 0, {}, {}, "0% · 0 B / 0 B"},
        {GB + GB / 5 + MB, 2 * GB + GB * 65 / 100 + MB, 35.25 * MB, 41,
         "45% · 1.20 GB / 2.65 GB · 35.2 MB/s · 剩余 41 秒"},
        // No speed yet, no time left.
        {512, 2048, {}, {}, "25% · 512 B / 2.00 KB"},
        {MB, 10 * GB, 2.0 * MB, 185, "0% · 1.00 MB / 10.0 GB · 2.00 MB/s · 剩余 3 分 5 秒"},
        {MB, 1000 * GB, 0.5 * MB, 3 * 3600 + 61,
         "0% · 1.00 MB / 0.97 TB · 512 KB/s · 剩余 3 小时 1 分"},
        // Files that grew while copied do not take it past its end.
        {3 * MB, 2 * MB, {}, {}, "100% · 2.00 MB / 2.00 MB"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CopyProgressText(c.done, c.total, c.rate, c.left), c.expected);
    }
}

TEST(WindowTexts, ACopysEndSaysHowManyFilesWereNotCopiedShortEnoughForTheBand) {
    copylist::CopySummary summary;
    summary.copied = 3;
    EXPECT_EQ(CopyNoticeText(summary), "复制完成：3 个文件");
    summary.skippedExisting = 1;
    summary.failed = 1;
    EXPECT_EQ(CopyNoticeText(summary), "已复制 3 个，未复制 2 个")
        << "skipped and failed files are both not copied";
    summary.stopped = true;
    summary.notTried = 5;
    EXPECT_EQ(CopyNoticeText(summary), "已停止：已复制 3 个，未复制 7 个");
    summary = {};
    summary.stopped = true;
    EXPECT_EQ(CopyNoticeText(summary), "已停止：已复制 0 个，未复制 0 个")
        << "a stopped job never reads as complete";
}

// A job whose folder could not be made, or whose copies could not be put on
// the device, said "复制完成" all the same.
TEST(WindowTexts, ACopysEndNamesAFolderThatCannotBeMadeAndAFailedFlush) {
    copylist::CopySummary summary;
    summary.failed = 2;
    summary.targetFolder = "/media/u/盘/新";
    summary.folderError = std::make_error_code(std::errc::read_only_file_system);
    EXPECT_EQ(CopyNoticeText(summary), "无法创建目标文件夹 /media/u/盘/新（磁盘只读）");
    summary = {};
    summary.copied = 3;
    summary.flushError = std::make_error_code(std::errc::io_error);
    EXPECT_EQ(CopyNoticeText(summary),
              "复制的文件未能写入磁盘（" + summary.flushError.message() + "）");
}

}  // namespace
}  // namespace cj::ui
