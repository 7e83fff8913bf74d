#include "shell/file_name.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "temp_dir.h"

namespace cj::shell {
namespace {

struct NameCase {
    const char* path;
    const char* withExtension;
    const char* withoutExtension;
};

TEST(FileName, TakesTheLastComponent) {
    const NameCase cases[] = {
        {"/srv/scan/a.txt", "a.txt", "a"},
        {"/srv/scan/archive.tar.gz", "archive.tar.gz", "archive.tar"},
        {"/srv/scan/README", "README", "README"},
        {"/srv/.profile", ".profile", ""},        // Only a leading dot: all extension.
        {"/srv/.hidden.jpg", ".hidden.jpg", ".hidden"},
        {"/srv/name.", "name.", "name"},
        {"/srv/scan/", "", ""},                   // Ends in a separator.
        {"/", "", ""},
        {"", "", ""},
        {"a.jpg", "a.jpg", "a"},                  // No folder at all.
        {"/srv/v1.2/photo", "photo", "photo"},    // Dots in folders do not count.
        {"/srv/快递/SF1400000000001.JPG", "SF1400000000001.JPG", "SF1400000000001"},
        {"/srv/扫描 件.照片", "扫描 件.照片", "扫描 件"},
        {"C:\\scan\\a.jpg", "C:\\scan\\a.jpg", "C:\\scan\\a"},  // "\" is a name byte here.
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(FileName(c.path, true), c.withExtension) << c.path;
        EXPECT_EQ(FileName(c.path, false), c.withoutExtension) << c.path;
    }
}

TEST(FileName, Extension) {
    EXPECT_EQ(FileExtension("a.tar.gz"), ".gz");
    EXPECT_EQ(FileExtension("README"), "");
    EXPECT_EQ(FileExtension(".profile"), ".profile");
    EXPECT_EQ(FileExtension("name."), ".");
}

TEST(SizeText, ShowsTheShortSizeOrZero) {
    test::TempDir dir;
    dir.WriteFile("empty.jpg", "");
    dir.WriteFile("small.jpg", std::string(532, 'x'));
    dir.WriteFile("kb.jpg", std::string(1536, 'x'));
    dir.WriteFile("big.tif", "");
    ASSERT_EQ(::truncate((dir / "big.tif").c_str(), 3LL << 30), 0);
    dir.MakeDirs("folder");

    EXPECT_EQ(SizeText(dir / "empty.jpg"), "0");
    EXPECT_EQ(SizeText(dir / "small.jpg"), "532 B");
    EXPECT_EQ(SizeText(dir / "kb.jpg"), "1.50 KB");
    EXPECT_EQ(SizeText(dir / "big.tif"), "3.00 GB");
    // A file deleted since the last refresh, or something that is no file.
    EXPECT_EQ(SizeText(dir / "gone.jpg"), "0");
    EXPECT_EQ(SizeText(dir / "folder"), "0");
    EXPECT_EQ(SizeText(""), "0");
}

TEST(SizeText, ForKnownSizes) {
    EXPECT_EQ(SizeTextForBytes(0), "0");
    EXPECT_EQ(SizeTextForBytes(1), "1 B");
    EXPECT_EQ(SizeTextForBytes(12800), "12.5 KB");
}

}  // namespace
}  // namespace cj::shell
