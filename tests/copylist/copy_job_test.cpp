#include "copylist/copy_job.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <atomic>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "job_recorder.h"
#include "platform/file_copy.h"
#include "temp_dir.h"
#include "wine.h"
#ifndef _WIN32
#include "file_size_limit.h"
#endif

namespace cj::copylist {
namespace {

namespace fs = std::filesystem;

// Larger than two of the copy's chunks, so that a stop seen after the first
// chunk still cuts the file short.
const std::string LargeData((std::size_t{17} << 20) + 1, 'L');

class Recorder final : public CopyJobListener,
                       public test::JobRecorder<CopySummary, CopyProgressReport> {
  public:
    void OnCopyProgress(core::JobGeneration generation, CopyProgressReport report) override {
        RecordProgress(generation, std::move(report));
    }
    void OnCopyFinished(core::JobGeneration generation, CopySummary summary) override {
        RecordEnd(generation, std::move(summary));
    }
};

class CopyJobTest : public ::testing::Test {
  protected:
    // Writes n files src/f1.jpg .. src/fn.jpg and returns their paths.
    std::vector<std::string> MakeSources(int n) const {
        std::vector<std::string> paths;
        for (int i = 1; i <= n; ++i) {
            const std::string name = "src/f" + std::to_string(i) + ".jpg";
            m_dir.WriteFile(name, "photo " + std::to_string(i));
            paths.push_back(m_dir / name);
        }
        return paths;
    }
    bool Copied(int i) const { return fs::exists(m_dir / ("out/f" + std::to_string(i) + ".jpg")); }

    test::TempDir m_dir;
    Recorder m_recorder;
};

TEST_F(CopyJobTest, CopiesEveryEntryInOrderAndReportsEachFile) {
    const std::vector<std::string> sources = MakeSources(4);
    m_dir.WriteFile("src/big.bin", LargeData);
    std::vector<std::string> all = sources;
    all.push_back(m_dir / "src/big.bin");

    CopyJob job(m_recorder);
    m_recorder.isIdle = [&job] { return !job.IsRunning(); };
    const core::JobGeneration generation = job.Start(all, m_dir / "out");
    ASSERT_NE(generation, 0u);
    job.Wait();

    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(m_dir.ReadFile("out/f" + std::to_string(i) + ".jpg"),
                  "photo " + std::to_string(i));
    }
    EXPECT_EQ(m_dir.ReadFile("out/big.bin"), LargeData);

    const std::vector<Recorder::Step> steps = m_recorder.Steps();
    // Each file is announced at 0% before its copy, in list order; the large
    // one climbs to 100% through figures in between.
    std::vector<std::size_t> announced;
    for (const Recorder::Step& step : steps) {
        const CopyProgressReport& report = step.value;
        EXPECT_EQ(step.generation, generation);
        EXPECT_EQ(report.fileCount, 5u);
        if (report.percent == 0) {
            announced.push_back(report.fileNumber);
            EXPECT_EQ(report.source, all[report.fileNumber - 1]);
        }
    }
    EXPECT_EQ(announced, (std::vector<std::size_t>{1, 2, 3, 4, 5}));
    ASSERT_GE(steps.size(), 8u);
    EXPECT_EQ(steps.back().value.percent, 100);
    if (!test::RunningUnderWine()) {  // Wine's CopyFileExA tells nothing within a file.
        EXPECT_GT(steps[steps.size() - 2].value.percent, 0);
    }
    // The bytes climb to the list's total; the job's speed counts only what
    // it wrote.
    std::uint64_t total = LargeData.size();
    for (int i = 1; i <= 4; ++i) {
        total += ("photo " + std::to_string(i)).size();
    }
    for (std::size_t i = 1; i < steps.size(); ++i) {
        EXPECT_GE(steps[i].value.bytesDone, steps[i - 1].value.bytesDone);
        EXPECT_EQ(steps[i].value.bytesTotal, total);
    }
    EXPECT_EQ(steps.back().value.bytesDone, total);
    EXPECT_EQ(steps.back().value.bytesCopied, total);

    const std::vector<Recorder::End> ends = m_recorder.Ends();
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0].generation, generation);
    EXPECT_EQ(ends[0].progressBefore, steps.size());
    const CopySummary& summary = ends[0].outcome;
    EXPECT_EQ(summary.copied, 5u);
    EXPECT_EQ(summary.skippedExisting + summary.failed + summary.notTried, 0u);
    EXPECT_FALSE(summary.stopped);
    EXPECT_TRUE(ends[0].idle) << "the job must be idle when it reports its end";
}

