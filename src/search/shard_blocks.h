// How a scan walks a shard: in blocks of whole lines, with the index's rules
// for where the text and its records end. Shared by the single search and the
// batch search; internal to the search library.
//
// The shard is read with the rules of the index (index/shard_file.h): its text
// ends at the first NUL byte, only its first `count` lines are records, a line
// ends at LF (a CR before it is not part of the record) or at a 0x1A byte, and
// empty lines are never records.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

#include "search/shard_scan.h"

namespace cj::search::detail {

// A stretch of whole lines of a shard, all of them among its records.
struct ShardBlock {
    const char* begin = nullptr;
    const char* end = nullptr;  // After the last line's end byte, or the text's end.
    bool hasSub = false;        // A 0x1A byte ends some line: LF is not the only line end.
    std::uint64_t lines = 0;    // The lines of the block: records, empty ones included.
};

class BlockVisitor {
  public:
    // Returns false to end the walk.
    virtual bool OnBlock(const ShardBlock& block) = 0;

  protected:
    ~BlockVisitor() = default;
};

// Hands bytes (a whole shard file with the record count from the
// configuration) to visitor in blocks of about 128 KiB, in order; a line
// longer than a block makes a longer block. Tests stop before every block.
// Stopped when stop was set or the visitor asked to end. Any thread.
ScanEnd WalkShardBlocks(std::string_view bytes, std::uint64_t count, const std::atomic<bool>& stop,
                        BlockVisitor& visitor);

// The first line end at or after pos, or end.
const char* FindLineEnd(const char* pos, const char* end, bool hasSub);
// The start of the line that holds pos; begin is a line start.
const char* FindLineStart(const char* begin, const char* pos, bool hasSub);
// The record of the line [start, lineEnd); lineEnd is the line's end byte, or
// blockEnd for a last line without one.
std::string_view RecordOf(const char* start, const char* lineEnd, const char* blockEnd);

}  // namespace cj::search::detail
