#include "search/shard_scan.h"

#include <gtest/gtest.h>

#include <random>

#include "index/shard_file.h"
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
                              std::string_view keywords) {
    const std::atomic<bool> stop{false};
    CollectingSink sink;
    EXPECT_EQ(ScanShard(bytes, count, KeywordSet(keywords), stop, sink), ScanEnd::Completed);
    return sink.hits;
}

// The plain way: the index's own line reader, then the name test per record.
std::vector<std::string> Naive(std::string_view bytes, std::uint64_t count,
                               std::string_view keywords) {
    const KeywordSet set(keywords);
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

// Every scan case runs once per kernel this processor has: the scan picks the
// fastest by itself, which would leave the others untested here.
class ShardScan : public ::testing::TestWithParam<detail::Kernel> {
  protected:
    detail::ScopedKernel m_kernel{GetParam()};
};

TEST_P(ShardScan, MatchesOnlyInTheFileName) {
    const std::string shard =
        "/scan/SF/a.jpg\r\n/scan/jpg/x.png\r\n/scan/b-SF.jpg\r\n/SF/SF/\r\n/x/SFSF.pdf\r\n";
    EXPECT_EQ(Fast(shard, 5, "SF"), (Hits{"/scan/b-SF.jpg", "/x/SFSF.pdf"}));
    EXPECT_EQ(Fast(shard, 5, "jpg"), (Hits{"/scan/SF/a.jpg", "/scan/b-SF.jpg"}));
    EXPECT_EQ(Fast(shard, 5, ""), (Hits{"/scan/SF/a.jpg", "/scan/jpg/x.png", "/scan/b-SF.jpg",
                                        "/SF/SF/", "/x/SFSF.pdf"}));
    EXPECT_EQ(Fast(shard, 5, " "), (Hits{"/scan/SF/a.jpg", "/scan/jpg/x.png", "/scan/b-SF.jpg",
                                         "/x/SFSF.pdf"}));  // Not the record with an empty name.
}

TEST_P(ShardScan, TrustsTheCountAndSkipsEmptyLines) {
    const std::string shard = "/a/SF1\r\n\r\n/a/SF2\n/a/SF3\x1A/a/SF4\r\n/a/SF5";
    EXPECT_EQ(Fast(shard, 0, "SF"), Hits{});
    EXPECT_EQ(Fast(shard, 2, "SF"), Hits{"/a/SF1"});  // The empty line counts as a line.
    EXPECT_EQ(Fast(shard, 4, "SF"), (Hits{"/a/SF1", "/a/SF2", "/a/SF3"}));
    EXPECT_EQ(Fast(shard, 99, "SF"), (Hits{"/a/SF1", "/a/SF2", "/a/SF3", "/a/SF4", "/a/SF5"}));
    EXPECT_EQ(Fast(shard, 99, ""), (Hits{"/a/SF1", "/a/SF2", "/a/SF3", "/a/SF4", "/a/SF5"}));
}

TEST_P(ShardScan, TextEndsAtTheFirstNul) {
    const std::string shard("/a/SF1\r\n/a/S\0F2\r\n/a/SF3\r\n", 25);
    EXPECT_EQ(Fast(shard, 3, "SF"), Hits{"/a/SF1"});
    EXPECT_EQ(Fast(shard, 3, ""), (Hits{"/a/SF1", "/a/S"}));
}

TEST_P(ShardScan, StopEndsTheScanAfterTheHitsFoundSoFar) {
    // Two hits far apart, in different blocks of the scan.
    std::string shard = "/a/SF-first.jpg\r\n";
    while (shard.size() < 600 * 1024) {
        shard += "/a/plain-file-name.jpg\r\n";
    }
    shard += "/a/SF-last.jpg\r\n";
    std::atomic<bool> stop{false};
    CollectingSink sink;
    sink.onHit = [&] {
        stop = true;
        return true;
    };
    EXPECT_EQ(ScanShard(shard, UINT64_MAX, KeywordSet("SF"), stop, sink), ScanEnd::Stopped);
    EXPECT_EQ(sink.hits, Hits{"/a/SF-first.jpg"});

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
std::string GeneratedShard(unsigned seed, std::size_t records) {
    std::mt19937 random(seed);
    static const char* const Parts[] = {"SF",   "JD",   "sf",   "顺丰",    "/",    "x",
                                        "1400", "\r",   ".jpg", ".tar.gz", "仓库", "S",
                                        "F",    "\xA9", "ab",   " "};
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
    const char* const keywordTexts[] = {"SF",    "S",     "F",         "SF 1400", "顺丰",  "丰",
                                        "sf SF", "x",     "",          " ",       "SF  x", "jpg",
                                        ".tar",  "gz",    "\r",        "/",       "SF/x",  "\xA9",
                                        "ab ab", "ab\rx", "1400 SF JD"};
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
            for (const char* keywords : keywordTexts) {
                EXPECT_EQ(Fast(shard, count, keywords), Naive(shard, count, keywords))
                    << "seed " << seed << " count " << count << " keywords \"" << keywords << "\"";
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
    EXPECT_EQ(RecordName("/a/b/c.jpg", CodePage::Utf8), "c.jpg");
    EXPECT_EQ(RecordName("/a/b/", CodePage::Utf8), "");
    EXPECT_EQ(RecordName("c.jpg", CodePage::Utf8), "c.jpg");
    EXPECT_EQ(RecordName("/顺丰/单号.jpg", CodePage::Gbk), "单号.jpg");
}

}  // namespace
}  // namespace cj::search
