#include "index/dir_walk.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <random>

#include "temp_dir.h"

namespace cj::index {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Walk(const std::vector<std::string>& folders, std::string_view filter = "",
                              int threads = 1, std::string_view runDirectory = "/nowhere") {
    std::vector<std::string> records;
    WalkFolders(folders, runDirectory, core::TypeFilter(filter), threads,
                [&](std::string_view record) { records.emplace_back(record); });
    return records;
}

// The walk written the plain way, over std::filesystem (which lists in the
// same file-system order): files first, then each subfolder not named ".*".
void ReferenceWalk(const std::string& prefix, std::vector<std::string>& out) {
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
            ReferenceWalk(prefix + name + "/", out);
        }
    }
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// A random tree: folders up to four deep, hidden files, dot-folders, empty
// folders, Chinese names.
void MakeRandomTree(const test::TempDir& dir, std::string_view root, unsigned seed, int files) {
    std::mt19937 random(seed);
    std::vector<std::string> folders{std::string(root)};
    dir.MakeDirs(root);
    static const char* const Names[] = {"仓库A",  "SF",   "退货",   ".git",
                                        "shop01", "2023", ".cache", "x"};
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
}

TEST(FolderPrefix, AddsOneSeparatorAndTakesTheRunDirectoryForEmpty) {
    struct Case {
        const char* folder;
        const char* prefix;
    };
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
}

TEST(DirWalk, FilesOfAFolderComeBeforeItsSubfoldersAndDotFoldersAreSkipped) {
    test::TempDir dir;
    dir.WriteFile("root/x.txt", "");
    dir.WriteFile("root/sub/y.txt", "");
    dir.WriteFile("root/.hidden/z.txt", "");
    dir.WriteFile("root/.profile", "");
    dir.WriteFile("root/sub/deeper/w.txt", "");
    const std::string root = dir / "root";
    const std::vector<std::string> records = Walk({root});
    EXPECT_EQ(Sorted({records.begin(), records.begin() + 2}),
              Sorted({root + "/x.txt", root + "/.profile"}));
    EXPECT_EQ(std::vector<std::string>(records.begin() + 2, records.end()),
              (std::vector<std::string>{root + "/sub/y.txt", root + "/sub/deeper/w.txt"}));
}

