#include "shell/hit_text.h"

#include <gtest/gtest.h>

#include "native_path.h"
#include "platform/code_page.h"
#include "shell/file_name.h"

namespace cj::shell {
namespace {

// The labels as the code page writes them (GBK bytes on a Chinese Windows).
std::string Type() {
    return platform::Utf16ToNarrow(u"文件类型：");
}
std::string Size() {
    return platform::Utf16ToNarrow(u"   文件大小：");
}

TEST(HitTexts, NameWithoutExtensionAndTypeWithoutDots) {
    struct Case {
        const char* path;
        const char* name;
        const char* type;
    };
    const Case cases[] = {
        {"/scan/a.jpg", "a", "jpg"},    {"/scan/a.tar.gz", "a.tar", "gz"},
        {"/scan/README", "README", ""}, {"/scan/.profile", "", "profile"},
        {"/scan.d/noext", "noext", ""}, {"/sf/SF1400000000001.JPG", "SF1400000000001", "JPG"},
    };
    for (const Case& c : cases) {
        const HitTexts texts = MakeHitTexts(test::NativePath(c.path), std::nullopt, false);
        EXPECT_EQ(texts.name, c.name) << c.path;
        EXPECT_EQ(texts.typeAndSize, Type() + c.type + Size()) << c.path;
    }
}

TEST(HitTexts, SizeTextFollowsTheSizeRoutine) {
    EXPECT_EQ(MakeHitTexts(test::NativePath("/sf/SF1.jpg"), 532).typeAndSize,
              Type() + "jpg" + Size() + SizeTextForBytes(532));
    EXPECT_EQ(MakeHitTexts(test::NativePath("/a/b.png"), 1536).typeAndSize,
              Type() + "png" + Size() + "1.50 KB");
    // An empty file shows its 0 bytes; one whose size cannot be read (gone
    // since the refresh, a folder) shows 0 alone.
    EXPECT_EQ(MakeHitTexts(test::NativePath("/a/empty.txt"), 0).typeAndSize,
              Type() + "txt" + Size() + SizeTextForBytes(0));
    EXPECT_EQ(MakeHitTexts(test::NativePath("/a/gone.png"), std::nullopt).typeAndSize,
              Type() + "png" + Size() + "0");
}

TEST(HitTexts, LabelsAreInTheCodePage) {
#ifdef _WIN32
    if (platform::ActiveCodePage() == platform::CodePage::Gbk) {
        EXPECT_EQ(Type(), "\xCE\xC4\xBC\xFE\xC0\xE0\xD0\xCD\xA3\xBA");  // 文件类型： in GBK
    }
#else
    EXPECT_EQ(Type(), "文件类型：");
    EXPECT_EQ(Size(), "   文件大小：");
#endif
    EXPECT_EQ(MakeHitTexts(test::NativePath("/a/b.png"), std::nullopt)
                  .typeAndSize.substr(0, Type().size()),
              Type());
}

TEST(HitLines, ThreeLinesEachEndedByLineFeed) {
    std::string out = "before\n";
    AppendHitLines(out, test::NativePath("/scan/SF1.jpg"), 2048);
    AppendHitLines(out, test::NativePath("/scan/noext"), std::nullopt);
    EXPECT_EQ(out,
              "before\n"
              "SF1\n" +
                  Type() + "jpg" + Size() + "2.00 KB\n" + test::NativePath("/scan/SF1.jpg") + "\n" +
                  "noext\n" + Type() + Size() + "0\n" + test::NativePath("/scan/noext") + "\n");
}

}  // namespace
}  // namespace cj::shell
