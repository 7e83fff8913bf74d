#include "index/refresh.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>

#include "core/config_file.h"
#include "core/data_paths.h"
#include "core/settings_file.h"
#include "core/text_rules.h"
#include "index/commit_record.h"
#include "index/index_commit.h"
#include "index/shard_file.h"
#include "job_recorder.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "temp_dir.h"
#ifndef _WIN32
#include "file_size_limit.h"
#endif

namespace cj::index {
namespace {

using core::StartOutcome;

class RecordingListener final : public RefreshListener, public test::JobRecorder<RefreshReport> {
  public:
    void OnRefreshFinished(core::JobGeneration generation, RefreshReport report) override {
        RecordEnd(generation, std::move(report));
    }
};

class RefreshTest : public ::testing::Test {
  protected:
    RefreshTest() : m_refresher(m_activity, &m_listener) {
        m_dir.MakeDirs("run/data");
        m_listener.isIdle = [this] { return m_activity.IsIdle(); };
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
    std::string Config() const { return m_dir.ReadFile("run/data/chengjing.ini"); }
    // Every shard file's bytes and the configuration file, to tell whether
    // anything of the index changed.
    std::vector<std::string> Snapshot() const {
        std::vector<std::string> files{Config()};
        for (int n = 1; n <= 4; ++n) {
            files.push_back(Shard(n));
        }
        return files;
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
    EXPECT_EQ(Shard(1), m_dir / "root/x.txt\r\n");
    EXPECT_EQ(Shard(2), m_dir / "root/sub/y.txt\r\n");
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

TEST_F(RefreshTest, WithoutACountTheIndexKeepsItsStoredOne) {
    // "更新缓存" rebuilt the index with the count the window had read at its
    // start, or with the number of cores, undoing another program's change.
    m_dir.WriteFile("root/a.jpg", "");
    const struct {
        const char* stored;
        int requested;
        int used;
    } cases[] = {
        {"5", 0, 5},
        {"5", 13, 5},
        {"", 0, core::DefaultThreadCount()},
        {"13", 0, core::DefaultThreadCount()},
        {"5", 3, 3},
    };
    const auto settings = core::SettingsFile::InRunDirectory(m_dir / "run");
    for (const auto& c : cases) {
        ASSERT_FALSE(settings.TrySaveThreadCount(c.stored));
        RefreshReport report;
        ASSERT_EQ(m_refresher.Run(Request({m_dir / "root"}, c.requested), &report),
                  StartOutcome::Started);
        EXPECT_EQ(report.shardCount, c.used) << c.stored << " " << c.requested;
        EXPECT_EQ(settings.ReadThreadCount().count, c.used) << c.stored << " " << c.requested;
    }
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
    EXPECT_EQ(ends[0].outcome.records, 1U);
    EXPECT_TRUE(ends[0].outcome.failedShards.empty());
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
    ASSERT_EQ(ends[0].outcome.failedShards.size(), 1U);
    EXPECT_EQ(ends[0].outcome.failedShards[0].shard, 2);
    EXPECT_EQ(ends[0].outcome.failedShards[0].path, m_dir / "run/data/2.txt");
    EXPECT_TRUE(ends[0].outcome.failedShards[0].error);
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

#ifndef _WIN32
// A refresh whose third shard could not be written (a file-size limit stands in
// for a full disk) used to leave the first two shards new and the third old,
// each with its own count: an index that was never built. Now nothing of the
// old index changes. Linux only: Windows has no per-process file-size limit.
TEST_F(RefreshTest, ThirdShardThatCannotBeWrittenKeepsEveryOldShardAndCount) {
    for (const char* name : {"old/a.jpg", "old/b.jpg", "old/c.jpg", "old/d.jpg"}) {
        m_dir.WriteFile(name, "");
    }
    ASSERT_EQ(m_refresher.Run(Request({m_dir / "old"}, 3)), StartOutcome::Started);
    const std::vector<std::string> before = Snapshot();

    // Folders are dealt in order: shard 3 gets the third folder's one file,
    // whose path alone passes the limit.
    m_dir.WriteFile("one/a.jpg", "");
    m_dir.WriteFile("two/b.jpg", "");
    const std::string deep(250, 'd');
    m_dir.WriteFile("three/" + deep + "/" + deep + "/" + deep + "/" + deep + "/c.jpg", "");
    RefreshReport report;
    StartOutcome outcome = StartOutcome::RefreshRunning;
    {
        const test::FileSizeLimit fullDisk(1000);
        ASSERT_TRUE(fullDisk.IsSet());
        outcome =
            m_refresher.Run(Request({m_dir / "one", m_dir / "two", m_dir / "three"}, 3), &report);
    }

    ASSERT_EQ(outcome, StartOutcome::Started);
    EXPECT_EQ(report.end, RefreshEnd::WriteFailed);
    ASSERT_EQ(report.failedShards.size(), 1U);
    EXPECT_EQ(report.failedShards[0].shard, 3);
    EXPECT_EQ(report.failedShards[0].path, m_dir / "run/data/3.txt.new");
    EXPECT_EQ(report.failedShards[0].error, std::errc::file_too_large);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "run/data/1.txt.new"));
}
#endif

TEST_F(RefreshTest, LeftoversOfKilledRefreshesAndWritesGo) {
    for (const char* name : {"1.txt.new", "12.txt.new", ".1.txt.tmp-Ab12Cd",
                             ".commit.txt.tmp-Ab12Cd", ".chengjing.ini.tmp-Ab12Cd"}) {
        m_dir.WriteFile(std::string("run/data/") + name, "half");
    }
    m_dir.WriteFile("root/a.jpg", "");
    ASSERT_EQ(m_refresher.Run(Request({m_dir / "root"}, 1)), StartOutcome::Started);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir / "run/data")) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".chengjing.lock", "1.txt", "chengjing.ini"}));
    EXPECT_EQ(Shard(1), m_dir / "root/a.jpg\r\n");
}

