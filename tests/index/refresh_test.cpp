#include "index/refresh.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "core/config_file.h"
#include "core/data_paths.h"
#include "index/shard_file.h"
#include "temp_dir.h"

namespace cj::index {
namespace {

// Records what the refresh asks of the window, and whether a refresh was
// running at each call. ShowBusy can be held until the test releases it.
class RecordingView final : public RefreshView {
  public:
    explicit RecordingView(const EngineActivity& activity) : m_activity(activity) {}

    void ShowSearchPage() override { Record("page"); }
    void ShowBusy(std::string_view text) override {
        Record("busy:" + std::string(text));
        std::unique_lock lock(m_mutex);
        m_inBusy = true;
        m_changed.notify_all();
        m_changed.wait(lock, [&] { return !m_hold; });
    }
    void ShowResultList(std::string_view busyText) override {
        Record("list:" + std::string(busyText));
    }
    void HideUpdateCacheButton() override { Record("hideUpdate"); }

    void Hold() {
        std::lock_guard lock(m_mutex);
        m_hold = true;
    }
    void WaitUntilBusy() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_inBusy; });
    }
    void Release() {
        std::lock_guard lock(m_mutex);
        m_hold = false;
        m_changed.notify_all();
    }
    std::vector<std::string> Calls() {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }
    std::vector<bool> RunningAtCall() {
        std::lock_guard lock(m_mutex);
        return m_running;
    }

  private:
    void Record(std::string call) {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(std::move(call));
        m_running.push_back(m_activity.IsRefreshRunning());
    }

    const EngineActivity& m_activity;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_calls;  // Under m_mutex.
    std::vector<bool> m_running;       // Under m_mutex.
    bool m_inBusy = false;             // Under m_mutex.
    bool m_hold = false;               // Under m_mutex.
};

class RefreshTest : public ::testing::Test {
  protected:
    RefreshTest() : m_view(m_activity), m_refresher(m_activity, m_view) {
        m_dir.MakeDirs("run/data");
    }

    RefreshRequest Request(std::vector<std::string> folders, int shards) const {
        RefreshRequest request;
        request.runDirectory = m_dir / "run";
        request.folders = std::move(folders);
        request.shardCount = shards;
        return request;
    }
    std::string Shard(int n) const {
        return m_dir.ReadFile("run/data/" + std::to_string(n) + ".txt");
    }
    std::string Count(int n) const {
        return core::ConfigFile(core::ConfigPath(m_dir / "run"))
            .ReadItem("syjs", std::to_string(n));
    }

    test::TempDir m_dir;
    EngineActivity m_activity;
    RecordingView m_view;
    Refresher m_refresher;
};

TEST_F(RefreshTest, DealsRecordsInTurnAndWritesEachShardWithItsCount) {
    m_dir.WriteFile("root/x.txt", "");
    m_dir.WriteFile("root/sub/y.txt", "");
    m_dir.WriteFile("root/.hidden/z.txt", "");
    const std::string root = m_dir / "root";
    ASSERT_EQ(m_refresher.Start(Request({root}, 2)), StartOutcome::Started);
    m_refresher.Wait();
    EXPECT_EQ(Shard(1), root + "/x.txt\r\n");
    EXPECT_EQ(Shard(2), root + "/sub/y.txt\r\n");
    EXPECT_EQ(Count(1), "1");
    EXPECT_EQ(Count(2), "1");
}

TEST_F(RefreshTest, DealingCarriesOverFromOneFolderToTheNext) {
    m_dir.WriteFile("one/a.jpg", "");
    m_dir.WriteFile("one/b.jpg", "");
    m_dir.WriteFile("two/c.jpg", "");
    m_dir.WriteFile("two/d/e.jpg", "");
    RefreshReport report;
    ASSERT_EQ(m_refresher.Run(Request({m_dir / "one", m_dir / "two"}, 3), &report),
              StartOutcome::Started);
    EXPECT_EQ(report.records, 4U);
    EXPECT_EQ(Shard(3), m_dir / "two/c.jpg\r\n");  // The second folder's first file.
    EXPECT_EQ(Shard(1).substr(Shard(1).find("\r\n") + 2), m_dir / "two/d/e.jpg\r\n");
    EXPECT_EQ(Count(1), "2");
    EXPECT_EQ(Count(2), "1");
    EXPECT_EQ(Count(3), "1");
}