TEST_F(CopyJobTest, SameFileNameTwiceCopiesTheFirstAndSkipsTheSecond) {
    m_dir.WriteFile("a/SF1.jpg", "from a");
    m_dir.WriteFile("b/SF1.jpg", "from b");
    const CopySummary summary =
        CopyFiles({m_dir / "a/SF1.jpg", m_dir / "b/SF1.jpg"}, m_dir / "out");
    EXPECT_EQ(m_dir.ReadFile("out/SF1.jpg"), "from a");
    EXPECT_EQ(summary.copied, 1u);
    EXPECT_EQ(summary.skippedExisting, 1u);
    ASSERT_EQ(summary.notCopied.size(), 1u);
    EXPECT_EQ(summary.notCopied[0].source, m_dir / "b/SF1.jpg");
    EXPECT_EQ(summary.notCopied[0].error, std::errc::file_exists);
}

TEST_F(CopyJobTest, KeepBothCopiesASecondFileOfTheSameNameUnderTheNextNumber) {
    m_dir.WriteFile("a/SF1.jpg", "from a");
    m_dir.WriteFile("b/SF1.jpg", "from b");
    m_dir.WriteFile("c/SF1.jpg", "from c");
    m_dir.WriteFile("out/SF1 (2).jpg", "the user's own");
    const std::vector<std::string> sources = {m_dir / "a/SF1.jpg", m_dir / "b/SF1.jpg",
                                              m_dir / "c/SF1.jpg"};
    CopyJob job(m_recorder);
    ASSERT_NE(job.Start(sources, m_dir / "out", core::SameNameRule::KeepBoth), 0u);
    job.Wait();
    EXPECT_EQ(m_dir.ReadFile("out/SF1.jpg"), "from a");
    EXPECT_EQ(m_dir.ReadFile("out/SF1 (2).jpg"), "the user's own") << "nothing replaced";
    EXPECT_EQ(m_dir.ReadFile("out/SF1 (3).jpg"), "from b");
    EXPECT_EQ(m_dir.ReadFile("out/SF1 (4).jpg"), "from c");
    const std::vector<Recorder::End> ends = m_recorder.Ends();
    ASSERT_EQ(ends.size(), 1u);
    const CopySummary& summary = ends[0].outcome;
    EXPECT_EQ(summary.copied, 3u);
    EXPECT_TRUE(summary.notCopied.empty());
    ASSERT_EQ(summary.renamed.size(), 2u);
    EXPECT_EQ(summary.renamed[1].source, m_dir / "c/SF1.jpg");
    EXPECT_EQ(summary.renamed[1].target, m_dir / "out/SF1 (4).jpg");

    // The same list again: each file finds its earlier copy and is skipped,
    // where a plain rule would keep numbering copies of copies.
    ASSERT_NE(job.Start(sources, m_dir / "out", core::SameNameRule::KeepBoth), 0u);
    job.Wait();
    const std::vector<Recorder::End> both = m_recorder.Ends();
    ASSERT_EQ(both.size(), 2u);
    const CopySummary& again = both[1].outcome;
    EXPECT_EQ(again.copied, 0u);
    EXPECT_EQ(again.skippedExisting, 3u);
    EXPECT_FALSE(fs::exists(m_dir / "out/SF1 (5).jpg"));
}

TEST_F(CopyJobTest, NeverReplacesAnExistingTarget) {
    const std::vector<std::string> sources = MakeSources(3);
    m_dir.WriteFile("out/f2.jpg", "the user's own");
    const CopySummary summary = CopyFiles(sources, m_dir / "out");
    EXPECT_EQ(m_dir.ReadFile("out/f2.jpg"), "the user's own");
    EXPECT_TRUE(Copied(1));
    EXPECT_TRUE(Copied(3));
    EXPECT_EQ(summary.copied, 2u);
    EXPECT_EQ(summary.skippedExisting, 1u);
}

TEST_F(CopyJobTest, EveryFileNotCopiedIsListedWithItsReason) {
    std::vector<std::string> sources = MakeSources(2);
    sources.insert(sources.begin() + 1, m_dir / "src/gone.jpg");
    m_dir.MakeDirs("src/folder.jpg");
    sources.push_back(m_dir / "src/folder.jpg");
#ifndef _WIN32
    const std::string fifo = m_dir / "src/pipe.jpg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    sources.push_back(fifo);  // No writer: opening it for reading would block.
#endif

    const CopySummary summary = CopyFiles(sources, m_dir / "out");
    EXPECT_TRUE(Copied(1));
    EXPECT_TRUE(Copied(2));
    EXPECT_EQ(summary.copied, 2u);
#ifndef _WIN32
    EXPECT_EQ(summary.failed, 3u);
    ASSERT_EQ(summary.notCopied.size(), 3u);
#else
    EXPECT_EQ(summary.failed, 2u);
    ASSERT_EQ(summary.notCopied.size(), 2u);
#endif
    EXPECT_EQ(summary.notCopied[0].source, m_dir / "src/gone.jpg");
    EXPECT_EQ(summary.notCopied[0].target, m_dir / "out/gone.jpg");
    EXPECT_EQ(summary.notCopied[0].error, std::errc::no_such_file_or_directory);
    EXPECT_EQ(summary.notCopied[1].error, platform::CopyError::NotRegularFile);
#ifndef _WIN32
    EXPECT_EQ(summary.notCopied[2].source, fifo);
    EXPECT_EQ(summary.notCopied[2].error, platform::CopyError::NotRegularFile);
    EXPECT_FALSE(fs::exists(m_dir / "out/pipe.jpg"));
#endif
}

