// The scan of one index shard for the records whose file name holds every
// keyword, with the index's rules for records (shard_blocks.h).
//
// The scan does not go line by line: it looks for the longest keyword in the
// whole buffer, block by block, and only where it occurs finds the record
// around it, checks that the occurrence lies in the file name and tests the
// other keywords. Line ends are counted per block in the same pass over the
// bytes, so the record count costs no extra trip through memory.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

#include "search/keywords.h"

namespace cj::search {

// Receives the hits of a scan in shard order.
class HitSink {
  public:
    // record is a full path inside the scanned bytes. Returns false to end the
    // scan early.
    virtual bool OnHit(std::string_view record) = 0;

  protected:
    ~HitSink() = default;
};

enum class ScanEnd { Completed, Stopped };

// Scans bytes (a whole shard file) with the record count from the
// configuration. Tests stop between blocks of about 128 KiB; a stopped scan has
// delivered every hit before the point where it stopped. Any thread; keywords
// and bytes are only read.
ScanEnd ScanShard(std::string_view bytes, std::uint64_t count, const KeywordSet& keywords,
                  const std::atomic<bool>& stop, HitSink& sink);

// The file name of a record: the part after its last separator ("" when the
// record ends in one). Boundary-aware, so that a GBK trail byte that looks like
// a backslash is not taken for a separator.
std::string_view RecordName(std::string_view record, platform::CodePage codePage);

}  // namespace cj::search