// A refresh killed after its commit record is finished by the next refresh
// before it does anything of its own, even when that one then fails.
TEST_F(RefreshTest, FinishesACommitAKilledRefreshLeft) {
    m_dir.WriteFile("old/a.jpg", "");
    ASSERT_EQ(m_refresher.Run(Request({m_dir / "old"}, 2)), StartOutcome::Started);
    const std::string run = m_dir / "run";
    CommitRecord record;
    record.oldShardCount = 2;
    record.threadCount = 3;
    record.counts = {1, 1, 0};
    const char* const shards[] = {"/new/1\r\n", "/new/2\r\n", ""};
    for (int n = 1; n <= 3; ++n) {
        ASSERT_FALSE(platform::WriteFileAndSync(core::NewShardPath(run, n), shards[n - 1]));
    }
    ASSERT_FALSE(
        platform::WriteWholeFileAtomic(core::CommitRecordPath(run), FormatCommitRecord(record)));

    m_dir.MakeDirs("run/data/4.txt");  // The next refresh, of four shards, fails.
    RefreshReport report;
    ASSERT_EQ(m_refresher.Run(Request({m_dir / "old"}, 4), &report), StartOutcome::Started);
    EXPECT_EQ(report.end, RefreshEnd::WriteFailed);
    ASSERT_EQ(report.failedShards.size(), 1U);
    EXPECT_EQ(report.failedShards[0].path, m_dir / "run/data/4.txt");
    EXPECT_EQ(Shard(1), "/new/1\r\n");
    EXPECT_EQ(Shard(2), "/new/2\r\n");
    EXPECT_EQ(Shard(3), "");
    EXPECT_EQ(Count(1), "1");
    EXPECT_EQ(Count(3), "0");
    EXPECT_FALSE(std::filesystem::exists(core::CommitRecordPath(run)));
}

