#include "platform/free_space.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "ordinary_user.h"
#endif

#include <cstdint>
#include <string>

#include "temp_dir.h"

namespace cj::platform {
namespace {

std::uint64_t Free(const std::string& path) {
    std::uint64_t bytes = 12345;
    const std::error_code error = FreeBytes(path, bytes);
    EXPECT_FALSE(error) << path << ": " << error.message();
    return bytes;
}

#ifndef _WIN32

// /proc is a file system of its own that never has room: a path that reaches
// it is told 0, while the root file system has room. Asking a path below
// /proc therefore shows which file system was asked.
constexpr const char* NoRoomFolder = "/proc";

// Restores the working folder when a test that changed it ends.
class WorkingFolder {
  public:
    explicit WorkingFolder(const char* path) : m_saved(::getcwd(nullptr, 0)) {
        m_changed = m_saved != nullptr && ::chdir(path) == 0;
    }
    ~WorkingFolder() {
        if (m_saved != nullptr) {
            static_cast<void>(::chdir(m_saved));
            ::free(m_saved);
        }
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;
    bool IsChanged() const { return m_changed; }

  private:
    char* m_saved;
    bool m_changed = false;
};

TEST(FreeBytes, AMissingFolderIsAnsweredByItsNearestExistingAncestor) {
    ASSERT_GT(Free("/"), 0U) << "the root file system has room";
    EXPECT_EQ(Free(NoRoomFolder), 0U);
    // Not the root's answer: the folders that do not exist yet would be made
    // on /proc's file system.
    EXPECT_EQ(Free(std::string(NoRoomFolder) + "/no-such-folder/deeper/"), 0U);
    EXPECT_EQ(Free(std::string(NoRoomFolder) + "/self/no-such-file"), 0U);
    EXPECT_GT(Free("/no-such-folder-of-cj/x"), 0U) << "the root is the last ancestor";
}

TEST(FreeBytes, EmptyAndUnanchoredRelativePathsAskTheCurrentFolder) {
    const WorkingFolder here(NoRoomFolder);
    ASSERT_TRUE(here.IsChanged());
    EXPECT_EQ(Free(""), 0U);
    EXPECT_EQ(Free("no-such-folder-of-cj/x"), 0U);
    EXPECT_EQ(Free("no-such-name-of-cj"), 0U);
}

TEST(FreeBytes, CountsWhatTheCallerMayUseInBytes) {
    test::TempDir dir;
    dir.WriteFile("a.txt", "x");
    struct statvfs fs {};
    ASSERT_EQ(::statvfs(dir.Path().c_str(), &fs), 0);
    const std::uint64_t expected = static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize;
    // Other programs write meanwhile: the answer is the same within a margin,
    // far below the block-count-versus-bytes or 32-bit mistakes this catches.
    constexpr std::uint64_t Margin = 256ULL << 20;
    for (const std::string& path : {dir.Path(), dir / "a.txt", dir / "missing/x"}) {
        const std::uint64_t bytes = Free(path);
        EXPECT_LT(bytes > expected ? bytes - expected : expected - bytes, Margin) << path;
    }
}

TEST(FreeBytes, AFolderThatCannotBeLookedIntoIsAFailure) {
    test::TempDir dir;
    dir.MakeDirs("closed/inner");
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod((dir / "closed").c_str(), 0700), 0);
    const std::string path = dir / "closed/inner/x";
    const int result = test::RunAsOrdinaryUser([&path] {
        std::uint64_t bytes = 99;
        const std::error_code error = FreeBytes(path, bytes);
        return error == std::errc::permission_denied && bytes == 0 ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
}

#else  // _WIN32

// What the system says of path's volume, for comparison.
std::uint64_t SystemFree(const std::string& folder) {
    ULARGE_INTEGER available{};
    EXPECT_TRUE(GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr)) << folder;
    return available.QuadPart;
}

// Other programs write meanwhile: answers are compared within a margin, far
// below the cluster-count-versus-bytes or 32-bit mistakes this catches.
constexpr std::uint64_t Margin = 256ULL << 20;

std::uint64_t Distance(std::uint64_t a, std::uint64_t b) {
    return a > b ? a - b : b - a;
}

TEST(FreeBytes, DriveRootsWithAndWithoutTheirSeparator) {
    char windows[MAX_PATH + 1] = {};
    ASSERT_GT(GetWindowsDirectoryA(windows, sizeof windows), 3U);
    const std::string root = std::string(windows).substr(0, 3);  // "C:\"
    const std::uint64_t expected = SystemFree(root);
    ASSERT_GT(expected, 0U);
    for (const std::string& path : {root, root.substr(0, 2), std::string(windows)}) {
        EXPECT_LT(Distance(Free(path), expected), Margin) << path;
    }
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Y'; letter >= 'D'; --letter) {
        if ((drives & (1U << (letter - 'A'))) == 0) {
            std::uint64_t bytes = 99;
            const std::string missing = std::string(1, letter) + ":\\no-such-folder";
            EXPECT_TRUE(FreeBytes(missing, bytes)) << "a drive that is not there is no answer";
            EXPECT_EQ(bytes, 0U);
            break;
        }
    }
}

TEST(FreeBytes, CountsWhatTheCallerMayUseInBytes) {
    test::TempDir dir;
    dir.WriteFile("a.txt", "x");
    const std::uint64_t expected = SystemFree(dir.Path() + "\\");
    for (const std::string& path : {dir.Path(), dir / "a.txt", dir / "missing\\x",
                                    dir / "missing\\deeper\\", dir / "a.txt\\x"}) {
        EXPECT_LT(Distance(Free(path), expected), Margin) << path;
    }
}

// Wine shows the Linux root as drive Z:, and /proc there never has room: a
// path that reaches it is told 0 while the root has room, which shows which
// folder was asked. Real Windows has no such folder; the case is skipped.
TEST(FreeBytes, AMissingFolderIsAnsweredByItsNearestExistingAncestor) {
    const std::string noRoom = "Z:\\proc";
    if ((GetFileAttributesA((noRoom + "\\self").c_str()) & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        SystemFree(noRoom + "\\") != 0 || SystemFree("Z:\\") == 0) {
        GTEST_SKIP() << "no volume without room here";
    }
    EXPECT_EQ(Free(noRoom), 0U);
    EXPECT_EQ(Free(noRoom + "\\no-such-folder\\deeper\\"), 0U);
    EXPECT_EQ(Free(noRoom + "\\self\\no-such-file"), 0U);
    EXPECT_GT(Free("Z:\\no-such-folder-of-cj\\x"), 0U) << "the root is the last ancestor";

    char saved[MAX_PATH + 1] = {};
    ASSERT_GT(GetCurrentDirectoryA(sizeof saved, saved), 0U);
    ASSERT_TRUE(SetCurrentDirectoryA(noRoom.c_str()));
    std::uint64_t relative = 1;
    std::uint64_t empty = 1;
    const std::error_code relativeError = FreeBytes("no-such-folder-of-cj\\x", relative);
    const std::error_code emptyError = FreeBytes("", empty);
    ASSERT_TRUE(SetCurrentDirectoryA(saved));
    EXPECT_FALSE(relativeError);
    EXPECT_FALSE(emptyError);
    EXPECT_EQ(relative, 0U) << "the current folder is the last ancestor of a relative path";
    EXPECT_EQ(empty, 0U);
}

#endif  // _WIN32

}  // namespace
}  // namespace cj::platform
