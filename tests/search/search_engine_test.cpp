#include "search/search_engine.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/data_paths.h"
#include "core/settings_file.h"
#include "index/refresh.h"
#include "index/shard_file.h"
#include "search/search_run.h"
#include "temp_dir.h"

namespace cj::search {
namespace {

// Records the window calls of searches (and refreshes), with whether a search
// was running at each.
class RecordingView final : public SearchView, public index::RefreshView {
  public:
    explicit RecordingView(const index::EngineActivity& activity) : m_activity(activity) {}

    void HideUpdateCacheButton() override { Record("hideUpdate"); }
    void ShowSearchPage() override { Record("page"); }
    void ShowBusy(std::string_view text) override {
        Record("busy:" + std::string(text));
        std::unique_lock lock(m_mutex);
        m_busyCalls++;
        m_changed.notify_all();
        m_changed.wait(lock, [&] { return !m_hold; });
    }
    void SetSearchButtonBusy(bool busy) override { Record(busy ? "button:busy" : "button:normal"); }
    void ClearRows() override { Record("clear"); }
    void SetRowCount(std::size_t rows) override { Record("rows:" + std::to_string(rows)); }
    void ShowResultList(std::string_view busyText) override {
        Record("list:" + std::string(busyText));
    }
    void FocusKeywordBox() override { Record("focus"); }
    void SetStatusText(std::string_view text) override { Record("status:" + std::string(text)); }
    void SelectRow(std::size_t row) override { Record("select:" + std::to_string(row)); }

    void Hold(bool hold) {
        std::lock_guard lock(m_mutex);
        m_hold = hold;
        m_changed.notify_all();
    }
    void WaitForBusyCalls(int calls) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_busyCalls >= calls; });
    }
    std::vector<std::string> TakeCalls() {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_calls, {});
    }
    bool SearchRanAtEveryCall() {
        std::lock_guard lock(m_mutex);
        return m_allRunning;
    }

  private:
    void Record(std::string call) {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(std::move(call));
        m_allRunning = m_allRunning && !m_activity.IsIdle();
    }

    const index::EngineActivity& m_activity;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_calls;  // Under m_mutex.
    bool m_allRunning = true;          // Under m_mutex.
    int m_busyCalls = 0;               // Under m_mutex.
    bool m_hold = false;               // Under m_mutex.
};

class SearchEngineTest : public ::testing::Test {
  protected:
    SearchEngineTest() : m_view(m_activity), m_engine(m_activity, m_view, m_dir / "run") {
        m_dir.MakeDirs("run/data");
    }

    // Writes shards the way a refresh does: records dealt in turn.
    void WriteIndex(const std::vector<std::string>& records, int shards) {
        index::ShardSet set(shards);
        for (const std::string& record : records) {
            set.Add(record);
        }
        index::TryWriteShards(set, m_dir / "run", Config());
    }
    core::SettingsFile Config() const { return core::SettingsFile::InRunDirectory(m_dir / "run"); }

    std::vector<std::u16string> Paths() const {
        std::vector<std::u16string> paths;
        for (std::size_t k = 1; k <= m_engine.Results().Count(); ++k) {
            paths.push_back(m_engine.Results().Row(k)->path);
        }
        return paths;
    }

    std::vector<std::u16string> Search(std::string_view keywords, int shards) {
        EXPECT_EQ(m_engine.Start(keywords, shards), index::StartOutcome::Started);
        m_engine.Wait();
        return Paths();
    }

    test::TempDir m_dir;
    index::EngineActivity m_activity;
    RecordingView m_view;
    SearchEngine m_engine;
};

TEST_F(SearchEngineTest, FillsRowsAndTellsTheWindowInOrder) {
    WriteIndex({"/scan/SF1.jpg", "/scan/JD2.jpg", "/scan/SF3.pdf"}, 2);
    EXPECT_EQ(Search("SF", 2), (std::vector<std::u16string>{u"/scan/SF1.jpg", u"/scan/SF3.pdf"}));
    EXPECT_EQ(
        m_view.TakeCalls(),
        (std::vector<std::string>{"hideUpdate", "page", "busy:搜索中，请耐心等待...", "button:busy",
                                  "clear", "rows:2", "list:搜索中，请耐心等待...", "focus",
                                  "button:normal", "status:找到：2 个文件", "select:1"}));
    EXPECT_TRUE(m_view.SearchRanAtEveryCall());
    EXPECT_TRUE(m_activity.IsIdle());
    const ResultRecord* row = m_engine.Results().Row(2);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->name, u"SF3");
    EXPECT_EQ(row->typeAndSize, u"文件类型：pdf   文件大小：0");
}

TEST_F(SearchEngineTest, RowsComeInShardOrderNotWalkOrder) {
    // Walk order 1..8 dealt to 4 shards: hits 3 and 5 land in shards 3 and 1.
    WriteIndex({"/a/1", "/a/2", "/a/3hit", "/a/4", "/a/5hit", "/a/6", "/a/7", "/a/8hit"}, 4);
    EXPECT_EQ(Search("hit", 4), (std::vector<std::u16string>{u"/a/5hit", u"/a/3hit", u"/a/8hit"}));
}

TEST_F(SearchEngineTest, NothingFoundSelectsNoRowAndKeepsTheBlankInTheStatus) {
    WriteIndex({"/a/x.jpg"}, 1);
    EXPECT_TRUE(Search("ZZ9999999999999", 1).empty());
    const std::vector<std::string> calls = m_view.TakeCalls();
    EXPECT_EQ(calls.back(), "status:找到：0 个文件");
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "rows:0"), 1);
}

