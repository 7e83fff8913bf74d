#include "index/refresh.h"

#include "core/data_lock.h"
#include "core/data_paths.h"
#include "core/settings_file.h"
#include "core/text_rules.h"
#include "core/type_filter.h"
#include "index/dir_walk.h"
#include "index/index_commit.h"
#include "index/shard_file.h"
#include "index/shard_writer.h"

namespace cj::index {
namespace {

bool IsShardCount(int count) {
    return count >= 1 && count <= core::MaxThreadCount;
}

// The count a refresh asked for, or the stored one (itself the default when
// missing or out of range).
int UsableShardCount(const RefreshRequest& request) {
    return IsShardCount(request.shardCount)
               ? request.shardCount
               : core::SettingsFile::InRunDirectory(request.runDirectory).ReadThreadCount().count;
}

void FailEveryShard(const std::string& runDirectory, std::error_code ec, RefreshReport& report) {
    report.end = RefreshEnd::WriteFailed;
    report.failedShards.clear();
    for (int n = 1; n <= report.shardCount; ++n) {
        report.failedShards.push_back({n, core::ShardPath(runDirectory, n), ec});
    }
}

}  // namespace

Refresher::~Refresher() {
    Wait();
}

void Refresher::Wait() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

core::JobStart Refresher::Start(RefreshRequest request) {
    const core::StartOutcome outcome = m_activity.TryBeginRefresh();
    if (outcome != core::StartOutcome::Started) {
        return {outcome, 0};
    }
    // The previous refresh thread has passed EndRefresh, so this join returns
    // at once (at most it waits for the listener call that follows it).
    Wait();
    const core::JobGeneration generation = m_generations.Next();
    RefreshReport failed;
    failed.shardCount = UsableShardCount(request);
    const std::string runDirectory = request.runDirectory;
    try {
        m_thread = std::thread([this, generation, request = std::move(request)] {
            RefreshReport report;
            Work(request, report);
            m_activity.EndRefresh();
            if (m_listener != nullptr) {
                m_listener->OnRefreshFinished(generation, std::move(report));
            }
        });
        return {outcome, generation};
    } catch (const std::system_error& e) {
        FailEveryShard(runDirectory, e.code(), failed);
    } catch (...) {
        FailEveryShard(runDirectory, std::make_error_code(std::errc::not_enough_memory), failed);
    }
    // No thread, no refresh: the index stays as it was, the way is open for
    // the next request, and the caller hears of it as of any failed refresh.
    m_activity.EndRefresh();
    if (m_listener != nullptr) {
        m_listener->OnRefreshFinished(generation, std::move(failed));
    }
    return {outcome, generation};
}

core::StartOutcome Refresher::Run(const RefreshRequest& request, RefreshReport* report) {
    const core::StartOutcome outcome = m_activity.TryBeginRefresh();
    if (outcome != core::StartOutcome::Started) {
        return outcome;
    }
    RefreshReport local;
    Work(request, report != nullptr ? *report : local);
    m_activity.EndRefresh();
    return outcome;
}

void Refresher::Work(const RefreshRequest& request, RefreshReport& report) {
    try {
        report.shardCount = UsableShardCount(request);
        // One refresh at a time across programs, for the whole run; the lock
        // goes with this scope.
        platform::FileLock refreshLock;
        if (const std::error_code ec = TryLockRefresh(request.runDirectory, refreshLock); ec) {
            if (ec == std::errc::resource_unavailable_try_again) {
                report.end = RefreshEnd::AnotherRefreshRuns;
                return;
            }
            report.end = RefreshEnd::WriteFailed;
            report.failedShards.push_back(
                {0, core::LockFilePath(core::DataDirectory(request.runDirectory)), ec});
            return;
        }
        // A commit another refresh left unfinished goes first: its new shards
        // must not meet this one's.
        report.failedShards = TryRecoverHoldingRefreshLock(request.runDirectory);
        if (!report.failedShards.empty()) {
            report.end = RefreshEnd::WriteFailed;
            return;
        }
        // Read again under the lock: another program's refresh may have
        // committed a new count since the first look, and a refresh of the
        // index as it is must keep it.
        const int shardCount = UsableShardCount(request);
        report.shardCount = shardCount;
        // The new shards are written while the walk runs; a refresh that
        // ends before its commit removes them with the writer.
        ShardWriter shards(request.runDirectory, shardCount);
        const core::TypeFilter filter(request.filter);
        report.walk =
            WalkFolders(request.folders, request.runDirectory, filter, request.walkThreads,
                        [&](std::string_view folderPrefix, std::string_view name) {
                            shards.Add(folderPrefix, name);
                            ++report.records;
                        });
        if (!report.walk.missingFolders.empty()) {
            // An unplugged drive or an offline share must not erase its part
            // of the index: the previous shards stay as they are.
            report.end = RefreshEnd::FoldersMissing;
            return;
        }
        report.failedShards = TryCommitShards(shards);
        if (!report.failedShards.empty()) {
            report.end = RefreshEnd::WriteFailed;
        }
    } catch (const std::system_error& e) {
        // Out of threads or out of memory: the index on disk stays as it was
        // (it is replaced whole or not at all).
        // Nothing leaves this thread.
        FailEveryShard(request.runDirectory, e.code(), report);
    } catch (...) {
        FailEveryShard(request.runDirectory, std::make_error_code(std::errc::not_enough_memory),
                       report);
    }
}

}  // namespace cj::index
