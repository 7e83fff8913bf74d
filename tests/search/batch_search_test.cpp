#include "search/batch_search.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>

#include "core/data_lock.h"
#include "core/settings_file.h"
#include "index/index_commit.h"
#include "index/shard_file.h"
#include "job_recorder.h"
#include "native_path.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "search/batch_scan.h"
#include "search/keywords.h"
#include "search/shard_scan.h"
#include "temp_dir.h"

namespace cj::search {
namespace {

using Strings = std::vector<std::string>;
using platform::CodePage;
using test::NativePath;
using test::NativePaths;

// ---------------------------------------------------------------- splitting

struct SplitCase {
    std::string_view text;
    Strings numbers;
};

TEST(SplitBatchNumbers, SplitsTrimsAndMergesUtf8Lists) {
    const SplitCase cases[] = {
        // Every separator, alone and in runs.
        {"SF1\nSF2\r\nSF3", {"SF1", "SF2", "SF3"}},
        {"SF1\tSF2 SF3,SF4;SF5", {"SF1", "SF2", "SF3", "SF4", "SF5"}},
        {"SF1，SF2、SF3；SF4", {"SF1", "SF2", "SF3", "SF4"}},
        {"  SF1 ,\t; SF2\r\n\r\n", {"SF1", "SF2"}},
        // Nothing but separators, or nothing at all.
        {"", {}},
        {" ,;\r\n\t，、；", {}},
        // A repeated number keeps its first place.
        {"SF2\nSF1\nSF2\nSF1", {"SF2", "SF1"}},
        // Blanks that are no separators are trimmed, inside they stay.
        {"\xE3\x80\x80SF1\xE3\x80\x80\nSF2\v\f", {"SF1", "SF2"}},
        {"\xEF\xBB\xBFSF1\n\xC2\xA0SF2", {"SF1", "SF2"}},
        // A list typed in full-width mode, or copied from a web page, splits
        // at the ideographic and the zero-width space: "SF1　SF2" was one
        // number nobody had, and both were reported missing.
        {"SF1\xE3\x80\x80SF2\xE2\x80\x8BSF3", {"SF1", "SF2", "SF3"}},
        // Other characters are part of the number, byte for byte.
        {"顺丰SF1 SF1-2", {"顺丰SF1", "SF1-2"}},
        {"sf1 SF1", {"sf1", "SF1"}},
        // Bytes that are not UTF-8 stay as they are, a GBK comma among them.
        {"SF\xFF"
         "1 \xC3",
         {"SF\xFF"
          "1",
          "\xC3"}},
        {"SF1\xA3\xACSF2", {"SF1\xA3\xACSF2"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(SplitBatchNumbers(c.text, CodePage::Utf8), c.numbers) << c.text;
    }
}

TEST(SplitBatchNumbers, SplitsGbkListsOnlyAtCharacterStarts) {
    const SplitCase cases[] = {
        {"SF1\xA3\xACSF2\xA1\xA2SF3\xA3\xBBSF4", {"SF1", "SF2", "SF3", "SF4"}},
        {"\xA1\xA1SF1\xA1\xA1", {"SF1"}},
        {"SF1\xA1\xA1SF2", {"SF1", "SF2"}},
        // B0 A3 and AC B0 are two characters: the comma's bytes straddle them.
        {"\xB0\xA3\xAC\xB0", {"\xB0\xA3\xAC\xB0"}},
        // The trail byte of B0 A1 and the next A1 are no ideographic space.
        {"SF1\xB0\xA1\xA1", {"SF1\xB0\xA1\xA1"}},
        // UTF-8's comma is no separator in GBK.
        {"SF1，SF2 SF3", {"SF1，SF2", "SF3"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(SplitBatchNumbers(c.text, CodePage::Gbk), c.numbers) << c.text;
    }
}

// A list saved as "Unicode" by Notepad or Excel was read as bytes: every
// number came back with NULs inside and was reported missing.
TEST(SplitBatchNumbers, DecodesUtf16ListsBehindTheirByteOrderMark) {
    const auto utf16 = [](std::u16string_view text, bool little) {
        std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
        for (const char16_t unit : text) {
            const char low = static_cast<char>(unit & 0xFF);
            const char high = static_cast<char>(unit >> 8);
            bytes += little ? std::string{low, high} : std::string{high, low};
        }
        return bytes;
    };
    const std::string shunfeng = platform::Utf16ToNarrow(u"顺丰SF1");
    const CodePage active = platform::ActiveCodePage();
    for (const bool little : {true, false}) {
        EXPECT_EQ(SplitBatchNumbers(utf16(u"SF1\r\nSF2\u3000SF3\u200BSF4\t", little), active),
                  (Strings{"SF1", "SF2", "SF3", "SF4"}));
        EXPECT_EQ(SplitBatchNumbers(utf16(u"顺丰SF1，SF2", little), active),
                  (Strings{shunfeng, "SF2"}));
        // An odd last byte is half a character.
        EXPECT_EQ(SplitBatchNumbers(utf16(u"SF1", little) + "7", active), Strings{"SF1"});
    }
}

TEST(SplitBatchNumbers, KeepsVeryLongTokensWhole) {
    const std::string longToken(300000, '7');
    EXPECT_EQ(SplitBatchNumbers("SF1\n" + longToken + "\n", CodePage::Utf8),
              (Strings{"SF1", longToken}));
}

// ------------------------------------------------------------- the batch

std::vector<std::string> RowsOf(const BatchOutcome& outcome) {
    Strings rows;
    for (std::size_t k = 1; outcome.results != nullptr && k <= outcome.results->Count(); ++k) {
        rows.emplace_back(outcome.results->Path(k));
    }
    return rows;
}

class BatchTest : public ::testing::Test {
  protected:
    BatchTest() { m_dir.MakeDirs("run/data"); }

    std::string Run() const { return m_dir / "run"; }
    void WriteIndex(const Strings& records, int shards) {
        index::ShardSet set(shards);
        for (const std::string& record : records) {
            set.Add(record);
        }
        ASSERT_TRUE(index::TryCommitShards(set, Run()).empty());
        m_shards = shards;
    }
    // The records in row order, read back by the index's simple reader.
    Strings RowOrder() const {
        Strings records;
        for (int n = 1; n <= m_shards; ++n) {
            for (std::string& record :
                 index::ReadShardRecords(Run(), n, core::SettingsFile::InRunDirectory(Run()))) {
                records.push_back(std::move(record));
            }
        }
        return records;
    }
    BatchOutcome Batch(const Strings& numbers, CodePage codePage = CodePage::Utf8,
                       MatchRule rule = MatchRule::Exact) const {
        const std::atomic<bool> stop{false};
        return RunBatch(Run(), numbers, m_shards, stop, codePage, rule);
    }

    // Holds the batch against the single search's rule for one keyword,
    // number by number, and checks the grouping of the rows.
    void ExpectLikeSingleSearches(const Strings& numbers, CodePage codePage,
                                  MatchRule rule = MatchRule::Exact) {
        const Strings records = RowOrder();
        std::vector<Strings> expected(numbers.size());
        Strings expectedRows;
        // By place, not text: the same path can be two records.
        std::set<std::size_t> taken;
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            for (std::size_t r = 0; r < records.size(); ++r) {
                const std::string& record = records[r];
                const std::string number =
                    rule == MatchRule::Exact ? numbers[i] : FoldText(numbers[i], codePage);
                if (KeywordOccurs(RecordName(record, codePage), number, codePage, rule)) {
                    expected[i].push_back(record);
                    if (taken.insert(r).second) {
                        expectedRows.push_back(record);
                    }
                }
            }
        }
        const BatchOutcome outcome = Batch(numbers, codePage, rule);
        ASSERT_EQ(outcome.numbers.size(), numbers.size());
        EXPECT_EQ(RowsOf(outcome), expectedRows);
        std::size_t found = 0;
        std::size_t next = 1;
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            const BatchNumber& number = outcome.numbers[i];
            EXPECT_EQ(number.number, numbers[i]);
            EXPECT_EQ(number.files, expected[i].size()) << numbers[i];
            found += expected[i].empty() ? 0U : 1U;
            if (number.rows > 0) {
                EXPECT_EQ(number.firstRow, next) << numbers[i];
            }
            next += number.rows;
        }
        EXPECT_EQ(next - 1, expectedRows.size());
        EXPECT_EQ(outcome.found, found);
        EXPECT_EQ(outcome.missing, numbers.size() - found);
        EXPECT_FALSE(outcome.stopped);
        EXPECT_FALSE(outcome.incomplete);

        // Every hit of every number, as the command line prints them.
        const std::atomic<bool> stop{false};
        const BatchScan scan = ScanBatch(OpenShards({Run(), m_shards, HitDetail::Paths}), numbers,
                                         stop, codePage, {}, rule);
        const std::vector<std::vector<std::string_view>> byNumber =
            HitsByNumber(scan, numbers.size());
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            EXPECT_EQ(Strings(byNumber[i].begin(), byNumber[i].end()), expected[i]) << numbers[i];
        }
    }

    test::TempDir m_dir;
    int m_shards = 1;
};

TEST_F(BatchTest, GroupsEachFileUnderTheFirstNumberItHolds) {
    WriteIndex(NativePaths({"/scan/SF2_SF1.jpg", "/scan/SF1.jpg", "/scan/SF3.jpg", "/SF2/x.jpg",
                            "/scan/SF2.pdf"}),
               2);
    // Row order: shard 1 holds records 1, 3, 5 and shard 2 records 2, 4.
    const BatchOutcome outcome = Batch({"SF2", "SF9", "SF1"});
    EXPECT_EQ(RowsOf(outcome),
              NativePaths({"/scan/SF2_SF1.jpg", "/scan/SF2.pdf", "/scan/SF1.jpg"}));
    ASSERT_EQ(outcome.numbers.size(), 3U);
    EXPECT_EQ(outcome.numbers[0].files, 2U);
    EXPECT_EQ(outcome.numbers[0].firstRow, 1U);
    EXPECT_EQ(outcome.numbers[0].rows, 2U);
    EXPECT_EQ(outcome.numbers[1].files, 0U) << "a folder named SF2 is no hit for anyone";
    EXPECT_EQ(outcome.numbers[1].rows, 0U);
    EXPECT_EQ(outcome.numbers[2].files, 2U) << "SF2_SF1 counts for SF1 too";
    EXPECT_EQ(outcome.numbers[2].firstRow, 3U);
    EXPECT_EQ(outcome.numbers[2].rows, 1U);
    EXPECT_EQ(outcome.found, 2U);
    EXPECT_EQ(outcome.missing, 1U);
}

TEST_F(BatchTest, NothingFoundOrNoNumbersKeepsNoRows) {
    WriteIndex({"/scan/SF1.jpg"}, 1);
    const BatchOutcome none = Batch({"ZZ9999999999999"});
    EXPECT_EQ(none.results, nullptr);
    EXPECT_EQ(none.missing, 1U);
    const BatchOutcome empty = Batch({});
    EXPECT_EQ(empty.results, nullptr);
    EXPECT_TRUE(empty.numbers.empty());
    EXPECT_FALSE(empty.incomplete);
}

// Random names around numbers that are prefixes of each other, numbers in
// folder names, and in GBK numbers that begin on a pair's trail byte.
TEST_F(BatchTest, EachNumberFindsWhatItsSingleSearchFinds) {
    const Strings utf8Pool{"SF123",
                           "SF1234",
                           "SF1234567890123",
                           "SF12345678901234",
                           "1234567890",
                           "7890",
                           "顺丰",
                           "丰SF",
                           "JD0012345678901",
                           "\xFF"
                           "12",
                           "sf1234567890123",
                           "ＳＦ１２３",
                           "jd00１２３４５６７８９０1"};
    const Strings gbkPool{"SF123",
                          "SF1234567890123",
                          "\xA1SF1234",
                          "\xB0\xA1",
                          "\xA1\xB0",
                          "12345678",
                          "SF\xCB\xB3",
                          "\xA3\xD3"
                          "f1234567890123",
                          "\x81"
                          "A12"};
    std::mt19937 random(11);
    for (int round = 0; round < 18; ++round) {
        const bool gbk = round % 3 == 2;
        // The last third ignores case and width.
        const MatchRule rule = round >= 12 ? MatchRule::IgnoreCaseAndWidth : MatchRule::Exact;
        const Strings& pool = gbk ? gbkPool : utf8Pool;
        const Strings filler = gbk ? Strings{"_",
                                             "-",
                                             " ",
                                             "x",
                                             "\xB0",
                                             "\xB0\xA1",
                                             "(2)",
                                             "\xA3\xD3\xA3\xC6",
                                             "\xA3\xB1\xA3\xB2",
                                             "\x81"
                                             "A",
                                             "\xA3"}
                                   : Strings{"_",   "-",      " ",        "x",    "丰",  "\xE4",
                                             "(2)", "ＳＦ１", "ｆ１２３", "Sf12", "\xEF"};
        const auto piece = [&] {
            return random() % 2 == 0 ? pool[random() % pool.size()]
                                     : filler[random() % filler.size()];
        };
        Strings records;
        for (int r = 0; r < 300; ++r) {
            std::string folder = "/scan/" + piece() + "/" + piece();
            std::string name;
            for (std::size_t k = 1 + random() % 4; k > 0; --k) {
                name += piece();
            }
            records.push_back(NativePath(folder + "/" + name + ".jpg"));
        }
        WriteIndex(records, 1 + round % 3);
        Strings numbers;
        for (const std::string& number : pool) {
            if (random() % 3 != 0) {
                numbers.push_back(number);
            }
        }
        numbers.push_back("ZZ9999999999999");
        std::shuffle(numbers.begin(), numbers.end(), random);
        SCOPED_TRACE("round " + std::to_string(round));
        ExpectLikeSingleSearches(numbers, gbk ? CodePage::Gbk : CodePage::Utf8, rule);
    }
}

// "sf1400000012345" typed in lower case was reported missing although the
// file SF1400000012345.jpg is there. Ignoring case finds it; the exact batch
// still says missing, but counts what the other rule would find.
TEST_F(BatchTest, AnExactBatchCountsWhatIgnoringCaseWouldFindForMissingNumbers) {
    WriteIndex(NativePaths({"/scan/SF1400000012345.jpg", "/scan/ＳＦ1400000012345(2).jpg",
                            "/sf1400000099999/x.jpg", "/scan/SF1400000077777.jpg"}),
               2);
    const Strings numbers{"sf1400000012345", "SF1400000077777", "sf1400000099999"};
    const BatchOutcome exact = Batch(numbers);
    ASSERT_EQ(exact.numbers.size(), 3U);
    EXPECT_EQ(exact.numbers[0].files, 0U);
    EXPECT_EQ(exact.numbers[0].filesIgnoringCase, 2U);
    EXPECT_EQ(exact.numbers[1].files, 1U);
    EXPECT_EQ(exact.numbers[1].filesIgnoringCase, 0U) << "found: no second look";
    EXPECT_EQ(exact.numbers[2].filesIgnoringCase, 0U) << "only a folder holds it";
    EXPECT_EQ(exact.missing, 2U);

    const BatchOutcome folded = Batch(numbers, CodePage::Utf8, MatchRule::IgnoreCaseAndWidth);
    EXPECT_EQ(folded.numbers[0].files, 2U);
    EXPECT_EQ(folded.numbers[0].filesIgnoringCase, 0U);
    EXPECT_EQ(folded.missing, 1U);
}

TEST_F(BatchTest, FindsNamesAcrossBlocksAndTheLastLineWithoutEnd) {
    // Long enough for several blocks; the last record has no line end.
    Strings records;
    for (int r = 0; r < 40000; ++r) {
        records.push_back("/scan/2024-05/" + std::to_string(r) + "/SF" +
                          std::to_string(1400000000000 + r) + ".jpg");
    }
    WriteIndex(records, 2);
    m_dir.WriteFile("run/data/3.txt", "/x/SF1400000039999_again.jpg");
    m_dir.WriteFile("run/data/chengjing.ini",
                    "[syjs]\r\n1=20000\r\n2=20000\r\n3=1\r\n[xcs]\r\nma=3\r\n");
    m_shards = 3;
    ExpectLikeSingleSearches(
        {"SF1400000000000", "SF1400000039999", "SF1400000020001", "SF140000001999"},
        CodePage::Utf8);
}

TEST_F(BatchTest, HandlesAHundredThousandNumbers) {
    Strings numbers;
    Strings records;
    for (int i = 0; i < 100000; ++i) {
        numbers.push_back("SF" + std::to_string(1400000000000LL + 7LL * i));
        if (i % 97 == 0) {
            records.push_back("/scan/" + numbers.back() + "_1.jpg");
            records.push_back("/scan/" + numbers.back() + "_2.jpg");
        }
    }
    records.push_back(NativePath("/scan/" + numbers[5] + "/not-in-the-name.jpg"));
    WriteIndex(records, 2);
    const BatchOutcome outcome = Batch(numbers);
    ASSERT_EQ(outcome.numbers.size(), numbers.size());
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        ASSERT_EQ(outcome.numbers[i].files, i % 97 == 0 ? 2U : 0U) << numbers[i];
    }
    EXPECT_EQ(outcome.found, (100000 + 96) / 97);
    ASSERT_NE(outcome.results, nullptr);
    EXPECT_EQ(outcome.results->Count(), 2 * outcome.found);
    EXPECT_EQ(outcome.results->Path(1), "/scan/SF1400000000000_1.jpg");
}

TEST_F(BatchTest, LongAndInvalidNumbersMatchByteForByte) {
    const std::string longNumber = "SF" + std::string(5000, '8');
    WriteIndex({"/scan/" + longNumber + ".jpg",
                "/scan/\xFF\xFE"
                "SF1.jpg",
                "/scan/SF1.jpg"},
               1);
    const BatchOutcome outcome = Batch({longNumber,
                                        "\xFE"
                                        "SF1",
                                        longNumber + "9"});
    EXPECT_EQ(RowsOf(outcome), (Strings{"/scan/" + longNumber + ".jpg",
                                        "/scan/\xFF\xFE"
                                        "SF1.jpg"}));
    EXPECT_EQ(outcome.missing, 1U);
}

TEST_F(BatchTest, AnUnreadableShardMakesTheOutcomeIncomplete) {
    WriteIndex({"/scan/SF1.jpg", "/scan/SF2.jpg"}, 2);
    // Shard 2 turned into a folder: its numbers must not read as missing.
    ASSERT_FALSE(platform::RemoveFile(m_dir / "run/data/2.txt"));
    m_dir.MakeDirs("run/data/2.txt");
    const BatchOutcome outcome = Batch({"SF1", "SF2"});
    EXPECT_TRUE(outcome.incomplete);
    EXPECT_EQ(RowsOf(outcome), Strings{"/scan/SF1.jpg"});
}

TEST_F(BatchTest, AStopKeepsWhatWasFoundAndSaysSo) {
    WriteIndex({"/scan/SF1.jpg"}, 1);
    const std::atomic<bool> stop{true};
    const BatchOutcome outcome = RunBatch(Run(), {"SF1"}, 1, stop, CodePage::Utf8);
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(outcome.results, nullptr);
    ASSERT_EQ(outcome.numbers.size(), 1U);
    EXPECT_EQ(outcome.numbers[0].files, 0U);
}

// ------------------------------------------------------- the window's side

class RecordingListener final : public BatchListener, public test::JobRecorder<BatchOutcome> {
  public:
    void OnBatchProgress(core::JobGeneration generation, int percent) override {
        RecordProgress(generation, percent);
    }
    void OnBatchFinished(core::JobGeneration generation, BatchOutcome outcome) override {
        RecordEnd(generation, std::move(outcome));
    }
};

class BatchSearchTest : public BatchTest {
  protected:
    core::EngineActivity m_activity;
    RecordingListener m_listener;
    BatchSearch m_batch{m_activity, m_listener, Run()};

