// The scan behind the batch search: every shard scanned once for all numbers
// of the batch, one worker per shard, and the hits turned into the batch's
// outcome. RunBatch and BatchSearch (batch_search.h) are built on it; the
// command line uses the pieces to print every hit of every number.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"
#include "search/batch_search.h"
#include "search/search_run.h"

namespace cj::search {

// One number of the batch found in one record.
struct BatchHit {
    std::string_view record;   // Into its mapped shard.
    std::uint32_t number = 0;  // Index into the batch's numbers.
};

struct BatchScan {
    // The shards as OpenShards gave them; the hits point into their bytes.
    std::vector<ShardHits> shards;
    // hits[n] belongs to shards[n]: in shard order, a record at most once per
    // number, and the hits of one record together, by number.
    std::vector<std::vector<BatchHit>> hits;
    MatchRule match = MatchRule::Exact;  // The rule the hits were found by.
    // An exact scan's: per number, the files whose name holds it only when
    // case and width are ignored. Found in the same pass.
    std::vector<std::uint64_t> filesOnlyIgnoringCase;
    bool stopped = false;     // The stop flag ended some shard's scan early.
    bool incomplete = false;  // A shard with records was unreadable, or memory ran out.
};

// Called now and then from a worker with the share of all records scanned,
// 0 to 100, rising with every call (calls never overlap). Must be quick.
using BatchProgress = std::function<void(int percent)>;

// Scans the opened shards (OpenShards) for numbers (none empty, as
// SplitBatchNumbers gives them): a number is in a record when it occurs in
// the file name by the single search's rule (KeywordOccurs in codePage under
// rule; the numbers are folded here when the rule needs it).
// One thread per shard, joined before it returns; without a thread the
// remaining shards are scanned on the calling thread. Stops between blocks
// once stop is set, keeping what was found.
BatchScan ScanBatch(std::vector<ShardHits> shards, const std::vector<std::string>& numbers,
                    const std::atomic<bool>& stop, platform::CodePage codePage,
                    const BatchProgress& progress = {}, MatchRule rule = MatchRule::Exact);

// The outcome: the count per number and the rows grouped by number in list
// order, each record once under the first number of the list it holds; for
// an exact scan each missing number's filesIgnoringCase.
BatchOutcome GroupBatch(BatchScan scan, const std::vector<std::string>& numbers);

// For every number that an exact scan found in no file, the files whose name
// holds it under MatchRule::IgnoreCaseAndWidth (0 for the others, and all 0
// for a stopped or incomplete scan or one that ignored case already).
std::vector<std::uint64_t> MissingFilesIgnoringCase(const BatchScan& scan, std::size_t numberCount);

// Every hit of every number: element i holds the records that hold
// numbers[i], in row order (shard 1's first). A record with two numbers is in
// both lists.
std::vector<std::vector<std::string_view>> HitsByNumber(const BatchScan& scan,
                                                        std::size_t numberCount);

}  // namespace cj::search
