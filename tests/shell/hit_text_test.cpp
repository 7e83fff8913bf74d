#include "shell/hit_text.h"

#include <gtest/gtest.h>

namespace cj::shell {
namespace {

TEST(HitTexts, NameWithoutExtensionAndTypeWithoutDots) {
    struct Case {
        const char* path;
        const char* name;
        const char* type;
    };
    const Case cases[] = {
        {"/scan/a.jpg", "a", "jpg"},
        {"/scan/a.tar.gz", "a.tar", "gz"},
        {"/scan/README", "README", ""},
        {"/scan/.profile", "", "profile"},
        {"/scan.d/noext", "noext", ""},
        {"/顺丰/SF1400000000001.JPG", "SF1400000000001", "JPG"},
    };
    for (const Case& c : cases) {
        const HitTexts texts = MakeHitTexts(c.path, std::nullopt, false);
        EXPECT_EQ(texts.name, c.name) << c.path;
        EXPECT_EQ(texts.typeAndSize, std::string("文件类型：") + c.type + "   文件大小：")
            << c.path;
    }
}

TEST(HitTexts, SizeTextFollowsTheSizeRoutine) {
    EXPECT_EQ(MakeHitTexts("/顺丰/单号.jpg", 532).typeAndSize, "文件类型：jpg   文件大小：532 B");
    EXPECT_EQ(MakeHitTexts("/a/b.png", 1536).typeAndSize, "文件类型：png   文件大小：1.50 KB");
    // An empty file and one whose size cannot be read (gone since the
    // refresh, a folder) both show 0.
    EXPECT_EQ(MakeHitTexts("/a/empty.txt", 0).typeAndSize, "文件类型：txt   文件大小：0");
    EXPECT_EQ(MakeHitTexts("/a/gone.png", std::nullopt).typeAndSize,
              "文件类型：png   文件大小：0");
}

TEST(HitLines, ThreeLinesEachEndedByLineFeed) {
    std::string out = "before\n";
    AppendHitLines(out, "/scan/SF1.jpg", 2048);
    AppendHitLines(out, "/scan/noext", std::nullopt);
    EXPECT_EQ(out,
              "before\n"
              "SF1\n文件类型：jpg   文件大小：2.00 KB\n/scan/SF1.jpg\n"
              "noext\n文件类型：   文件大小：0\n/scan/noext\n");
}

}  // namespace
}  // namespace cj::shell
