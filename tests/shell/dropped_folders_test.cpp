#include "shell/dropped_folders.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <string>
#include <vector>

#include "temp_dir.h"

namespace cj::shell {
namespace {

using Names = std::vector<std::string>;

TEST(DroppedFolders, KeepsTheFoldersInDropOrderAndLeavesOutEverythingElse) {
    test::TempDir dir;
    dir.MakeDirs("scans/2024");
    dir.MakeDirs("archive");
    dir.WriteFile("scans/SF1400000000001.jpg", "jpeg");
    const Names dropped = {dir / "scans/2024", dir / "scans/SF1400000000001.jpg", dir / "gone",
                           dir / "archive", dir / "scans/2024"};
    EXPECT_EQ(DroppedFolders(dropped),
              (Names{dir / "scans/2024", dir / "archive", dir / "scans/2024"}))
        << "a folder dropped twice is listed twice, as the picker would add it twice";
    EXPECT_TRUE(DroppedFolders(Names{dir / "scans/SF1400000000001.jpg", ""}).empty());
}

#ifndef _WIN32
TEST(DroppedFolders, ALinkToAFolderIsAFolderAndABrokenLinkIsNothing) {
    test::TempDir dir;
    dir.MakeDirs("real");
    ASSERT_EQ(::symlink((dir / "real").c_str(), (dir / "link").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "nowhere").c_str(), (dir / "broken").c_str()), 0);
    EXPECT_EQ(DroppedFolders(Names{dir / "link", dir / "broken"}), Names{dir / "link"});
}

TEST(DroppedFolders, LongPathsArriveWhole) {
    // The Windows program read each name into 260 bytes and tested the cut
    // name; Linux paths run to 4096 bytes.
    test::TempDir dir;
    std::string relative = "d";
    while (relative.size() < 400) {
        relative += "/文件夹文件夹文件夹文件夹";
    }
    dir.MakeDirs(relative);
    const std::string folder = dir / relative;
    ASSERT_GT(folder.size(), 400u);
    EXPECT_EQ(DroppedFolders(Names{folder}), Names{folder});
}
#endif

}  // namespace
}  // namespace cj::shell