    BatchSearchTest() {
        m_listener.isIdle = [this] { return m_activity.IsIdle(); };
    }
};

TEST_F(BatchSearchTest, ReportsRisingProgressThenItsOutcomeOnceIdle) {
    Strings records;
    for (int r = 0; r < 30000; ++r) {
        records.push_back("/scan/SF" + std::to_string(1400000000000 + r) + ".jpg");
    }
    WriteIndex(records, 2);
    const core::JobStart start = m_batch.Start({"SF1400000000007", "SF1400000029999"}, 2);
    ASSERT_EQ(start.outcome, core::StartOutcome::Started);
    m_batch.Wait();
    const std::vector<RecordingListener::End> ends = m_listener.TakeEnds();
    const std::vector<RecordingListener::Step> progress = m_listener.Steps();
    ASSERT_EQ(ends.size(), 1U);
    const RecordingListener::End& end = ends[0];
    EXPECT_EQ(end.generation, start.generation);
    EXPECT_TRUE(end.idle);
    EXPECT_EQ(end.outcome.found, 2U);
    EXPECT_EQ(end.progressBefore, progress.size()) << "no progress after the end";
    ASSERT_FALSE(progress.empty());
    for (std::size_t k = 0; k < progress.size(); ++k) {
        EXPECT_EQ(progress[k].generation, start.generation);
        if (k > 0) {
            EXPECT_GT(progress[k].value, progress[k - 1].value);
        }
    }
    EXPECT_EQ(progress.back().value, 100);
    EXPECT_TRUE(m_activity.IsIdle());
}

TEST_F(BatchSearchTest, FollowsTheSearchRulesOfTheSharedActivity) {
    WriteIndex({"/scan/SF1.jpg"}, 1);
    ASSERT_EQ(m_activity.TryBeginRefresh(), core::StartOutcome::Started);
    EXPECT_EQ(m_batch.Start({"SF1"}, 1).outcome, core::StartOutcome::RefreshRunning);
    m_activity.EndRefresh();

    // A single search runs: the batch's start asks it to stop.
    ASSERT_EQ(m_activity.TryBeginSearch(), core::StartOutcome::Started);
    const core::JobStart refused = m_batch.Start({"SF1"}, 1);
    EXPECT_EQ(refused.outcome, core::StartOutcome::SearchRunning);
    EXPECT_EQ(refused.generation, 0U);
    EXPECT_TRUE(m_activity.IsSearchStopRequested());
    m_activity.EndSearch();
    m_batch.Wait();
    EXPECT_TRUE(m_listener.TakeEnds().empty());

    const core::JobStart first = m_batch.Start({"SF1"}, 1);
    m_batch.Wait();
    const core::JobStart second = m_batch.Start({"SF1"}, 1);
    m_batch.Wait();
    EXPECT_GT(second.generation, first.generation);
    const std::vector<RecordingListener::End> ends = m_listener.TakeEnds();
    ASSERT_EQ(ends.size(), 2U);
    EXPECT_EQ(RowsOf(ends[1].outcome), Strings{"/scan/SF1.jpg"});
}

TEST_F(BatchSearchTest, SecondStartStopsTheBatch) {
    // The index lock is held: the batch waits for it before it opens a shard
    // until the second start has asked it to stop.
    m_dir.WriteFile("run/data/1.txt", "/a/SF1\r\n/a/SF2\r\n");
    m_dir.WriteFile("run/data/chengjing.ini", "[syjs]\r\n1=2\r\n");
    platform::FileLock gate;
    ASSERT_FALSE(core::TryLockData(m_dir / "run/data", core::DataLock::Index,
                                   platform::LockMode::Exclusive, platform::LockWait::No, gate));
    const core::JobStart started = m_batch.Start({"SF1"}, 1);
    ASSERT_EQ(started.outcome, core::StartOutcome::Started);
    EXPECT_EQ(m_batch.Start({"SF1"}, 1).outcome, core::StartOutcome::SearchRunning);
    gate.Unlock();
    m_batch.Wait();
    const std::vector<RecordingListener::End> ends = m_listener.TakeEnds();
    ASSERT_EQ(ends.size(), 1U);
    EXPECT_EQ(ends[0].generation, started.generation);
    EXPECT_TRUE(ends[0].outcome.stopped);
    EXPECT_EQ(ends[0].outcome.results, nullptr) << "stopped before the first record";
    EXPECT_FALSE(m_activity.IsSearchStopRequested());
}

#ifdef _WIN32
// The window's batch reads the numbers in the program's own code page. In GBK
// 0xB0 0x61 is one character whose second byte is "a", and 0x95 0x5C one whose
// second byte is that of the backslash.
TEST_F(BatchSearchTest, GbkNumbersMatchWholeCharactersOfWholeNames) {
    if (platform::ActiveCodePage() != CodePage::Gbk) {
        GTEST_SKIP() << "needs the GBK code page (936)";
    }
    const std::string pairA =
        "C:\\d\\\xB0"
        "ab1.jpg";
    const std::string loneA =
        "C:\\d\\\xB0"
        "aab2.jpg";
    const std::string named =
        "C:\\d\\\x95\x5C"
        "SF3.jpg";
    const std::string inFolder = "C:\\\x95\x5C\\SF4.jpg";
    WriteIndex({pairA, loneA, named, inFolder}, 1);
    const core::JobStart start = m_batch.Start({"ab",
                                                "\x95\x5C"
                                                "SF3",
                                                "\x5C"
                                                "SF3",
                                                "\x95\x5C", "SF4"},
                                               1);
    ASSERT_EQ(start.outcome, core::StartOutcome::Started);
    m_batch.Wait();
    const std::vector<RecordingListener::End> ends = m_listener.TakeEnds();
    ASSERT_EQ(ends.size(), 1U);
    const BatchOutcome& outcome = ends[0].outcome;
    ASSERT_EQ(outcome.numbers.size(), 5U);
    EXPECT_EQ(outcome.numbers[0].files, 1U) << "ab: not across 0xB0 0x61";
    EXPECT_EQ(outcome.numbers[1].files, 1U);
    EXPECT_EQ(outcome.numbers[2].files, 0U) << "a match starts at a character";
    EXPECT_EQ(outcome.numbers[3].files, 1U) << "the folder's name is no part of a file's";
    EXPECT_EQ(outcome.numbers[4].files, 1U);
    EXPECT_EQ(RowsOf(outcome), (Strings{loneA, named, inFolder}));
}
#endif

}  // namespace
}  // namespace cj::search