TEST_F(RefreshTest, EmptyListWritesEmptyShardsWithCountsOfZero) {
    m_dir.WriteFile("run/data/2.txt", "/old/record\r\n");
    ASSERT_EQ(m_refresher.Run(Request({}, 3)), StartOutcome::Started);
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(Shard(n), "") << n;
        EXPECT_EQ(Count(n), "0") << n;
    }
}

TEST_F(RefreshTest, OutOfRangeShardCountUsesTheDefault) {
    m_dir.WriteFile("root/a.jpg", "");
    RefreshReport report;
    m_refresher.Run(Request({m_dir / "root"}, 0), &report);
    EXPECT_GE(report.shardCount, 1);
    EXPECT_LE(report.shardCount, 12);
    EXPECT_EQ(Count(1), "1");
}

TEST_F(RefreshTest, TellsTheWindowInOrderAndRunsFlaggedFromStartToEnd) {
    m_dir.WriteFile("root/a.jpg", "");
    ASSERT_EQ(m_refresher.Start(Request({m_dir / "root"}, 1)), StartOutcome::Started);
    m_refresher.Wait();
    EXPECT_EQ(m_view.Calls(),
              (std::vector<std::string>{"page", "busy:刷新索引中，请耐心等待...", "hideUpdate",
                                        "list:搜索中，请耐心等待..."}));
    EXPECT_EQ(m_view.RunningAtCall(), (std::vector<bool>{true, true, true, true}));
    EXPECT_TRUE(m_activity.IsIdle());
}

TEST_F(RefreshTest, RefusedWhileARefreshRunsAndTheCallerCanTell) {
    m_dir.WriteFile("root/a.jpg", "");
    m_view.Hold();
    ASSERT_EQ(m_refresher.Start(Request({m_dir / "root"}, 1)), StartOutcome::Started);
    m_view.WaitUntilBusy();
    EXPECT_EQ(m_refresher.Start(Request({m_dir / "root"}, 2)), StartOutcome::RefreshRunning);
    EXPECT_EQ(m_refresher.Run(Request({m_dir / "root"}, 2)), StartOutcome::RefreshRunning);
    EXPECT_EQ(m_activity.TryBeginSearch(), StartOutcome::RefreshRunning);
    m_view.Release();
    m_refresher.Wait();
    EXPECT_EQ(m_view.Calls().size(), 4U);  // The refused requests showed nothing.
    EXPECT_EQ(Count(2), "");               // And wrote nothing.
    EXPECT_EQ(m_refresher.Start(Request({m_dir / "root"}, 1)), StartOutcome::Started);
    m_refresher.Wait();
}

TEST_F(RefreshTest, RefusedWhileASearchRuns) {
    ASSERT_EQ(m_activity.TryBeginSearch(), StartOutcome::Started);
    EXPECT_EQ(m_refresher.Start(Request({}, 1)), StartOutcome::SearchRunning);
    EXPECT_TRUE(m_view.Calls().empty());
    EXPECT_EQ(Count(1), "");
    m_activity.EndSearch();
    EXPECT_EQ(m_refresher.Start(Request({}, 1)), StartOutcome::Started);
    m_refresher.Wait();
    EXPECT_EQ(Count(1), "0");
}

TEST(EngineActivity, OneJobAtATimeAndAStopRequestLastsOneSearch) {
    EngineActivity activity;
    EXPECT_EQ(activity.TryBeginSearch(), StartOutcome::Started);
    EXPECT_EQ(activity.TryBeginSearch(), StartOutcome::SearchRunning);
    EXPECT_EQ(activity.TryBeginRefresh(), StartOutcome::SearchRunning);
    activity.RequestSearchStop();
    EXPECT_TRUE(activity.IsSearchStopRequested());
    activity.EndSearch();
    EXPECT_FALSE(activity.IsSearchStopRequested());
    activity.RequestSearchStop();  // Too late for the search that ended.
    EXPECT_EQ(activity.TryBeginSearch(), StartOutcome::Started);
    EXPECT_FALSE(activity.IsSearchStopRequested());
    activity.EndSearch();
    EXPECT_EQ(activity.TryBeginRefresh(), StartOutcome::Started);
    EXPECT_EQ(activity.TryBeginRefresh(), StartOutcome::RefreshRunning);
    activity.EndRefresh();
    EXPECT_TRUE(activity.IsIdle());
}

}  // namespace
}  // namespace cj::index
