#include "search/search_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <utility>

#include "core/data_lock.h"
#include "core/data_paths.h"
#include "core/settings_file.h"
#include "index/index_commit.h"
#include "index/refresh.h"
#include "index/shard_file.h"
#include "job_recorder.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "search/search_run.h"
#include "temp_dir.h"
#ifndef _WIN32
#include "thread_probe.h"
#endif

namespace cj::search {
namespace {

class RecordingListener final : public SearchListener, public test::JobRecorder<SearchOutcome> {
  public:
    void OnSearchFinished(core::JobGeneration generation, SearchOutcome outcome) override {
        RecordEnd(generation, std::move(outcome));
    }
};

std::vector<std::string> PathsOf(const ResultsArray* rows) {
    std::vector<std::string> paths;
    for (std::size_t k = 1; rows != nullptr && k <= rows->Count(); ++k) {
        paths.emplace_back(rows->Path(k));
    }
    return paths;
}

class SearchEngineTest : public ::testing::Test {
  protected:
    SearchEngineTest() : m_engine(m_activity, m_listener, m_dir / "run") {
        m_dir.MakeDirs("run/data");
        m_listener.isIdle = [this] { return m_activity.IsIdle(); };
    }

    // Writes shards the way a refresh does: records dealt in turn.
    void WriteIndex(const std::vector<std::string>& records, int shards) {
        index::ShardSet set(shards);
        for (const std::string& record : records) {
            set.Add(record);
        }
        ASSERT_TRUE(index::TryCommitShards(set, m_dir / "run").empty());
    }
    core::SettingsFile Config() const { return core::SettingsFile::InRunDirectory(m_dir / "run"); }

    // Runs a search to its end and returns its one report.
    RecordingListener::End SearchToEnd(std::string_view keywords, int shards,
                                       MatchRule rule = MatchRule::Exact) {
        const core::JobStart start = m_engine.Start(keywords, shards, rule);
        EXPECT_EQ(start.outcome, core::StartOutcome::Started);
        m_engine.Wait();
        std::vector<RecordingListener::End> ends = m_listener.TakeEnds();
        EXPECT_EQ(ends.size(), 1U);
        if (ends.empty()) {
            return {};
        }
        EXPECT_EQ(ends.front().generation, start.generation);
        return std::move(ends.front());
    }
    std::vector<std::string> Search(std::string_view keywords, int shards) {
        return PathsOf(SearchToEnd(keywords, shards).outcome.results.get());
    }