#ifndef _WIN32
TEST_F(CopyJobTest, FullDiskLeavesNoPartialFileAndGoesOn) {
    const std::vector<std::string> small = MakeSources(2);
    m_dir.WriteFile("src/big.bin", std::string(1 << 20, 'b'));
    m_dir.MakeDirs("out");
    CopySummary summary;
    {
        const test::FileSizeLimit limit(64 * 1024);
        ASSERT_TRUE(limit.IsSet());
        summary = CopyFiles({small[0], m_dir / "src/big.bin", small[1]}, m_dir / "out");
    }
    EXPECT_TRUE(Copied(1));
    EXPECT_TRUE(Copied(2));
    EXPECT_FALSE(fs::exists(m_dir / "out/big.bin"));
    EXPECT_EQ(summary.copied, 2u);
    EXPECT_EQ(summary.failed, 1u);
    ASSERT_EQ(summary.notCopied.size(), 1u);
    EXPECT_EQ(summary.notCopied[0].error, std::errc::file_too_large);
}
#endif

// -- The target folder.

TEST_F(CopyJobTest, MissingTargetFolderIsCreatedThenFilled) {
    const CopySummary summary = CopyFiles(MakeSources(2), m_dir / "new");
    EXPECT_TRUE(fs::exists(m_dir / "new/f1.jpg"));
    EXPECT_TRUE(fs::exists(m_dir / "new/f2.jpg"));
    EXPECT_EQ(summary.copied, 2u);
}

// A folder that could not be made was never named: each file said "No such
// file or directory" as if its source had gone. The folder is named with its
// reason, and no file is tried.
TEST_F(CopyJobTest, TargetFolderThatCannotBeMadeIsNamedWithItsReason) {
    m_dir.WriteFile("taken", "a file under the folder's name");
    const struct {
        const char* folder;
        std::errc error;
    } cases[] = {
        {"a/b", std::errc::no_such_file_or_directory},  // Two missing levels: none made.
        {"taken", std::errc::not_a_directory},
    };
    const std::vector<std::string> sources = MakeSources(3);
    for (const auto& c : cases) {
        const CopySummary summary = CopyFiles(sources, m_dir / c.folder);
        EXPECT_EQ(summary.targetFolder, m_dir / c.folder);
        EXPECT_EQ(summary.folderError, c.error) << c.folder;
        EXPECT_EQ(summary.copied, 0u);
        EXPECT_EQ(summary.failed, 3u);
        EXPECT_EQ(summary.notCopied.size(), 3u);
    }
    EXPECT_FALSE(fs::exists(m_dir / "a"));
}

TEST_F(CopyJobTest, OrphanedTemporaryInTheTargetIsRemovedAndTheFileCopiedAgain) {
    // What a copy killed half-way through f1.jpg leaves.
    m_dir.WriteFile("out/.cjcopy-00000000000000aa.part", "phot");
    const CopySummary summary = CopyFiles(MakeSources(1), m_dir / "out");
    EXPECT_EQ(summary.copied, 1u);
    EXPECT_EQ(m_dir.ReadFile("out/f1.jpg"), "photo 1");
    EXPECT_FALSE(fs::exists(m_dir / "out/.cjcopy-00000000000000aa.part"));
}

// The command line copied standard input a group at a time, each group a
// job of its own: the target folder was swept and flushed once per group of
// 1,024 paths. One session now spans the groups; the sweep runs before the
// first only, so a temporary that appears later belongs to a live copy.
TEST_F(CopyJobTest, ASessionMakesTheFolderReadyOnceAndCountsEveryGroup) {
    const std::vector<std::string> sources = MakeSources(3);
    CopySession session(m_dir / "out", nullptr);
    session.Copy({sources[0]});
    m_dir.WriteFile("out/.cjcopy-00000000000000bb.part", "phot");
    session.Copy({sources[1], sources[0]});
    session.Refuse("line 9", std::make_error_code(std::errc::illegal_byte_sequence));
    const CopySummary summary = session.Finish();
    EXPECT_EQ(summary.copied, 2u);
    EXPECT_EQ(summary.skippedExisting, 1u);
    EXPECT_EQ(summary.failed, 1u);
    EXPECT_TRUE(fs::exists(m_dir / "out/.cjcopy-00000000000000bb.part"));
    ASSERT_EQ(summary.notCopied.size(), 2u);
    EXPECT_EQ(summary.notCopied[1].source, "line 9");

    // A folder that cannot take files fails every group, each file named.
    m_dir.WriteFile("file", "x");
    CopySession blocked(m_dir / "file", nullptr);
    blocked.Copy({sources[0]});
    blocked.Copy({sources[1], sources[2]});
    const CopySummary failed = blocked.Finish();
    EXPECT_EQ(failed.failed, 3u);
    EXPECT_EQ(failed.folderError, std::errc::not_a_directory);
}

