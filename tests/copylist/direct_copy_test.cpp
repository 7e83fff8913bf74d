#include "copylist/direct_copy.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "job_recorder.h"
#include "temp_dir.h"
#include "wine.h"

namespace cj::copylist {
namespace {

namespace fs = std::filesystem;

class Recorder final : public DirectCopyListener, public test::JobRecorder<CopySummary> {
  public:
    void OnDirectCopyProgress(core::JobGeneration generation, int percent) override {
        RecordProgress(generation, percent);
    }
    void OnDirectCopyFinished(core::JobGeneration generation, CopySummary summary) override {
        RecordEnd(generation, std::move(summary));
    }
};

TEST(DirectCopy, PathsQueuedWhileACopyRunsJoinItsRunAndGoInOrder) {
    test::TempDir dir;
    dir.WriteFile("a/SF1.jpg", "first");
    dir.WriteFile("b/SF1.jpg", "second, same name");
    dir.WriteFile("a/SF2.jpg", "2");
    Recorder recorder;
    std::promise<void> started;
    std::promise<void> go;
    std::shared_future<void> goSignal = go.get_future().share();
    std::atomic<bool> held{false};
    recorder.onProgress = [&](int) {
        // Hold the worker inside its first file while more paths come in.
        if (!held.exchange(true)) {
            started.set_value();
            goSignal.wait();
        }
    };
    DirectCopier copier(recorder);
    const std::string out = dir / "out";
    const core::JobGeneration run = copier.Queue(dir / "a/SF1.jpg", out);
    ASSERT_NE(run, 0u);
    started.get_future().wait();
    EXPECT_TRUE(copier.IsRunning());
    EXPECT_EQ(copier.Queue(dir / "b/SF1.jpg", out), run);
    EXPECT_EQ(copier.Queue(dir / "a/SF2.jpg", out), run);
    go.set_value();
    copier.Wait();

    EXPECT_FALSE(copier.IsRunning());
    EXPECT_EQ(dir.ReadFile("out/SF1.jpg"), "first") << "the paths must be copied in order";
    EXPECT_EQ(dir.ReadFile("out/SF2.jpg"), "2");
    const std::vector<Recorder::End> ends = recorder.Ends();
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0].generation, run);
    const CopySummary& summary = ends[0].outcome;
    EXPECT_EQ(summary.copied, 2u);
    EXPECT_EQ(summary.skippedExisting, 1u);
    ASSERT_EQ(summary.notCopied.size(), 1u);
    EXPECT_EQ(summary.notCopied[0].source, dir / "b/SF1.jpg");

    // Queued under keep-both, the same-name file goes beside the first.
    const core::JobGeneration keepBoth =
        copier.Queue(dir / "b/SF1.jpg", out, core::SameNameRule::KeepBoth);
    ASSERT_NE(keepBoth, 0u);
    copier.Wait();
    EXPECT_EQ(dir.ReadFile("out/SF1 (2).jpg"), "second, same name");
    EXPECT_EQ(dir.ReadFile("out/SF1.jpg"), "first");
}

TEST(DirectCopy, ExistingTargetIsLeftAsItWas) {
    test::TempDir dir;
    dir.WriteFile("src/SF1.jpg", "new");
    dir.WriteFile("out/SF1.jpg", "the user's own");
    Recorder recorder;
    DirectCopier copier(recorder);
    copier.Queue(dir / "src/SF1.jpg", dir / "out");
    copier.Wait();
    EXPECT_EQ(dir.ReadFile("out/SF1.jpg"), "the user's own");
    const std::vector<Recorder::End> ends = recorder.Ends();
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0].outcome.skippedExisting, 1u);
    EXPECT_EQ(ends[0].outcome.copied, 0u);
}

TEST(DirectCopy, EachPathGoesToTheFolderTypedWhenItWasQueued) {
    test::TempDir dir;
    dir.WriteFile("src/a.jpg", "a");
    dir.WriteFile("src/b.jpg", "b");
    Recorder recorder;
    DirectCopier copier(recorder);
    copier.Queue(dir / "src/a.jpg", dir / "one");
    copier.Queue(dir / "src/b.jpg", dir / "two");
    copier.Wait();
    EXPECT_EQ(dir.ReadFile("one/a.jpg"), "a");
    EXPECT_EQ(dir.ReadFile("two/b.jpg"), "b");
}

TEST(DirectCopy, AQueueAfterARunEndedStartsANewRun) {
    test::TempDir dir;
    dir.WriteFile("src/a.jpg", "a");
    dir.WriteFile("src/b.jpg", "b");
    Recorder recorder;
    DirectCopier copier(recorder);
    const core::JobGeneration first = copier.Queue(dir / "src/a.jpg", dir / "out");
    copier.Wait();
    const core::JobGeneration second = copier.Queue(dir / "src/b.jpg", dir / "out");
    copier.Wait();
    EXPECT_GT(second, first);
    const std::vector<Recorder::End> ends = recorder.Ends();
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_EQ(ends[0].generation, first);
    EXPECT_EQ(ends[1].generation, second);
    EXPECT_EQ(ends[1].outcome.copied, 1u);
}