TEST_F(SearchEngineTest, EmptyKeywordTextListsEveryRecordButNoEmptyLine) {
    m_dir.WriteFile("run/data/1.txt", "/a/x.jpg\r\n\r\n/a/y.jpg\r\n");
    Config().TryWriteShardCount(1, 5);  // More than the lines in the file.
    EXPECT_EQ(Search("", 1), (std::vector<std::u16string>{u"/a/x.jpg", u"/a/y.jpg"}));
}

TEST_F(SearchEngineTest, MissingShardsAndCountsFindNothing) {
    m_dir.WriteFile("run/data/2.txt", "/a/x.jpg\r\n");  // No count for it.
    EXPECT_TRUE(Search("", 3).empty());
}

TEST_F(SearchEngineTest, StartsAnewClearingTheLastRows) {
    WriteIndex({"/a/SF1", "/a/JD1"}, 1);
    EXPECT_EQ(Search("SF", 1).size(), 1U);
    EXPECT_EQ(Search("JD", 1), std::vector<std::u16string>{u"/a/JD1"});
}

TEST_F(SearchEngineTest, IgnoredDuringARefresh) {
    m_dir.WriteFile("tree/SF1.jpg", "");
    index::Refresher refresher(m_activity, m_view);
    m_view.Hold(true);
    index::RefreshRequest request;
    request.runDirectory = m_dir / "run";
    request.folders = {m_dir / "tree"};
    request.shardCount = 1;
    ASSERT_EQ(refresher.Start(request), index::StartOutcome::Started);
    m_view.WaitForBusyCalls(1);
    m_view.TakeCalls();
    EXPECT_EQ(m_engine.Start("SF", 1), index::StartOutcome::RefreshRunning);
    EXPECT_TRUE(m_view.TakeCalls().empty());
    EXPECT_FALSE(m_activity.IsSearchStopRequested());
    m_view.Hold(false);
    refresher.Wait();
    EXPECT_EQ(Search("SF", 1),
              std::vector<std::u16string>{platform::NarrowToUtf16(m_dir / "tree/SF1.jpg")});
}

TEST_F(SearchEngineTest, SecondStartStopsTheSearchAndItShowsWhatItFound) {
    // Shard 1 is a pipe: its worker waits in the read until the test has
    // pressed the button a second time, so the stop is certain to come first.
    const std::string pipe = m_dir / "run/data/1.txt";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    Config().TryWriteShardCount(1, 2);
    ASSERT_EQ(m_engine.Start("SF", 1), index::StartOutcome::Started);
    EXPECT_EQ(m_engine.Start("SF", 1), index::StartOutcome::SearchRunning);
    EXPECT_TRUE(m_activity.IsSearchStopRequested());
    {
        const int fd = ::open(pipe.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        const std::string_view records = "/a/SF1\r\n/a/SF2\r\n";
        EXPECT_EQ(::write(fd, records.data(), records.size()),
                  static_cast<ssize_t>(records.size()));
        ::close(fd);
    }
    m_engine.Wait();
    EXPECT_EQ(m_engine.Results().Count(), 0U);
    EXPECT_EQ(m_view.TakeCalls().back(), "status:找到：0 个文件");
    EXPECT_TRUE(m_activity.IsIdle());
    EXPECT_FALSE(m_activity.IsSearchStopRequested());

    // A third press searches again, from the start.
    ASSERT_EQ(::unlink(pipe.c_str()), 0);
    m_dir.WriteFile("run/data/1.txt", "/a/SF1\r\n/a/SF2\r\n");
    EXPECT_EQ(Search("SF", 1).size(), 2U);
}

TEST(SearchShards, PathsNeedNoSizeAndLinesCarryIt) {
    test::TempDir dir;
    dir.MakeDirs("run/data");
    dir.WriteFile("files/SF1.jpg", std::string(2048, 'x'));
    index::ShardSet set(2);
    set.Add(dir / "files/SF1.jpg");
    set.Add(dir / "files/other.jpg");
    index::TryWriteShards(set, dir / "run", core::SettingsFile::InRunDirectory(dir / "run"));
    const std::atomic<bool> stop{false};
    const KeywordSet keywords("SF");

    SearchRequest request{dir / "run", 2, HitDetail::Paths};
    std::vector<ShardHits> hits = SearchShards(request, keywords, stop);
    ASSERT_EQ(hits.size(), 2U);
    EXPECT_EQ(hits[0].paths, std::vector<std::string_view>{dir / "files/SF1.jpg"});
    EXPECT_TRUE(hits[0].lines.empty());
    EXPECT_TRUE(hits[0].records.empty());

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

    request.detail = HitDetail::Lines;
    hits = SearchShards(request, keywords, stop);
    ASSERT_EQ(hits[0].lines.size(), 1U);
    EXPECT_EQ(hits[0].lines.front(),
              "SF1\n文件类型：jpg   文件大小：2.00 KB\n" + (dir / "files/SF1.jpg") + "\n");

    request.detail = HitDetail::Count;
    hits = SearchShards(request, KeywordSet(""), stop);
    EXPECT_EQ(hits[0].count + hits[1].count, 2U);
    EXPECT_TRUE(hits[0].paths.empty());
}

}  // namespace
}  // namespace cj::search
