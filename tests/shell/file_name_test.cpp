#include "shell/file_name.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"
#include "temp_dir.h"

namespace cj::shell {
namespace {

struct NameCase {
    const char* path;
    const char* withExtension;
    const char* withoutExtension;
};

#ifdef _WIN32
TEST(FileName, TakesTheLastComponent) {
    const NameCase cases[] = {
        {"C:\\scan\\a.txt", "a.txt", "a"},
        {"C:\\scan\\archive.tar.gz", "archive.tar.gz", "archive.tar"},
        {"C:\\.profile", ".profile", ""},
        {"C:\\scan\\", "", ""},
        {"C:\\", "", ""},
        {"", "", ""},
        {"a.jpg", "a.jpg", "a"},
        {"\\\\server\\share\\v1.2\\photo", "photo", "photo"},
        {"/srv/a.jpg", "/srv/a.jpg", "/srv/a"},  // "/" is no separator of the program's paths.
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(FileName(c.path, true), c.withExtension) << c.path;
        EXPECT_EQ(FileName(c.path, false), c.withoutExtension) << c.path;
    }
}

TEST(FileName, AGbkCharacterEndingInTheSeparatorByteIsPartOfTheName) {
    if (platform::ActiveCodePage() != platform::CodePage::Gbk) {
        GTEST_SKIP() << "needs the Chinese code page 936";
    }
    EXPECT_EQ(FileName("D:\\scan\\\x95\x5C", true), "\x95\x5C");
    EXPECT_EQ(FileName("D:\\\x95\x5C\\a.jpg", false), "a");
    EXPECT_EQ(FileName("D:\\scan\\\xCB\xB3\xB7\xE1.jpg", false), "\xCB\xB3\xB7\xE1");
    EXPECT_EQ(FileName("D:\\scan\\", true), "");
}
#else
TEST(FileName, TakesTheLastComponent) {
    const NameCase cases[] = {
        {"/srv/scan/a.txt", "a.txt", "a"},
        {"/srv/scan/archive.tar.gz", "archive.tar.gz", "archive.tar"},
        {"/srv/scan/README", "README", "README"},
        {"/srv/.profile", ".profile", ""},  // Only a leading dot: all extension.
        {"/srv/.hidden.jpg", ".hidden.jpg", ".hidden"},
        {"/srv/name.", "name.", "name"},
        {"/srv/scan/", "", ""},  // Ends in a separator.
        {"/", "", ""},
        {"", "", ""},
        {"a.jpg", "a.jpg", "a"},                // No folder at all.
        {"/srv/v1.2/photo", "photo", "photo"},  // Dots in folders do not count.
        {"/srv/快递/SF1400000000001.JPG", "SF1400000000001.JPG", "SF1400000000001"},
        {"/srv/扫描 件.照片", "扫描 件.照片", "扫描 件"},
        {"C:\\scan\\a.jpg", "C:\\scan\\a.jpg", "C:\\scan\\a"},  // "\" is a name byte here.
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(FileName(c.path, true), c.withExtension) << c.path;
        EXPECT_EQ(FileName(c.path, false), c.withoutExtension) << c.path;
    }
}
#endif

TEST(FileName, Extension) {
    EXPECT_EQ(FileExtension("a.tar.gz"), ".gz");
    EXPECT_EQ(FileExtension("README"), "");
    EXPECT_EQ(FileExtension(".profile"), ".profile");
    EXPECT_EQ(FileExtension("name."), ".");
}

// A count of plain bytes as the lists show it. The Chinese formatter's "字节"
// becomes "B"; a Western Windows names them "bytes", as its file manager does.
std::string PlainBytes(const std::string& count) {
#ifdef _WIN32
    if (platform::ActiveCodePage() != platform::CodePage::Gbk) {
        return count + " bytes";
    }
#endif
    return count + " B";
}

TEST(SizeText, ShowsTheShortSizeOrZeroWhenUnknown) {
    test::TempDir dir;
    dir.WriteFile("empty.jpg", "");
    dir.WriteFile("small.jpg", std::string(532, 'x'));
    dir.WriteFile("kb.jpg", std::string(1536, 'x'));
    dir.WriteFile("big.tif", "");
    ASSERT_TRUE(test::SetFileLength(dir / "big.tif", 3ULL << 30));
    dir.MakeDirs("folder");

    EXPECT_EQ(SizeText(dir / "empty.jpg"), PlainBytes("0")) << "an empty file is no unknown size";
    EXPECT_EQ(SizeText(dir / "small.jpg"), PlainBytes("532"));
    EXPECT_EQ(SizeText(dir / "kb.jpg"), "1.50 KB");
    EXPECT_EQ(SizeText(dir / "big.tif"), "3.00 GB");
    // A file deleted since the last refresh, or something that is no file.
    EXPECT_EQ(SizeText(dir / "gone.jpg"), "0");
    EXPECT_EQ(SizeText(dir / "folder"), "0");
    EXPECT_EQ(SizeText(""), "0");
}

TEST(SizeText, ForKnownSizes) {
    EXPECT_EQ(SizeTextForBytes(0), PlainBytes("0"));
    EXPECT_EQ(SizeTextForBytes(1), PlainBytes("1"));
    EXPECT_EQ(SizeTextForBytes(12800), "12.5 KB");
}

}  // namespace
}  // namespace cj::shell
