// How the index changes all at once: shards and counts of a new index replace
// the old ones so that, whatever stops a refresh (a crash, a kill, a full disk,
// a second program), every reader sees the whole old index or the whole new
// one. The shard format is in index/shard_file.h, the record's in
// index/commit_record.h, the locks in core/data_lock.h.
//
// A commit of M shards over an index of N (a refresh holds the Refresh lock
// throughout):
//   1. prepare    write data/<n>.txt.new for n = 1..M, each fsynced; any
//                 failure removes them again and ends here (a refresh writes
//                 them while it walks, through a ShardWriter, and checks that
//                 the targets can be replaced before it flushes them)
//   2. lock       take the Index lock exclusively (waits for readers opening
//                 their shards)
//   3. record     write data/commit.txt atomically and durably: from here on
//                 the new index is the index
//   4. counts     one atomic rewrite of chengjing.ini: [syjs] 1..M, no other
//                 key; [xcs] = M when the record says so. A failure here, the
//                 commit's own first attempt, rolls back: the record is removed
//                 durably, then the .new shards, and the old index stays
//   5. rename     data/<n>.txt.new over data/<n>.txt, n = 1..M (one that is
//                 already gone was renamed before)
//   6. remove     data/<n>.txt for n = M+1..max(N, 12) (failures do not matter:
//                 those shards have no count)
//   7. sync       fsync the data folder
//   8. unrecord   remove data/commit.txt; unlock
// A failure in 5 to 7 leaves the record in place; the commit is then finished
// by whoever comes next (roll-forward: steps 4 to 8 again, all idempotent).
//
// The states on disk, and what each reader does in them:
//   state                          record  shards          counts   a reader reads
//   idle                           no      old             old      old
//   prepare under way or failed    no      old + some .new old      old (.new ignored)
//   recorded, not yet applied      yes     old + all .new  old/new  rolls forward, then new
//   partly renamed                 yes     mixed + .new    new      rolls forward, then new
//   applied, record not removed    yes     new             new      rolls forward (nothing
//                                                                   left to do), then new
// A reader that finds a record takes the Index lock exclusively and rolls
// forward. When that fails too (a read-only folder, a broken disk) it reads
// the new index through the record: shard n from data/<n>.txt.new while that
// exists, else data/<n>.txt, with the record's counts and shard count.
// A record that cannot be parsed is damage from outside: readers ignore it,
// and a refresh or start-up clean-up removes it with the .new shards.
//
// Leftovers, removed at the next refresh and at start-up (RecoverIndex), only
// while no refresh runs and no record remains: data/<n>.txt.new, and the
// temporaries of atomic writes killed before their rename
// (.<n>.txt.tmp-XXXXXX, .commit.txt.tmp-XXXXXX under the Refresh lock;
// .chengjing.ini.tmp-XXXXXX under the Config lock that every configuration
// write holds).
#pragma once

#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "index/shard_file.h"
#include "platform/file_lock.h"

namespace cj::index {

class ShardWriter;

// Takes the data folder's Refresh lock into out without waiting for another
// refresh: std::errc::resource_unavailable_try_again while one runs in any
// process (or thread). Waits only while a start-up clean-up holds it.
// Otherwise the system's error (a missing data folder is ENOENT).
std::error_code TryLockRefresh(std::string_view runDirectory, platform::FileLock& out);

// For the holder of the Refresh lock, before it writes: finishes a commit an
// interrupted refresh left, then removes the leftovers. Returns the failures
// that leave a record in place, with the path and the system's error; a
// refresh must not go on then (its shards would meet the record's). Leftovers
// that cannot be removed are no failure.
std::vector<ShardFailure> TryRecoverHoldingRefreshLock(std::string_view runDirectory);

// At the start of a program (the window, each command of chengjing-cli): the
// same as TryRecoverHoldingRefreshLock when no refresh runs; while one runs in
// another program, only finishes a left commit (the running refresh cleans up
// for itself). Never waits for a refresh; waits for a commit or a clean-up
// that runs. A data folder that is missing or may not be written is no
// failure: nothing can be left there by this user.
std::vector<ShardFailure> RecoverIndex(std::string_view runDirectory);

// Commits shards as the new index, steps 1 to 8 above; the thread count is
// stored as shards.ShardCount() unless the file says that already. The caller holds
// the Refresh lock and has recovered. Returns every failure with its path
// (data/<n>.txt.new for a shard that could not be written, data/<n>.txt for
// one whose name a folder or a read-only file holds, the configuration file,
// the record); empty on success. After a failure in prepare, lock, record or
// counts the previous index is whole; after a later one the new index is in
// place as far as readers see and the next reader finishes it.
std::vector<ShardFailure> TryCommitShards(const ShardSet& shards, std::string_view runDirectory);

// The same for shards a ShardWriter has been writing since the walk began
// (index/shard_writer.h), in its run directory: its files become step 1's
// once the checks pass and it has finished them. Every failure as above; the
// writer's files are gone after a failure in prepare, lock or record.
std::vector<ShardFailure> TryCommitShards(ShardWriter& shards);

// One shard as a reader should read it.
struct ShardView {
    std::string path;
    std::uint64_t count = 0;  // Records to read (see shard_file.h).
};

// Holds the index still while a reader reads its counts and opens its
// shards: the Index lock, shared. A shard opened (mapped) under it stays
// readable after the lock goes, whatever later commits rename over it. Keep it
// only for the opening: a commit waits for it.
class IndexReadLock {
  public:
    // Waits while a commit runs; finishes an interrupted one first. Shards
    // 1..shardCount are described; shardCount below 1 means the stored thread
    // count ([xcs]), read under the lock too. A data folder whose lock file
    // cannot be opened at all (missing, read-only medium) is read unlocked:
    // nobody can be committing there.
    IndexReadLock(std::string_view runDirectory, int shardCount);

    // Element n - 1 describes shard n.
    const std::vector<ShardView>& Shards() const { return m_shards; }
    // Whether there is an index at all: a commit has stored its counts (or
    // left a record to read it through). An index committed with no records
    // is built; a data folder never refreshed, or the wrong one, is not.
    bool IsBuilt() const { return m_built; }

  private:
    platform::FileLock m_lock;
    std::vector<ShardView> m_shards;
    bool m_built = false;
};

}  // namespace cj::index
