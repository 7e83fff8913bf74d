#include "search/result_records.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "temp_dir.h"

namespace cj::search {
namespace {

TEST(HitTexts, NameWithoutExtensionAndTypeWithoutDots) {
    struct Case {
        const char* record;
        const char* name;
        const char* typeAndSize;
    };
    const Case cases[] = {
        {"/scan/a.jpg", "a", "文件类型：jpg   文件大小："},
        {"/scan/a.tar.gz", "a.tar", "文件类型：gz   文件大小："},
        {"/scan/README", "README", "文件类型：   文件大小："},
        {"/scan/.profile", "", "文件类型：profile   文件大小："},
        {"/scan.d/noext", "noext", "文件类型：   文件大小："},
        {"/顺丰/SF1400000000001.JPG", "SF1400000000001", "文件类型：JPG   文件大小："},
    };
    for (const Case& c : cases) {
        const HitTexts texts = MakeHitTexts(c.record, nullptr);
        EXPECT_EQ(texts.name, c.name) << c.record;
        EXPECT_EQ(texts.typeAndSize, c.typeAndSize) << c.record;
    }
}

TEST(ResultRecord, CarriesUtf16TextsTheSizeAndNoCopyMark) {
    test::TempDir dir;
    dir.WriteFile("顺丰/单号.jpg", std::string(532, 'x'));
    dir.WriteFile("empty.txt", "");
    platform::FileSizeReader sizes;
    const ResultRecord row = MakeResultRecord(dir / "顺丰/单号.jpg", sizes);
    EXPECT_EQ(row.name, u"单号");
    EXPECT_EQ(row.typeAndSize, u"文件类型：jpg   文件大小：532 B");
    EXPECT_EQ(row.path, platform::NarrowToUtf16(dir / "顺丰/单号.jpg"));
    EXPECT_EQ(row.copyMark, 0);
    // A file that is empty, or gone since the refresh, still makes a row.
    EXPECT_EQ(MakeResultRecord(dir / "empty.txt", sizes).typeAndSize,
              u"文件类型：txt   文件大小：0");
    EXPECT_EQ(MakeResultRecord(dir / "gone.png", sizes).typeAndSize,
              u"文件类型：png   文件大小：0");
    dir.MakeDirs("folder.jpg");
    EXPECT_EQ(MakeResultRecord(dir / "folder.jpg", sizes).typeAndSize,
              u"文件类型：jpg   文件大小：0");
}

TEST(ResultsArray, RowsCountFromOne) {
    ResultsArray results;
    EXPECT_EQ(results.Row(1), nullptr);
    std::vector<ResultRecord> first(2);
    first[0].path = u"/1";
    first[1].path = u"/2";
    std::vector<ResultRecord> second(1);
    second[0].path = u"/3";
    results.Append(std::move(first));
    results.Append(std::move(second));
    ASSERT_EQ(results.Count(), 3U);
    EXPECT_EQ(results.Row(0), nullptr);
    EXPECT_EQ(results.Row(1)->path, u"/1");
    EXPECT_EQ(results.Row(3)->path, u"/3");
    EXPECT_EQ(results.Row(4), nullptr);
    results.Clear();
    EXPECT_EQ(results.Count(), 0U);
}

TEST(FoundText, HasTheBlankBeforeTheUnit) {
    EXPECT_EQ(FoundText(0), "找到：0 个文件");
    EXPECT_EQ(FoundText(1262157), "找到：1262157 个文件");
}

}  // namespace
}  // namespace cj::search