TEST(DirWalk, OrderIsTheFileSystemsDepthFirstOrder) {
    test::TempDir dir;
    MakeRandomTree(dir, "tree", 7, 600);
    std::vector<std::string> expected;
    ReferenceWalk(dir / "tree/", expected);
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

TEST(DirWalk, FilterTestsTheNameAloneWithHiddenFilesIncluded) {
    test::TempDir dir;
    for (const char* name : {"a.MP3", "b.flac", "c.txt", ".d.mp3", "mp3", "e.mp3.bak"}) {
        dir.WriteFile(std::string("f/") + name, "");
    }
    dir.WriteFile("f/x.mp3/inner.txt", "");  // A folder named like a match.
    const std::string f = dir / "f";
    EXPECT_EQ(Sorted(Walk({f}, "mp3|.flac")), Sorted({f + "/a.MP3", f + "/b.flac", f + "/.d.mp3"}));
    EXPECT_EQ(Walk({f}, "*.*").size(), 7U);
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

TEST(DirWalk, MissingFoldersAndFilesGivenAsFoldersContributeNothing) {
    test::TempDir dir;
    dir.WriteFile("ok/a.jpg", "");
    dir.WriteFile("plain.txt", "");
    for (const int threads : {1, 2}) {
        EXPECT_EQ(Walk({dir / "gone", dir / "plain.txt", dir / "ok"}, "", threads),
                  std::vector<std::string>{dir / "ok/a.jpg"});
    }
}

TEST(DirWalk, UnreadableFolderContributesNothing) {
    test::TempDir dir;
    dir.WriteFile("f/a.jpg", "");
    dir.WriteFile("f/locked/b.jpg", "");
    ASSERT_EQ(::chmod((dir / "f/locked").c_str(), 0), 0);
    const std::vector<std::string> expected{dir / "f/a.jpg"};
    if (::geteuid() != 0) {
        EXPECT_EQ(Walk({dir / "f"}), expected);
        return;
    }
    // Root reads every folder: the walk runs as "nobody" in a child process,
    // in a tree that user may read but for the locked folder.
    for (const char* folder : {"", "f"}) {
        ASSERT_EQ(::chmod((dir / folder).c_str(), 0755), 0);
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(2);
        }
        ::_exit(Walk({dir / "f"}) == expected ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: wrong records, 2: could not become nobody";
}

// Builds a chain of folders below parentFd whose full paths grow past the
// system's path limit, so that the deep end cannot be opened by path (not even
// by root), with a file at every level. Returns the number of levels.
int MakeDeepChain(int parentFd, int levels) {
    const std::string name(250, 'd');
    int fd = ::dup(parentFd);
    for (int i = 0; i < levels; ++i) {
        const int file = ::openat(fd, ("f" + std::to_string(i) + ".jpg").c_str(),
                                  O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
        ::close(file);
        if (::mkdirat(fd, name.c_str(), 0700) != 0) {
            ::close(fd);
            return i;
        }
        const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = next;
    }
    ::close(fd);
    return levels;
}

// Removes what MakeDeepChain made, through descriptors (paths are too long).
void RemoveDeepChain(int parentFd) {
    const std::string name(250, 'd');
    const int fd = ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        RemoveDeepChain(fd);
        ::close(fd);
        ::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR);
    }
    for (int i = 0; i < 40; ++i) {
        ::unlinkat(parentFd, ("f" + std::to_string(i) + ".jpg").c_str(), 0);
    }
}

TEST(DirWalk, FoldersTooDeepToOpenContributeNothing) {
    test::TempDir dir;
    dir.MakeDirs("deep");
    const int top = ::open((dir / "deep").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(top, 0);
    ASSERT_EQ(MakeDeepChain(top, 24), 24);
    const std::vector<std::string> records = Walk({dir / "deep"}, "", 2);
    RemoveDeepChain(top);
    ::close(top);
    // Every level whose folder path fits is listed, in order; the rest is not.
    const std::size_t fits = (PATH_MAX - (dir / "deep/").size()) / 251;
    ASSERT_GE(records.size(), fits);
    ASSERT_LT(records.size(), 24U);
    std::string prefix = dir / "deep/";
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i], prefix + "f" + std::to_string(i) + ".jpg");
        prefix += std::string(250, 'd') + "/";
    }
}

TEST(DirWalk, FollowsLinkedFoldersButNeverAFolderOnItsOwnPath) {
    test::TempDir dir;
    dir.WriteFile("root/a/f.jpg", "");
    dir.MakeDirs("root/b");
    fs::create_directory_symlink(dir / "root", dir / "root/a/up");     // Loop to an ancestor.
    fs::create_directory_symlink(".", dir / "root/a/self");            // Loop to itself.
    fs::create_directory_symlink(dir / "root/a", dir / "root/b/toA");  // Not a loop.
    fs::create_symlink(dir / "root/gone", dir / "root/b/dangling");  // Not a folder: a file entry.
    const std::string root = dir / "root";
    for (const int threads : {1, 4}) {
        EXPECT_EQ(Sorted(Walk({root}, "", threads)),
                  Sorted({root + "/a/f.jpg", root + "/b/toA/f.jpg", root + "/b/dangling"}));
    }
}

TEST(DirWalk, DeepLinkLoopEndsAtTheFirstRepeat) {
    test::TempDir dir;
    dir.WriteFile("p/q/r.jpg", "");
    fs::create_directory_symlink(dir / "p", dir / "p/q/back");
    EXPECT_EQ(Walk({dir / "p"}), std::vector<std::string>{dir / "p/q/r.jpg"});
    // Walking from inside the loop enters p once, through the link, and
    // stops at q below it.
    EXPECT_EQ(Walk({dir / "p/q"}), std::vector<std::string>{dir / "p/q/r.jpg"});
}

}  // namespace
}  // namespace cj::index
