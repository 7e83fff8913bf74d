#include "search/shard_scan.h"

#include "platform/path_text.h"
#include "search/scan_kernels.h"
#include "search/shard_blocks.h"

namespace cj::search {
namespace {

using detail::FindLineEnd;
using detail::FindLineStart;
using detail::RecordOf;

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

    // Under the folding rule the anchor is looked for in either case, and a
    // name holding a full-width form is tested whole: its bytes cannot be
    // lined up with the anchor's.
    const bool folded = keywords.Rule() == MatchRule::IgnoreCaseAndWidth;
    const std::string_view leads = folded ? FullWidthLeadBytes(codePage) : std::string_view();
    const char* from = begin;
    while (from < end) {
        const auto size = static_cast<std::size_t>(end - from);
        const char* hit =
            folded ? detail::FindFoldedOrLead(from, size, anchor.data(), anchor.size(), leads)
                   : detail::FindBytes(from, size, anchor.data(), anchor.size());
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
        // set's rule (character boundaries, an occurrence that runs past the
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

class KeywordBlocks final : public detail::BlockVisitor {
  public:
    KeywordBlocks(const KeywordSet& keywords, HitSink& sink) : m_keywords(keywords), m_sink(sink) {}
    bool OnBlock(const detail::ShardBlock& block) override {
        return ScanBlock(block.begin, block.end, block.hasSub, m_keywords, m_sink);
    }

  private:
    const KeywordSet& m_keywords;
    HitSink& m_sink;
};

}  // namespace

std::string_view RecordName(std::string_view record, platform::CodePage codePage) {
    const std::size_t separator = platform::FindLastSeparator(record, codePage);
    return separator == std::string_view::npos ? record : record.substr(separator + 1);
}

ScanEnd ScanShard(std::string_view bytes, std::uint64_t count, const KeywordSet& keywords,
                  const std::atomic<bool>& stop, HitSink& sink) {
    KeywordBlocks blocks(keywords, sink);
    return detail::WalkShardBlocks(bytes, count, stop, blocks);
}

}  // namespace cj::search
