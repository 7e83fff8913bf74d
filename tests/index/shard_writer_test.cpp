#include "index/shard_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/data_paths.h"
#include "core/settings_file.h"
#ifndef _WIN32
#include "file_size_limit.h"
#endif
#include "index/index_commit.h"
#include "index/shard_file.h"
#include "temp_dir.h"

namespace cj::index {
namespace {

namespace fs = std::filesystem;

class ShardWriterTest : public ::testing::Test {
  protected:
    ShardWriterTest() { m_dir.MakeDirs("data"); }

    std::string Run() const { return m_dir.Path(); }
    bool NewShardExists(int n) const { return fs::exists(core::NewShardPath(Run(), n)); }
    std::string NewShard(int n) const {
        return m_dir.ReadFile("data/" + std::to_string(n) + ".txt.new");
    }
    std::string Shard(int n) const { return m_dir.ReadFile("data/" + std::to_string(n) + ".txt"); }

    // Paths of varied lengths, some with multibyte names, enough of them to
    // fill several pieces of every shard.
    static std::vector<std::string> Paths(std::size_t count) {
        std::mt19937 random(7);
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < count; ++i) {
            paths.push_back("/仓库/" + std::string(random() % 200, 'd') + "/SF" +
                            std::to_string(random()) + (i % 3 == 0 ? "-扫描.jpg" : ".jpg"));
        }
        return paths;
    }