#ifndef _WIN32
TEST_F(RefreshTest, RefusedAtOnceWhileAnotherProgramRefreshes) {
    int ready[2];
    int done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::FileLock lock;
        const char ok = TryLockRefresh(m_dir / "run", lock) ? 'n' : 'y';
        static_cast<void>(::write(ready[1], &ok, 1));
        char end = 0;
        static_cast<void>(::read(done[0], &end, 1));
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');
    m_dir.WriteFile("root/a.jpg", "");
    const std::vector<std::string> before = Snapshot();
    RefreshReport report;
    ASSERT_EQ(m_refresher.Run(Request({m_dir / "root"}, 3), &report), StartOutcome::Started);
    EXPECT_EQ(report.end, RefreshEnd::AnotherRefreshRuns);
    EXPECT_EQ(Snapshot(), before) << "nothing written, not even the shard count";
    EXPECT_TRUE(m_activity.IsIdle());

    ASSERT_EQ(::write(done[1], "x", 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    RefreshReport after;
    ASSERT_EQ(m_refresher.Run(Request({m_dir / "root"}, 1), &after), StartOutcome::Started);
    EXPECT_EQ(after.end, RefreshEnd::Written);
    EXPECT_EQ(Count(1), "1");
    for (const int fd : {ready[0], ready[1], done[0], done[1]}) {
        ::close(fd);
    }
}
#else
// The refresh lock is per open of the lock file, so a lock this process holds
// stands in for another program's refresh (Windows has no fork to run one).
TEST_F(RefreshTest, RefusedAtOnceWhileAnotherProgramRefreshes) {
    m_dir.WriteFile("root/a.jpg", "");
    platform::FileLock other;
    ASSERT_FALSE(TryLockRefresh(m_dir / "run", other));
    const std::vector<std::string> before = Snapshot();
    RefreshReport report;
    ASSERT_EQ(m_refresher.Run(Request({m_dir / "root"}, 3), &report), StartOutcome::Started);
    EXPECT_EQ(report.end, RefreshEnd::AnotherRefreshRuns);
    EXPECT_EQ(Snapshot(), before) << "nothing written, not even the shard count";
    EXPECT_TRUE(m_activity.IsIdle());

    other.Unlock();
    RefreshReport after;
    ASSERT_EQ(m_refresher.Run(Request({m_dir / "root"}, 1), &after), StartOutcome::Started);
    EXPECT_EQ(after.end, RefreshEnd::Written);
    EXPECT_EQ(Count(1), "1");
}
#endif

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

#ifdef _WIN32
// Names in GBK, the code page of Chinese Windows, go into the shard byte for
// byte, with CR LF after each record. 0x95 0x5C is one character whose second
// byte is that of the backslash: the folder named with it gets one separator
// of its own after it, and the file named with it is one name.
TEST_F(RefreshTest, GbkNamesGoIntoTheShardAsTheSystemListsThem) {
    if (platform::ActiveCodePage() != platform::CodePage::Gbk) {
        GTEST_SKIP() << "needs the GBK code page (936)";
    }
    m_dir.MakeDirs("tree");
    // Made by the system's calls: TempDir's helpers split paths at every 0x5C.
    const std::string tree = m_dir / "tree";
    const std::string folder = tree + "\\\x95\x5C";
    const std::string top = tree +
                            "\\\xCB\xB3\xB7\xE1"
                            "SF1.jpg";  // 顺丰SF1.jpg
    const std::string inner = folder + "\\\x95\x5C.jpg";
    ASSERT_FALSE(platform::MakeDirectory(folder));
    ASSERT_FALSE(platform::WriteFileAndSync(top, ""));
    ASSERT_FALSE(platform::WriteFileAndSync(inner, ""));
    RefreshReport report;
    // The folder listed with a trailing separator too: walked once.
    ASSERT_EQ(m_refresher.Run(Request({tree, folder + "\\"}, 1), &report), StartOutcome::Started);
    EXPECT_EQ(report.end, RefreshEnd::Written);
    EXPECT_EQ(Shard(1), top + "\r\n" + inner + "\r\n");
    EXPECT_EQ(Count(1), "2");
    EXPECT_EQ(ReadShardRecords(m_dir / "run", 1, core::SettingsFile::InRunDirectory(m_dir / "run")),
              (std::vector<std::string>{top, inner}));
}
#endif

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
