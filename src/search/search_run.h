// One search over the index: a worker thread per shard, each scanning its
// shard and preparing what the caller needs of its hits.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/mapped_file.h"
#include "search/keywords.h"
#include "search/shard_scan.h"

namespace cj::search {

// How much a worker prepares for each hit. Only Sizes looks the file's size
// up (once per hit, on the worker's thread).
enum class HitDetail {
    Count,  // The number of hits only.
    Paths,  // The records, as views into the mapped shard.
    Sizes,  // The records and the size of each file.
};

// The hits of one shard, in shard order.
struct ShardHits {
    std::string path;           // The shard's file.
    std::uint64_t records = 0;  // Its count: the records to scan.
    // Why the shard could not be opened (it has no hits then). A shard with
    // no records is not opened.
    std::error_code error;
    platform::MappedFile shard;           // The shard's bytes; paths point into them.
    std::uint64_t count = 0;              // Hits found (every detail).
    std::vector<std::string_view> paths;  // HitDetail::Paths and Sizes.
    // HitDetail::Sizes: sizes[i] is the size in bytes of the regular file
    // paths[i] names, or nothing when it cannot be read (gone, not a regular
    // file, no permission).
    std::vector<std::optional<std::uint64_t>> sizes;
};

struct SearchRequest {
    std::string runDirectory;  // No trailing separator.
    // Shards 1..shardCount are read; below 1 means the stored thread count.
    int shardCount = 0;
    HitDetail detail = HitDetail::Paths;
    // With HitDetail::Paths, optional: shard 1's hits go here as they are
    // found, on its worker's thread, instead of into its paths (its count
    // still counts them). The first shard's hits come first in any case, so
    // the command line writes them out while the other shards are scanned.
    HitSink* firstShardSink = nullptr;
};

// Reads the counts and opens (maps) shards 1..request.shardCount as one
// index: under the data folder's Index lock, shared, so that a commit in any
// program is either wholly before or wholly after (index/index_commit.h).
// Waits while a commit runs, never for a whole refresh. Element n - 1 holds
// shard n, with no hits yet. Empty when there is no index at all (never
// refreshed, or not this data folder: index::IndexReadLock::IsBuilt), which
// callers must tell apart from an index without the number. Any thread.
std::vector<ShardHits> OpenShards(const SearchRequest& request);

// Scans the opened shards, one thread each, and returns once all have
// finished (joining them: no spinning). Stops between blocks, and between
// hits, once stop is set; what was found until then stays.
void ScanShards(const SearchRequest& request, std::vector<ShardHits>& shards,
                const KeywordSet& keywords, const std::atomic<bool>& stop);

// OpenShards, then ScanShards. A shard that cannot be opened has no hits;
// no index gives no shards.
std::vector<ShardHits> SearchShards(const SearchRequest& request, const KeywordSet& keywords,
                                    const std::atomic<bool>& stop);

}  // namespace cj::search
