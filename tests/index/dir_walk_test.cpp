#include "index/dir_walk.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/code_page.h"
#include "platform/dir_enum.h"
#include "platform/files.h"
#include "temp_dir.h"

namespace cj::index {
namespace {

namespace fs = std::filesystem;

struct WalkResult {
    std::vector<std::string> records;
    WalkReport report;
};

WalkResult WalkWithReport(const std::vector<std::string>& folders, std::string_view filter = "",
                          int threads = 1, std::string_view runDirectory = "/nowhere") {
    WalkResult result;
    result.report =
        WalkFolders(folders, runDirectory, core::TypeFilter(filter), threads,
                    [&](std::string_view folderPrefix, std::string_view name) {
                        result.records.push_back(std::string(folderPrefix).append(name));
                    });
    return result;
}

std::vector<std::string> Walk(const std::vector<std::string>& folders, std::string_view filter = "",
                              int threads = 1, std::string_view runDirectory = "/nowhere") {
    return WalkWithReport(folders, filter, threads, runDirectory).records;
}

#ifndef _WIN32
void ExpectSameResult(const WalkResult& a, const WalkResult& b, const std::string& what) {
    EXPECT_EQ(a.records, b.records) << what;
    EXPECT_EQ(a.report.missingFolders, b.report.missingFolders) << what;
    EXPECT_EQ(a.report.unreadableFolders, b.report.unreadableFolders) << what;
    EXPECT_EQ(a.report.tooLong, b.report.tooLong) << what;
    EXPECT_EQ(a.report.unstorableNames, b.report.unstorableNames) << what;
    EXPECT_EQ(a.report.filesSeen, b.report.filesSeen) << what;
    EXPECT_EQ(a.report.leftOut, b.report.leftOut) << what;
}

// A walk result through a pipe, as length-prefixed texts (names may hold any
// byte but NUL and "/").
void PutText(std::string& out, std::string_view text) {
    const std::uint64_t size = text.size();
    out.append(reinterpret_cast<const char*>(&size), sizeof size);
    out.append(text);
}
void PutTexts(std::string& out, const std::vector<std::string>& texts) {
    PutText(out, std::to_string(texts.size()));
    for (const std::string& text : texts) {
        PutText(out, text);
    }
}
std::string GetText(std::string_view& in) {
    std::uint64_t size = 0;
    std::memcpy(&size, in.data(), sizeof size);
    std::string text(in.substr(sizeof size, size));
    in.remove_prefix(sizeof size + size);
    return text;
}
std::vector<std::string> GetTexts(std::string_view& in) {
    std::vector<std::string> texts(std::stoul(GetText(in)));
    for (std::string& text : texts) {
        text = GetText(in);
    }
    return texts;
}

// The walk as an ordinary user: root reads every folder, so the walk of a tree
// with locked folders runs as "nobody" in a child process and hands its result
// back through a pipe. Without root the walk runs here. Every folder on the
// way must be open to others.
bool WalkAsOrdinaryUser(const std::vector<std::string>& folders, int threads, WalkResult& out) {
    if (::geteuid() != 0) {
        out = WalkWithReport(folders, "", threads);
        return true;
    }
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return false;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(2);
        }
        const WalkResult result = WalkWithReport(folders, "", threads);
        std::string data;
        PutTexts(data, result.records);
        PutTexts(data, result.report.missingFolders);
        for (const std::uint64_t n : {result.report.unreadableFolders, result.report.tooLong,
                                      result.report.unstorableNames, result.report.filesSeen}) {
            PutText(data, std::to_string(n));
        }
        PutTexts(data, result.report.leftOut);
        for (std::size_t at = 0; at < data.size();) {
            const ssize_t put = ::write(pipeFds[1], data.data() + at, data.size() - at);
            if (put <= 0) {
                ::_exit(3);
            }
            at += static_cast<std::size_t>(put);
        }
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    // Read to the end before waiting: the result may be larger than the pipe.
    std::string data;
    char buffer[65536];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        data.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeFds[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return false;
    }
    std::string_view in(data);
    out.records = GetTexts(in);
    out.report.missingFolders = GetTexts(in);
    for (std::uint64_t* n : {&out.report.unreadableFolders, &out.report.tooLong,
                             &out.report.unstorableNames, &out.report.filesSeen}) {
        *n = std::stoull(GetText(in));
    }
    out.report.leftOut = GetTexts(in);
    return true;
}
#endif

#ifndef _WIN32
// The walk written the plain way, over std::filesystem (which lists in the
// same file-system order): files first, then each subfolder not named ".*",
// each real folder once, along the first path that reaches it.
void ReferenceWalk(const std::string& prefix, std::vector<std::string>& out,
                   std::set<std::pair<dev_t, ino_t>>& walked) {
    struct stat self {};
    if (::stat(prefix.c_str(), &self) != 0 || !walked.insert({self.st_dev, self.st_ino}).second) {
        return;
    }
    std::vector<fs::directory_entry> entries;
    for (const auto& entry : fs::directory_iterator(prefix)) {
        entries.push_back(entry);
    }
    for (const auto& entry : entries) {
        if (!entry.is_directory()) {
            out.push_back(prefix + entry.path().filename().string());
        }
    }
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory() && !name.starts_with('.')) {
            ReferenceWalk(prefix + name + "/", out, walked);
        }
    }
}

