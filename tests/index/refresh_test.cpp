#include "index/refresh.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>

#include "core/config_file.h"
#include "core/data_paths.h"
#include "index/shard_file.h"
#include "temp_dir.h"

namespace cj::index {
namespace {

using core::StartOutcome;

// Records the ends a refresh reports, and whether the engine was idle again
// when each came.
class RecordingListener final : public RefreshListener {
  public:
    explicit RecordingListener(const core::EngineActivity& activity) : m_activity(activity) {}

    void OnRefreshFinished(core::JobGeneration generation, RefreshReport report) override {
        std::lock_guard lock(m_mutex);
        m_ends.push_back({generation, std::move(report), m_activity.IsIdle()});
    }

    struct End {
        core::JobGeneration generation;
        RefreshReport report;
        bool idle;
    };
    std::vector<End> Ends() {
        std::lock_guard lock(m_mutex);
        return m_ends;
    }

  private:
    const core::EngineActivity& m_activity;
    std::mutex m_mutex;
    std::vector<End> m_ends;  // Under m_mutex.
};

class RefreshTest : public ::testing::Test {
  protected:
    RefreshTest() : m_listener(m_activity), m_refresher(m_activity, &m_listener) {
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
    core::EngineActivity m_activity;
    RecordingListener m_listener;
    Refresher m_refresher;
};

TEST_F(RefreshTest, DealsRecordsInTurnAndWritesEachShardWithItsCount) {
    m_dir.WriteFile("root/x.txt", "");
    m_dir.WriteFile("root/sub/y.txt", "");
    m_dir.WriteFile("root/.hidden/z.txt", "");
    const std::string root = m_dir / "root";
    ASSERT_EQ(m_refresher.Start(Request({root}, 2)).outcome, StartOutcome::Started);
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

TEST_F(RefreshTest, ReportsEachEndOnceWithItsGenerationAfterGoingIdle) {
    m_dir.WriteFile("root/a.jpg", "");
    const core::JobStart first = m_refresher.Start(Request({m_dir / "root"}, 1));
    ASSERT_EQ(first.outcome, StartOutcome::Started);
    m_refresher.Wait();
    const core::JobStart second = m_refresher.Start(Request({m_dir / "root", m_dir / "none"}, 1));
    ASSERT_EQ(second.outcome, StartOutcome::Started);
    m_refresher.Wait();
    EXPECT_GT(second.generation, first.generation);
    const std::vector<RecordingListener::End> ends = m_listener.Ends();
    ASSERT_EQ(ends.size(), 2U);
    EXPECT_EQ(ends[0].generation, first.generation);
    EXPECT_EQ(ends[1].generation, second.generation);
    EXPECT_EQ(ends[0].report.records, 1U);
    EXPECT_TRUE(ends[0].report.failedShards.empty());
    // Idle before the report, so that the window can start the next job as
    // soon as it has it.
    EXPECT_TRUE(ends[0].idle);
    EXPECT_TRUE(ends[1].idle);
    // Run, for the command line, reports through its return value only.
    ASSERT_EQ(m_refresher.Run(Request({m_dir / "root"}, 1)), StartOutcome::Started);
    EXPECT_EQ(m_listener.Ends().size(), 2U);
}

TEST_F(RefreshTest, ReportsTheShardsItCouldNotWrite) {
    m_dir.WriteFile("root/a.jpg", "");
    m_dir.MakeDirs("run/data/2.txt");  // A folder holds the second shard's name.
    ASSERT_EQ(m_refresher.Start(Request({m_dir / "root"}, 2)).outcome, StartOutcome::Started);
    m_refresher.Wait();
    const std::vector<RecordingListener::End> ends = m_listener.Ends();
    ASSERT_EQ(ends.size(), 1U);
    ASSERT_EQ(ends[0].report.failedShards.size(), 1U);
    EXPECT_EQ(ends[0].report.failedShards[0].shard, 2);
    EXPECT_EQ(ends[0].report.failedShards[0].path, m_dir / "run/data/2.txt");
    EXPECT_TRUE(ends[0].report.failedShards[0].error);
}

TEST_F(RefreshTest, RefusedWhileARefreshRunsAndTheCallerCanTell) {
    ASSERT_EQ(m_activity.TryBeginRefresh(), StartOutcome::Started);  // Another refresh runs.
    const core::JobStart refused = m_refresher.Start(Request({m_dir / "root"}, 2));
    EXPECT_EQ(refused.outcome, StartOutcome::RefreshRunning);
    EXPECT_EQ(refused.generation, 0U);
    EXPECT_EQ(m_refresher.Run(Request({m_dir / "root"}, 2)), StartOutcome::RefreshRunning);
    m_activity.EndRefresh();
    m_refresher.Wait();
    EXPECT_TRUE(m_listener.Ends().empty());  // The refused requests reported nothing.
    EXPECT_EQ(Count(2), "");                 // And wrote nothing.
}

TEST_F(RefreshTest, RefusedWhileASearchRuns) {
    ASSERT_EQ(m_activity.TryBeginSearch(), StartOutcome::Started);
    EXPECT_EQ(m_refresher.Start(Request({}, 1)).outcome, StartOutcome::SearchRunning);
    EXPECT_EQ(Count(1), "");
    m_activity.EndSearch();
    EXPECT_EQ(m_refresher.Start(Request({}, 1)).outcome, StartOutcome::Started);
    m_refresher.Wait();
    EXPECT_EQ(Count(1), "0");
    EXPECT_EQ(m_listener.Ends().size(), 1U);
}

// An unplugged drive used to walk to nothing, and the refresh wrote empty
// shards over its part of the index and reported success.
TEST_F(RefreshTest, FolderThatCannotBeOpenedKeepsThePreviousIndex) {
    m_dir.WriteFile("drive/a.jpg", "");
    m_dir.WriteFile("other/b.jpg", "");
    const std::vector<std::string> folders{m_dir / "drive", m_dir / "other"};
    ASSERT_EQ(m_refresher.Run(Request(folders, 2)), StartOutcome::Started);
    ASSERT_EQ(Shard(1), m_dir / "drive/a.jpg\r\n");
    std::filesystem::rename(m_dir / "drive", m_dir / "unplugged");

    RefreshReport report;
    ASSERT_EQ(m_refresher.Run(Request(folders, 2), &report), StartOutcome::Started);
    EXPECT_EQ(report.end, RefreshEnd::FoldersMissing);
    EXPECT_EQ(report.walk.missingFolders, std::vector<std::string>{m_dir / "drive"});
    EXPECT_EQ(report.records, 0U);
    EXPECT_EQ(Shard(1), m_dir / "drive/a.jpg\r\n");
    EXPECT_EQ(Shard(2), m_dir / "other/b.jpg\r\n");
    EXPECT_EQ(Count(1), "1");
    EXPECT_EQ(Count(2), "1");
}

TEST(EngineActivity, OneJobAtATimeAndAStopRequestLastsOneSearch) {
    core::EngineActivity activity;
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