    test::TempDir m_dir;
    core::EngineActivity m_activity;
    RecordingListener m_listener;
    SearchEngine m_engine;
};

TEST_F(SearchEngineTest, ReportsItsRowsOnceAfterGoingIdle) {
    WriteIndex({"/scan/SF1.jpg", "/scan/JD2.jpg", "/scan/SF3.pdf"}, 2);
    const RecordingListener::End end = SearchToEnd("SF", 2);
    EXPECT_EQ(PathsOf(end.outcome.results.get()),
              (std::vector<std::string>{"/scan/SF1.jpg", "/scan/SF3.pdf"}));
    EXPECT_TRUE(end.idle) << "the window may start the next search as soon as it has this";
    EXPECT_FALSE(end.outcome.stopped);
    EXPECT_FALSE(end.outcome.incomplete);
    EXPECT_EQ(end.outcome.results->Mark(1), CopyMark::None);
    EXPECT_TRUE(m_activity.IsIdle());
}

TEST_F(SearchEngineTest, RowsComeInShardOrderNotWalkOrder) {
    // Walk order 1..8 dealt to 4 shards: hits 3 and 5 land in shards 3 and 1.
    WriteIndex({"/a/1", "/a/2", "/a/3hit", "/a/4", "/a/5hit", "/a/6", "/a/7", "/a/8hit"}, 4);
    EXPECT_EQ(Search("hit", 4), (std::vector<std::string>{"/a/5hit", "/a/3hit", "/a/8hit"}));
}

TEST_F(SearchEngineTest, NothingFoundReportsNoRows) {
    WriteIndex({"/a/x.jpg"}, 1);
    const RecordingListener::End end = SearchToEnd("ZZ9999999999999", 1);
    ASSERT_NE(end.outcome.results, nullptr);
    EXPECT_EQ(end.outcome.results->Count(), 0U);
}

// A clerk typed the number in lower case, found nothing and sent it back as
// missing. An exact search that finds nothing now says what ignoring case and
// width would find; one that finds something does not look again.
TEST_F(SearchEngineTest, AnExactSearchThatFindsNothingCountsWhatIgnoringCaseFinds) {
    WriteIndex({"/a/SF1400000012345.jpg", "/a/Sf1400000012345(2).jpg", "/a/x.jpg"}, 2);
    const RecordingListener::End none = SearchToEnd("sf1400000012345", 2);
    EXPECT_EQ(none.outcome.results->Count(), 0U);
    EXPECT_EQ(none.outcome.filesIgnoringCase, 2U);
    EXPECT_EQ(SearchToEnd("sf14", 2).outcome.filesIgnoringCase, 2U);

    const RecordingListener::End found = SearchToEnd("SF14", 2);
    EXPECT_EQ(found.outcome.results->Count(), 1U);
    EXPECT_EQ(found.outcome.filesIgnoringCase, 0U);

    const RecordingListener::End folded = SearchToEnd("sF14", 2, MatchRule::IgnoreCaseAndWidth);
    EXPECT_EQ(folded.outcome.results->Count(), 2U);
    EXPECT_EQ(folded.outcome.filesIgnoringCase, 0U);
}

TEST_F(SearchEngineTest, EmptyKeywordTextListsEveryRecordButNoEmptyLine) {
    m_dir.WriteFile("run/data/1.txt", "/a/x.jpg\r\n\r\n/a/y.jpg\r\n");
    m_dir.WriteFile("run/data/chengjing.ini", "[syjs]\r\n1=5\r\n");  // More than the lines.
    EXPECT_EQ(Search("", 1), (std::vector<std::string>{"/a/x.jpg", "/a/y.jpg"}));
}

TEST_F(SearchEngineTest, MissingShardsAndCountsFindNothing) {
    m_dir.WriteFile("run/data/2.txt", "/a/x.jpg\r\n");  // No count for it.
    EXPECT_TRUE(Search("", 3).empty());
}

TEST_F(SearchEngineTest, EverySearchHasANewerGeneration) {
    WriteIndex({"/a/SF1", "/a/JD1"}, 1);
    const core::JobGeneration first = SearchToEnd("SF", 1).generation;
    const RecordingListener::End second = SearchToEnd("JD", 1);
    EXPECT_GT(second.generation, first);
    EXPECT_EQ(PathsOf(second.outcome.results.get()), std::vector<std::string>{"/a/JD1"});
}

TEST_F(SearchEngineTest, IgnoredDuringARefresh) {
    WriteIndex({"/a/SF1"}, 1);
    ASSERT_EQ(m_activity.TryBeginRefresh(), core::StartOutcome::Started);
    const core::JobStart refused = m_engine.Start("SF", 1);
    EXPECT_EQ(refused.outcome, core::StartOutcome::RefreshRunning);
    EXPECT_EQ(refused.generation, 0U);
    EXPECT_FALSE(m_activity.IsSearchStopRequested());
    m_activity.EndRefresh();
    m_engine.Wait();
    EXPECT_TRUE(m_listener.TakeEnds().empty());
    EXPECT_EQ(Search("SF", 1), std::vector<std::string>{"/a/SF1"});
}

TEST_F(SearchEngineTest, SecondStartStopsTheSearchAndItShowsWhatItFound) {
    // The index lock is held: the search waits for it before it opens a
    // shard until the test has pressed the button a second time, so the stop
    // is certain to come first.
    m_dir.WriteFile("run/data/1.txt", "/a/SF1\r\n/a/SF2\r\n");
    m_dir.WriteFile("run/data/chengjing.ini", "[syjs]\r\n1=2\r\n");
    platform::FileLock gate;
    ASSERT_FALSE(core::TryLockData(m_dir / "run/data", core::DataLock::Index,
                                   platform::LockMode::Exclusive, platform::LockWait::No, gate));
    const core::JobStart started = m_engine.Start("SF", 1);
    ASSERT_EQ(started.outcome, core::StartOutcome::Started);
    EXPECT_EQ(m_engine.Start("SF", 1).outcome, core::StartOutcome::SearchRunning);
    EXPECT_TRUE(m_activity.IsSearchStopRequested());
    gate.Unlock();
    m_engine.Wait();
    std::vector<RecordingListener::End> ends = m_listener.TakeEnds();
    ASSERT_EQ(ends.size(), 1U) << "the stop request started nothing of its own";
    EXPECT_EQ(ends[0].generation, started.generation);
    EXPECT_TRUE(ends[0].outcome.stopped);
    EXPECT_EQ(ends[0].outcome.results->Count(), 0U) << "stopped before the first record";
    EXPECT_TRUE(m_activity.IsIdle());
    EXPECT_FALSE(m_activity.IsSearchStopRequested());

    // A third press searches again, from the start.
    EXPECT_EQ(Search("SF", 1).size(), 2U);
}

#ifdef _WIN32
// Files named in GBK, the code page of Chinese Windows, are indexed by a
// refresh and found by a keyword typed in it. 0xB0 0x61 is one character
// whose second byte is "a", 0x95 0x5C one whose second byte is that of the
// backslash, and 顺丰 is 0xCB 0xB3 0xB7 0xE1.
TEST_F(SearchEngineTest, RefreshedGbkNamesAreFoundByGbkKeywords) {
    if (platform::ActiveCodePage() != platform::CodePage::Gbk) {
        GTEST_SKIP() << "needs the GBK code page (936)";
    }
    m_dir.MakeDirs("tree");
    // Made by the system's calls: TempDir's helpers split paths at every 0x5C.
    const std::string tree = m_dir / "tree";
    const std::string folder = tree + "\\\x95\x5C";
    const std::string shunfeng = tree +
                                 "\\\xCB\xB3\xB7\xE1"
                                 "SF1.jpg";
    const std::string pairA = folder +
                              "\\\xB0"
                              "ab.jpg";
    const std::string loneA = folder +
                              "\\\xB0"
                              "aab.jpg";
    const std::string named = folder +
                              "\\\x95\x5C"
                              "SF2.jpg";
    ASSERT_FALSE(platform::MakeDirectory(folder));
    for (const std::string& path : {shunfeng, pairA, loneA, named}) {
        ASSERT_FALSE(platform::WriteFileAndSync(path, "")) << path;
    }
    core::EngineActivity refreshActivity;
    index::Refresher refresher(refreshActivity, nullptr);
    index::RefreshRequest request;
    request.runDirectory = m_dir / "run";
    request.folders = {tree};
    request.shardCount = 2;
    index::RefreshReport report;
    ASSERT_EQ(refresher.Run(request, &report), core::StartOutcome::Started);
    ASSERT_EQ(report.records, 4U);

    const auto sorted = [](std::vector<std::string> paths) {
        std::sort(paths.begin(), paths.end());
        return paths;
    };
    EXPECT_EQ(Search("\xCB\xB3\xB7\xE1", 2), std::vector<std::string>{shunfeng});
    EXPECT_EQ(Search("\xB7\xE1"
                     "SF1",
                     2),
              std::vector<std::string>{shunfeng});
    EXPECT_EQ(Search("ab", 2), std::vector<std::string>{loneA}) << "not across 0xB0 0x61";
    EXPECT_EQ(sorted(Search("\x95\x5C", 2)), std::vector<std::string>{named})
        << "the folder's name is no part of a file's";
    EXPECT_TRUE(Search("\\", 2).empty()) << "no name holds a backslash of its own";
    EXPECT_EQ(sorted(Search("jpg", 2)), sorted({shunfeng, pairA, loneA, named}));
}
#endif

TEST(SearchShards, PathsNeedNoSizeAndSizesCarryIt) {
    test::TempDir dir;
    dir.MakeDirs("run/data");
    dir.WriteFile("files/SF1.jpg", std::string(2048, 'x'));
    index::ShardSet set(2);
    set.Add(dir / "files/SF1.jpg");
    set.Add(dir / "files/other.jpg");
    ASSERT_TRUE(index::TryCommitShards(set, dir / "run").empty());
    const std::atomic<bool> stop{false};
    const KeywordSet keywords("SF");

    SearchRequest request{dir / "run", 2, HitDetail::Paths};
    std::vector<ShardHits> hits = SearchShards(request, keywords, stop);
    ASSERT_EQ(hits.size(), 2U);
    EXPECT_EQ(hits[0].paths, std::vector<std::string_view>{dir / "files/SF1.jpg"});
    EXPECT_TRUE(hits[0].sizes.empty());

    // Shard 1's hits can go out as they are found, counted all the same.
    struct Collect final : HitSink {
        bool OnHit(std::string_view record) override {
            seen.emplace_back(record);
            return true;
        }
        std::vector<std::string> seen;
    } first;
    request.firstShardSink = &first;
    hits = SearchShards(request, KeywordSet(""), stop);
    EXPECT_EQ(first.seen, std::vector<std::string>{dir / "files/SF1.jpg"});
    EXPECT_TRUE(hits[0].paths.empty());
    EXPECT_EQ(hits[0].count, 1U);
    EXPECT_EQ(hits[1].paths, std::vector<std::string_view>{dir / "files/other.jpg"});
    request.firstShardSink = nullptr;

    request.detail = HitDetail::Sizes;
    hits = SearchShards(request, KeywordSet(""), stop);
    ASSERT_EQ(hits[0].sizes.size(), 1U);
    EXPECT_EQ(hits[0].sizes[0], std::optional<std::uint64_t>(2048));
    ASSERT_EQ(hits[1].sizes.size(), 1U);
    EXPECT_EQ(hits[1].sizes[0], std::nullopt) << "other.jpg was never written";

    request.detail = HitDetail::Count;
    hits = SearchShards(request, KeywordSet(""), stop);
    EXPECT_EQ(hits[0].count + hits[1].count, 2U);
    EXPECT_TRUE(hits[0].paths.empty());
}

#ifndef _WIN32
// A search that read the counts and shards while a refresh replaced them
// could pair new shards with old counts. It now waits for the commit and then
// reads the new index whole. Linux only: the test sees the search wait for the
// lock through the thread's system call.
TEST(SearchShards, SearchDuringACommitWaitsAndSeesTheWholeNewIndex) {
    test::TempDir dir;
    dir.MakeDirs("run/data");
    const std::string run = dir / "run";
    index::ShardSet old(2);
    for (const char* path : {"/old/SF1", "/old/SF2", "/old/SF3", "/old/SF4"}) {
        old.Add(path);
    }
    ASSERT_TRUE(index::TryCommitShards(old, run).empty());

    // A commit half-way through: it holds the Index lock, shard 1 is new
    // already, shards 2 and 3 and the counts are still to come.
    platform::FileLock committing;
    ASSERT_FALSE(core::TryLockData(dir / "run/data", core::DataLock::Index,
                                   platform::LockMode::Exclusive, platform::LockWait::No,
                                   committing));
    index::ShardSet fresh(3);
    for (const char* path : {"/new/SF1", "/new/SF2", "/new/SF3", "/new/SF4", "/new/SF5"}) {
        fresh.Add(path);
    }
    ASSERT_FALSE(platform::WriteWholeFileAtomic(core::ShardPath(run, 1), fresh.Buffer(1)));

    std::atomic<int> tid{0};
    std::vector<std::string> found;
    std::thread search([&] {
        tid = test::CurrentThreadId();
        const std::atomic<bool> stop{false};
        const SearchRequest request{run, 0, HitDetail::Paths};
        for (const ShardHits& shard : SearchShards(request, KeywordSet("SF"), stop)) {
            found.insert(found.end(), shard.paths.begin(), shard.paths.end());
        }
    });
    while (tid == 0) {
        std::this_thread::yield();
    }
    EXPECT_TRUE(test::WaitUntilThreadWaitsForLock(tid));
    for (int n = 2; n <= 3; ++n) {
        ASSERT_FALSE(platform::WriteWholeFileAtomic(core::ShardPath(run, n), fresh.Buffer(n)));
    }
    const std::uint64_t counts[] = {fresh.Count(1), fresh.Count(2), fresh.Count(3)};
    ASSERT_FALSE(core::SettingsFile::InRunDirectory(run).TryWriteIndexCounts(counts, 3));
    committing.Unlock();
    search.join();
    EXPECT_EQ(found, (std::vector<std::string>{"/new/SF1", "/new/SF4", "/new/SF2", "/new/SF5",
                                               "/new/SF3"}));
}
#endif

}  // namespace
}  // namespace cj::search
