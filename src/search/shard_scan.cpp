#include "search/shard_scan.h"

#include <cstring>

#include "platform/files.h"
#include "search/scan_kernels.h"

namespace cj::search {
namespace {

// Blocks of 128 KiB stay in the second-level cache between the pass that
// counts line ends and the keyword search that follows it.
constexpr std::size_t BlockSize = 128 * 1024;

bool IsLineEnd(char c) {
    return c == '\n' || c == '\x1A';
}

// The first line end at or after pos, or end. Blocks without a 0x1A byte use
// the library's vectorised search for LF.
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

// The start of the line that holds pos; begin is a line start.
const char* FindLineStart(const char* begin, const char* pos, bool hasSub) {
#ifdef __GLIBC__
    if (!hasSub) {
        const void* lf = ::memrchr(begin, '\n', static_cast<std::size_t>(pos - begin));
        return lf != nullptr ? static_cast<const char*>(lf) + 1 : begin;
    }
#endif
    while (pos > begin && !IsLineEnd(pos[-1])) {
        --pos;
    }
    return pos;
}

// The record of the line [start, lineEnd); lineEnd is the line's end byte, or
// blockEnd for a last line without one.
std::string_view RecordOf(const char* start, const char* lineEnd, const char* blockEnd) {
    auto size = static_cast<std::size_t>(lineEnd - start);
    if (lineEnd < blockEnd && *lineEnd == '\n' && size > 0 && start[size - 1] == '\r') {
        --size;
    }
    return {start, size};
}

// Scans [begin, end), whole lines only. Returns false when the sink asked to
// stop.
bool ScanBlock(const char* begin, const char* end, bool hasSub, const KeywordSet& keywords,
               HitSink& sink) {
    const std::string_view anchor = keywords.Anchor();
    const platform::CodePage codePage = keywords.CodePage();
    if (anchor.empty()) {
        // No keyword to look for: every line is a candidate.
        for (const char* line = begin; line < end;) {
            const char* lineEnd = FindLineEnd(line, end, hasSub);
            const std::string_view record = RecordOf(line, lineEnd, end);
            if (!record.empty() && keywords.MatchesName(RecordName(record, codePage)) &&
                !sink.OnHit(record)) {
                return false;
            }
            if (lineEnd == end) {
                break;
            }
            line = lineEnd + 1;
        }
        return true;
    }

    const char* from = begin;
    while (from < end) {
        const char* hit = detail::FindBytes(from, static_cast<std::size_t>(end - from),
                                            anchor.data(), anchor.size());
        if (hit == nullptr) {
            break;
        }
        const char* lineStart = FindLineStart(begin, hit, hasSub);
        const char* lineEnd = FindLineEnd(hit, end, hasSub);
        const std::string_view record = RecordOf(lineStart, lineEnd, end);
        const std::string_view name = RecordName(record, codePage);
        if (hit < name.data()) {
            // The keyword is in a folder of the path: look again from the name
            // on, which may hold it too.
            from = name.data();
            continue;
        }
        // Every keyword, the anchor included, is tested on the name by the
        // exact rule (character boundaries, an occurrence that runs past the
        // record's end).
        if (keywords.MatchesName(name) && !sink.OnHit(record)) {
            return false;
        }
        if (lineEnd == end) {
            break;
        }
        from = lineEnd + 1;
    }
    return true;
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

std::string_view RecordName(std::string_view record, platform::CodePage codePage) {
    constexpr char Separator = platform::PathSeparator;
    // A separator below 0x40 can never be the trail byte of a GBK pair.
    if (codePage == platform::CodePage::Utf8 || static_cast<unsigned char>(Separator) < 0x40) {
        const std::size_t slash = record.rfind(Separator);
        return slash == std::string_view::npos ? record : record.substr(slash + 1);
    }
    std::size_t nameStart = 0;
    for (std::size_t pos = 0; pos < record.size();
         pos = platform::NextCharBoundary(record, pos, codePage)) {
        if (record[pos] == Separator) {
            nameStart = pos + 1;
        }
    }
    return record.substr(nameStart);
}

ScanEnd ScanShard(std::string_view bytes, std::uint64_t count, const KeywordSet& keywords,
                  const std::atomic<bool>& stop, HitSink& sink) {
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
        detail::ByteSurvey survey = detail::SurveyBytes(data + pos, end - pos);
        if (survey.hasNul) {
            // The text ends at the first NUL.
            const void* nul = std::memchr(data + pos, '\0', end - pos);
            limit = static_cast<std::size_t>(static_cast<const char*>(nul) - data);
            end = limit;
            survey = detail::SurveyBytes(data + pos, end - pos);
        }
        const bool endsUnterminated = end == limit && end > pos && !IsLineEnd(data[end - 1]);
        const std::uint64_t lines = survey.lineEnds + (endsUnterminated ? 1U : 0U);
        if (lines >= linesLeft) {
            end = static_cast<std::size_t>(
                AfterLines(data + pos, data + end, linesLeft, survey.hasSub) - data);
            linesLeft = 0;
        } else {
            linesLeft -= lines;
        }
        if (!ScanBlock(data + pos, data + end, survey.hasSub, keywords, sink)) {
            return ScanEnd::Stopped;
        }
        pos = end;
    }
    return ScanEnd::Completed;
}

}  // namespace cj::search