std::vector<std::string> ReferenceWalk(const std::string& prefix) {
    std::vector<std::string> out;
    std::set<std::pair<dev_t, ino_t>> walked;
    ReferenceWalk(prefix, out, walked);
    return out;
}
#else
// The walk written the plain way, over the system's own listing (std::filesystem
// would convert the names by rules of its own): files first, then each
// subfolder not named ".*". The Windows trees hold no links, so every folder is
// reached along one path.
std::vector<std::string> ReferenceWalk(const std::string& prefix) {
    std::vector<std::string> out;
    std::vector<std::string> files;
    std::vector<std::string> folders;
    WIN32_FIND_DATAA entry;
    const HANDLE find = FindFirstFileA((prefix + "*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? folders : files)
                .push_back(name);
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    for (const std::string& name : files) {
        out.push_back(prefix + name);
    }
    for (const std::string& name : folders) {
        if (!name.starts_with('.')) {
            for (std::string& record : ReferenceWalk(prefix + name + "\\")) {
                out.push_back(std::move(record));
            }
        }
    }
    return out;
}
#endif

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// A random tree: folders up to four deep, hidden files, dot-folders, empty
// folders, Chinese names. With links, also symbolic links to random folders
// of the tree: loops, links to ancestors, several links to one folder.
void MakeRandomTree(const test::TempDir& dir, std::string_view root, unsigned seed, int files,
                    int links = 0) {
    std::mt19937 random(seed);
    std::vector<std::string> folders{std::string(root)};
    dir.MakeDirs(root);
#ifdef _WIN32
    // Names in the active code page: a name it cannot hold would come back from
    // the system's listing changed. (Not yet one ending in a GBK pair whose
    // second byte is 0x5C: TempDir::MakeDirs would split it there.)
    const bool gbk = platform::ActiveCodePage() == platform::CodePage::Gbk;
    const char* const Names[] = {gbk ? "\xB2\xD6\xBF\xE2"
                                       "A"
                                     : "D\xE9p\xF4t",
                                 "SF",
                                 gbk ? "\xCD\xCB\xBB\xF5" : "Retour",
                                 ".git",
                                 "shop01",
                                 "2023",
                                 ".cache",
                                 "x"};
#else
    static const char* const Names[] = {"仓库A",  "SF",   "退货",   ".git",
                                        "shop01", "2023", ".cache", "x"};
#endif
    for (int i = 0; i < files; ++i) {
        const std::string& parent = folders[random() % folders.size()];
        if (random() % 4 == 0 && parent.size() < 80) {
            const std::string sub =
                parent + "/" + Names[random() % 8] + std::to_string(random() % 50);
            dir.MakeDirs(sub);
            folders.push_back(sub);
        }
        const std::string name = (random() % 10 == 0 ? "." : "") + std::string("SF") +
                                 std::to_string(random()) + (random() % 3 == 0 ? ".pdf" : ".jpg");
        dir.WriteFile(folders[random() % folders.size()] + "/" + name, "x");
    }
    for (int i = 0; i < links; ++i) {
        const std::string link = folders[random() % folders.size()] + "/ln" + std::to_string(i);
        fs::create_directory_symlink(dir / folders[random() % folders.size()], dir / link);
    }
}

TEST(FolderPrefix, AddsOneSeparatorAndTakesTheRunDirectoryForEmpty) {
    struct Case {
        const char* folder;
        const char* prefix;
    };
#ifdef _WIN32
    const Case cases[] = {
        {"C:\\data\\scan", "C:\\data\\scan\\"},
        {"C:\\data\\scan\\", "C:\\data\\scan\\"},
        {"D:\\", "D:\\"},  // A drive root: one separator, never two.
        {"D:", "D:\\"},    // The drive's root, not its current folder.
        {"", "C:\\cj\\"},
        {"\\\\server\\share", "\\\\server\\share\\"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FolderPrefix(c.folder, "C:\\cj"), c.prefix) << c.folder;
    }
#else
    const Case cases[] = {
        {"/data/scan", "/data/scan/"},
        {"/data/scan/", "/data/scan/"},
        {"/", "/"},  // The drive root: walked as "/", never "//".
        {"", "/opt/cj/"},
        {"rel", "rel/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FolderPrefix(c.folder, "/opt/cj"), c.prefix) << c.folder;
    }
#endif
}

#ifdef _WIN32
// In GBK the pair 0x95 0x5C is one character whose second byte is that of the
// backslash: a folder named with it at the end still needs its separator.
TEST(FolderPrefix, GbkNameEndingInTheSeparatorByteGetsItsSeparator) {
    if (platform::ActiveCodePage() != platform::CodePage::Gbk) {
        GTEST_SKIP() << "needs the GBK code page (936)";
    }
    EXPECT_EQ(FolderPrefix("C:\\\x95\x5C", "C:\\cj"), "C:\\\x95\x5C\\");
    EXPECT_EQ(FolderPrefix("C:\\\x95\x5C\\", "C:\\cj"), "C:\\\x95\x5C\\");
}
#endif

TEST(DirWalk, FilesOfAFolderComeBeforeItsSubfoldersAndDotFoldersAreSkipped) {
    test::TempDir dir;
    dir.WriteFile("root/x.txt", "");
    dir.WriteFile("root/sub/y.txt", "");
    dir.WriteFile("root/.hidden/z.txt", "");
    dir.WriteFile("root/.profile", "");
    dir.WriteFile("root/sub/deeper/w.txt", "");
    const std::vector<std::string> records = Walk({dir / "root"});
    EXPECT_EQ(Sorted({records.begin(), records.begin() + 2}),
              Sorted({dir / "root/x.txt", dir / "root/.profile"}));
    EXPECT_EQ(std::vector<std::string>(records.begin() + 2, records.end()),
              (std::vector<std::string>{dir / "root/sub/y.txt", dir / "root/sub/deeper/w.txt"}));
}

// A record comes in two parts, its folder's prefix and the file's name, and
// the receiver joins them; a part cut in the wrong place would still join
// into the right path, so the parts are checked themselves.
TEST(DirWalk, RecordsComeAsTheFolderPrefixAndTheName) {
    test::TempDir dir;
    dir.WriteFile("root/a.jpg", "");
    dir.WriteFile("root/sub/b.jpg", "");
    std::vector<std::pair<std::string, std::string>> parts;
    for (const int threads : {1, 2}) {
        parts.clear();
        const WalkReport report =
            WalkFolders({dir / "root/"}, "/nowhere", core::TypeFilter(""), threads,
                        [&](std::string_view folderPrefix, std::string_view name) {
                            parts.emplace_back(folderPrefix, name);
                        });
        EXPECT_EQ(report.filesSeen, 2U);
        const std::vector<std::pair<std::string, std::string>> expected{
            {dir / "root/", "a.jpg"}, {dir / "root/sub/", "b.jpg"}};
        EXPECT_EQ(parts, expected) << threads << " threads";
    }
}

TEST(DirWalk, OrderIsTheFileSystemsDepthFirstOrder) {
    test::TempDir dir;
    MakeRandomTree(dir, "tree", 7, 600);
    const std::vector<std::string> expected = ReferenceWalk(dir / "tree/");
    ASSERT_GT(expected.size(), 50U);
    EXPECT_EQ(Walk({dir / "tree"}), expected);
}

TEST(DirWalk, ParallelListingGivesTheSingleThreadedOrder) {
    test::TempDir dir;
    MakeRandomTree(dir, "a", 11, 1500);
    MakeRandomTree(dir, "b", 12, 300);
    const std::vector<std::string> folders{dir / "a", dir / "b", dir / "a/"};
    const std::vector<std::string> single = Walk(folders, "", 1);
    for (const int threads : {2, 3, 8}) {
        for (int round = 0; round < 3; ++round) {
            EXPECT_EQ(Walk(folders, "", threads), single) << threads << " threads";
        }
    }
}

#ifndef _WIN32
// Listers run ahead of the walk order and meet linked folders along other
// paths first; the walk must still take the first path in walk order, and
// come out the same on every thread count.
TEST(DirWalk, LinkedFoldersGiveTheReferenceResultOnEveryThreadCount) {
    test::TempDir dir;
    MakeRandomTree(dir, "t", 21, 1200, 40);
    const std::vector<std::string> expected = ReferenceWalk(dir / "t/");
    const WalkResult single = WalkWithReport({dir / "t"}, "", 1);
    EXPECT_EQ(single.records, expected);
    for (const int threads : {2, 3, 8}) {
        for (int round = 0; round < 3; ++round) {
            ExpectSameResult(WalkWithReport({dir / "t"}, "", threads), single,
                             std::to_string(threads) + " threads");
        }
    }
}
#endif

TEST(DirWalk, FilterTestsTheNameAloneWithHiddenFilesIncluded) {
    test::TempDir dir;
    for (const char* name : {"a.MP3", "b.flac", "c.txt", ".d.mp3", "mp3", "e.mp3.bak"}) {
        dir.WriteFile(std::string("f/") + name, "");
    }
    dir.WriteFile("f/x.mp3/inner.txt", "");  // A folder named like a match.
    const std::string f = dir / "f";
    EXPECT_EQ(Sorted(Walk({f}, "mp3|.flac")),
              Sorted({dir / "f/a.MP3", dir / "f/b.flac", dir / "f/.d.mp3"}));
    EXPECT_EQ(Sorted(Walk({f}, "*.mp3|*.FLAC")), Sorted(Walk({f}, "mp3|.flac")));
    EXPECT_EQ(Walk({f}, "*.*").size(), 7U);
}

// A filter that matches nothing looked the same as an empty tree: the caller
// could not tell the user that the filter was at fault.
TEST(DirWalk, FilesSeenCountsEveryFileBeforeTheFilter) {
    test::TempDir dir;
    dir.WriteFile("f/a.jpg", "");
    dir.WriteFile("f/.hidden.jpg", "");
    dir.WriteFile("f/sub/b.txt", "");
    dir.WriteFile("f/.git/c.jpg", "");  // Not walked, so not seen.
#ifdef _WIN32
    const std::uint64_t files = 3;  // Windows takes no line break in a name.
#else
    dir.WriteFile("f/sub/line\nbreak.txt", "");  // Fails the filter: not left out.
    const std::uint64_t files = 4;
#endif
    const WalkResult result = WalkWithReport({dir / "f"}, "pdf", 2);
    EXPECT_TRUE(result.records.empty());
    EXPECT_EQ(result.report.filesSeen, files);
    EXPECT_EQ(result.report.unstorableNames, 0U);
    EXPECT_TRUE(result.report.leftOut.empty());
    EXPECT_EQ(WalkWithReport({dir / "f"}, "jpg").report.filesSeen, files);
}

TEST(DirWalk, FolderGivenWithASeparatorGetsNoSecond) {
    test::TempDir dir;
    dir.WriteFile("f/a.jpg", "");
    EXPECT_EQ(Walk({dir / "f/"}), std::vector<std::string>{dir / "f/a.jpg"});
}

TEST(DirWalk, EmptyFolderTextWalksTheRunDirectory) {
    test::TempDir dir;
    dir.WriteFile("run/a.jpg", "");
    EXPECT_EQ(Walk({""}, "", 2, dir / "run"), std::vector<std::string>{dir / "run/a.jpg"});
}

// An unplugged drive or an offline share walked to nothing, and the refresh
// then wrote empty shards over its index.
TEST(DirWalk, ListedFoldersThatCannotBeOpenedAreNamedAndNothingIsWalked) {
    test::TempDir dir;
    dir.WriteFile("ok/a.jpg", "");
    dir.WriteFile("plain.txt", "");
    dir.MakeDirs("empty");
    std::vector<std::string> listed{dir / "gone", dir / "ok", dir / "plain.txt"};
    std::vector<std::string> missing{dir / "gone", dir / "plain.txt"};
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    listed.push_back(dir / "pipe");
    missing.push_back(dir / "pipe");
#endif
    listed.push_back("");
    missing.push_back(dir / "run");
    for (const int threads : {1, 2}) {
        const WalkResult result = WalkWithReport(listed, "", threads, dir / "run");
        EXPECT_TRUE(result.records.empty());
        EXPECT_EQ(result.report.missingFolders, missing);
    }
    // A folder that is there but empty is fine.
    const WalkResult fine = WalkWithReport({dir / "empty", dir / "ok"});
    EXPECT_TRUE(fine.report.missingFolders.empty());
    EXPECT_EQ(fine.records, std::vector<std::string>{dir / "ok/a.jpg"});
}

// Such a folder is there, so the refresh goes on; none of its files could
// ever be indexed.
TEST(DirWalk, ListedFolderThatCannotHoldARecordIsLeftOutNotMissing) {
    test::TempDir dir;
#ifndef _WIN32
    dir.WriteFile("a\nb/x.jpg", "");  // Windows takes no such name: refused unopened there.
#endif
    dir.WriteFile("ok/y.jpg", "");
    const std::string tooLong(platform::MaxPathLength, '/');  // "/" with no room for a name.
    const WalkResult result = WalkWithReport({dir / "a\nb", tooLong, dir / "ok"}, "", 2);
    EXPECT_TRUE(result.report.missingFolders.empty());
    EXPECT_EQ(result.records, std::vector<std::string>{dir / "ok/y.jpg"});
    EXPECT_EQ(result.report.unstorableNames, 1U);
    EXPECT_EQ(result.report.tooLong, 1U);
    EXPECT_EQ(result.report.leftOut, (std::vector<std::string>{dir / "a\nb", tooLong}));
}

#ifndef _WIN32
TEST(DirWalk, LinkedFolderIsWalkedAlongTheFirstPathOnly) {
    test::TempDir dir;
    dir.WriteFile("root/a/f.jpg", "");
    dir.MakeDirs("root/b");
    fs::create_directory_symlink(dir / "root", dir / "root/a/up");     // Loop to an ancestor.
    fs::create_directory_symlink(".", dir / "root/a/self");            // Loop to itself.
    fs::create_directory_symlink(dir / "root/a", dir / "root/b/toA");  // A second path to a.
    fs::create_symlink(dir / "root/gone", dir / "root/b/dangling");  // Not a folder: a file entry.
    const std::string root = dir / "root";
    for (const int threads : {1, 4}) {
        // a and b come in the file system's order: a/f.jpg or b/toA/f.jpg,
        // whichever comes first, never both.
        const std::vector<std::string> records = Walk({root}, "", threads);
        EXPECT_EQ(records, ReferenceWalk(root + "/"));
        EXPECT_EQ(records.size(), 2U);
        EXPECT_EQ(std::count(records.begin(), records.end(), root + "/b/dangling"), 1);
        // Listed first, b reaches a through its link, and a reaches root
        // through up: the listed root is then already walked.
        const WalkResult viaB = WalkWithReport({root + "/b", root}, "", threads);
        EXPECT_EQ(viaB.records,
                  (std::vector<std::string>{root + "/b/dangling", root + "/b/toA/f.jpg"}));
        EXPECT_TRUE(viaB.report.leftOut.empty());
    }
}
#endif

TEST(DirWalk, ListedFolderInsideAnotherIsWalkedOnce) {
    test::TempDir dir;
    dir.WriteFile("data/a.jpg", "");
    dir.WriteFile("data/scans/b.jpg", "");
    dir.WriteFile("data/scans/sub/c.jpg", "");
    for (const int threads : {1, 3}) {
        EXPECT_EQ(Walk({dir / "data", dir / "data/scans", dir / "data/"}, "", threads),
                  (std::vector<std::string>{dir / "data/a.jpg", dir / "data/scans/b.jpg",
                                            dir / "data/scans/sub/c.jpg"}));
        EXPECT_EQ(Walk({dir / "data/scans", dir / "data"}, "", threads),
                  (std::vector<std::string>{dir / "data/scans/b.jpg", dir / "data/scans/sub/c.jpg",
                                            dir / "data/a.jpg"}));
    }
}

#ifdef _WIN32
// In GBK, 0x81 0x5C and 0x95 0x5C are characters whose second byte is that of
// the backslash, and 0xB0 0x61 one whose second byte is "a". A walk that took
// those bytes for separators would cut the folder's name short, and records
// would name folders that do not exist.
TEST(DirWalk, GbkNamesEndingInTheSeparatorByteAreWholeNames) {
    if (platform::ActiveCodePage() != platform::CodePage::Gbk) {
        GTEST_SKIP() << "needs the GBK code page (936)";
    }
    test::TempDir dir;
    dir.MakeDirs("g");
    // Made by the system's calls: TempDir's own helpers split paths at every
    // 0x5C byte.
    const std::string g = dir / "g";
    const std::string folder = g + "\\\x95\x5C";
    ASSERT_FALSE(platform::MakeDirectory(folder));
    ASSERT_FALSE(platform::WriteFileAndSync(g + "\\\x81\x5C.jpg", ""));
    ASSERT_FALSE(platform::WriteFileAndSync(folder + "\\\xB0\x61"
                                                     "b.jpg",
                                            ""));
    const std::string inner = folder +
                              "\\\xB0\x61"
                              "b.jpg";
    for (const int threads : {1, 2}) {
        EXPECT_EQ(Walk({g}, "", threads), (std::vector<std::string>{g + "\\\x81\x5C.jpg", inner}));
        // Listed itself, with its separator or without, the folder is walked
        // as folder + "\\".
        EXPECT_EQ(Walk({folder}, "", threads), std::vector<std::string>{inner});
        EXPECT_EQ(Walk({folder + "\\"}, "", threads), std::vector<std::string>{inner});
    }
    // The filter reads the whole name, the extension after the pair included.
    EXPECT_EQ(Walk({g}, "jpg"), (std::vector<std::string>{g + "\\\x81\x5C.jpg", inner}));
}

// A folder list item naming a drive's root, "R:\" or "R:", is walked as "R:\":
// one separator between the root and each path below it. Needs a drive the
// test may write on: the CI script maps a drive letter to an empty scratch
// folder (in Wine, $WINEPREFIX/dosdevices/r: as a link to it) and names it in
// CJ_TEST_DRIVE ("R:").
TEST(DirWalk, DriveRootIsWalkedWithOneSeparator) {
    const char* const drive = std::getenv("CJ_TEST_DRIVE");
    if (drive == nullptr || std::strlen(drive) < 2 || drive[1] != ':') {
        GTEST_SKIP() << "CJ_TEST_DRIVE names no scratch drive";
    }
    const std::string letter(drive, 2);  // "R:", whether or not a separator follows.
    const std::string root = letter + "\\";
    // Names of this process's own, so that other tests on the drive do not
    // meet them; whatever else the drive holds is walked too and not checked.
    const std::string tag = "cj-walk-" + std::to_string(GetCurrentProcessId());
    const std::string top = root + tag + ".jpg";
    const std::string folder = root + tag;
    const std::string inner = folder + "\\b.jpg";
    struct Cleanup {
        std::string top, folder, inner;
        ~Cleanup() {
            DeleteFileA(inner.c_str());
            RemoveDirectoryA(folder.c_str());
            DeleteFileA(top.c_str());
        }
    } cleanup{top, folder, inner};
    ASSERT_FALSE(platform::WriteFileAndSync(top, "")) << top;
    ASSERT_FALSE(platform::MakeDirectory(folder)) << folder;
    ASSERT_FALSE(platform::WriteFileAndSync(inner, "")) << inner;

    for (const std::string& listed : {root, letter}) {
        for (const int threads : {1, 2}) {
            SCOPED_TRACE(listed + " with " + std::to_string(threads) + " threads");
            const WalkResult result = WalkWithReport({listed}, "", threads);
            EXPECT_TRUE(result.report.missingFolders.empty());
            EXPECT_EQ(std::count(result.records.begin(), result.records.end(), top), 1);
            EXPECT_EQ(std::count(result.records.begin(), result.records.end(), inner), 1);
            // The root's files come before its subfolders' files.
            const auto topAt = std::find(result.records.begin(), result.records.end(), top);
            const auto innerAt = std::find(result.records.begin(), result.records.end(), inner);
            EXPECT_LT(topAt, innerAt);
            for (const std::string& record : result.records) {
                EXPECT_TRUE(record.starts_with(root) && !record.starts_with(root + "\\")) << record;
            }
        }
    }
}

// Paths through the wide calls, which take paths past MAX_PATH when they start
// with "\\?\" (ASCII paths only, widened byte for byte).
std::wstring LongPath(const std::string& path) {
    std::wstring wide = L"\\\\?\\";
    for (const char c : path) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return wide;
}

void RemoveLongTree(const std::wstring& path) {
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                RemoveLongTree(path + L"\\" + name);
            } else {
                DeleteFileW((path + L"\\" + name).c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

// Windows opens no path longer than 259 bytes by the narrow calls the program
// uses, yet a tree can grow past that (made through the wide calls, or moved
// into a deeper folder). A file whose path is too long is left out and
// counted, never recorded with a path no one can open; a folder too deep for
// any entry below it is not entered.
TEST(DirWalk, PathsPastTheSystemLimitAreLeftOutAndCounted) {
    constexpr int Levels = 8;
    const std::string folderName(50, 'd');
    test::TempDir dir;
    dir.MakeDirs("deep");
    struct Cleanup {
        std::wstring path;
        ~Cleanup() { RemoveLongTree(path); }
    } cleanup{LongPath(dir / "deep")};
    std::string prefix = dir / "deep/";
    for (int k = 0; k < Levels; ++k) {
        const std::string file = prefix + std::string(74, 'f') + std::to_string(k) + ".jpg";
        const HANDLE handle = CreateFileW(LongPath(file).c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE) << file;
        CloseHandle(handle);
        ASSERT_TRUE(CreateDirectoryW(LongPath(prefix + folderName).c_str(), nullptr)) << k;
        prefix += folderName + "\\";
    }
    ASSERT_GT(prefix.size(), platform::MaxPathLength);

    const WalkResult result = WalkWithReport({dir / "deep"}, "", 2);
    std::vector<std::string> records;
    std::vector<std::string> leftOut;
    prefix = dir / "deep/";
    for (int k = 0; k < Levels; ++k) {
        const std::string file = prefix + std::string(74, 'f') + std::to_string(k) + ".jpg";
        (file.size() <= platform::MaxPathLength ? records : leftOut).push_back(file);
        const std::string folder = prefix + folderName;
        if (folder.size() + 2 > platform::MaxPathLength) {
            leftOut.push_back(folder);
            break;
        }
        prefix = folder + "\\";
    }
    ASSERT_GE(leftOut.size(), 2U);
    EXPECT_EQ(result.records, records);
    // In listing order within a folder, which is the file system's.
    EXPECT_EQ(Sorted(result.report.leftOut), Sorted(leftOut));
    EXPECT_EQ(result.report.tooLong, leftOut.size());
    EXPECT_EQ(result.report.unreadableFolders, 0U);
    EXPECT_TRUE(result.report.missingFolders.empty());
}
#endif

#ifndef _WIN32
TEST(DirWalk, DeepLinkLoopEndsAtTheFirstRepeat) {
    test::TempDir dir;
    dir.WriteFile("p/q/r.jpg", "");
    fs::create_directory_symlink(dir / "p", dir / "p/q/back");
    EXPECT_EQ(Walk({dir / "p"}), std::vector<std::string>{dir / "p/q/r.jpg"});
    // Walking from inside the loop enters p once, through the link, and
    // stops at q below it.
    EXPECT_EQ(Walk({dir / "p/q"}), std::vector<std::string>{dir / "p/q/r.jpg"});
}

// Removes everything below the folder open as dirFd, through descriptors:
// paths past the system's limit cannot be removed by name.
void RemoveBelow(int dirFd) {
    const int listFd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (dir == nullptr) {
        return;
    }
    std::vector<std::pair<std::string, bool>> entries;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            entries.emplace_back(name, entry->d_type == DT_DIR);
        }
    }
    ::closedir(dir);
    for (const auto& [name, isFolder] : entries) {
        if (isFolder) {
            const int sub = ::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (sub >= 0) {
                ::fchmod(sub, 0700);
                RemoveBelow(sub);
                ::close(sub);
            }
            ::unlinkat(dirFd, name.c_str(), AT_REMOVEDIR);
        } else {
            ::unlinkat(dirFd, name.c_str(), 0);
        }
    }
}

// One tree with every kind of entry a walk must survive, built once and
// walked once (as an ordinary user when the tests run as root, so that the
// locked folder is locked); each case checks one kind.
class HostileTree : public ::testing::Test {
  protected:
    static constexpr int FanLevels = 16;
    static constexpr int ChainLevels = 24;
    static constexpr std::size_t ChainFolderName = 250;

    static void SetUpTestSuite() {
        s_dir = new test::TempDir;
        const test::TempDir& dir = *s_dir;
        s_root = dir / "h";
        ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
        dir.WriteFile("h/ok.jpg", "");
        // Names a shard cannot hold as one record.
        for (const char* name : {"line\nbreak.jpg", "carriage\rreturn.jpg", "eof\x1Amark.jpg",
                                 "lf\nfolder/inner.jpg", ".dot\nfolder/hidden.jpg"}) {
            dir.WriteFile(std::string("h/") + name, "");
        }
        // Bytes that are not UTF-8, and the longest names a file system takes.
        dir.WriteFile("h/bad\xFF\xFE.jpg", "");
        dir.WriteFile("h/\x80lone.jpg", "");
        dir.WriteFile("h/" + std::string(255, 'n'), "");
        dir.WriteFile("h/" + std::string(255, 'm') + "/in.jpg", "");
        // Entries that are neither files nor folders: listed, never opened.
        ASSERT_EQ(::mkfifo((s_root + "/fifo").c_str(), 0644), 0);
        fs::create_symlink(s_root + "/fifo", s_root + "/toFifo");
        const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string sockPath = s_root + "/sock";
        ASSERT_LT(sockPath.size(), sizeof address.sun_path);
        std::memcpy(address.sun_path, sockPath.c_str(), sockPath.size() + 1);
        ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        ::close(sock);
        // A character device (as /dev/null) where the system lets us make one.
        s_haveDevice = ::mknod((s_root + "/null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0;
        // A folder others may not list.
        dir.WriteFile("h/locked/secret.jpg", "");
        ASSERT_EQ(::chmod((s_root + "/locked").c_str(), 0), 0);
        // Link loops.
        dir.MakeDirs("h/loop");
        fs::create_directory_symlink(s_root, s_root + "/loop/up");
        fs::create_directory_symlink(".", s_root + "/loop/self");
        // A link fan: fan is level 0; level k has a file and two links to
        // level k + 1, kept in a dot-folder so that only the links reach them.
        dir.WriteFile("h/fan/f0.jpg", "");
        for (int k = 1; k <= FanLevels; ++k) {
            const std::string level = s_root + "/.levels/" + std::to_string(k);
            dir.WriteFile("h/.levels/" + std::to_string(k) + "/f" + std::to_string(k) + ".jpg", "");
            const std::string from =
                k == 1 ? s_root + "/fan" : s_root + "/.levels/" + std::to_string(k - 1);
            fs::create_directory_symlink(level, from + "/a");
            fs::create_directory_symlink(level, from + "/b");
        }
        // A chain of folders whose paths grow past the system's limit, made
        // through descriptors, with a 255-byte file name at every level.
        dir.MakeDirs("h/deep");
        int fd = ::open((s_root + "/deep").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        for (int k = 0; k < ChainLevels; ++k) {
            ::close(::openat(fd, ChainFileName(k).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
            ASSERT_EQ(::mkdirat(fd, std::string(ChainFolderName, 'd').c_str(), 0755), 0);
            const int next = ::openat(fd, std::string(ChainFolderName, 'd').c_str(),
                                      O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(fd);
            fd = next;
            ASSERT_GE(fd, 0);
        }
        ::close(fd);

        ASSERT_TRUE(WalkAsOrdinaryUser({s_root}, 2, s_result));
    }

    static void TearDownTestSuite() {
        const int fd = ::open((s_root + "/deep").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            RemoveBelow(fd);
            ::close(fd);
        }
        delete s_dir;
        s_dir = nullptr;
    }

    static std::string ChainFileName(int level) {
        std::string name = "f" + std::to_string(level) + ".jpg";
        return std::string(255 - name.size(), 'x') + name;
    }

    static bool Has(const std::string& path) {
        return std::count(s_result.records.begin(), s_result.records.end(), path) == 1;
    }
    static bool LeftOut(const std::string& path) {
        return std::count(s_result.report.leftOut.begin(), s_result.report.leftOut.end(), path) ==
               1;
    }

    static inline test::TempDir* s_dir = nullptr;
    static inline std::string s_root;
    static inline bool s_haveDevice = false;
    static inline WalkResult s_result;
};

// A name holding a line break used to be written as it was and read back as
// two bogus records; the shard's count, which counts files, then cut real
// records off its end.
TEST_F(HostileTree, NamesHoldingLineBreaksAreLeftOutAndCounted) {
    for (const std::string& record : s_result.records) {
        EXPECT_EQ(record.find_first_of("\n\r\x1A"), std::string::npos) << record;
    }
    EXPECT_EQ(s_result.report.unstorableNames, 4U);  // Three files and a folder.
    for (const char* name :
         {"line\nbreak.jpg", "carriage\rreturn.jpg", "eof\x1Amark.jpg", "lf\nfolder"}) {
        EXPECT_TRUE(LeftOut(s_root + "/" + name)) << name;
    }
    EXPECT_FALSE(LeftOut(s_root + "/.dot\nfolder"));  // Never walked: not a loss.
}

TEST_F(HostileTree, NamesThatAreNotUtf8AndLongestNamesAreRecordedAsTheyAre) {
    EXPECT_TRUE(Has(s_root + "/bad\xFF\xFE.jpg"));
    EXPECT_TRUE(Has(s_root + "/\x80lone.jpg"));
    EXPECT_TRUE(Has(s_root + "/" + std::string(255, 'n')));
    EXPECT_TRUE(Has(s_root + "/" + std::string(255, 'm') + "/in.jpg"));
}

// A file in the deepest folder that could still be opened was recorded with a
// path no program can open; the folders below were skipped without a word.
TEST_F(HostileTree, PathsPastTheSystemLimitAreLeftOutAndCounted) {
    std::uint64_t tooLong = 0;
    std::string prefix = s_root + "/deep/";
    for (int k = 0; k < ChainLevels; ++k) {
        const std::string file = prefix + ChainFileName(k);
        const std::string folder = prefix + std::string(ChainFolderName, 'd');
        if (file.size() <= platform::MaxPathLength) {
            EXPECT_TRUE(Has(file)) << k;
        } else {
            EXPECT_TRUE(LeftOut(file)) << k;
            ++tooLong;
        }
        if (folder.size() + 2 > platform::MaxPathLength) {
            // No entry's path can fit below this one: it is not entered.
            EXPECT_TRUE(LeftOut(folder)) << k;
            ++tooLong;
            break;
        }
        prefix = folder + "/";
    }
    EXPECT_GE(tooLong, 2U);
    EXPECT_EQ(s_result.report.tooLong, tooLong);
    for (const std::string& record : s_result.records) {
        EXPECT_LE(record.size(), platform::MaxPathLength);
    }
}

TEST_F(HostileTree, FoldersItCannotListAreCountedAndNamed) {
    EXPECT_EQ(s_result.report.unreadableFolders, 1U);
    EXPECT_TRUE(LeftOut(s_root + "/locked"));
    EXPECT_FALSE(Has(s_root + "/locked/secret.jpg"));
}

TEST_F(HostileTree, FifosSocketsAndDevicesAreRecordedWithoutBeingOpened) {
    // Had the walk opened the FIFO it would never have come back.
    EXPECT_TRUE(Has(s_root + "/fifo"));
    EXPECT_TRUE(Has(s_root + "/toFifo"));
    EXPECT_TRUE(Has(s_root + "/sock"));
    if (s_haveDevice) {
        EXPECT_TRUE(Has(s_root + "/null"));
    }
}

// Sixteen levels of two links to the next level gave 131,071 records for 17
// files.
TEST_F(HostileTree, LinkFansAndLoopsWalkEveryFolderOnce) {
    std::map<std::string, int> fanFiles;
    for (const std::string& record : s_result.records) {
        if (record.starts_with(s_root + "/fan/")) {
            ++fanFiles[record.substr(record.rfind('/') + 1)];
        }
        EXPECT_FALSE(record.starts_with(s_root + "/loop/")) << record;
    }
    ASSERT_EQ(fanFiles.size(), static_cast<std::size_t>(FanLevels + 1));
    for (int k = 0; k <= FanLevels; ++k) {
        EXPECT_EQ(fanFiles["f" + std::to_string(k) + ".jpg"], 1) << k;
    }
}

TEST_F(HostileTree, FilesSeenHoldsEveryFileOfTheWalkedFoldersOnce) {
    // The records, the three files with line breaks and the files too long
    // (one of the paths too long is a folder).
    EXPECT_EQ(s_result.report.filesSeen, s_result.records.size() + 3 + s_result.report.tooLong - 1);
    EXPECT_TRUE(s_result.report.missingFolders.empty());
}

TEST_F(HostileTree, GivesTheSameResultOnEveryThreadCount) {
    for (const int threads : {1, 4}) {
        WalkResult other;
        ASSERT_TRUE(WalkAsOrdinaryUser({s_root}, threads, other));
        ExpectSameResult(other, s_result, std::to_string(threads) + " threads");
    }
}
#endif  // The trees of links, FIFOs, locked folders and paths past PATH_MAX.

}  // namespace
}  // namespace cj::index
