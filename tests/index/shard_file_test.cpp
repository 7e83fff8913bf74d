#include "index/shard_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/data_paths.h"
#include "index/index_commit.h"
#include "platform/code_page.h"
#include "temp_dir.h"

namespace cj::index {
namespace {

using Records = std::vector<std::string>;

class Shards : public ::testing::Test {
  protected:
    Shards() : m_settings(core::SettingsFile::InRunDirectory(m_dir.Path())) {
        m_dir.MakeDirs("data");
    }

    std::string Run() const { return m_dir.Path(); }
    std::string Shard(int n) const { return m_dir.ReadFile("data/" + std::to_string(n) + ".txt"); }
    bool ShardExists(int n) const { return std::filesystem::exists(core::ShardPath(Run(), n)); }
    Records Read(int n) const { return ReadShardRecords(Run(), n, m_settings); }
    std::string Config() const { return m_dir.ReadFile("data/chengjing.ini"); }
    // Hand-edits the configuration file to hold these shard counts.
    void WriteCounts(std::string_view items) const {
        m_dir.WriteFile("data/chengjing.ini", "[syjs]\r\n" + std::string(items));
    }

    test::TempDir m_dir;
    core::SettingsFile m_settings;
};

TEST_F(Shards, DealsRecordsInTurn) {
    ShardSet set(3);
    for (int k = 1; k <= 7; ++k) {
        set.Add("/srv/f" + std::to_string(k) + ".jpg");
    }
    EXPECT_TRUE(TryCommitShards(set, Run()).empty());

    EXPECT_EQ(Shard(1), "/srv/f1.jpg\r\n/srv/f4.jpg\r\n/srv/f7.jpg\r\n");
    EXPECT_EQ(Shard(2), "/srv/f2.jpg\r\n/srv/f5.jpg\r\n");
    EXPECT_EQ(Shard(3), "/srv/f3.jpg\r\n/srv/f6.jpg\r\n");
    EXPECT_EQ(m_settings.ReadShardCounts(4), (std::vector<std::uint64_t>{3, 2, 2, 0}));
    EXPECT_EQ(Read(1), (Records{"/srv/f1.jpg", "/srv/f4.jpg", "/srv/f7.jpg"}));
    EXPECT_EQ(Read(3), (Records{"/srv/f3.jpg", "/srv/f6.jpg"}));
}

TEST_F(Shards, EmptyRefreshWritesEmptyShardsAndZeroCounts) {
    ShardSet set(2);
    EXPECT_TRUE(TryCommitShards(set, Run()).empty());
    EXPECT_TRUE(ShardExists(1));
    EXPECT_EQ(Shard(1), "");
    EXPECT_EQ(Shard(2), "");
    EXPECT_TRUE(Config().starts_with("[syjs]\r\n1=0\r\n2=0\r\n")) << Config();
    EXPECT_TRUE(Read(1).empty());
}

#ifdef _WIN32
// Records in GBK, the code page of Chinese Windows, go into the shards byte for
// byte with CR LF after each, and come back whole: 0x95 0x5C is a character
// whose second byte is that of the backslash, 0xB0 0x61 one whose second byte
// is "a", 顺丰 is 0xCB 0xB3 0xB7 0xE1.
TEST_F(Shards, GbkRecordsAreWrittenWithCrLfAndReadBackWhole) {
    if (platform::ActiveCodePage() != platform::CodePage::Gbk) {
        GTEST_SKIP() << "needs the GBK code page (936)";
    }
    const Records records{"C:\\\xCB\xB3\xB7\xE1\\\x95\x5C.jpg", "C:\\d\\\x95\x5C",
                          "C:\\d\\\xB0\x61"
                          "b.jpg"};
    ShardSet set(2);
    for (const std::string& record : records) {
        set.Add(record);
    }
    EXPECT_TRUE(TryCommitShards(set, Run()).empty());
    EXPECT_EQ(Shard(1), records[0] + "\r\n" + records[2] + "\r\n");
    EXPECT_EQ(Shard(2), records[1] + "\r\n");
    EXPECT_TRUE(Config().starts_with("[syjs]\r\n1=2\r\n2=1\r\n")) << Config();
    EXPECT_EQ(Read(1), (Records{records[0], records[2]}));
    EXPECT_EQ(Read(2), Records{records[1]});
}
#endif

TEST_F(Shards, ReaderTrustsTheCountNotTheFile) {
    // A hand-edited shard with more lines than its count: only the counted
    // lines are records.
    m_dir.WriteFile("data/1.txt", "/a\r\n/b\r\n/c\r\n");
    WriteCounts("1=2\r\n");
    EXPECT_EQ(Read(1), (Records{"/a", "/b"}));

    // Fewer lines than the count give fewer records, never empty ones.
    WriteCounts("1 = \"10\"\r\n");
    EXPECT_EQ(Read(1), (Records{"/a", "/b", "/c"}));

    // No count, a non-numeric count or a negative one reads as none.
    WriteCounts("2=3\r\n");
    EXPECT_TRUE(Read(1).empty());
    WriteCounts("1=lots\r\n");
    EXPECT_TRUE(Read(1).empty());
    WriteCounts("1=-1\r\n");
    EXPECT_TRUE(Read(1).empty());

    // A missing shard file reads as empty whatever its count.
    WriteCounts("2=5\r\n");
    EXPECT_TRUE(Read(2).empty());
}

TEST_F(Shards, ReaderLineRules) {
    struct Case {
        const char* label;
        std::string bytes;
        std::uint64_t count;
        Records records;
    };
    const Case cases[] = {
        {"LF only", "/a\n/b\n", 2, {"/a", "/b"}},
        {"last line without end", "/a\r\n/b", 2, {"/a", "/b"}},
        {"CR kept inside a line", "/a\rb\r\n", 1, {"/a\rb"}},
        {"text ends at NUL", std::string("/a\r\n/b\0/c\r\n", 11), 3, {"/a", "/b"}},
        {"0x1A ends a line", "/a\x1A/b\r\n", 2, {"/a", "/b"}},
        {"empty lines count but are no records", "/a\r\n\r\n/b\r\n", 2, {"/a"}},
        {"empty lines skipped inside the count", "/a\r\n\r\n/b\r\n", 3, {"/a", "/b"}},
        {"lone CR line", "\r\n/a\r\n", 2, {"/a"}},
    };
    for (const Case& c : cases) {
        Records got;
        ForEachRecord(ShardText(c.bytes), c.count, [&](std::string_view record) {
            got.emplace_back(record);
            return true;
        });
        EXPECT_EQ(got, c.records) << c.label;
    }
}

TEST(ShardText, PrefixOfCountedLines) {
    const std::string text = "/a\r\n/bb\r\n/c";
    EXPECT_EQ(LinesPrefixLength(text, 0), 0u);
    EXPECT_EQ(LinesPrefixLength(text, 1), 4u);
    EXPECT_EQ(LinesPrefixLength(text, 2), 9u);
    EXPECT_EQ(LinesPrefixLength(text, 3), text.size());
    EXPECT_EQ(LinesPrefixLength(text, 99), text.size());
    EXPECT_EQ(LinesPrefixLength("/a\x1A/b\n", 1), 3u);
    EXPECT_EQ(ShardText(std::string_view("ab\0cd", 5)), "ab");
}

TEST(ShardText, ReaderStopsWhenAsked) {
    int seen = 0;
    ForEachRecord("/a\r\n/b\r\n/c\r\n", 3, [&](std::string_view) { return ++seen < 2; });
    EXPECT_EQ(seen, 2);
}

}  // namespace
}  // namespace cj::index
