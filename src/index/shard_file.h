// The index: every file path a refresh found, dealt across N shard files so
// that each search worker scans one.
//
// On disk, for n = 1..N:
//   data/<n>.txt   records in walk order, each a full path followed by CR LF
//                  (the last one too); an empty shard is an empty file; no
//                  header and no byte-order mark.
//   shard count n  in the configuration file (SettingsFile::ReadShardCount):
//                  the number of records in shard n.
// Record k of a refresh (from 1, across all folders) goes to shard
// ((k - 1) mod N) + 1, so shard sizes differ by at most one, shard 1 the most.
// Shards and counts are replaced together, all at once, by the index commit
// (index/index_commit.h); nothing else writes them.
//
// Readers trust the count, not the file's length: a shard is read as text up to
// its first NUL byte, and only its first c lines are records. A line ends at LF
// (a CR before it is dropped) or at a 0x1A byte. Empty lines are never records,
// and a file shorter than its count simply gives fewer records.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/settings_file.h"

namespace cj::index {

// Deals records to N in-memory shards in turn. Owned by one thread.
class ShardSet {
  public:
    explicit ShardSet(int shardCount);

    int ShardCount() const { return static_cast<int>(m_buffers.size()); }

    // Appends record + CR LF to the next shard in turn; returns that shard's n.
    int Add(std::string_view record) { return Add(record, {}); }
    // The same for the record folderPrefix + name.
    int Add(std::string_view folderPrefix, std::string_view name);

    // n from 1.
    const std::string& Buffer(int n) const { return m_buffers[static_cast<std::size_t>(n - 1)]; }
    std::uint64_t Count(int n) const { return m_counts[static_cast<std::size_t>(n - 1)]; }

    // Empties shard n's buffer, whose bytes the caller has written out, and
    // keeps its memory for the next ones; its count stays.
    void ClearBuffer(int n) { m_buffers[static_cast<std::size_t>(n - 1)].clear(); }

  private:
    std::vector<std::string> m_buffers;
    std::vector<std::uint64_t> m_counts;
    std::size_t m_next = 0;  // Index of the shard that receives the next record.
};

// A file of the index that could not be written, renamed or locked: the
// shard's number (0 for what belongs to no one shard: the configuration file
// with the counts, the commit record, the lock file, the data folder), the
// file that failed and the system's reason.
struct ShardFailure {
    int shard = 0;
    std::string path;
    std::error_code error;
};

// The shard's text: the bytes up to the first NUL, if any.
std::string_view ShardText(std::string_view fileBytes);

// The length of the prefix of text that holds its first `count` lines (the
// line ends included), or the whole text when it has fewer lines.
std::size_t LinesPrefixLength(std::string_view text, std::uint64_t count);

// Calls onRecord for each non-empty line among the first `count` lines of text
// (text as returned by ShardText), in order. Stops early when onRecord returns
// false.
void ForEachRecord(std::string_view text, std::uint64_t count,
                   const std::function<bool(std::string_view)>& onRecord);

// Reads shard n whole: its file (a missing file reads as empty) and its count.
// The simple reader; the search engine scans mapped shards itself with the same
// rules.
std::vector<std::string> ReadShardRecords(std::string_view runDirectory, int n,
                                          const core::SettingsFile& settings);

}  // namespace cj::index
