#include "copylist/copy_target.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdint>
#include <filesystem>
#include <limits>

#include "platform/code_page.h"
#include "temp_dir.h"

namespace cj::copylist {
namespace {

namespace fs = std::filesystem;

struct TargetCase {
    const char* text;
    const char* source;
    const char* expected;
};

#ifdef _WIN32
TEST(CopyTarget, TargetPathPutsOneSeparatorBeforeTheFileName) {
    const TargetCase cases[] = {
        {"D:\\out", "C:\\scans\\2024\\SF1400000000001.jpg", "D:\\out\\SF1400000000001.jpg"},
        // Three-byte drive roots end in the separator already.
        {"D:\\", "C:\\scans\\a.jpg", "D:\\a.jpg"},
        {"d:\\", "a.jpg", "d:\\a.jpg"},
        // A bare drive letter means that drive's root, not the folder the
        // process last used on it.
        {"D:", "C:\\scans\\a.jpg", "D:\\a.jpg"},
        {"D:\\out\\", "C:\\scans\\a.jpg", "D:\\out\\a.jpg"},
        {"ab", "C:\\a.jpg", "ab\\a.jpg"},
        {"", "C:\\scans\\a.jpg", "a.jpg"},
        {"\\\\server\\share", "C:\\a.jpg", "\\\\server\\share\\a.jpg"},
    };
    for (const TargetCase& c : cases) {
        EXPECT_EQ(TargetPath(c.text, c.source), c.expected) << c.text << " + " << c.source;
    }
}

TEST(CopyTarget, GbkTrailByteThatLooksLikeTheSeparatorIsNoSeparator) {
    if (platform::ActiveCodePage() != platform::CodePage::Gbk) {
        GTEST_SKIP() << "needs the Chinese code page 936";
    }
    // 95 5C is one character: the folder does not end in a separator, and a
    // name ending in that character is a whole name.
    EXPECT_EQ(TargetPath("D:\\\x95\x5C", "C:\\a.jpg"), "D:\\\x95\x5C\\a.jpg");
    EXPECT_EQ(TargetPath("D:\\out", "C:\\in\\\x95\x5C"), "D:\\out\\\x95\x5C");
}
#else
TEST(CopyTarget, TargetPathPutsOneSeparatorBeforeTheFileName) {
    const TargetCase cases[] = {
        {"/out", "/scans/2024/SF1400000000001.jpg", "/out/SF1400000000001.jpg"},
        // A text that ends in a separator, the root among them, gets none.
        {"/out/", "/scans/a.jpg", "/out/a.jpg"},
        {"/", "/scans/a.jpg", "/a.jpg"},
        // An empty text is the current folder: the bare file name.
        {"", "/scans/a.jpg", "a.jpg"},
        {"out", "/scans/a.tar.gz", "out/a.tar.gz"},
        {"/out", "a.jpg", "/out/a.jpg"},
        {"/出库", "/扫描/顺丰.jpg", "/出库/顺丰.jpg"},
        // The text is used as typed, a double separator included.
        {"/out//", "/scans/a.jpg", "/out//a.jpg"},
    };
    for (const TargetCase& c : cases) {
        EXPECT_EQ(TargetPath(c.text, c.source), c.expected) << c.text << " + " << c.source;
    }
}
#endif

TEST(CopyTarget, MissingFolderIsCreatedOneLevelDeep) {
    test::TempDir dir;
    PrepareTargetFolder(dir / "out");
    EXPECT_TRUE(fs::is_directory(dir / "out"));

    PrepareTargetFolder(dir / "a/b");
    EXPECT_FALSE(fs::exists(dir / "a")) << "two missing levels must not be created";

    dir.WriteFile("file", "kept");
    PrepareTargetFolder(dir / "file");
    EXPECT_EQ(dir.ReadFile("file"), "kept");
}

TEST(CopyTarget, CopyIntoFolderCountsEachOutcome) {
    test::TempDir dir;
    dir.WriteFile("src/a.jpg", "a");
    dir.WriteFile("src/b.jpg", "b");
    dir.WriteFile("out/b.jpg", "the user's own");
    const std::string out = dir / "out";
    CopySummary summary;

    EXPECT_FALSE(CopyIntoFolder(dir / "src/a.jpg", out, {}, summary));
    EXPECT_EQ(CopyIntoFolder(dir / "src/b.jpg", out, {}, summary), std::errc::file_exists);
    EXPECT_EQ(CopyIntoFolder(dir / "src/gone.jpg", out, {}, summary),
              std::errc::no_such_file_or_directory);
    EXPECT_EQ(
        CopyIntoFolder(
            dir / "src/a.jpg", out, [](std::uint64_t, std::uint64_t) { return false; }, summary),
        std::errc::file_exists)
        << "the existing copy is found before any byte moves";

    EXPECT_EQ(dir.ReadFile("out/a.jpg"), "a");
    EXPECT_EQ(dir.ReadFile("out/b.jpg"), "the user's own");
    EXPECT_EQ(summary.copied, 1u);
    EXPECT_EQ(summary.skippedExisting, 2u);
    EXPECT_EQ(summary.failed, 1u);
    ASSERT_EQ(summary.notCopied.size(), 3u);
    EXPECT_EQ(summary.notCopied[0].source, dir / "src/b.jpg");
    EXPECT_EQ(summary.notCopied[0].target, dir / "out/b.jpg");
    EXPECT_EQ(summary.notCopied[1].error, std::errc::no_such_file_or_directory);
}

TEST(CopyTarget, StoppedCopyCountsAsNotTried) {
    test::TempDir dir;
    dir.WriteFile("a.jpg", "a");
    dir.MakeDirs("out");
    CopySummary summary;
    EXPECT_EQ(CopyIntoFolder(
                  dir / "a.jpg", dir / "out", [](std::uint64_t, std::uint64_t) { return false; },
                  summary),
              std::errc::operation_canceled);
    EXPECT_EQ(summary.notTried, 1u);
    EXPECT_EQ(summary.copied + summary.failed + summary.skippedExisting, 0u);
    ASSERT_EQ(summary.notCopied.size(), 1u);
    EXPECT_EQ(summary.notCopied[0].error, std::errc::operation_canceled);
    EXPECT_FALSE(fs::exists(dir / "out/a.jpg"));
}

TEST(CopyTarget, KeepBothNameNumbersTheNameBeforeItsExtension) {
    struct Case {
        const char* name;
        unsigned number;
        const char* expected;
    };
    const Case cases[] = {
        {"SF1400000000001.jpg", 2, "SF1400000000001 (2).jpg"},
        {"a.jpg", 10, "a (10).jpg"},
        // No extension; several dots: only the last starts one.
        {"README", 2, "README (2)"},
        {"archive.tar.gz", 3, "archive.tar (3).gz"},
        {"a.", 2, "a (2)."},
        // Hidden files: the leading dot is the name's.
        {".profile", 2, ".profile (2)"},
        {".config.json", 2, ".config (2).json"},
        // UTF-8 and GBK bytes (顺丰 in each) pass as they are.
        {"顺丰.jpg", 2, "顺丰 (2).jpg"},
        {"\xCB\xB3\xB7\xE1.jpg", 2, "\xCB\xB3\xB7\xE1 (2).jpg"},
        {"\xCB\xB3\xB7\xE1", 2, "\xCB\xB3\xB7\xE1 (2)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeepBothName(c.name, c.number), c.expected) << c.name;
    }
}

TEST(CopyTarget, PercentIsTruncatedAndNeverWraps) {
    constexpr std::uint64_t Max = std::numeric_limits<std::uint64_t>::max();
    struct Case {
        std::uint64_t total;
        std::uint64_t transferred;
        int expected;
    };
    const Case cases[] = {
        {0, 0, 0},
        {200, 0, 0},
        {200, 1, 0},
        {200, 3, 1},
        {200, 199, 99},
        {200, 200, 100},
        {3, 2, 66},
        // 5 GiB: past 32 bits.
        {5ull << 30, 1ull << 30, 20},
        // transferred * 100 would wrap here.
        {Max, Max / 2, 49},
        {Max, Max - 1, 99},
        {Max, Max, 100},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CopyPercent(c.total, c.transferred), c.expected)
            << c.transferred << " of " << c.total;
    }
}

}  // namespace
}  // namespace cj::copylist
