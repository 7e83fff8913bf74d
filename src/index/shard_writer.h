// The new shards of a refresh, written while the walk still finds their
// records: the prepare step of the index commit (index/index_commit.h) spread
// over the walk.
//
// Records are dealt as ShardSet deals them (index/shard_file.h), so the files
// hold the same bytes as a ShardSet's buffers would. Each shard's bytes go to
// data/<n>.txt.new in pieces as they gather, and the disk starts writing them
// at once: the index is never held in memory whole, and its writing and
// flushing overlap the walk instead of following it.
//
// The files are created with the first piece. Create the writer only while
// holding the Refresh lock, after recovery (the files must not meet those of
// another commit); nothing reads them until a commit record names them, and a
// refresh killed before that leaves leftovers that the next refresh removes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "index/shard_file.h"
#include "platform/files.h"

namespace cj::index {

// Owned by one thread. Writing failures never throw and never stop the
// dealing: the first one is kept, the writing stops, and TryFinish reports it.
class ShardWriter {
  public:
    // shardCount as for ShardSet.
    ShardWriter(std::string_view runDirectory, int shardCount);
    // Removes the files unless TryFinish succeeded.
    ~ShardWriter();
    ShardWriter(const ShardWriter&) = delete;
    ShardWriter& operator=(const ShardWriter&) = delete;

    const std::string& RunDirectory() const { return m_runDirectory; }
    int ShardCount() const { return m_set.ShardCount(); }
    std::uint64_t Count(int n) const { return m_set.Count(n); }  // n from 1.

    // Appends record + CR LF to the next shard in turn. Throws std::bad_alloc
    // only.
    void Add(std::string_view record) { Add(record, {}); }
    // The same for the record folderPrefix + name.
    void Add(std::string_view folderPrefix, std::string_view name);

    // Writes the bytes still held, flushes every shard to disk and closes it.
    // Empty on success: the files are complete and left for the commit.
    // Otherwise the first failure of this or an earlier write (the shard, its
    // data/<n>.txt.new, the system's reason), the files already removed.
    std::vector<ShardFailure> TryFinish();

    // Closes and removes the files, for a commit that stops before using them.
    void Discard();

  private:
    void Spill(int n);
    bool TryCreateFiles();

    std::string m_runDirectory;
    ShardSet m_set;
    // Element n - 1 writes shard n; created together with the first piece.
    std::vector<platform::SyncedFileWriter> m_files;
    int m_attempted = 0;  // Files whose creation was tried: 1..m_attempted may exist.
    std::optional<ShardFailure> m_failure;  // The first write that failed.
    bool m_finished = false;                // TryFinish succeeded: the files are the commit's.
};

}  // namespace cj::index
