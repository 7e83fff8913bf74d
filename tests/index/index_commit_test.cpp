#include "index/index_commit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/data_lock.h"
#include "core/data_paths.h"
#include "core/event_log.h"
#include "core/settings_file.h"
#include "index/commit_record.h"
#include "index/shard_writer.h"
#include "platform/files.h"
#include "temp_dir.h"
#ifndef _WIN32
#include <unistd.h>

#include "file_size_limit.h"
#endif

namespace cj::index {
namespace {

namespace fs = std::filesystem;
using Index = std::vector<std::vector<std::string>>;  // The records of each shard.

ShardSet Deal(const std::vector<std::string>& records, int shardCount) {
    ShardSet set(shardCount);
    for (const std::string& record : records) {
        set.Add(record);
    }
    return set;
}

class IndexCommit : public ::testing::Test {
  protected:
    IndexCommit() : m_settings(core::SettingsFile::InRunDirectory(m_dir / "run")) {
        m_dir.MakeDirs("run/data");
    }

    std::string Run() const { return m_dir / "run"; }
    std::string Data(std::string_view name) const {
        return m_dir / ("run/data/" + std::string(name));
    }

    // The index as a search reads it: under the read lock, with the counts.
    Index Read() const {
        const IndexReadLock lock(Run(), 0);
        Index index;
        for (const ShardView& shard : lock.Shards()) {
            std::string bytes;
            static_cast<void>(platform::ReadWholeFile(shard.path, bytes));
            std::vector<std::string> records;
            ForEachRecord(ShardText(bytes), shard.count, [&](std::string_view record) {
                records.emplace_back(record);
                return true;
            });
            index.push_back(std::move(records));
        }
        return index;
    }
    // The data folder's entries, sorted, without the lock file.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir / "run/data")) {
            if (entry.path().filename() != ".chengjing.lock") {
                names.push_back(entry.path().filename().string());
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    void Commit(const std::vector<std::string>& records, int shardCount) const {
        ASSERT_TRUE(TryCommitShards(Deal(records, shardCount), Run()).empty());
    }

    test::TempDir m_dir;
    core::SettingsFile m_settings;
};

const std::vector<std::string> Old = {"/old/1", "/old/2", "/old/3", "/old/4"};
const std::vector<std::string> New = {"/new/1", "/new/2", "/new/3", "/new/4", "/new/5"};
const Index OldInTwo = {{"/old/1", "/old/3"}, {"/old/2", "/old/4"}};
const Index NewInThree = {{"/new/1", "/new/4"}, {"/new/2", "/new/5"}, {"/new/3"}};

TEST_F(IndexCommit, WritesShardsCountsAndThreadCountAndNothingElse) {
    ASSERT_EQ(m_settings.TrySaveThreadCount("2"), std::error_code());
    Commit(Old, 2);
    EXPECT_EQ(Read(), OldInTwo);
    Commit(New, 3);
    EXPECT_EQ(Read(), NewInThree);
    EXPECT_EQ(m_settings.ReadThreadCount().text, "3");
    EXPECT_EQ(m_settings.ReadShardCounts(4), (std::vector<std::uint64_t>{2, 2, 1, 0}));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"1.txt", "2.txt", "3.txt", "chengjing.ini"}));
}

TEST_F(IndexCommit, FewerShardsTakeTheOldOnesAndTheirCountsAway) {
    Commit(New, 3);
    m_dir.WriteFile("run/data/7.txt", "/from/an/older/index\r\n");
    Commit(Old, 2);
    EXPECT_EQ(Read(), OldInTwo);
    EXPECT_EQ(m_settings.ReadThreadCount().text, "2");
    EXPECT_EQ(m_settings.ReadShardCount(3), 0U);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"1.txt", "2.txt", "chengjing.ini"}));
}

#ifndef _WIN32
// A refresh removed data/2.txt.new with the leftovers, then opened that name
// again and truncated it, following links: a link planted in between had the
// shard overwrite the file it led to. The link must go, its file stay, and
// the commit hold the whole new index.
TEST_F(IndexCommit, PlantedNewShardLinkIsReplacedNotWrittenThrough) {
    m_dir.WriteFile("victim", "victim");
    ASSERT_EQ(::symlink((m_dir / "victim").c_str(), Data("2.txt.new").c_str()), 0);
    ShardWriter writer(Run(), 2);
    for (const std::string& record : Old) {
        writer.Add(record);
    }
    ASSERT_TRUE(TryCommitShards(writer).empty());
    EXPECT_EQ(Read(), OldInTwo);
    EXPECT_EQ(m_dir.ReadFile("victim"), "victim");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"1.txt", "2.txt", "chengjing.ini"}));
}
#endif

// Going from three shards to one used to remove the old shards first; one
// that could not be removed stopped the change half-way, the index gone. Now
// the old shards go after the commit, and one that stays has no count.
TEST_F(IndexCommit, OldShardThatCannotBeRemovedIsNeverReadAgain) {
    Commit(New, 3);
    fs::remove(Data("2.txt"));
    m_dir.WriteFile("run/data/2.txt/keep", "x");
    Commit(Old, 1);
    EXPECT_EQ(Read(), (Index{Old}));
    EXPECT_EQ(m_settings.ReadShardCount(2), 0U);
    EXPECT_EQ(m_dir.ReadFile("run/data/2.txt/keep"), "x");
}

