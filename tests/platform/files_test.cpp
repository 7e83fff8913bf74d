#include "platform/files.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#else
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "file_size_limit.h"
#include "ordinary_user.h"
#endif

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>

#include "platform/code_page.h"
#include "temp_dir.h"

namespace cj::platform {
namespace {

namespace fs = std::filesystem;

int CountEntries(const std::string& folder) {
    int count = 0;
#ifdef _WIN32
    // The A functions, which read names in the active code page as the code
    // under test does (std::filesystem's narrow names need not).
    WIN32_FIND_DATAA data{};
    const HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return -1;
    }
    do {
        const std::string_view name = data.cFileName;
        count += name != "." && name != ".." ? 1 : 0;
    } while (FindNextFileA(find, &data));
    FindClose(find);
#else
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) {
        ++count;
    }
#endif
    return count;
}

// Makes the file at path size bytes long without writing them (sparse where
// the file system allows).
bool Extend(const std::string& path, long long size) {
#ifdef _WIN32
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD ignored = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = size;
    const bool extended = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return extended;
#else
    return ::truncate(path.c_str(), size) == 0;
#endif
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

#ifndef _WIN32
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
#endif  // _WIN32

TEST(Files, WriteIntoMissingFolderFailsAndCreatesNothing) {
    test::TempDir dir;
    EXPECT_TRUE(WriteWholeFileAtomic(dir / "data/chengjing.ini", "x"));
    EXPECT_FALSE(fs::exists(dir / "data"));
    EXPECT_EQ(CountEntries(dir.Path()), 0);
}

#ifndef _WIN32
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
#endif  // _WIN32

TEST(Files, RenameThatFailsKeepsTheTarget) {
    test::TempDir dir;
    dir.WriteFile("target/keep.txt", "kept");
    EXPECT_TRUE(WriteWholeFileAtomic(dir / "target", "new"));
    EXPECT_EQ(dir.ReadFile("target/keep.txt"), "kept");
    EXPECT_EQ(CountEntries(dir.Path()), 1);
}

#ifndef _WIN32
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
#endif  // _WIN32

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
    dir.WriteFile("real/.a.ini.tmp-abcdef", "another half");
    dir.WriteFile("real/.b.ini.tmp-123456", "another file's");
    dir.WriteFile("link/.a.ini.tmp-654321", "not beside the file");
    dir.MakeDirs("real/.a.ini.tmp-folder");
    EXPECT_FALSE(RemoveAtomicWriteLeftovers(dir / "real/a.ini"));
    EXPECT_FALSE(fs::exists(dir / "real/.a.ini.tmp-123456"));
    EXPECT_FALSE(fs::exists(dir / "real/.a.ini.tmp-abcdef"));
    EXPECT_TRUE(fs::exists(dir / "real/.b.ini.tmp-123456"));
    EXPECT_TRUE(fs::exists(dir / "real/.a.ini.tmp-folder")) << "folders are not removed";
    EXPECT_EQ(dir.ReadFile("real/a.ini"), "a");
#ifndef _WIN32
    dir.WriteFile("real/.a.ini.tmp-123456", "half");
    ASSERT_EQ(::symlink("../real/a.ini", (dir / "link/a.ini").c_str()), 0);
    EXPECT_FALSE(RemoveAtomicWriteLeftovers(dir / "link/a.ini"));
    EXPECT_FALSE(fs::exists(dir / "real/.a.ini.tmp-123456"));
    EXPECT_TRUE(fs::exists(dir / "link/.a.ini.tmp-654321"));
#endif
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
    ASSERT_TRUE(Extend(big, 5LL << 30));

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
#ifdef _WIN32
    // Windows says the path is missing.
    EXPECT_TRUE(ProbePath(dir / "small.bin/x").error);
#else
    EXPECT_EQ(ProbePath(dir / "small.bin/x").error, std::errc::not_a_directory);
#endif
    EXPECT_FALSE(ProbePath(dir / "small.bin/x").exists);
    EXPECT_EQ(ProbePath(dir / "small.bin/").error, std::errc::not_a_directory);
    EXPECT_TRUE(ProbePath(dir / "folder/").isDirectory);
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
#ifdef _WIN32
    EXPECT_EQ(JoinPath("C:\\run", "data"), "C:\\run\\data");
    EXPECT_EQ(JoinPath("C:\\run\\", "data"), "C:\\run\\data");
    EXPECT_EQ(JoinPath("C:\\run\\", "\\data"), "C:\\run\\data");
    EXPECT_EQ(JoinPath("C:\\", "data"), "C:\\data");
    EXPECT_EQ(JoinPath("", "data"), "data");
    EXPECT_EQ(JoinPath("C:\\run", ""), "C:\\run");
    constexpr std::string_view Exe = "platform_test.exe";
#else
    EXPECT_EQ(JoinPath("/run", "data"), "/run/data");
    EXPECT_EQ(JoinPath("/run/", "data"), "/run/data");
    EXPECT_EQ(JoinPath("/run/", "/data"), "/run/data");
    EXPECT_EQ(JoinPath("/", "data"), "/data");
    EXPECT_EQ(JoinPath("", "data"), "data");
    EXPECT_EQ(JoinPath("/run", ""), "/run");
    constexpr std::string_view Exe = "platform_test";
#endif

    const std::string exeDir = ExecutableDirectory();
    ASSERT_FALSE(exeDir.empty());
    EXPECT_NE(exeDir.back(), PathSeparator);
    EXPECT_TRUE(ProbePath(exeDir).isDirectory);
    EXPECT_TRUE(ProbePath(JoinPath(exeDir, Exe)).exists);
}

