#include "platform/dir_enum.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/code_page.h"
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

#ifndef _WIN32
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

#endif

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

#ifndef _WIN32
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

#endif

TEST(ListDirectory, FailsForMissingFoldersAndFiles) {
    test::TempDir dir;
    dir.WriteFile("file.txt", "");
    DirListing listing;
    listing.entries.push_back({"stale", false});
    EXPECT_EQ(ListDirectory(dir / "missing", listing), std::errc::no_such_file_or_directory);
    EXPECT_TRUE(listing.entries.empty());
    EXPECT_EQ(ListDirectory(dir / "file.txt", listing), std::errc::not_a_directory);
}

#ifndef _WIN32
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

#endif  // !_WIN32

#ifdef _WIN32
// Files and folders made through the narrow API, as the program names them, so
// that a name in the code page reaches the disk as these bytes.
void CreateFileNamed(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path << " " << GetLastError();
    CloseHandle(file);
}

void CreateFolderNamed(const std::string& path) {
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path << " " << GetLastError();
}

TEST(ListDirectory, ReportsHiddenAndSystemEntriesButNotTheDots) {
    test::TempDir dir;
    dir.MakeDirs("f");
    const std::string folder = dir / "f";
    CreateFileNamed(folder + "\\photo.jpg");
    CreateFileNamed(folder + "\\hidden.jpg", FILE_ATTRIBUTE_HIDDEN);
    CreateFileNamed(folder + "\\system.dat", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    CreateFileNamed(folder + "\\readonly.jpg", FILE_ATTRIBUTE_READONLY);
    CreateFolderNamed(folder + "\\sub");
    CreateFolderNamed(folder + "\\hiddenSub");
    ASSERT_TRUE(SetFileAttributesA((folder + "\\hiddenSub").c_str(), FILE_ATTRIBUTE_HIDDEN));

    DirListing listing;
    ASSERT_FALSE(ListDirectory(folder, listing));
    const std::vector<std::pair<std::string, bool>> expected{
        {"hidden.jpg", false},   {"hiddenSub", true}, {"photo.jpg", false},
        {"readonly.jpg", false}, {"sub", true},       {"system.dat", false}};
    EXPECT_EQ(Entries(listing), expected);
    SetFileAttributesA((folder + "\\readonly.jpg").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ListDirectory, TrailingSeparatorListsTheSameFolder) {
    test::TempDir dir;
    dir.WriteFile("f/a.jpg", "");
    dir.MakeDirs("f/b");
    DirListing plain;
    DirListing backslash;
    DirListing slash;
    ASSERT_FALSE(ListDirectory(dir / "f", plain));
    ASSERT_FALSE(ListDirectory(dir / "f\\", backslash));
    ASSERT_FALSE(ListDirectory(dir / "f/", slash));
    EXPECT_EQ(Entries(plain),
              (std::vector<std::pair<std::string, bool>>{{"a.jpg", false}, {"b", true}}));
    EXPECT_EQ(Entries(backslash), Entries(plain));
    EXPECT_EQ(Entries(slash), Entries(plain));
    EXPECT_EQ(backslash.identity, plain.identity);

    DirListing sub;
    ASSERT_FALSE(ListDirectory(dir / "f\\b", sub));
    EXPECT_TRUE(sub.entries.empty());
    EXPECT_FALSE(sub.identity == plain.identity);
}

// A drive in the folder list is "C:\" or, typed without its separator, "C:",
// which the system alone would take for the current folder of drive C.
// (Under Wine, C: is the prefix's drive_c.)
TEST(ListDirectory, DriveRootListsWithAndWithoutTheSeparator) {
    char previous[MAX_PATH] = {};
    ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\windows\\system32"));
    DirListing withSeparator;
    DirListing bare;
    const std::error_code withError = ListDirectory("C:\\", withSeparator);
    const std::error_code bareError = ListDirectory("C:", bare);
    SetCurrentDirectoryA(previous);
    ASSERT_FALSE(withError) << withError.message();
    ASSERT_FALSE(bareError) << bareError.message();

    EXPECT_EQ(Entries(bare), Entries(withSeparator));
    EXPECT_EQ(bare.identity, withSeparator.identity);
    const auto windows = std::find_if(
        withSeparator.entries.begin(), withSeparator.entries.end(), [](const DirEntry& entry) {
            return _stricmp(std::string(entry.name).c_str(), "windows") == 0;
        });
    ASSERT_NE(windows, withSeparator.entries.end());
    EXPECT_TRUE(windows->isDirectory);

    DirListing system32;
    ASSERT_FALSE(ListDirectory("C:\\windows\\system32", system32));
    EXPECT_FALSE(system32.identity == bare.identity) << "C: listed the current folder";
}

// Links to folders are folders to the walk; the identity of the folder they
// lead to is what stops a link that leads back up the walk.
TEST(ListDirectory, FolderLinksAreFoldersWithTheirTargetsIdentity) {
    test::TempDir dir;
    dir.WriteFile("a/b/file.jpg", "x");
    const std::string a = dir / "a";
    const std::string link = dir / "a\\b\\up";
    if (!CreateSymbolicLinkA(
            link.c_str(), a.c_str(),
            SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
        GTEST_SKIP() << "no symbolic links here: " << GetLastError();
    }
    if (GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES) {
        // Wine 8's CreateSymbolicLinkA reports success and makes nothing.
        GTEST_SKIP() << "the symbolic link was not made";
    }
    DirListing b;
    ASSERT_FALSE(ListDirectory(dir / "a\\b", b));
    EXPECT_EQ(Entries(b),
              (std::vector<std::pair<std::string, bool>>{{"file.jpg", false}, {"up", true}}));
    DirListing through;
    DirListing direct;
    ASSERT_FALSE(ListDirectory(link, through));
    ASSERT_FALSE(ListDirectory(a, direct));
    EXPECT_EQ(through.identity, direct.identity);
    EXPECT_EQ(Entries(through), Entries(direct));
    RemoveDirectoryA(link.c_str());
}

TEST(ListDirectory, FailsForDevicesAndOverlongPaths) {
    test::TempDir dir;
    DirListing listing;
    EXPECT_EQ(ListDirectory("NUL", listing), std::errc::not_a_directory);
    EXPECT_EQ(ListDirectory("", listing), std::errc::no_such_file_or_directory);
    const std::string longest = dir / std::string(MaxPathLength - dir.Path().size() - 1, 'n');
    ASSERT_EQ(longest.size(), MaxPathLength);
    EXPECT_EQ(ListDirectory(longest, listing), std::errc::no_such_file_or_directory);
    EXPECT_EQ(ListDirectory(longest + "n", listing), std::errc::filename_too_long);
}

// GBK names come back as the bytes they were made with, and a folder whose
// name ends in a character whose second byte is 0x5C ("\") is listed as that
// folder: the byte is no separator.
TEST(ListDirectory, GbkNamesAreListedAndConvertBack) {
    if (ActiveCodePage() != CodePage::Gbk) {
        GTEST_SKIP() << "the active code page is not GBK";
    }
    const std::string kuaidi = "\xBF\xEC\xB5\xDD.jpg";  // 快递.jpg
    const std::string cheng = "\x81\x5C";               // 乗, second byte "\"
    test::TempDir dir;
    const std::string folder = dir / cheng;
    CreateFolderNamed(folder);
    CreateFileNamed(folder + "\\" + kuaidi);
    CreateFileNamed(folder + "\\" + cheng + ".txt");
    CreateFolderNamed(folder + "\\" + cheng + cheng);

    // Sorted by their bytes, as Entries sorts them.
    const std::vector<std::pair<std::string, bool>> expected{
        {cheng + ".txt", false}, {cheng + cheng, true}, {kuaidi, false}};
    DirListing listing;
    ASSERT_FALSE(ListDirectory(folder, listing));
    EXPECT_EQ(Entries(listing), expected);
    DirListing withSeparator;
    ASSERT_FALSE(ListDirectory(folder + "\\", withSeparator));
    EXPECT_EQ(Entries(withSeparator), expected);
    EXPECT_EQ(withSeparator.identity, listing.identity);

    for (const DirEntry& entry : listing.entries) {
        EXPECT_EQ(Utf16ToNarrow(NarrowToUtf16(entry.name)), entry.name);
    }
    DirListing nested;
    ASSERT_FALSE(ListDirectory(folder + "\\" + cheng + cheng, nested));
    EXPECT_TRUE(nested.entries.empty());
    const auto found = std::find_if(listing.entries.begin(), listing.entries.end(),
                                    [&](const DirEntry& e) { return e.name == kuaidi; });
    ASSERT_NE(found, listing.entries.end());
    EXPECT_EQ(NarrowToUtf16(found->name), u"快递.jpg");
}
#endif  // _WIN32

}  // namespace
}  // namespace cj::platform