// A shard that could not be written used to leave the shards before it new
// and the ones after it old: an index that was neither. Every check and every
// new shard now comes before anything a reader sees.
TEST_F(IndexCommit, ShardThatCannotBeWrittenKeepsTheWholeOldIndex) {
    struct Case {
        const char* squatted;  // A folder holds this name.
        int shard;
        std::errc error;
    };
    const Case cases[] = {
        {"3.txt.new", 3, std::errc::is_a_directory},
        {"2.txt", 2, std::errc::is_a_directory},
        {"commit.txt", 0, std::errc::is_a_directory},
    };
    for (const Case& c : cases) {
        Commit(Old, 2);
        fs::remove(Data(c.squatted));
        m_dir.MakeDirs(std::string("run/data/") + c.squatted + "/keep");
        const std::string config = m_dir.ReadFile("run/data/chengjing.ini");

        const std::vector<ShardFailure> failures = TryCommitShards(Deal(New, 3), Run());
        ASSERT_EQ(failures.size(), 1U) << c.squatted;
        EXPECT_EQ(failures[0].shard, c.shard) << c.squatted;
        EXPECT_EQ(failures[0].path, Data(c.squatted));
        EXPECT_EQ(failures[0].error, c.error) << c.squatted;
        EXPECT_EQ(m_dir.ReadFile("run/data/1.txt"), "/old/1\r\n/old/3\r\n") << c.squatted;
        EXPECT_EQ(m_dir.ReadFile("run/data/chengjing.ini"), config) << c.squatted;
        for (const char* name : {"1.txt.new", "2.txt.new", "commit.txt"}) {
            EXPECT_TRUE(name == std::string_view(c.squatted) || !fs::exists(Data(name)))
                << c.squatted << ": " << name;
        }
        fs::remove_all(Data(c.squatted));
    }
    Commit(Old, 2);
    EXPECT_EQ(Read(), OldInTwo);
}

TEST_F(IndexCommit, NoDataFolderWritesNothing) {
    fs::remove_all(m_dir / "run/data");
    const std::vector<ShardFailure> failures = TryCommitShards(Deal(New, 1), Run());
    ASSERT_EQ(failures.size(), 1U);
    EXPECT_EQ(failures[0].error, std::errc::no_such_file_or_directory);
    EXPECT_FALSE(fs::exists(m_dir / "run/data"));
}

#ifndef _WIN32
// The counts are the last thing a failed commit can still take back: when
// their file cannot be written (here a file-size limit stands in for a full
// disk, the configuration being the largest file), the new shards go and the
// old index stays whole. Linux only: Windows has no per-process file-size
// limit.
TEST_F(IndexCommit, CountsThatCannotBeWrittenTakeTheCommitBack) {
    Commit(Old, 2);
    ASSERT_EQ(m_settings.TrySaveCopyTarget("/" + std::string(8000, 'x')), std::error_code());
    const std::string config = m_dir.ReadFile("run/data/chengjing.ini");

    std::vector<ShardFailure> failures;
    {
        const test::FileSizeLimit fullDisk(4096);
        ASSERT_TRUE(fullDisk.IsSet());
        failures = TryCommitShards(Deal(New, 3), Run());
    }

    ASSERT_EQ(failures.size(), 1U);
    EXPECT_EQ(failures[0].path, m_settings.Path());
    EXPECT_EQ(failures[0].error, std::errc::file_too_large);
    EXPECT_EQ(m_dir.ReadFile("run/data/chengjing.ini"), config);
    EXPECT_EQ(Read(), OldInTwo);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"1.txt", "2.txt", "chengjing.ini"}));
}
#endif

// A commit killed after its record: the renames and counts it had not done
// yet are done by the next reader or start, whatever point it stopped at.
class InterruptedCommit : public IndexCommit {
  public:
    enum class Stop { AfterRecord, AfterCountsAndOneRename, AfterEverythingButTheRecord };

  protected:
    // The old index of two shards, then a commit of three stopped at stop.
    void Interrupt(Stop stop) {
        ASSERT_EQ(m_settings.TrySaveThreadCount("2"), std::error_code());
        Commit(Old, 2);
        const ShardSet set = Deal(New, 3);
        CommitRecord record;
        record.oldShardCount = 2;
        record.threadCount = 3;
        for (int n = 1; n <= 3; ++n) {
            ASSERT_FALSE(platform::WriteFileAndSync(core::NewShardPath(Run(), n), set.Buffer(n)));
            record.counts.push_back(set.Count(n));
        }
        ASSERT_FALSE(platform::WriteWholeFileAtomic(core::CommitRecordPath(Run()),
                                                    FormatCommitRecord(record)));
        if (stop == Stop::AfterRecord) {
            return;
        }
        ASSERT_FALSE(m_settings.TryWriteIndexCounts(record.counts, 3));
        const int renamed = stop == Stop::AfterCountsAndOneRename ? 1 : 3;
        for (int n = 1; n <= renamed; ++n) {
            fs::rename(core::NewShardPath(Run(), n), core::ShardPath(Run(), n));
        }
    }
    void ExpectTheNewIndexAlone() const {
        EXPECT_EQ(Read(), NewInThree);
        EXPECT_EQ(m_settings.ReadThreadCount().text, "3");
        EXPECT_EQ(Entries(),
                  (std::vector<std::string>{"1.txt", "2.txt", "3.txt", "chengjing.ini"}));
    }
};