// -- Stopping.

// "停止复制" waited for the file being copied to end (seconds for a large
// video, minutes on a slow stick), and the report only counted the files it
// left. It now stops within the file, removes what was written of it, and
// names every file not copied.
TEST_F(CopyJobTest, StopWithinTheThirdOfTenFilesRemovesItAndNamesTheRest) {
    if (test::RunningUnderWine()) {
        GTEST_SKIP() << "Wine's CopyFileExA reports no progress within a file and ignores a cancel";
    }
    std::vector<std::string> sources = MakeSources(10);
    m_dir.WriteFile("src/f3.jpg", LargeData);
    CopyJob job(m_recorder);
    m_recorder.onProgress = [&](const CopyProgressReport& report) {
        // After the first chunk of the large file is on disk.
        if (report.fileNumber == 3 && report.percent > 0) {
            job.RequestStop();
        }
    };
    ASSERT_NE(job.Start(sources, m_dir / "out"), 0u);
    job.Wait();
    for (int i = 1; i <= 10; ++i) {
        EXPECT_EQ(Copied(i), i <= 2) << "file " << i;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "out"), fs::directory_iterator()), 2)
        << "no temporary is left";
    const std::vector<Recorder::End> ends = m_recorder.Ends();
    ASSERT_EQ(ends.size(), 1u);
    const CopySummary& summary = ends[0].outcome;
    EXPECT_EQ(summary.copied, 2u);
    EXPECT_EQ(summary.notTried, 8u);
    EXPECT_EQ(summary.failed, 0u);
    EXPECT_TRUE(summary.stopped);
    ASSERT_EQ(summary.notCopied.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(summary.notCopied[i].source, sources[i + 2]);
        EXPECT_EQ(summary.notCopied[i].error, std::errc::operation_canceled);
    }
}

TEST_F(CopyJobTest, CommandLineStopFlagSetBeforeTheRunCopiesNothing) {
    std::atomic<bool> stop{true};
    const CopySummary none = CopyFiles(MakeSources(2), m_dir / "out", &stop);
    EXPECT_EQ(none.notTried, 2u);
    EXPECT_TRUE(none.stopped);
    EXPECT_FALSE(Copied(1));
}

TEST_F(CopyJobTest, EmptyListFinishesAtOnceWithNothingDone) {
    CopyJob job(m_recorder);
    const core::JobGeneration generation = job.Start({}, m_dir / "out");
    ASSERT_NE(generation, 0u);
    job.Wait();
    EXPECT_TRUE(m_recorder.Steps().empty());
    const std::vector<Recorder::End> ends = m_recorder.Ends();
    ASSERT_EQ(ends.size(), 1u);
    const CopySummary& summary = ends[0].outcome;
    EXPECT_EQ(summary.copied + summary.skippedExisting + summary.failed + summary.notTried, 0u);
    EXPECT_FALSE(summary.stopped);
}

TEST_F(CopyJobTest, StartWhileRunningIsRefusedAndTheNextJobGetsANewGeneration) {
    CopyJob job(m_recorder);
    core::JobGeneration second = 99;
    m_recorder.onProgress = [&](const CopyProgressReport& report) {
        if (report.fileNumber == 1 && report.percent == 0) {
            second = job.Start({m_dir / "src/f2.jpg"}, m_dir / "other");
        }
    };
    const std::vector<std::string> sources = MakeSources(2);
    const core::JobGeneration first = job.Start({sources[0]}, m_dir / "out");
    job.Wait();
    EXPECT_EQ(second, 0u);
    EXPECT_FALSE(fs::exists(m_dir / "other"));

    m_recorder.onProgress = nullptr;
    const core::JobGeneration third = job.Start({sources[1]}, m_dir / "out");
    job.Wait();
    EXPECT_GT(third, first);
    EXPECT_TRUE(Copied(2));
    const std::vector<Recorder::End> ends = m_recorder.Ends();
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_EQ(ends[1].generation, third);
}

}  // namespace
}  // namespace cj::copylist