#ifdef _WIN32

DWORD Attributes(const std::string& path) {
    return GetFileAttributesA(path.c_str());
}

// The read-only attribute is Windows' "may not write": MoveFileExA refuses to
// replace such a file, but only after the temporary file was written. The
// check comes first, and nothing is left behind.
TEST(Files, ReadOnlyFileIsNotReplacedAndStaysIntact) {
    test::TempDir dir;
    dir.WriteFile("data/chengjing.ini", "kept");
    dir.WriteFile("data/1.txt.new", "new");
    const std::string path = dir / "data/chengjing.ini";
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(CheckReplaceable(path), std::errc::permission_denied);
    EXPECT_EQ(WriteWholeFileAtomic(path, "new"), std::errc::permission_denied);
    EXPECT_EQ(RenameFile(dir / "data/1.txt.new", path), std::errc::permission_denied);
    EXPECT_EQ(dir.ReadFile("data/chengjing.ini"), "kept");
    EXPECT_NE(Attributes(path) & FILE_ATTRIBUTE_READONLY, 0U);
    EXPECT_EQ(CountEntries(dir / "data"), 2);
    ASSERT_TRUE(
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));  // So that it can be removed.

    EXPECT_EQ(CheckReplaceable(dir / "data"), std::errc::is_a_directory);
    EXPECT_FALSE(CheckReplaceable(dir / "data/missing"));
    EXPECT_FALSE(CheckReplaceable(dir / "missing/missing"));
}

TEST(Files, ReplacedFileKeepsItsAttributes) {
    test::TempDir dir;
    dir.WriteFile("settings.ini", "old");
    const std::string path = dir / "settings.ini";
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_NE(Attributes(path) & FILE_ATTRIBUTE_HIDDEN, 0U);
    ASSERT_FALSE(WriteWholeFileAtomic(path, "new"));
    EXPECT_EQ(dir.ReadFile("settings.ini"), "new");
    EXPECT_NE(Attributes(path) & FILE_ATTRIBUTE_HIDDEN, 0U);

    // The temporary file's name starts with a dot, which Wine shows as
    // hidden; the file it becomes must not be.
    ASSERT_FALSE(WriteWholeFileAtomic(dir / "other.ini", "made"));
    EXPECT_EQ(Attributes(dir / "other.ini") & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
              0U);
    EXPECT_EQ(CountEntries(dir.Path()), 2);
}

// A search reads the configuration while a settings page replaces it: every
// read sees one whole version, never a mix, a short file or no file. Windows
// before 10 and Wine cannot replace a file while it is open: a write that
// keeps meeting a reader may fail, and then leaves the previous version whole
// and no temporary file.
TEST(Files, ReadersSeeWholeVersionsWhileAFileIsReplaced) {
    test::TempDir dir;
    const std::string path = dir / "chengjing.ini";
    const std::string first(200000, 'a');
    const std::string second(300000, 'b');
    ASSERT_FALSE(WriteWholeFileAtomic(path, first));
    std::atomic<bool> done{false};
    std::atomic<int> badReads{0};
    std::atomic<int> reads{0};
    std::thread reader([&] {
        std::string back;
        while (!done || reads == 0) {
            if (ReadWholeFile(path, back) || (back != first && back != second)) {
                ++badReads;
            }
            ++reads;
        }
    });
    const std::string* last = &first;
    int written = 0;
    for (int i = 0; i < 16; ++i) {
        const std::string& next = i % 2 == 0 ? second : first;
        if (!WriteWholeFileAtomic(path, next)) {
            last = &next;
            ++written;
        }
    }
    done = true;
    reader.join();
    EXPECT_EQ(badReads, 0) << "of " << reads;
    EXPECT_TRUE(dir.ReadFile("chengjing.ini") == *last) << written << " writes went through";
    EXPECT_EQ(CountEntries(dir.Path()), 1) << "no temporary file may remain";
}

