#include "shell/clipboard_payload.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native_path.h"
#include "platform/line_end.h"

namespace cj::shell {
namespace {

using namespace std::string_literals;
using Paths = std::vector<std::string>;

// ---- File URLs -------------------------------------------------------------

struct UrlCase {
    std::string path;
    const char* url;
};

TEST(FileUrl, EncodesEveryByteButTheUnreservedOnesAndTheSeparator) {
    const UrlCase cases[] = {
        {"/srv/scans/SF1400000000001.jpg", "file:///srv/scans/SF1400000000001.jpg"},
        {"/srv/a-b_c.d~e", "file:///srv/a-b_c.d~e"},
        // Blanks, "%" and the characters that mean something in a URL.
        {"/srv/my scans/100%.jpg", "file:///srv/my%20scans/100%25.jpg"},
        {"/srv/a#1?x=y&z;+,@:!$'()*[]",
         "file:///srv/a%231%3Fx%3Dy%26z%3B%2B%2C%40%3A%21%24%27%28%29%2A%5B%5D"},
        // UTF-8, one escape a byte, upper-case hex.
        {"/srv/顺丰/单号.jpg", "file:///srv/%E9%A1%BA%E4%B8%B0/%E5%8D%95%E5%8F%B7.jpg"},
        // Not UTF-8 (GBK bytes of a Windows disk): the bytes stay exact.
        {"/srv/\xB5\xA5\xBA\xC5.jpg", "file:///srv/%B5%A5%BA%C5.jpg"},
        {"/srv/\xFF\x80", "file:///srv/%FF%80"},
        // Control bytes, a backslash and a NUL are bytes like the others.
        {"/srv/a\tb\\c\x7F"s + '\0' + "d", "file:///srv/a%09b%5Cc%7F%00d"},
        {"/", "file:///"},
    };
    for (const UrlCase& c : cases) {
        EXPECT_EQ(FileUrl(c.path), c.url) << c.path;
    }
}

// ---- File-manager formats ---------------------------------------------------

TEST(UriList, EndsEveryUrlWithCarriageReturnAndLineFeed) {
    const Paths paths = {"/srv/a b.jpg", "/srv/100%.png", "/srv/单号.jpg", "/srv/\xB5\xA5"};
    EXPECT_EQ(UriList(paths),
              "file:///srv/a%20b.jpg\r\n"
              "file:///srv/100%25.png\r\n"
              "file:///srv/%E5%8D%95%E5%8F%B7.jpg\r\n"
              "file:///srv/%B5%A5\r\n");
    EXPECT_EQ(UriList({}), "");
}

TEST(GnomeCopiedFiles, StartsWithCopyAndPutsOneUrlALine) {
    EXPECT_EQ(GnomeCopiedFiles({"/srv/a b.jpg", "/srv/单.jpg"}),
              "copy\nfile:///srv/a%20b.jpg\nfile:///srv/%E5%8D%95.jpg");
    EXPECT_EQ(GnomeCopiedFiles({}), "copy");
}

// ---- Texts ------------------------------------------------------------------

TEST(ClipboardText, NamesLoseTheirExtensionAndEveryLineIsEnded) {
    const std::string end(platform::TextLineEnd);
    EXPECT_EQ(NamesText({test::NativePath("/srv/a.txt"), test::NativePath("/srv/archive.tar.gz"),
                         test::NativePath("/srv/README")}),
              "a" + end + "archive.tar" + end + "README" + end);
    EXPECT_EQ(NamesText({test::NativePath("/srv/扫描 件.照片"), test::NativePath("/srv/.profile")}),
              "扫描 件" + end + end);
    EXPECT_EQ(PathsText({"/srv/a.txt", "/srv/顺丰/b c.jpg"}),
              "/srv/a.txt" + end + "/srv/顺丰/b c.jpg" + end);
    EXPECT_EQ(NamesText({}), "");
    EXPECT_EQ(PathsText({}), "");
}

TEST(ClipboardText, UsesThePlatformsLineEnd) {
#ifdef _WIN32
    EXPECT_EQ(PathsText({"C:\\a.txt"}), "C:\\a.txt\r\n");
#else
    EXPECT_EQ(PathsText({"/a.txt"}), "/a.txt\n");
#endif
}

// ---- The Windows file-drop block -----------------------------------------------

// The 20-byte header every block starts with: the list at offset 20, all else 0.
const std::string DropHeader =
    "\x14\0\0\0"s
    "\0\0\0\0"s
    "\0\0\0\0"s
    "\0\0\0\0"s
    "\0\0\0\0"s;

TEST(FileDropBlock, IsTheHeaderAndOneZeroByteWithoutFiles) {
    const std::string block = FileDropBlock({});
    ASSERT_EQ(DropHeader.size(), 20u);
    EXPECT_EQ(block.size(), 21u);
    EXPECT_EQ(block, DropHeader + '\0');
}

TEST(FileDropBlock, ListsEachPathWithItsZeroAndClosesWithAnotherZero) {
    const std::string block =
        FileDropBlock({"C:\\scan\\a.jpg", "D:\\\xB5\xA5.png", "E:\\b c\\d.tif"});
    const std::string list =
        "C:\\scan\\a.jpg"s + '\0' + "D:\\\xB5\xA5.png" + '\0' + "E:\\b c\\d.tif" + '\0' + '\0';
    EXPECT_EQ(block, DropHeader + list);
    EXPECT_EQ(block.size(), 20 + 14 + 10 + 13 + 1u);
}

TEST(FileDropBlock, LeavesOutAPathThatWouldCutTheList) {
    EXPECT_EQ(FileDropBlock({"C:\\a"s + '\0' + "b", "C:\\c"}), DropHeader + "C:\\c"s + '\0' + '\0');
}

}  // namespace
}  // namespace cj::shell
