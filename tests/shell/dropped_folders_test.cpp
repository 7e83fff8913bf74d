#include "shell/dropped_folders.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
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

// The path with the platform's separator.
std::string P(std::string path) {
    std::replace(path.begin(), path.end(), '/', platform::PathSeparator);
    return path;
}

TEST(CoveringFolder, AFolderIsCoveredByItselfAndByEveryListedFolderAroundIt) {
    const Names listed = {P("/srv/scans"), P("/media/u/disk/"), ""};
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {P("/srv/scans/"), P("/srv/scans")},
        {P("/srv/scans/2024/x"), P("/srv/scans")},
        {P("/media/u/disk"), P("/media/u/disk/")},
        // A longer name, a folder around a listed one, no folder.
        {P("/srv/scans2"), std::nullopt},
        {P("/srv"), std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [folder, covering] : cases) {
        EXPECT_EQ(CoveringFolder(folder, listed), covering) << folder;
    }
    EXPECT_EQ(CoveringFolder(P("/any/where"), Names{P("/")}), P("/")) << "the root covers all";
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
