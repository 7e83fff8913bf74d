#include "index/index_commit.h"

#include <algorithm>

#include "core/data_lock.h"
#include "core/data_paths.h"
#include "core/event_log.h"
#include "core/settings_file.h"
#include "core/text_rules.h"
#include "index/commit_record.h"
#include "index/shard_writer.h"
#include "platform/dir_enum.h"
#include "platform/files.h"

namespace cj::index {
namespace {

using platform::LockMode;
using platform::LockWait;

bool Exists(const std::string& path) {
    return platform::ProbePath(path).exists;
}

bool IsNotFound(std::error_code ec) {
    return ec == std::errc::no_such_file_or_directory;
}

// "<n>.txt" with n a shard number (no sign, no leading zero).
bool IsShardName(std::string_view name) {
    constexpr std::string_view Suffix = ".txt";
    if (!name.ends_with(Suffix)) {
        return false;
    }
    const std::string_view digits = name.substr(0, name.size() - Suffix.size());
    return !digits.empty() && digits.front() != '0' &&
           std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

enum class RecordState { None, Parsed, Malformed, Unreadable };

struct LoadedRecord {
    RecordState state = RecordState::None;
    CommitRecord record;
    std::error_code error;  // Unreadable: why.
};

LoadedRecord LoadRecord(std::string_view runDirectory) {
    LoadedRecord loaded;
    std::string text;
    if (const std::error_code ec =
            platform::ReadWholeFile(core::CommitRecordPath(runDirectory), text);
        ec) {
        loaded.state = IsNotFound(ec) ? RecordState::None : RecordState::Unreadable;
        loaded.error = ec;
        return loaded;
    }
    if (std::optional<CommitRecord> record = ParseCommitRecord(text)) {
        loaded.state = RecordState::Parsed;
        loaded.record = std::move(*record);
    } else {
        loaded.state = RecordState::Malformed;
    }
    return loaded;
}

// Removes a file that no reader names any more. One that stays harms no
// index, so its failure only leaves a line in the log (its absence none).
void RemoveOrLog(const std::string& path, std::string_view what) {
    if (const std::error_code ec = platform::RemoveFile(path); ec && !IsNotFound(ec)) {
        core::LogFailure(std::string(what) + " " + path, ec);
    }
}

std::vector<ShardFailure> Failure(int shard, std::string path, std::error_code ec) {
    return {ShardFailure{shard, std::move(path), ec}};
}

void RemoveNewShards(std::string_view runDirectory, int shardCount) {
    for (int n = 1; n <= shardCount; ++n) {
        RemoveOrLog(core::NewShardPath(runDirectory, n), "删除未提交的索引分片失败");
    }
}

// Steps 5 to 8 of a commit whose counts are written.
std::vector<ShardFailure> FinishCommit(std::string_view runDirectory, const CommitRecord& record) {
    for (int n = 1; n <= record.ShardCount(); ++n) {
        const std::string fresh = core::NewShardPath(runDirectory, n);
        if (!Exists(fresh)) {
            continue;  // Renamed by an earlier attempt.
        }
        if (const std::error_code ec =
                platform::RenameFile(fresh, core::ShardPath(runDirectory, n));
            ec) {
            return Failure(n, fresh, ec);
        }
    }
    // Shards past the new count have no count any more, so one that stays (a
    // folder squatting its name) is never read.
    const int last = std::max(record.oldShardCount, core::MaxThreadCount);
    for (int n = record.ShardCount() + 1; n <= last; ++n) {
        RemoveOrLog(core::ShardPath(runDirectory, n), "删除多余的索引分片失败");
    }
    const std::string data = core::DataDirectory(runDirectory);
    if (const std::error_code ec = platform::SyncFolder(data); ec) {
        return Failure(0, data, ec);  // The record stays until the renames are sure to last.
    }
    const std::string recordPath = core::CommitRecordPath(runDirectory);
    if (const std::error_code ec = platform::RemoveFile(recordPath); ec && !IsNotFound(ec)) {
        return Failure(0, recordPath, ec);
    }
    return {};
}

// Steps 4 to 8 again. The caller holds the Index lock exclusively.
std::vector<ShardFailure> RollForward(std::string_view runDirectory, const CommitRecord& record) {
    const auto settings = core::SettingsFile::InRunDirectory(runDirectory);
    if (const std::error_code ec = settings.TryWriteIndexCounts(record.counts, record.threadCount);
        ec) {
        return Failure(0, settings.Path(), ec);
    }
    return FinishCommit(runDirectory, record);
}

// Finishes the commit a record left, under the Index lock. A malformed record
// is removed only by the holder of the Refresh lock, who removes the .new
// shards after it.
std::vector<ShardFailure> FinishLeftCommit(std::string_view runDirectory, bool holdsRefreshLock) {
    const std::string recordPath = core::CommitRecordPath(runDirectory);
    if (!Exists(recordPath)) {
        return {};
    }
    const std::string data = core::DataDirectory(runDirectory);
    platform::FileLock lock;
    if (const std::error_code ec = core::TryLockData(data, core::DataLock::Index,
                                                     LockMode::Exclusive, LockWait::Yes, lock);
        ec) {
        return Failure(0, core::LockFilePath(data), ec);
    }
    const LoadedRecord loaded = LoadRecord(runDirectory);
    switch (loaded.state) {
        case RecordState::None:
            return {};
        case RecordState::Unreadable:
            return Failure(0, recordPath, loaded.error);
        case RecordState::Malformed:
            if (holdsRefreshLock) {
                if (const std::error_code ec = platform::RemoveFile(recordPath); ec) {
                    return Failure(0, recordPath, ec);
                }
                if (const std::error_code ec = platform::SyncFolder(data); ec) {
                    return Failure(0, data, ec);
                }
            }
            return {};
        case RecordState::Parsed:
            return RollForward(runDirectory, loaded.record);
    }
    return {};
}

// New shards and the temporaries of killed atomic writes of shards and
// records. The caller holds the Refresh lock and no record is left.
void RemoveIndexLeftovers(std::string_view runDirectory) {
    const std::string data = core::DataDirectory(runDirectory);
    platform::DirListing listing;
    if (const std::error_code ec = platform::ListDirectory(data, listing); ec) {
        core::LogFailure("清理遗留文件时无法列出数据文件夹 " + data, ec);
    }
    constexpr std::string_view New = ".new";
    for (const platform::DirEntry& entry : listing.entries) {
        const std::string_view name = entry.name;
        const std::string_view target = platform::AtomicWriteTarget(name);
        const bool newShard =
            name.ends_with(New) && IsShardName(name.substr(0, name.size() - New.size()));
        if (!entry.isDirectory && (newShard || IsShardName(target) || target == "commit.txt")) {
            RemoveOrLog(platform::JoinPath(data, name), "删除遗留的临时文件失败");
        }
    }
}

// Step 1's checks, before the new shards are used: whether the commit could
// replace every shard and the configuration file.
std::vector<ShardFailure> CheckTargets(int shardCount, std::string_view runDirectory,
                                       const core::SettingsFile& settings) {
    for (int n = 1; n <= shardCount; ++n) {
        std::string path = core::ShardPath(runDirectory, n);
        if (const std::error_code ec = platform::CheckReplaceable(path); ec) {
            return Failure(n, std::move(path), ec);
        }
    }
    if (const std::error_code ec = platform::CheckReplaceable(settings.Path()); ec) {
        return Failure(0, settings.Path(), ec);
    }
    return {};
}

// Step 1: every check first, then every new shard, each fsynced.
std::vector<ShardFailure> Prepare(const ShardSet& shards, std::string_view runDirectory,
                                  const core::SettingsFile& settings) {
    if (std::vector<ShardFailure> failures =
            CheckTargets(shards.ShardCount(), runDirectory, settings);
        !failures.empty()) {
        return failures;
    }
    for (int n = 1; n <= shards.ShardCount(); ++n) {
        std::string path = core::NewShardPath(runDirectory, n);
        if (const std::error_code ec = platform::WriteFileAndSync(path, shards.Buffer(n)); ec) {
            RemoveNewShards(runDirectory, n);
            return Failure(n, std::move(path), ec);
        }
    }
    return {};
}

// Undoes a commit whose counts could not be written (so none were): the
// record goes first and for good, then the new shards. Were the shards to go
// first, a crash could leave a record naming shards that are gone.
void RollBack(std::string_view runDirectory, int shardCount) {
    const std::string recordPath = core::CommitRecordPath(runDirectory);
    if (const std::error_code ec = platform::RemoveFile(recordPath); ec) {
        // The record stays: the next reader rolls the commit forward.
        core::LogFailure("撤回索引提交时删除提交记录失败 " + recordPath, ec);
        return;
    }
    const std::string data = core::DataDirectory(runDirectory);
    if (const std::error_code ec = platform::SyncFolder(data); ec) {
        // The record might come back: keep what it names.
        core::LogFailure("撤回索引提交时同步数据文件夹失败 " + data, ec);
        return;
    }
    RemoveNewShards(runDirectory, shardCount);
}

// The record of a commit of these shards (a ShardSet or a ShardWriter).
template <typename Shards>
CommitRecord RecordOf(const Shards& shards, const core::SettingsFile& settings) {
    const int shardCount = shards.ShardCount();
    CommitRecord record;
    const core::ThreadCountSetting stored = settings.ReadThreadCount();
    record.oldShardCount = stored.count;
    // After a commit the file says exactly how many shards there are, even
    // where the missing value's default would have said the same.
    if (stored.text != std::to_string(shardCount)) {
        record.threadCount = shardCount;
    }
    for (int n = 1; n <= shardCount; ++n) {
        record.counts.push_back(shards.Count(n));
    }
    return record;
}

// Steps 2 to 8, once step 1 has written and flushed the new shards.
std::vector<ShardFailure> CommitPrepared(const CommitRecord& record, std::string_view runDirectory,
                                         const core::SettingsFile& settings) {
    const int shardCount = record.ShardCount();
    const std::string data = core::DataDirectory(runDirectory);
    platform::FileLock lock;
    if (const std::error_code ec = core::TryLockData(data, core::DataLock::Index,
                                                     LockMode::Exclusive, LockWait::Yes, lock);
        ec) {
        RemoveNewShards(runDirectory, shardCount);
        return Failure(0, core::LockFilePath(data), ec);
    }
    const std::string recordPath = core::CommitRecordPath(runDirectory);
    std::error_code ec = platform::WriteWholeFileAtomic(recordPath, FormatCommitRecord(record));
    if (ec) {
        RemoveNewShards(runDirectory, shardCount);
        return Failure(0, recordPath, ec);
    }
    // The atomic write flushes the folder but does not say when that failed;
    // no count may be written before the record is sure to last.
    if (ec = platform::SyncFolder(data); ec) {
        RollBack(runDirectory, shardCount);
        return Failure(0, data, ec);
    }
    if (ec = settings.TryWriteIndexCounts(record.counts, record.threadCount); ec) {
        RollBack(runDirectory, shardCount);
        return Failure(0, settings.Path(), ec);
    }
    return FinishCommit(runDirectory, record);
}

std::vector<ShardView> Describe(std::string_view runDirectory, int shardCount, bool& built) {
    const auto settings = core::SettingsFile::InRunDirectory(runDirectory);
    const LoadedRecord loaded = LoadRecord(runDirectory);
    std::vector<ShardView> shards;
    built = true;
    if (loaded.state == RecordState::Parsed) {
        // A record nobody could finish: read the new index through it.
        const CommitRecord& record = loaded.record;
        const int count = shardCount >= 1
                              ? shardCount
                              : record.threadCount.value_or(settings.ReadThreadCount().count);
        for (int n = 1; n <= count; ++n) {
            std::string fresh = core::NewShardPath(runDirectory, n);
            ShardView shard;
            shard.path = Exists(fresh) ? std::move(fresh) : core::ShardPath(runDirectory, n);
            shard.count =
                n <= record.ShardCount() ? record.counts[static_cast<std::size_t>(n - 1)] : 0;
            shards.push_back(std::move(shard));
        }
        return shards;
    }
    built = settings.HoldsShardCounts();
    const int count = shardCount >= 1 ? shardCount : settings.ReadThreadCount().count;
    const std::vector<std::uint64_t> counts = settings.ReadShardCounts(count);
    for (int n = 1; n <= count; ++n) {
        shards.push_back(
            {core::ShardPath(runDirectory, n), counts[static_cast<std::size_t>(n - 1)]});
    }
    return shards;
}

}  // namespace

std::error_code TryLockRefresh(std::string_view runDirectory, platform::FileLock& out) {
    const std::string data = core::DataDirectory(runDirectory);
    // A clean-up holds Cleanup exclusively around its Refresh lock: waiting
    // for it here means a busy Refresh lock below is a refresh's.
    platform::FileLock cleanup;
    if (const std::error_code ec = core::TryLockData(data, core::DataLock::Cleanup,
                                                     LockMode::Shared, LockWait::Yes, cleanup);
        ec) {
        return ec;
    }
    return core::TryLockData(data, core::DataLock::Refresh, LockMode::Exclusive, LockWait::No, out);
}

std::vector<ShardFailure> TryRecoverHoldingRefreshLock(std::string_view runDirectory) {
    if (std::vector<ShardFailure> failures = FinishLeftCommit(runDirectory, true);
        !failures.empty()) {
        return failures;
    }
    RemoveIndexLeftovers(runDirectory);
    const auto settings = core::SettingsFile::InRunDirectory(runDirectory);
    if (const std::error_code ec = settings.TryRemoveWriteLeftovers(); ec) {
        core::LogFailure("删除设置文件的遗留临时文件失败 " + settings.Path(), ec);
    }
    return {};
}

std::vector<ShardFailure> RecoverIndex(std::string_view runDirectory) {
    const std::string data = core::DataDirectory(runDirectory);
    platform::FileLock cleanup;
    if (const std::error_code ec = core::TryLockData(data, core::DataLock::Cleanup,
                                                     LockMode::Exclusive, LockWait::Yes, cleanup);
        ec) {
        // No data folder, or one this user may not write: nothing to recover
        // here. Anything else (a lock file that is a link) is worth a line.
        if (!IsNotFound(ec) && ec != std::errc::permission_denied &&
            ec != std::errc::read_only_file_system) {
            core::LogFailure("清理数据文件夹时无法加锁 " + core::LockFilePath(data), ec);
        }
        return {};
    }
    platform::FileLock refresh;
    const std::error_code busy = core::TryLockData(data, core::DataLock::Refresh,
                                                   LockMode::Exclusive, LockWait::No, refresh);
    if (busy) {
        cleanup.Unlock();
        return FinishLeftCommit(runDirectory, false);
    }
    return TryRecoverHoldingRefreshLock(runDirectory);
}

std::vector<ShardFailure> TryCommitShards(const ShardSet& shards, std::string_view runDirectory) {
    const auto settings = core::SettingsFile::InRunDirectory(runDirectory);
    const CommitRecord record = RecordOf(shards, settings);
    if (std::vector<ShardFailure> failures = Prepare(shards, runDirectory, settings);
        !failures.empty()) {
        return failures;
    }
    return CommitPrepared(record, runDirectory, settings);
}

std::vector<ShardFailure> TryCommitShards(ShardWriter& shards) {
    const std::string_view runDirectory = shards.RunDirectory();
    const auto settings = core::SettingsFile::InRunDirectory(runDirectory);
    const CommitRecord record = RecordOf(shards, settings);
    if (std::vector<ShardFailure> failures =
            CheckTargets(shards.ShardCount(), runDirectory, settings);
        !failures.empty()) {
        shards.Discard();
        return failures;
    }
    if (std::vector<ShardFailure> failures = shards.TryFinish(); !failures.empty()) {
        return failures;
    }
    return CommitPrepared(record, runDirectory, settings);
}

IndexReadLock::IndexReadLock(std::string_view runDirectory, int shardCount) {
    const std::string data = core::DataDirectory(runDirectory);
    const bool locked =
        !core::TryLockData(data, core::DataLock::Index, LockMode::Shared, LockWait::Yes, m_lock);
    if (locked && Exists(core::CommitRecordPath(runDirectory))) {
        // Its committer held the lock exclusively while the record lived, so
        // the commit was interrupted: finish it, then read.
        m_lock.Unlock();
        // One that cannot be finished is read through its record (Describe).
        for (const ShardFailure& failure : FinishLeftCommit(runDirectory, false)) {
            core::LogFailure("读取前完成中断的索引提交失败 " + failure.path, failure.error);
        }
        if (const std::error_code ec = core::TryLockData(data, core::DataLock::Index,
                                                         LockMode::Shared, LockWait::Yes, m_lock);
            ec) {
            core::LogFailure("读取索引时无法加锁 " + core::LockFilePath(data), ec);
        }
    }
    m_shards = Describe(runDirectory, shardCount, m_built);
}

}  // namespace cj::index
