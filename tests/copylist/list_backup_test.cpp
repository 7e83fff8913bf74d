#include "copylist/list_backup.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

#include "temp_dir.h"
#ifndef _WIN32
#include "ordinary_user.h"
#endif

namespace cj::copylist {
namespace {

namespace fs = std::filesystem;
using platform::CodePage;
using Pieces = std::vector<std::string>;

std::vector<CopyEntry> EntriesOf(const Pieces& paths) {
    std::vector<CopyEntry> entries;
    for (const std::string& path : paths) {
        entries.push_back({path, 1});
    }
    return entries;
}

TEST(ListBackup, BytesArePathsEachFollowedByTheSeparator) {
    EXPECT_EQ(BackupBytes(EntriesOf({"A", "B"})), "A*#*\\B*#*\\");
    EXPECT_EQ(BackupBytes(EntriesOf({})), "");
    EXPECT_EQ(BackupBytes(EntriesOf({""})), "*#*\\");
    EXPECT_EQ(BackupBytes(EntriesOf({"/照片/快递 1.jpg"})), "/照片/快递 1.jpg*#*\\");
}

struct SplitCase {
    const char* label;
    std::string bytes;
    Pieces utf8;
    Pieces gbk;
};

TEST(ListBackup, SplittingFollowsTheSeparatorsAndTheCharacters) {
    using namespace std::string_literals;
    const SplitCase cases[] = {
        {"empty", "", {}, {}},
        {"two paths", "A*#*\\B*#*\\", {"A", "B"}, {"A", "B"}},
        {"last separator missing", "A*#*\\B", {"A", "B"}, {"A", "B"}},
        {"two separators in a row", "A*#*\\*#*\\B*#*\\", {"A", "", "B"}, {"A", "", "B"}},
        {"only a separator", "*#*\\", {""}, {""}},
        {"no separator", "/a/b.jpg", {"/a/b.jpg"}, {"/a/b.jpg"}},
        {"separator-like text", "*#*/a*#**#*\\", {"*#*/a*#*"}, {"*#*/a*#*"}},
        {"text ends at a zero byte", "A*#*\\B\0C*#*\\"s, {"A", "B"}, {"A", "B"}},
        {"zero byte first", "\0A*#*\\"s, {}, {}},
        // A GBK lead byte takes the asterisk after it: no separator starts
        // there. UTF-8 has no such character, and splits.
        {"lead byte before a separator", "\x81*#*\\x*#*\\", {"\x81", "x"}, {"\x81*#*\\x"}},
        {"lead byte swallowing the first asterisk",
         "a\xFE*#*\\*#*\\",
         {"a\xFE", ""},
         {"a\xFE*#*\\"}},
        {"whole GBK characters",
         "\xD6\xD0\xCE\xC4*#*\\\xB0\x5C*#*\\",
         {"\xD6\xD0\xCE\xC4", "\xB0\x5C"},
         {"\xD6\xD0\xCE\xC4", "\xB0\x5C"}},
        {"UTF-8 Chinese", "/快递/单号.jpg*#*\\", {"/快递/单号.jpg"}, {"/快递/单号.jpg"}},
        {"separator cut off at the end", "A*#*\\B*#*", {"A", "B*#*"}, {"A", "B*#*"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(SplitBackup(c.bytes, CodePage::Utf8), c.utf8) << c.label;
        EXPECT_EQ(SplitBackup(c.bytes, CodePage::Gbk), c.gbk) << c.label;
    }
}

TEST(ListBackup, AWrittenListReadsBackInOrderByteForByte) {
    test::TempDir dir;
    dir.MakeDirs("data");
    const std::string path = dir / "data/Backup.txt";
    const Pieces paths = {
        "/srv/快递/SF1234567890.jpg", "/srv/a b/c.txt", "/srv/a b/c.txt", "relative",
        "/odd/*#*x/\\name",           "/bytes/\xE9\xFF"};
    ASSERT_FALSE(TryWriteBackupFile(path, EntriesOf(paths)));
    EXPECT_EQ(dir.ReadFile("data/Backup.txt"), BackupBytes(EntriesOf(paths)));
    Pieces read = {"left from before"};
    ASSERT_FALSE(TryReadBackupFile(path, read));
    EXPECT_EQ(read, paths);

    // Each write replaces the whole file; an empty list leaves 0 bytes.
    ASSERT_FALSE(TryWriteBackupFile(path, EntriesOf({})));
    EXPECT_EQ(fs::file_size(path), 0U);
    ASSERT_FALSE(TryReadBackupFile(path, read));
    EXPECT_TRUE(read.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "data"), fs::directory_iterator()), 1)
        << "no temporary file stays behind";
}

TEST(ListBackup, AMissingDataFolderIsNotCreated) {
    test::TempDir dir;
    const std::string path = dir / "data/Backup.txt";
    EXPECT_EQ(TryWriteBackupFile(path, EntriesOf({"/a"})), std::errc::no_such_file_or_directory);
    EXPECT_TRUE(fs::is_empty(dir.Path()));
    EXPECT_TRUE(TryWriteBackupFile("", EntriesOf({"/a"})));
}

TEST(ListBackup, AFileThatCannotBeReadGivesNoPaths) {
    test::TempDir dir;
    Pieces read = {"stale"};
    EXPECT_EQ(TryReadBackupFile(dir / "data/Backup.txt", read),
              std::errc::no_such_file_or_directory);
    EXPECT_TRUE(read.empty());
    read = {"stale"};
    EXPECT_TRUE(TryReadBackupFile(dir.Path(), read)) << "a folder is no backup";
    EXPECT_TRUE(read.empty());
}

#ifndef _WIN32
TEST(ListBackup, AFailedWriteKeepsThePreviousBackupWhole) {
    test::TempDir dir;
    dir.WriteFile("data/Backup.txt", "/kept*#*\\");
    // A data folder the user may not write in: the old file must stay as it
    // was, not be truncated to be written again.
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod((dir / "data").c_str(), 0555), 0);
    ASSERT_EQ(::chmod((dir / "data/Backup.txt").c_str(), 0666), 0);
    const std::string path = dir / "data/Backup.txt";
    const int result = test::RunAsOrdinaryUser(
        [&path] { return TryWriteBackupFile(path, EntriesOf({"/new"})) ? 0 : 1; });
    EXPECT_EQ(result, 0) << "the write must fail and say so";
    EXPECT_EQ(dir.ReadFile("data/Backup.txt"), "/kept*#*\\");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "data"), fs::directory_iterator()), 1);
}
#else
TEST(ListBackup, AFailedWriteKeepsThePreviousBackupWhole) {
    // A backup the user made read-only is neither replaced nor truncated.
    test::TempDir dir;
    dir.WriteFile("data/Backup.txt", "C:\\kept*#*\\");
    const std::string path = dir / "data/Backup.txt";
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(TryWriteBackupFile(path, EntriesOf({"C:\\new"})), std::errc::permission_denied);
    EXPECT_EQ(dir.ReadFile("data/Backup.txt"), "C:\\kept*#*\\");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "data"), fs::directory_iterator()), 1);
}
#endif

}  // namespace
}  // namespace cj::copylist