// A path queued just as the worker finds the queue empty must still be
// copied: by that worker's run, or by a new one. Tiny files queued from
// several threads in short bursts, with pauses of varying length between
// them, make runs end and start all the time. After each burst its thread
// waits until no run is going: every path it queued must then be there. In
// the end every path must have been copied exactly once (a second copy would
// show as skipped) and every generation handed out reported exactly once.
TEST(DirectCopy, NoQueuedPathIsLostWhileRunsEndAndStart) {
    test::TempDir dir;
    constexpr int Threads = 3;
    constexpr int PerThread = 400;
    constexpr int Burst = 3;
    const auto name = [](int t, int i) {
        return std::to_string(t) + "-" + std::to_string(i) + ".jpg";
    };
    for (int t = 0; t < Threads; ++t) {
        for (int i = 0; i < PerThread; ++i) {
            dir.WriteFile("src/" + name(t, i), "");
        }
    }
    Recorder recorder;
    std::mutex generationsLock;
    std::multiset<core::JobGeneration> handedOut;
    std::atomic<int> lost{0};
    {
        DirectCopier copier(recorder);
        std::vector<std::thread> queuers;
        for (int t = 0; t < Threads; ++t) {
            queuers.emplace_back([&, t] {
                std::vector<core::JobGeneration> mine;
                for (int i = 0; i < PerThread; ++i) {
                    mine.push_back(copier.Queue(dir / ("src/" + name(t, i)), dir / "out"));
                    for (int k = 0; k < (i * 7 + t) % 11; ++k) {
                        std::this_thread::yield();  // Let the worker catch up, or not.
                    }
                    if (i % Burst == Burst - 1) {
                        copier.Wait();
                        for (int j = i + 1 - Burst; j <= i; ++j) {
                            if (!fs::exists(dir / ("out/" + name(t, j)))) {
                                ++lost;
                            }
                        }
                    }
                }
                const std::lock_guard lock(generationsLock);
                handedOut.insert(mine.begin(), mine.end());
            });
        }
        for (std::thread& queuer : queuers) {
            queuer.join();
        }
        copier.Wait();
    }
    EXPECT_EQ(lost.load(), 0) << "paths not copied when no run was going any more";

    std::size_t copied = 0;
    std::map<core::JobGeneration, int> reports;
    for (const Recorder::End& end : recorder.Ends()) {
        copied += end.outcome.copied;
        EXPECT_EQ(end.outcome.skippedExisting + end.outcome.failed + end.outcome.notTried, 0u);
        ++reports[end.generation];
    }
    EXPECT_EQ(copied, std::size_t{Threads * PerThread});
    EXPECT_GT(reports.size(), std::size_t{Threads}) << "runs should have ended and started";
    for (int t = 0; t < Threads; ++t) {
        for (int i = 0; i < PerThread; ++i) {
            EXPECT_TRUE(fs::exists(dir / ("out/" + name(t, i)))) << name(t, i);
        }
    }
    EXPECT_EQ(handedOut.count(0), 0u);
    for (auto it = handedOut.begin(); it != handedOut.end(); it = handedOut.upper_bound(*it)) {
        EXPECT_EQ(reports[*it], 1) << "generation " << *it;
    }
    EXPECT_EQ(reports.size(),
              std::set<core::JobGeneration>(handedOut.begin(), handedOut.end()).size());
}

TEST(DirectCopy, DestroyingTheCopierStopsTheFileAndDropsTheQueue) {
    if (test::RunningUnderWine()) {
        GTEST_SKIP() << "Wine's CopyFileExA reports no progress within a file and ignores a cancel";
    }
    test::TempDir dir;
    // More than two of the copy's chunks: a stop after the first still cuts it.
    dir.WriteFile("src/big.bin", std::string((std::size_t{17} << 20) + 1, 'b'));
    dir.WriteFile("src/small.jpg", "s");
    Recorder recorder;
    std::optional<DirectCopier> copier(std::in_place, recorder);
    DirectCopier* const live = &*copier;  // Reached while it is being destroyed.
    std::promise<void> midway;
    std::atomic<bool> signalled{false};
    recorder.onProgress = [&](int percent) {
        if (percent > 0 && !signalled.exchange(true)) {
            midway.set_value();
            // Hold the worker, one chunk on disk, until the copier is being
            // destroyed: from then on it refuses new paths.
            while (live->Queue(dir / "src/small.jpg", dir / "late") != 0) {
                std::this_thread::yield();
            }
        }
    };
    copier->Queue(dir / "src/big.bin", dir / "out");
    copier->Queue(dir / "src/small.jpg", dir / "out");
    midway.get_future().wait();
    copier.reset();

    EXPECT_FALSE(fs::exists(dir / "out/big.bin"));
    EXPECT_FALSE(fs::exists(dir / "out/small.jpg"));
    EXPECT_FALSE(fs::exists(dir / "late/small.jpg"));
    const std::vector<Recorder::End> ends = recorder.Ends();
    ASSERT_EQ(ends.size(), 1u);
    const CopySummary& summary = ends[0].outcome;
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(summary.copied + summary.failed + summary.skippedExisting, 0u);
    EXPECT_GE(summary.notTried, 2u);
}

}  // namespace
}  // namespace cj::copylist
