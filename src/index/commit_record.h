// The commit record, data/commit.txt: what an index commit is about to make
// true, written durably before the commit changes anything a reader sees, so
// that an interrupted commit can be finished (index/index_commit.h).
//
// The file, CR LF line ends, every line required and in this order:
//   chengjing index commit
//   shards=<M>          the new shard count, 1..12
//   old=<N>             the shard count before the commit, 0..12
//   threads=<M>         only when the commit also stores M as the thread count
//   1=<count>           the record count of new shard 1
//   ...                 one line per shard, in order
//   <M>=<count>
//   end
// It is written whole by one atomic replace, so a file without its "end" line
// or otherwise malformed is damage from outside, never a commit half-written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cj::index {

struct CommitRecord {
    int oldShardCount = 0;
    std::optional<int> threadCount;     // The thread count to store, when it changes.
    std::vector<std::uint64_t> counts;  // counts[n - 1] for new shard n; size() is M.

    int ShardCount() const { return static_cast<int>(counts.size()); }
    friend bool operator==(const CommitRecord&, const CommitRecord&) = default;
};

std::string FormatCommitRecord(const CommitRecord& record);

// The record the text holds, or nothing when the text is not one that
// FormatCommitRecord writes (counts out of range, lines missing or extra).
std::optional<CommitRecord> ParseCommitRecord(std::string_view text);

}  // namespace cj::index
