#include "platform/dir_enum.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "temp_dir.h"

namespace cj::platform {
namespace {

namespace fs = std::filesystem;

std::vector<std::pair<std::string, bool>> Entries(const DirListing& listing) {
    std::vector<std::pair<std::string, bool>> entries;
    for (const DirEntry& entry : listing.entries) {
        entries.emplace_back(entry.name, entry.isDirectory);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

TEST(ListDirectory, ReportsEveryEntryWithLinksTakenAsWhatTheyLeadTo) {
    test::TempDir dir;
    dir.WriteFile("f/file.jpg", "x");
    dir.WriteFile("f/.hidden", "");
    dir.MakeDirs("f/sub");
    dir.MakeDirs("f/.git");
    fs::create_directory_symlink(dir / "f/sub", dir / "f/toSub");
    fs::create_symlink(dir / "f/file.jpg", dir / "f/toFile");
    fs::create_symlink(dir / "f/gone", dir / "f/dangling");
    ASSERT_EQ(::mkfifo((dir / "f/pipe").c_str(), 0600), 0);

    DirListing listing;
    ASSERT_FALSE(ListDirectory(dir / "f", listing));
    const std::vector<std::pair<std::string, bool>> expected{
        {".git", true},  {".hidden", false}, {"dangling", false}, {"file.jpg", false},
        {"pipe", false}, {"sub", true},      {"toFile", false},   {"toSub", true}};
    EXPECT_EQ(Entries(listing), expected);
}

TEST(ListDirectory, KeepsTheFileSystemsOrder) {
    test::TempDir dir;
    for (int i = 0; i < 200; ++i) {
        dir.WriteFile("f/" + std::to_string(i * 7919 % 1000) + ".jpg", "");
    }
    std::vector<std::string> reference;
    for (const auto& entry : fs::directory_iterator(dir / "f")) {
        reference.push_back(entry.path().filename().string());
    }
    DirListing listing;
    ASSERT_FALSE(ListDirectory(dir / "f", listing));
    std::vector<std::string> names;
    for (const DirEntry& entry : listing.entries) {
        names.emplace_back(entry.name);
    }
    EXPECT_EQ(names, reference);
}

// The names of a listing share one buffer that grows while the folder is
// read; the names read before a growth must still be right after it, also
// when the listing is reused for the next folder and when it is moved.
TEST(ListDirectory, NamesStayRightAcrossGrowthReuseAndMove) {
    test::TempDir dir;
    std::vector<std::string> big;
    for (int i = 0; i < 1500; ++i) {
        big.push_back(std::to_string(i) + std::string(120, 'n') + ".jpg");
        dir.WriteFile("big/" + big.back(), "");
    }
    dir.WriteFile("small/a.jpg", "");
    std::sort(big.begin(), big.end());
    const auto sortedNames = [](const DirListing& listing) {
        std::vector<std::string> names;
        for (const DirEntry& entry : listing.entries) {
            names.emplace_back(entry.name);
        }
        std::sort(names.begin(), names.end());
        return names;
    };

    DirListing listing;
    ASSERT_FALSE(ListDirectory(dir / "small", listing));
    EXPECT_EQ(sortedNames(listing), std::vector<std::string>{"a.jpg"});
    ASSERT_FALSE(ListDirectory(dir / "big", listing));
    EXPECT_EQ(sortedNames(listing), big);
    ASSERT_FALSE(ListDirectory(dir / "small", listing));
    EXPECT_EQ(sortedNames(listing), std::vector<std::string>{"a.jpg"});
    ASSERT_FALSE(ListDirectory(dir / "big", listing));
    const DirListing moved = std::move(listing);
    EXPECT_EQ(sortedNames(moved), big);
}

TEST(ListDirectory, SameFolderThroughALinkHasTheSameIdentity) {
    test::TempDir dir;
    dir.MakeDirs("a/b");
    fs::create_directory_symlink(dir / "a", dir / "link");
    DirListing a;
    DirListing link;
    DirListing b;
    ASSERT_FALSE(ListDirectory(dir / "a", a));
    ASSERT_FALSE(ListDirectory(dir / "link", link));
    ASSERT_FALSE(ListDirectory(dir / "a/b", b));
    EXPECT_EQ(a.identity, link.identity);
    EXPECT_FALSE(a.identity == b.identity);
}

TEST(ListDirectory, FailsForMissingFoldersAndFiles) {
    test::TempDir dir;
    dir.WriteFile("file.txt", "");
    DirListing listing;
    listing.entries.push_back({"stale", false});
    EXPECT_EQ(ListDirectory(dir / "missing", listing), std::errc::no_such_file_or_directory);
    EXPECT_TRUE(listing.entries.empty());
    EXPECT_EQ(ListDirectory(dir / "file.txt", listing), std::errc::not_a_directory);
}

// A FIFO opened for reading waits for a writer: given as a folder, or linked
// as one, it must fail at once instead.
TEST(ListDirectory, FailsForFifosAndDevicesWithoutOpeningThem) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    fs::create_directory_symlink(dir / "pipe", dir / "toPipe");
    DirListing listing;
    EXPECT_EQ(ListDirectory(dir / "pipe", listing), std::errc::not_a_directory);
    EXPECT_EQ(ListDirectory(dir / "pipe/", listing), std::errc::not_a_directory);
    EXPECT_EQ(ListDirectory(dir / "toPipe", listing), std::errc::not_a_directory);
    EXPECT_EQ(ListDirectory("/dev/null", listing), std::errc::not_a_directory);
}

TEST(ListDirectory, MaxPathLengthIsTheLongestPathTheSystemOpens) {
    // Extra separators are allowed anywhere, so a run of them names "/" at
    // any length.
    DirListing listing;
    EXPECT_FALSE(ListDirectory(std::string(MaxPathLength, '/'), listing));
    EXPECT_EQ(ListDirectory(std::string(MaxPathLength + 1, '/'), listing),
              std::errc::filename_too_long);
}

}  // namespace
}  // namespace cj::platform