TEST(Files, AtomicWriteGoesThroughASymbolicLinkAndKeepsIt) {
    test::TempDir dir;
    dir.WriteFile("shared/real.ini", "old");
    dir.MakeDirs("data");
    const std::string link = dir / "data/chengjing.ini";
    const auto makeLink = [](const std::string& at, const std::string& target) {
        // Unprivileged links need Windows 10's developer mode; older systems
        // refuse the flag.
        return CreateSymbolicLinkA(at.c_str(), target.c_str(), 0x2) ||
               CreateSymbolicLinkA(at.c_str(), target.c_str(), 0);
    };
    // Wine 8 says yes and makes nothing.
    if (!makeLink(link, dir / "shared/real.ini") || Attributes(link) == INVALID_FILE_ATTRIBUTES ||
        (Attributes(link) & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        GTEST_SKIP() << "no symbolic links here";
    }
    ASSERT_FALSE(WriteWholeFileAtomic(link, "new"));
    EXPECT_NE(Attributes(link) & FILE_ATTRIBUTE_REPARSE_POINT, 0U);
    EXPECT_EQ(dir.ReadFile("shared/real.ini"), "new");
    EXPECT_EQ(CountEntries(dir / "data"), 1);
    EXPECT_EQ(CountEntries(dir / "shared"), 1);

    ASSERT_TRUE(makeLink(dir / "data/other.ini", dir / "shared/later.ini"));
    ASSERT_FALSE(WriteWholeFileAtomic(dir / "data/other.ini", "made"));
    EXPECT_EQ(dir.ReadFile("shared/later.ini"), "made");
    EXPECT_NE(Attributes(dir / "data/other.ini") & FILE_ATTRIBUTE_REPARSE_POINT, 0U);
}

TEST(Files, ProbesDriveRootsAndNeverMatchesWildcards) {
    char windows[MAX_PATH + 1] = {};
    ASSERT_GT(GetWindowsDirectoryA(windows, sizeof windows), 3U);
    const std::string root = std::string(windows).substr(0, 3);  // "C:\"
    for (const std::string& path : {root, root.substr(0, 2)}) {
        const PathProbe probe = ProbePath(path);
        EXPECT_TRUE(probe.exists) << path << ": " << probe.error.message();
        EXPECT_TRUE(probe.isDirectory) << path;
    }
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Z'; letter >= 'D'; --letter) {
        if ((drives & (1U << (letter - 'A'))) == 0) {
            const std::string missing = std::string(1, letter) + ":\\";
            EXPECT_FALSE(ProbePath(missing).exists) << missing;
            EXPECT_TRUE(ProbePath(missing).error) << missing;
            break;
        }
    }

    test::TempDir dir;
    dir.WriteFile("a1.txt", "1");
    dir.WriteFile("a2.txt", "22");
    for (const char* pattern : {"a?.txt", "a*", "*", "a1.tx?", "a<.txt", "a1\">txt"}) {
        const PathProbe probe = ProbePath(dir / pattern);
        EXPECT_FALSE(probe.exists) << pattern;
        EXPECT_EQ(probe.error, std::errc::invalid_argument) << pattern;
    }
    EXPECT_EQ(ProbePath(dir / "a2.txt").size, 2U);
    std::uint64_t size = 0;
    EXPECT_TRUE(RegularFileSize("NUL", size)) << "a device is no regular file";
    EXPECT_TRUE(RegularFileSize(root, size));
}

// A GBK character can end in 0x5C, the byte of '\': "誠" is D5 5C. Paths
// whose folder and file names end in such a character must keep them.
TEST(Files, GbkNamesEndingInTheSeparatorByteRoundTrip) {
    if (ActiveCodePage() != CodePage::Gbk) {
        GTEST_SKIP() << "needs code page 936";
    }
    test::TempDir dir;
    const std::string folder = JoinPath(dir.Path(), "\xCA\xFD\xBE\xDD\xD5\x5C");  // 数据誠
    ASSERT_FALSE(MakeDirectory(folder));
    const std::string path = JoinPath(folder, "\xB3\xCE\xBE\xB5\xD5\x5C");  // 澄镜誠
    EXPECT_EQ(path, folder + "\\\xB3\xCE\xBE\xB5\xD5\x5C");
    ASSERT_FALSE(WriteWholeFileAtomic(path, "first"));
    ASSERT_FALSE(WriteWholeFileAtomic(path, "second"));
    std::string back;
    ASSERT_FALSE(ReadWholeFile(path, back));
    EXPECT_EQ(back, "second");
    EXPECT_EQ(CountEntries(folder), 1) << "no temporary file may remain";

    const PathProbe probe = ProbePath(path);
    EXPECT_TRUE(probe.exists) << probe.error.message();
    EXPECT_FALSE(probe.isDirectory);
    EXPECT_EQ(probe.size, 6U);
    EXPECT_TRUE(ProbePath(folder).isDirectory);
    std::uint64_t size = 0;
    EXPECT_FALSE(RegularFileSize(path, size));
    EXPECT_EQ(size, 6U);

    // A leftover of a killed write of this file is found by its name.
    const std::string leftover = JoinPath(folder, ".\xB3\xCE\xBE\xB5\xD5\x5C.tmp-abc123");
    ASSERT_FALSE(WriteFileAndSync(leftover, "half"));
    EXPECT_FALSE(RemoveAtomicWriteLeftovers(path));
    EXPECT_FALSE(ProbePath(leftover).exists);
    EXPECT_TRUE(ProbePath(path).exists);
    EXPECT_FALSE(RemoveFile(path));
    EXPECT_EQ(CountEntries(folder), 0);
}

#endif  // _WIN32

}  // namespace
}  // namespace cj::platform
