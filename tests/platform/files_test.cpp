#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <utility>

#include "ordinary_user.h"
#include "file_size_limit.h"
#include "temp_dir.h"

namespace cj::platform {
namespace {

namespace fs = std::filesystem;

int CountEntries(const std::string& folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

TEST(Files, ReadAndAtomicWriteRoundTrip) {
    test::TempDir dir;
    const std::string path = dir / "a.txt";
    const std::string data("x\0y\r\n\xFF", 6);
    ASSERT_FALSE(WriteWholeFileAtomic(path, data));
    std::string back = "stale";
    ASSERT_FALSE(ReadWholeFile(path, back));
    EXPECT_EQ(back, data);

    ASSERT_FALSE(WriteWholeFileAtomic(path, ""));
    ASSERT_FALSE(ReadWholeFile(path, back));
    EXPECT_EQ(back, "");
    EXPECT_EQ(CountEntries(dir.Path()), 1) << "no temporary file may remain";

    EXPECT_TRUE(ReadWholeFile(dir / "missing.txt", back));
    EXPECT_EQ(back, "");
}

TEST(Files, AtomicWriteKeepsTheModeOfTheFileItReplaces) {
    test::TempDir dir;
    const std::string path = dir / "a.txt";
    dir.WriteFile("a.txt", "old");
    ::chmod(path.c_str(), 0600);
    ASSERT_FALSE(WriteWholeFileAtomic(path, "new"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(Files, WriteIntoMissingFolderFailsAndCreatesNothing) {
    test::TempDir dir;
    EXPECT_TRUE(WriteWholeFileAtomic(dir / "data/chengjing.ini", "x"));
    EXPECT_FALSE(fs::exists(dir / "data"));
    EXPECT_EQ(CountEntries(dir.Path()), 0);
}

// A write that runs out of room half-way (here the file-size limit stands in
// for a full disk) must leave the previous file whole and no temporary behind.
TEST(Files, WriteThatFailsHalfWayKeepsThePreviousFile) {
    test::TempDir dir;
    const std::string path = dir / "1.txt";
    dir.WriteFile("1.txt", "previous index\r\n");

    std::error_code ec;
    {
        const test::FileSizeLimit fullDisk(4096);
        ASSERT_TRUE(fullDisk.IsSet());
        ec = WriteWholeFileAtomic(path, std::string(100000, 'x'));
    }

    EXPECT_TRUE(ec);
    EXPECT_EQ(dir.ReadFile("1.txt"), "previous index\r\n");
    EXPECT_EQ(CountEntries(dir.Path()), 1);
}

TEST(Files, RenameThatFailsKeepsTheTarget) {
    test::TempDir dir;
    dir.WriteFile("target/keep.txt", "kept");
    EXPECT_TRUE(WriteWholeFileAtomic(dir / "target", "new"));
    EXPECT_EQ(dir.ReadFile("target/keep.txt"), "kept");
    EXPECT_EQ(CountEntries(dir.Path()), 1);
}

// A configuration file kept elsewhere behind a link used to lose the link: the
// rename put a plain file in its place and the real file stayed old.
TEST(Files, AtomicWriteGoesThroughASymbolicLinkAndKeepsIt) {
    test::TempDir dir;
    dir.WriteFile("shared/real.ini", "old");
    dir.MakeDirs("data");
    ASSERT_EQ(::symlink("../shared/real.ini", (dir / "data/chengjing.ini").c_str()), 0);
    ASSERT_FALSE(WriteWholeFileAtomic(dir / "data/chengjing.ini", "new"));
    EXPECT_TRUE(fs::is_symlink(dir / "data/chengjing.ini"));
    EXPECT_EQ(dir.ReadFile("shared/real.ini"), "new");
    EXPECT_EQ(CountEntries(dir / "data"), 1);
    EXPECT_EQ(CountEntries(dir / "shared"), 1);

    // A dangling link gets its file, as opening it for writing would make it.
    ASSERT_EQ(::symlink("../shared/later.ini", (dir / "data/other.ini").c_str()), 0);
    ASSERT_FALSE(WriteWholeFileAtomic(dir / "data/other.ini", "made"));
    EXPECT_EQ(dir.ReadFile("shared/later.ini"), "made");
    EXPECT_TRUE(fs::is_symlink(dir / "data/other.ini"));

    ASSERT_EQ(::symlink("loop", (dir / "data/loop").c_str()), 0);
    EXPECT_EQ(WriteWholeFileAtomic(dir / "data/loop", "x"),
              std::errc::too_many_symbolic_link_levels);
}

// Renaming over a file needs no permission on the file itself, so a read-only
// file used to be replaced all the same; Windows refuses, and so do we now.
TEST(Files, AtomicWriteLeavesAFileTheCallerMayNotWrite) {
    test::TempDir dir;
    dir.WriteFile("data/chengjing.ini", "kept");
    for (const char* path : {"", "data"}) {
        ASSERT_EQ(::chmod((dir / path).c_str(), 0777), 0);
    }
    ASSERT_EQ(::chmod((dir / "data/chengjing.ini").c_str(), 0444), 0);
    const std::string path = dir / "data/chengjing.ini";
    const int result = test::RunAsOrdinaryUser([&path] {
        return WriteWholeFileAtomic(path, "new") == std::errc::permission_denied ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(dir.ReadFile("data/chengjing.ini"), "kept");
    EXPECT_EQ(CountEntries(dir / "data"), 1);
    EXPECT_EQ(CheckReplaceable(dir / "data"), std::errc::is_a_directory);
    EXPECT_FALSE(CheckReplaceable(dir / "data/missing"));
}

TEST(Files, LeftoversOfKilledWritesAreKnownAndRemoved) {
    EXPECT_EQ(AtomicWriteTarget(".chengjing.ini.tmp-a1B2c3"), "chengjing.ini");
    EXPECT_EQ(AtomicWriteTarget(".1.txt.tmp-XXXXXX"), "1.txt");
    EXPECT_EQ(AtomicWriteTarget("chengjing.ini.tmp-a1B2c3"), "");  // No leading dot.
    EXPECT_EQ(AtomicWriteTarget(".1.txt.tmp-abc"), "");            // Not six characters.
    EXPECT_EQ(AtomicWriteTarget(".tmp-abcdef"), "");
    EXPECT_EQ(AtomicWriteTarget("1.txt"), "");

    test::TempDir dir;
    dir.WriteFile("real/a.ini", "a");
    dir.WriteFile("real/.a.ini.tmp-123456", "half");
    dir.WriteFile("real/.b.ini.tmp-123456", "another file's");
    dir.WriteFile("link/.a.ini.tmp-654321", "not beside the file");
    ASSERT_EQ(::symlink("../real/a.ini", (dir / "link/a.ini").c_str()), 0);
    EXPECT_FALSE(RemoveAtomicWriteLeftovers(dir / "link/a.ini"));
    EXPECT_FALSE(fs::exists(dir / "real/.a.ini.tmp-123456"));
    EXPECT_TRUE(fs::exists(dir / "real/.b.ini.tmp-123456"));
    EXPECT_TRUE(fs::exists(dir / "link/.a.ini.tmp-654321"));
    EXPECT_EQ(dir.ReadFile("real/a.ini"), "a");
}

TEST(Files, WriteAndSyncThenRename) {
    test::TempDir dir;
    dir.WriteFile("1.txt", "old");
    ASSERT_FALSE(WriteFileAndSync(dir / "1.txt.new", "new"));
    ASSERT_FALSE(WriteFileAndSync(dir / "1.txt.new", "newer"));  // Truncated, not appended.
    ASSERT_FALSE(RenameFile(dir / "1.txt.new", dir / "1.txt"));
    ASSERT_FALSE(SyncFolder(dir.Path()));
    EXPECT_EQ(dir.ReadFile("1.txt"), "newer");
    EXPECT_EQ(CountEntries(dir.Path()), 1);
    dir.MakeDirs("2.txt.new");
    EXPECT_EQ(WriteFileAndSync(dir / "2.txt.new", "x"), std::errc::is_a_directory);
    EXPECT_EQ(RenameFile(dir / "missing", dir / "1.txt"), std::errc::no_such_file_or_directory);
}

// Pieces past the size at which the writer hands them to the disk early must
// land in order, whole, in a file that starts empty.
TEST(Files, SyncedFileWriterAppendsPiecesInOrder) {
    test::TempDir dir;
    dir.WriteFile("1.txt.new", "an older and longer content");
    std::string expected;
    SyncedFileWriter writer;
    EXPECT_EQ(writer.TryAppend("x"), std::errc::bad_file_descriptor);  // Nothing open yet.
    ASSERT_FALSE(writer.TryCreate(dir / "1.txt.new"));
    for (int i = 0; i < 40; ++i) {
        const std::string piece(static_cast<std::size_t>(37'000 + i * 1000),
                                static_cast<char>('a' + i % 26));
        ASSERT_FALSE(writer.TryAppend(piece));
        expected += piece;
    }
    SyncedFileWriter moved = std::move(writer);
    EXPECT_FALSE(writer.IsOpen());
    ASSERT_FALSE(moved.TryAppend("end"));
    expected += "end";
    ASSERT_FALSE(moved.TrySyncAndClose());
    EXPECT_FALSE(moved.IsOpen());
    EXPECT_EQ(moved.TryAppend("x"), std::errc::bad_file_descriptor);
    EXPECT_EQ(dir.ReadFile("1.txt.new"), expected);

    dir.MakeDirs("2.txt.new");
    EXPECT_EQ(moved.TryCreate(dir / "2.txt.new"), std::errc::is_a_directory);
    EXPECT_FALSE(moved.IsOpen());
}

TEST(Files, SizesAndProbes) {
    test::TempDir dir;
    dir.WriteFile("small.bin", std::string(532, 'a'));
    dir.MakeDirs("folder");
    // A sparse file past 4 GiB: sizes are 64-bit everywhere.
    const std::string big = dir / "big.bin";
    dir.WriteFile("big.bin", "");
    ASSERT_EQ(::truncate(big.c_str(), 5LL << 30), 0);

    std::uint64_t size = 7;
    EXPECT_FALSE(RegularFileSize(dir / "small.bin", size));
    EXPECT_EQ(size, 532u);
    EXPECT_FALSE(RegularFileSize(big, size));
    EXPECT_EQ(size, 5ULL << 30);
    EXPECT_TRUE(RegularFileSize(dir / "folder", size));
    EXPECT_EQ(size, 0u);
    EXPECT_TRUE(RegularFileSize(dir / "missing", size));

    EXPECT_TRUE(ProbePath(dir / "small.bin").exists);
    EXPECT_EQ(ProbePath(big).size, 5ULL << 30);
    EXPECT_TRUE(ProbePath(dir / "folder").isDirectory);
    EXPECT_EQ(ProbePath(dir / "folder").size, 0u);
    EXPECT_FALSE(ProbePath(dir / "missing").exists);
    EXPECT_EQ(ProbePath(dir / "missing").error, std::errc::no_such_file_or_directory);
    EXPECT_EQ(ProbePath(dir / "small.bin/x").error, std::errc::not_a_directory);
    EXPECT_FALSE(ProbePath(dir / "small.bin").error);
    EXPECT_FALSE(ProbePath("").exists);
}

TEST(Files, RemoveFileAndMakeDirectory) {
    test::TempDir dir;
    dir.WriteFile("a.txt", "x");
    EXPECT_FALSE(RemoveFile(dir / "a.txt"));
    EXPECT_EQ(RemoveFile(dir / "a.txt"), std::errc::no_such_file_or_directory);
    EXPECT_FALSE(MakeDirectory(dir / "out"));
    EXPECT_EQ(MakeDirectory(dir / "out"), std::errc::file_exists);
    EXPECT_EQ(MakeDirectory(dir / "x/y"), std::errc::no_such_file_or_directory)
        << "only one level is made";
    EXPECT_EQ(RemoveFile(dir / "out"), std::errc::is_a_directory) << "folders are not removed";
}

TEST(Files, PathsAndExecutableDirectory) {
    EXPECT_EQ(JoinPath("/run", "data"), "/run/data");
    EXPECT_EQ(JoinPath("/run/", "data"), "/run/data");
    EXPECT_EQ(JoinPath("/run/", "/data"), "/run/data");
    EXPECT_EQ(JoinPath("/", "data"), "/data");
    EXPECT_EQ(JoinPath("", "data"), "data");
    EXPECT_EQ(JoinPath("/run", ""), "/run");

    const std::string exeDir = ExecutableDirectory();
    ASSERT_FALSE(exeDir.empty());
    EXPECT_NE(exeDir.back(), '/');
    EXPECT_TRUE(ProbePath(exeDir).isDirectory);
    EXPECT_TRUE(fs::exists(fs::path(exeDir) / "platform_test"));
}

}  // namespace
}  // namespace cj::platform