const InterruptedCommit::Stop Stops[] = {InterruptedCommit::Stop::AfterRecord,
                                         InterruptedCommit::Stop::AfterCountsAndOneRename,
                                         InterruptedCommit::Stop::AfterEverythingButTheRecord};

TEST_F(InterruptedCommit, NextReaderFinishesItAndReadsTheNewIndex) {
    for (const Stop stop : Stops) {
        Interrupt(stop);
        EXPECT_EQ(Read(), NewInThree) << static_cast<int>(stop);
        ExpectTheNewIndexAlone();
    }
}

TEST_F(InterruptedCommit, StartFinishesIt) {
    for (const Stop stop : Stops) {
        Interrupt(stop);
        EXPECT_TRUE(RecoverIndex(Run()).empty());
        EXPECT_FALSE(fs::exists(core::CommitRecordPath(Run()))) << static_cast<int>(stop);
        ExpectTheNewIndexAlone();
    }
}

// When nobody can finish the commit (here the configuration file's name is
// held by a folder, so no count can be written), readers still read the new
// index, through the record. The reader's failure to finish it used to be
// dropped without a trace; it now leaves a line in the log.
TEST_F(InterruptedCommit, ReaderThatCannotFinishItReadsThroughTheRecord) {
    Interrupt(Stop::AfterCountsAndOneRename);
    fs::remove(m_settings.Path());
    m_dir.MakeDirs("run/data/chengjing.ini/keep");
    core::SetLogRunDirectory(Run());
    EXPECT_EQ(Read(), NewInThree);
    core::SetLogRunDirectory("");
    EXPECT_NE(m_dir.ReadFile("run/data/chengjing.log").find(m_settings.Path()), std::string::npos);
    fs::remove(Data("chengjing.log"));
    const std::vector<ShardFailure> failures = RecoverIndex(Run());
    ASSERT_EQ(failures.size(), 1U);
    EXPECT_EQ(failures[0].path, m_settings.Path());
    EXPECT_TRUE(fs::exists(core::NewShardPath(Run(), 2))) << "the record's shards stay";
    EXPECT_EQ(Read(), NewInThree);
}

TEST_F(InterruptedCommit, StartWhileAnotherProgramRefreshesOnlyFinishesIt) {
    Interrupt(Stop::AfterRecord);
    m_dir.WriteFile("run/data/.3.txt.tmp-Ab12Cd", "");  // Perhaps that refresh's.
    platform::FileLock refreshing;
    ASSERT_FALSE(TryLockRefresh(Run(), refreshing));
    EXPECT_TRUE(RecoverIndex(Run()).empty());
    EXPECT_TRUE(fs::exists(Data(".3.txt.tmp-Ab12Cd")));
    EXPECT_EQ(Read(), NewInThree);
    refreshing.Unlock();
    EXPECT_TRUE(RecoverIndex(Run()).empty());
    ExpectTheNewIndexAlone();
}

// Without a record, new shards are a commit that never happened.
TEST_F(IndexCommit, NewShardsWithoutARecordAreIgnoredAndThenRemoved) {
    Commit(Old, 2);
    m_dir.WriteFile("run/data/1.txt.new", "/never/committed\r\n");
    m_dir.WriteFile("run/data/.commit.txt.tmp-Ab12Cd", "chengjing index commit\r\n");
    m_dir.WriteFile("run/data/.2.txt.tmp-Ab12Cd", "/half");
    m_dir.WriteFile("run/data/.chengjing.ini.tmp-Ab12Cd", "[syjs]\r\n");
    m_dir.WriteFile("run/data/Backup.txt", "kept");
    m_dir.WriteFile("run/data/01.txt.new", "not a shard's");
    EXPECT_EQ(Read(), OldInTwo);
    EXPECT_TRUE(RecoverIndex(Run()).empty());
    EXPECT_EQ(Read(), OldInTwo);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"01.txt.new", "1.txt", "2.txt", "Backup.txt",
                                                   "chengjing.ini"}));
}

// A record damaged from outside can be neither trusted nor finished.
TEST_F(IndexCommit, DamagedRecordIsIgnoredAndThenRemoved) {
    Commit(Old, 2);
    m_dir.WriteFile("run/data/commit.txt", "chengjing index commit\r\nshards=3\r\n");
    m_dir.WriteFile("run/data/1.txt.new", "/never/committed\r\n");
    EXPECT_EQ(Read(), OldInTwo);
    EXPECT_TRUE(RecoverIndex(Run()).empty());
    EXPECT_EQ(Read(), OldInTwo);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"1.txt", "2.txt", "chengjing.ini"}));
}

}  // namespace
}  // namespace cj::index
