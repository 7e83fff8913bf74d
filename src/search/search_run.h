// One search over the index: a worker thread per shard, each scanning its
// shard and preparing what the caller needs of its hits.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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
    int shardCount = 0;        // Shards 1..shardCount are read; below 1 reads none.
    HitDetail detail = HitDetail::Paths;
    // With HitDetail::Paths, optional: shard 1's hits go here as they are
    // found, on its worker's thread, instead of into its paths (its count
    // still counts them). The first shard's hits come first in any case, so
    // the command line writes them out while the other shards are scanned.
    HitSink* firstShardSink = nullptr;
};

// Searches shard n: maps data/<n>.txt (a missing shard has no hits), reads its
// count from [syjs] and scans it. Stops between blocks, and between hits, once
// stop is set; what was found until then stays. Any thread.
void SearchShard(const SearchRequest& request, int n, const KeywordSet& keywords,
                 const std::atomic<bool>& stop, ShardHits& out);

// Searches every shard, one thread each, and returns once all have finished
// (joining them: no spinning). Element n - 1 holds the hits of shard n.
std::vector<ShardHits> SearchShards(const SearchRequest& request, const KeywordSet& keywords,
                                    const std::atomic<bool>& stop);

}  // namespace cj::search