    test::TempDir m_dir;
};

// The writer deals and writes in pieces; the files must hold exactly what the
// in-memory deal holds, however the pieces fell.
TEST_F(ShardWriterTest, FilesHoldTheBytesOfTheInMemoryDeal) {
    for (const auto& [shardCount, records] :
         std::vector<std::pair<int, std::size_t>>{{2, 40000}, {3, 12345}, {12, 5}, {1, 0}}) {
        SCOPED_TRACE(shardCount);
        fs::remove_all(m_dir / "data");
        m_dir.MakeDirs("data");
        const std::vector<std::string> paths = Paths(records);
        ShardSet expected(shardCount);
        {
            ShardWriter writer(Run(), shardCount);
            for (const std::string& path : paths) {
                expected.Add(path);
                writer.Add(path);
            }
            ASSERT_TRUE(writer.TryFinish().empty());
            for (int n = 1; n <= shardCount; ++n) {
                EXPECT_EQ(writer.Count(n), expected.Count(n));
            }
        }
        for (int n = 1; n <= shardCount; ++n) {
            ASSERT_TRUE(NewShardExists(n)) << n;  // Kept for the commit once finished.
            EXPECT_EQ(NewShard(n), expected.Buffer(n)) << n;
        }
        EXPECT_FALSE(NewShardExists(shardCount + 1));
    }
}

// A refresh that stops before its commit (a listed folder missing, out of
// memory) must leave nothing of its new shards behind, whether or not any
// piece had been written yet.
TEST_F(ShardWriterTest, UnfinishedWriterRemovesItsFiles) {
    {
        ShardWriter writer(Run(), 2);
        writer.Add("/a.jpg");
        EXPECT_FALSE(NewShardExists(1));  // Nothing is created before the first piece.
    }
    {
        ShardWriter writer(Run(), 2);
        for (const std::string& path : Paths(20000)) {
            writer.Add(path);
        }
        EXPECT_TRUE(NewShardExists(1));
        EXPECT_TRUE(NewShardExists(2));
    }
    EXPECT_FALSE(NewShardExists(1));
    EXPECT_FALSE(NewShardExists(2));
}

TEST_F(ShardWriterTest, FailureToCreateAShardIsReportedAndTheOthersRemoved) {
    m_dir.MakeDirs("data/2.txt.new");
    ShardWriter writer(Run(), 3);
    for (const std::string& path : Paths(30000)) {
        writer.Add(path);  // Goes on dealing after the failure.
    }
    EXPECT_EQ(writer.Count(3), 10000U);
    const std::vector<ShardFailure> failures = writer.TryFinish();
    ASSERT_EQ(failures.size(), 1U);
    EXPECT_EQ(failures[0].shard, 2);
    EXPECT_EQ(failures[0].path, core::NewShardPath(Run(), 2));
    EXPECT_EQ(failures[0].error, std::errc::is_a_directory);
    EXPECT_FALSE(NewShardExists(1));
    EXPECT_FALSE(NewShardExists(3));
    EXPECT_TRUE(fs::is_directory(core::NewShardPath(Run(), 2)));  // Not ours to remove.
}

#ifndef _WIN32
// A piece written while the walk still runs can fail (a full disk, here a
// file-size limit); the failure waits for TryFinish, and the commit then
// leaves the previous index as it was. Linux only: Windows has no per-process
// file-size limit to stand in for the full disk.
TEST_F(ShardWriterTest, PieceThatCannotBeWrittenFailsTheCommitAndKeepsTheOldIndex) {
    {
        ShardSet old(2);
        old.Add("/old/a.jpg");
        ASSERT_TRUE(TryCommitShards(old, Run()).empty());
    }
    const std::string config = m_dir.ReadFile("data/chengjing.ini");
    ShardWriter writer(Run(), 2);
    std::optional<std::vector<ShardFailure>> failures;
    {
        const test::FileSizeLimit fullDisk(300 * 1024);
        ASSERT_TRUE(fullDisk.IsSet());
        for (const std::string& path : Paths(40000)) {
            writer.Add(path);
        }
        failures = TryCommitShards(writer);
    }
    ASSERT_EQ(failures->size(), 1U);
    EXPECT_EQ((*failures)[0].error, std::errc::file_too_large);
    EXPECT_EQ((*failures)[0].path, core::NewShardPath(Run(), (*failures)[0].shard));
    EXPECT_EQ(Shard(1), "/old/a.jpg\r\n");
    EXPECT_EQ(Shard(2), "");
    EXPECT_EQ(m_dir.ReadFile("data/chengjing.ini"), config);
    EXPECT_FALSE(NewShardExists(1));
    EXPECT_FALSE(NewShardExists(2));
}
#endif

// The commit checks that it can replace every target before it uses the
// files the writer made during the walk; when it cannot, they go.
TEST_F(ShardWriterTest, CommitThatCannotReplaceAShardRemovesTheWrittenShards) {
    m_dir.MakeDirs("data/2.txt");
    ShardWriter writer(Run(), 2);
    for (const std::string& path : Paths(20000)) {
        writer.Add(path);
    }
    ASSERT_TRUE(NewShardExists(1));
    const std::vector<ShardFailure> failures = TryCommitShards(writer);
    ASSERT_EQ(failures.size(), 1U);
    EXPECT_EQ(failures[0].shard, 2);
    EXPECT_EQ(failures[0].path, core::ShardPath(Run(), 2));
    EXPECT_EQ(failures[0].error, std::errc::is_a_directory);
    EXPECT_FALSE(NewShardExists(1));
    EXPECT_FALSE(NewShardExists(2));
}

TEST_F(ShardWriterTest, CommitMakesTheWrittenShardsTheIndex) {
    const std::vector<std::string> paths = Paths(25000);
    ShardSet expected(3);
    ShardWriter writer(Run(), 3);
    for (const std::string& path : paths) {
        expected.Add(path);
        writer.Add(path);
    }
    ASSERT_TRUE(TryCommitShards(writer).empty());
    const auto settings = core::SettingsFile::InRunDirectory(Run());
    EXPECT_EQ(
        settings.ReadShardCounts(3),
        (std::vector<std::uint64_t>{expected.Count(1), expected.Count(2), expected.Count(3)}));
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(Shard(n), expected.Buffer(n));
        EXPECT_FALSE(NewShardExists(n));
    }
    EXPECT_FALSE(fs::exists(core::CommitRecordPath(Run())));
}

}  // namespace
}  // namespace cj::index
