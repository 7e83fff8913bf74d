#include "search/shard_scan.h"

#include <gtest/gtest.h>

#include <random>

#include "index/shard_file.h"
#include "native_path.h"
#include "search/scan_kernels.h"

namespace cj::search {
namespace {

class CollectingSink final : public HitSink {
  public:
    bool OnHit(std::string_view record) override {
        hits.emplace_back(record);
        return onHit ? onHit() : true;
    }
    std::vector<std::string> hits;
    std::function<bool()> onHit;
};

std::vector<std::string> Fast(std::string_view bytes, std::uint64_t count,
                              std::string_view keywords, MatchRule rule = MatchRule::Exact) {
    const std::atomic<bool> stop{false};
    CollectingSink sink;
    const KeywordSet set(keywords, platform::ActiveCodePage(), rule);
    EXPECT_EQ(ScanShard(bytes, count, set, stop, sink), ScanEnd::Completed);
    return sink.hits;
}

// The plain way: the index's own line reader, then the name test per record.
std::vector<std::string> Naive(std::string_view bytes, std::uint64_t count,
                               std::string_view keywords, MatchRule rule = MatchRule::Exact) {
    const KeywordSet set(keywords, platform::ActiveCodePage(), rule);
    std::vector<std::string> hits;
    index::ForEachRecord(index::ShardText(bytes), count, [&](std::string_view record) {
        if (set.MatchesName(RecordName(record, set.CodePage()))) {
            hits.emplace_back(record);
        }
        return true;
    });
    return hits;
}

using Hits = std::vector<std::string>;
using test::NativePath;
using test::NativePaths;

// Every scan case runs once per kernel this processor has: the scan picks the
// fastest by itself, which would leave the others untested here.
class ShardScan : public ::testing::TestWithParam<detail::Kernel> {
  protected:
    detail::ScopedKernel m_kernel{GetParam()};
};

TEST_P(ShardScan, MatchesOnlyInTheFileName) {
    const std::string shard = NativePath(
        "/scan/SF/a.jpg\r\n/scan/jpg/x.png\r\n/scan/b-SF.jpg\r\n/SF/SF/\r\n/x/SFSF.pdf\r\n");
    EXPECT_EQ(Fast(shard, 5, "SF"), NativePaths({"/scan/b-SF.jpg", "/x/SFSF.pdf"}));
    EXPECT_EQ(Fast(shard, 5, "jpg"), NativePaths({"/scan/SF/a.jpg", "/scan/b-SF.jpg"}));
    EXPECT_EQ(Fast(shard, 5, ""), NativePaths({"/scan/SF/a.jpg", "/scan/jpg/x.png",
                                               "/scan/b-SF.jpg", "/SF/SF/", "/x/SFSF.pdf"}));
    EXPECT_EQ(Fast(shard, 5, " "),
              NativePaths({"/scan/SF/a.jpg", "/scan/jpg/x.png", "/scan/b-SF.jpg",
                           "/x/SFSF.pdf"}));  // Not the record with an empty name.
}

TEST_P(ShardScan, TrustsTheCountAndSkipsEmptyLines) {
    const std::string shard = NativePath("/a/SF1\r\n\r\n/a/SF2\n/a/SF3\x1A/a/SF4\r\n/a/SF5");
    EXPECT_EQ(Fast(shard, 0, "SF"), Hits{});
    EXPECT_EQ(Fast(shard, 2, "SF"), NativePaths({"/a/SF1"}));  // The empty line counts as a line.
    EXPECT_EQ(Fast(shard, 4, "SF"), NativePaths({"/a/SF1", "/a/SF2", "/a/SF3"}));
    EXPECT_EQ(Fast(shard, 99, "SF"),
              NativePaths({"/a/SF1", "/a/SF2", "/a/SF3", "/a/SF4", "/a/SF5"}));
    EXPECT_EQ(Fast(shard, 99, ""), NativePaths({"/a/SF1", "/a/SF2", "/a/SF3", "/a/SF4", "/a/SF5"}));
}

TEST_P(ShardScan, TextEndsAtTheFirstNul) {
    const std::string shard = NativePath(std::string_view("/a/SF1\r\n/a/S\0F2\r\n/a/SF3\r\n", 25));
    EXPECT_EQ(Fast(shard, 3, "SF"), NativePaths({"/a/SF1"}));
    EXPECT_EQ(Fast(shard, 3, ""), NativePaths({"/a/SF1", "/a/S"}));
}

TEST_P(ShardScan, StopEndsTheScanAfterTheHitsFoundSoFar) {
    // Two hits far apart, in different blocks of the scan.
    std::string shard = NativePath("/a/SF-first.jpg\r\n");
    while (shard.size() < 600 * 1024) {
        shard += NativePath("/a/plain-file-name.jpg\r\n");
    }
    shard += NativePath("/a/SF-last.jpg\r\n");
    std::atomic<bool> stop{false};
    CollectingSink sink;
    sink.onHit = [&] {
        stop = true;
        return true;
    };
    EXPECT_EQ(ScanShard(shard, UINT64_MAX, KeywordSet("SF"), stop, sink), ScanEnd::Stopped);
    EXPECT_EQ(sink.hits, NativePaths({"/a/SF-first.jpg"}));

    stop = true;  // Before the scan: nothing.
    CollectingSink none;
    EXPECT_EQ(ScanShard(shard, UINT64_MAX, KeywordSet("SF"), stop, none), ScanEnd::Stopped);
    EXPECT_TRUE(none.hits.empty());

    stop = false;  // A sink may end the scan as well.
    CollectingSink one;
    one.onHit = [] { return false; };
    EXPECT_EQ(ScanShard(shard, UINT64_MAX, KeywordSet("SF"), stop, one), ScanEnd::Stopped);
    EXPECT_EQ(one.hits.size(), 1U);
}

// A generated shard full of the cases that trip a whole-buffer scan: keywords
// in folders and in names, line ends of every kind, empty lines, CR without LF,
// records ending in a separator, lines longer than a scan block, 0x1A and NUL.
// On Windows also GBK pairs whose second byte is that of the separator or "a",
// and lone lead bytes before a separator. Mixed case and full-width forms
// (whole, cut short, and the look-alikes that are none) for the folding rule.
std::string GeneratedShard(unsigned seed, std::size_t records) {
    std::mt19937 random(seed);
#ifdef _WIN32
    static const char* const Parts[] = {"SF",       "JD",
                                        "sf",       "顺丰",
                                        "\\",       "x",
                                        "1400",     "\r",
                                        ".jpg",     ".tar.gz",
                                        "仓库",     "S",
                                        "F",        "\xA9",
                                        "ab",       " ",
                                        "\x95\x5C", "\xB0\x61",
                                        "\xB0",     "\xA3\xD3\xA3\xC6",
                                        "\xA3\xF3", "\xA3\xB1\xA3\xB4",
                                        "\xA3\xA4", "\xA1\xE7",
                                        "\xA3"};
#else
    static const char* const Parts[] = {
        "SF", "JD",   "sf", "顺丰", "/",  "x",    "1400", "\r",   ".jpg", ".tar.gz",  "仓库", "S",
        "F",  "\xA9", "ab", " ",    "Sf", "ＳＦ", "ｆ",   "１４", "\xEF", "\xEF\xBC", "￥",   "Ab"};
#endif
    static const char* const Ends[] = {"\r\n", "\r\n", "\r\n", "\n", "\x1A", "\r\r\n", "\r\n\r\n"};
    std::string shard;
    for (std::size_t i = 0; i < records; ++i) {
        const std::size_t parts = random() % 12;
        for (std::size_t p = 0; p < parts; ++p) {
            shard += Parts[random() % std::size(Parts)];
        }
        if (random() % 5000 == 0) {
            shard += std::string(300 * 1024, 'q');  // Longer than a block.
        }
        shard += Ends[random() % std::size(Ends)];
    }
    return shard;
}

TEST_P(ShardScan, AgreesWithTheLineByLineReaderOnAGeneratedCorpus) {
#ifdef _WIN32
    const char* const keywordTexts[] = {"SF",
                                        "S",
                                        "F",
                                        "SF 1400",
                                        "顺丰",
                                        "丰",
                                        "sf SF",
                                        "x",
                                        "",
                                        " ",
                                        "SF  x",
                                        "jpg",
                                        ".tar",
                                        "gz",
                                        "\r",
                                        "\\",
                                        "SF\\x",
                                        "\xA9",
                                        "ab ab",
                                        "ab\rx",
                                        "1400 SF JD",
                                        "\x95\x5C",
                                        "a",
                                        "\x5C"
                                        "ab",
                                        "\xB0",
                                        "\xA3\xD3"
                                        "f",
                                        "sF\xA3\xB1"};
#else
    const char* const keywordTexts[] = {
        "SF",    "S",     "F",          "SF 1400",  "顺丰", "丰",      "sf SF",   "x",    "",
        " ",     "SF  x", "jpg",        ".tar",     "gz",   "\r",      "/",       "SF/x", "\xA9",
        "ab ab", "ab\rx", "1400 SF JD", "ＳＦ１４", "sF",   "ｓｆ　x", "\xEF\xBC"};
#endif
    for (unsigned seed = 1; seed <= 4; ++seed) {
        std::string shard = GeneratedShard(seed, 20000);
        std::uint64_t lines = 0;
        for (const char c : shard) {
            lines += (c == '\n' || c == '\x1A') ? 1 : 0;
        }
        if (seed == 4) {
            shard.insert(shard.size() * 3 / 4, 1, '\0');
        }
        for (const std::uint64_t count : {lines, lines / 3, lines + 5, std::uint64_t{1}}) {
            for (const MatchRule rule : {MatchRule::Exact, MatchRule::IgnoreCaseAndWidth}) {
                if (rule == MatchRule::IgnoreCaseAndWidth && (count != lines || seed % 3 != 1)) {
                    continue;  // Counts and NULs are the block walk's, the same under both rules.
                }
                for (const char* keywords : keywordTexts) {
                    EXPECT_EQ(Fast(shard, count, keywords, rule),
                              Naive(shard, count, keywords, rule))
                        << "seed " << seed << " count " << count << " keywords \"" << keywords
                        << "\" ignoring case " << (rule == MatchRule::IgnoreCaseAndWidth);
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, ShardScan, ::testing::ValuesIn(detail::AvailableKernels()),
                         [](const ::testing::TestParamInfo<detail::Kernel>& kernel) {
                             return std::string(detail::KernelName(kernel.param));
                         });

TEST(RecordName, IsTheLastComponent) {
    using platform::CodePage;
    EXPECT_EQ(RecordName(NativePath("/a/b/c.jpg"), CodePage::Utf8), "c.jpg");
    EXPECT_EQ(RecordName(NativePath("/a/b/"), CodePage::Utf8), "");
    EXPECT_EQ(RecordName("c.jpg", CodePage::Utf8), "c.jpg");
#ifdef _WIN32
    // 顺丰\单号.jpg in GBK; 0x95 0x5C is one character whose second byte is
    // that of the backslash.
    EXPECT_EQ(RecordName("C:\\\xCB\xB3\xB7\xE1\\\xB5\xA5\xBA\xC5.jpg", CodePage::Gbk),
              "\xB5\xA5\xBA\xC5.jpg");
    EXPECT_EQ(RecordName("C:\\d\\\x95\x5C.jpg", CodePage::Gbk), "\x95\x5C.jpg");
    EXPECT_EQ(RecordName("C:\\d\\\x95\x5C", CodePage::Gbk), "\x95\x5C");
    EXPECT_EQ(RecordName("C:\\d\\\x95\x5C\\", CodePage::Gbk), "");
    // In a one-byte code page the same bytes are two characters and a separator.
    EXPECT_EQ(RecordName("C:\\d\\\x95\x5C.jpg", CodePage::SingleByte), ".jpg");
#else
    EXPECT_EQ(RecordName("/顺丰/单号.jpg", CodePage::Gbk), "单号.jpg");
#endif
}

#ifdef _WIN32
// The scan with the program's own code page. In GBK, 0xB0 0x61 is one character
// whose second byte is "a", and 0x95 0x5C one whose second byte is that of the
// backslash: "ab" must not match across the first, and a name holding the
// second is one name, not a folder and a shorter name.
TEST_P(ShardScan, GbkKeywordsMatchWholeCharactersOfWholeNames) {
    if (platform::ActiveCodePage() != platform::CodePage::Gbk) {
        GTEST_SKIP() << "needs the GBK code page (936)";
    }
    const std::string a =
        "C:\\d\\\xB0"
        "ab.jpg";  // B0 61, then "b".
    const std::string b =
        "C:\\d\\\xB0"
        "aab.jpg";  // B0 61, then "ab".
    const std::string c = "C:\\d\\\x95\x5C.jpg";
    const std::string d = "C:\\\x95\x5C\\x.jpg";  // In a folder of that name.
    const std::string e =
        "C:\\d\\\x95\x5C"
        "ab.jpg";
    const std::string f = "C:\\d\\\x95\x5C";  // A name of that one character.
    const std::string shard =
        a + "\r\n" + b + "\r\n" + c + "\r\n" + d + "\r\n" + e + "\r\n" + f + "\r\n";
    EXPECT_EQ(Fast(shard, 6, "ab"), (Hits{b, e}));
    EXPECT_EQ(Fast(shard, 6, "\x95\x5C"), (Hits{c, e, f}));
    EXPECT_EQ(Fast(shard, 6,
                   "\x95\x5C"
                   "ab"),
              Hits{e});
    EXPECT_EQ(Fast(shard, 6, "ab \x95\x5C"), Hits{e});
    EXPECT_EQ(Fast(shard, 6, "\\"), Hits{}) << "no name holds a backslash of its own";
    EXPECT_EQ(Fast(shard, 6,
                   "\x5C"
                   "ab"),
              Hits{});
    EXPECT_EQ(Fast(shard, 6, "x.jpg"), Hits{d});
    EXPECT_EQ(Fast(shard, 6, " "), (Hits{a, b, c, d, e, f}));
}
#endif

}  // namespace
}  // namespace cj::search
