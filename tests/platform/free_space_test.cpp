#include "platform/free_space.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "ordinary_user.h"
#include "temp_dir.h"

namespace cj::platform {
namespace {

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

std::uint64_t Free(const std::string& path) {
    std::uint64_t bytes = 12345;
    const std::error_code error = FreeBytes(path, bytes);
    EXPECT_FALSE(error) << path << ": " << error.message();
    return bytes;
}

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

}  // namespace
}  // namespace cj::platform
