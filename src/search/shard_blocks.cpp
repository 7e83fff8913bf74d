#include "search/shard_blocks.h"

#include <cstring>

#include "search/scan_kernels.h"

namespace cj::search::detail {
namespace {

// Blocks of 128 KiB stay in the second-level cache between the pass that
// counts line ends and the search that follows it.
constexpr std::size_t BlockSize = std::size_t{128} * 1024;

bool IsLineEnd(char c) {
    return c == '\n' || c == '\x1A';
}

// The end of the first `lines` lines of [begin, end) (all of it when it holds
// fewer).
const char* AfterLines(const char* begin, const char* end, std::uint64_t lines, bool hasSub) {
    const char* pos = begin;
    for (std::uint64_t seen = 0; seen < lines && pos < end; ++seen) {
        const char* lineEnd = FindLineEnd(pos, end, hasSub);
        pos = lineEnd == end ? end : lineEnd + 1;
    }
    return pos;
}

}  // namespace

// Blocks without a 0x1A byte use the library's vectorised search for LF.
const char* FindLineEnd(const char* pos, const char* end, bool hasSub) {
    if (!hasSub) {
        const void* lf = std::memchr(pos, '\n', static_cast<std::size_t>(end - pos));
        return lf != nullptr ? static_cast<const char*>(lf) : end;
    }
    while (pos < end && !IsLineEnd(*pos)) {
        ++pos;
    }
    return pos;
}

const char* FindLineStart(const char* begin, const char* pos, bool hasSub) {
#ifdef __GLIBC__
    if (!hasSub) {
        const void* lf = ::memrchr(begin, '\n', static_cast<std::size_t>(pos - begin));
        return lf != nullptr ? static_cast<const char*>(lf) + 1 : begin;
    }
#else
    static_cast<void>(hasSub);  // Without memrchr the byte loop serves both kinds of block.
#endif
    while (pos > begin && !IsLineEnd(pos[-1])) {
        --pos;
    }
    return pos;
}

std::string_view RecordOf(const char* start, const char* lineEnd, const char* blockEnd) {
    auto size = static_cast<std::size_t>(lineEnd - start);
    if (lineEnd < blockEnd && *lineEnd == '\n' && size > 0 && start[size - 1] == '\r') {
        --size;
    }
    return {start, size};
}

ScanEnd WalkShardBlocks(std::string_view bytes, std::uint64_t count, const std::atomic<bool>& stop,
                        BlockVisitor& visitor) {
    const char* const data = bytes.data();
    std::size_t limit = bytes.size();  // Drops to the first NUL once one is seen.
    std::size_t pos = 0;               // Always a line start.
    std::uint64_t linesLeft = count;
    while (linesLeft > 0 && pos < limit) {
        if (stop.load(std::memory_order_relaxed)) {
            return ScanEnd::Stopped;
        }
        // The block ends after its last line end; a line longer than a block
        // makes a longer block.
        std::size_t end = limit;
        if (limit - pos > BlockSize) {
            end = pos + BlockSize;
            while (end > pos && !IsLineEnd(data[end - 1])) {
                --end;
            }
            if (end == pos) {
                end = pos + BlockSize;
                while (end < limit && !IsLineEnd(data[end])) {
                    ++end;
                }
                end += end < limit ? 1 : 0;
            }
        }
        ByteSurvey survey = SurveyBytes(data + pos, end - pos);
        if (survey.hasNul) {
            // The text ends at the first NUL.
            const void* nul = std::memchr(data + pos, '\0', end - pos);
            limit = static_cast<std::size_t>(static_cast<const char*>(nul) - data);
            end = limit;
            survey = SurveyBytes(data + pos, end - pos);
        }
        const bool endsUnterminated = end == limit && end > pos && !IsLineEnd(data[end - 1]);
        std::uint64_t lines = survey.lineEnds + (endsUnterminated ? 1U : 0U);
        if (lines >= linesLeft) {
            end = static_cast<std::size_t>(
                AfterLines(data + pos, data + end, linesLeft, survey.hasSub) - data);
            lines = linesLeft;
            linesLeft = 0;
        } else {
            linesLeft -= lines;
        }
        if (!visitor.OnBlock({data + pos, data + end, survey.hasSub, lines})) {
            return ScanEnd::Stopped;
        }
        pos = end;
    }
    return ScanEnd::Completed;
}

}  // namespace cj::search::detail
