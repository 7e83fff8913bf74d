// Fuzz target: the search's scan of one shard (search::ScanShard) against a
// naive line-by-line search of the same bytes, so that a wrong hit list is a
// crash and not only a memory error.
//
// Input: a flags byte (bit 0: GBK instead of UTF-8; bit 1: keywords from the
// input instead of the table; bits 2, 3 and 7 all set, with the table byte's
// bit 7 set: the shard bytes, as whole lines, repeated past the scan's 128 KiB
// block, about one input in 32; bits 4-6: stop after that many hits, 0 for
// never), a record count byte (InputReader::Count), a byte that picks
// keywords from the table, the keyword text when bit 1 is set (up to a 0x00
// byte), then the shard file's bytes.
//
// A repeated shard is checked against the naive hits of one copy, repeated:
// reading 160 KiB the naive way would cost as much as a thousand short inputs.
#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "search/keywords.h"
#include "search/shard_scan.h"

namespace {

using cj::platform::CodePage;

constexpr std::array<std::string_view, 16> KeywordTexts{{
    "",
    "a",
    "ab",
    "a b",
    "a  b",
    ".txt",
    "中",
    "\xE4\xB8",
    "\xAD",
    "/",
    "\r",
    "1 2 3",
    " ",
    "b a",
    "\x81\x40",
    "txt ",
}};

// The scan reads past its 128 KiB block only on long shards.
constexpr std::size_t TiledSize = 160 * 1024;
constexpr std::uint8_t TileFlags = 0x8C;

// The naive rules, written without the scan's or the keyword set's code: a
// record's name is what follows its last separator that starts a character;
// a keyword occurs where its bytes start at a character boundary; an empty
// keyword occurs in any non-empty name; no keywords match every name.
std::string_view NaiveName(std::string_view record, CodePage codePage) {
    std::size_t start = 0;
    for (std::size_t pos = 0; pos < record.size(); ++pos) {
        if (record[pos] == cj::platform::PathSeparator &&
            cj::platform::IsCharBoundary(record, pos, codePage)) {
            start = pos + 1;
        }
    }
    return record.substr(start);
}

bool NaiveOccurs(std::string_view name, std::string_view keyword, CodePage codePage) {
    if (keyword.empty()) {
        return !name.empty();
    }
    for (std::size_t at = 0; at + keyword.size() <= name.size(); ++at) {
        // The first byte alone rules out most places without a call to
        // memcmp, which libFuzzer intercepts at a cost.
        if (name[at] == keyword.front() && name.substr(at, keyword.size()) == keyword &&
            cj::platform::IsCharBoundary(name, at, codePage)) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> NaiveKeywords(std::string_view text) {
    std::vector<std::string> keywords;
    if (text.empty()) {
        return keywords;
    }
    std::size_t start = 0;
    for (std::size_t pos = 0; pos <= text.size(); ++pos) {
        if (pos == text.size() || text[pos] == ' ') {
            if (pos < text.size() || start < pos) {
                keywords.emplace_back(text.substr(start, pos - start));
            }
            start = pos + 1;
        }
    }
    return keywords;
}

std::vector<std::string_view> NaiveHits(std::string_view bytes, std::uint64_t count,
                                        const std::vector<std::string>& keywords,
                                        CodePage codePage) {
    std::vector<std::string_view> hits;
    const std::string_view text = bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
    std::size_t lineStart = 0;
    for (std::uint64_t line = 0; line < count && lineStart < text.size(); ++line) {
        std::size_t lineEnd = lineStart;
        while (lineEnd < text.size() && text[lineEnd] != '\n' && text[lineEnd] != '\x1A') {
            ++lineEnd;
        }
        std::string_view record = text.substr(lineStart, lineEnd - lineStart);
        if (lineEnd < text.size() && text[lineEnd] == '\n' && !record.empty() &&
            record.back() == '\r') {
            record.remove_suffix(1);
        }
        lineStart = lineEnd + 1;
        if (record.empty()) {
            continue;
        }
        const std::string_view name = NaiveName(record, codePage);
        bool matches = true;
        for (const std::string& keyword : keywords) {
            matches = matches && NaiveOccurs(name, keyword, codePage);
        }
        if (matches) {
            hits.push_back(record);
        }
    }
    return hits;
}

class CollectingSink final : public cj::search::HitSink {
  public:
    explicit CollectingSink(std::size_t stopAfter) : m_stopAfter(stopAfter) {}
    bool OnHit(std::string_view record) override {
        hits.push_back(record);
        return m_stopAfter == 0 || hits.size() < m_stopAfter;
    }
    std::vector<std::string_view> hits;

  private:
    std::size_t m_stopAfter;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    cj::fuzz::InputReader input(data, size);
    const std::uint8_t flags = input.Byte();
    std::uint64_t count = input.Count();
    const std::uint8_t tableChoice = input.Byte();
    const CodePage codePage = (flags & 1U) != 0 ? CodePage::Gbk : CodePage::Utf8;
    const std::string keywordText(
        (flags & 2U) != 0 ? input.Field(24) : KeywordTexts[tableChoice % KeywordTexts.size()]);
    const std::size_t stopAfter = (flags >> 4U) & 7U;

    const cj::search::KeywordSet keywords(keywordText, codePage);
    const std::vector<std::string> naiveKeywords = NaiveKeywords(keywordText);
    CJ_FUZZ_CHECK(keywords.Keywords() == naiveKeywords);

    std::string bytes(input.Rest());
    std::vector<std::string_view> expected;
    std::string unit;
    if ((flags & TileFlags) == TileFlags && (tableChoice & 0x80U) != 0 && !bytes.empty()) {
        // Whole lines, so that each copy holds the same records: the hits
        // are those of one copy, once per copy (once in all when a NUL ends
        // the text inside the first).
        unit = bytes;
        if (unit.back() != '\n' && unit.back() != '\x1A') {
            unit += '\n';
        }
        count = count == 0 ? 0 : UINT64_MAX;
        const std::vector<std::string_view> unitHits =
            NaiveHits(unit, count, naiveKeywords, codePage);
        const std::size_t copies = (TiledSize + unit.size() - 1) / unit.size();
        bytes.clear();
        bytes.reserve(copies * unit.size());
        for (std::size_t i = 0; i < copies; ++i) {
            bytes += unit;
        }
        const bool endsInFirstCopy = unit.find('\0') != std::string::npos;
        for (std::size_t i = 0; i < (endsInFirstCopy ? 1 : copies); ++i) {
            expected.insert(expected.end(), unitHits.begin(), unitHits.end());
        }
    } else {
        expected = NaiveHits(bytes, count, naiveKeywords, codePage);
    }
    if (stopAfter != 0 && expected.size() > stopAfter) {
        expected.resize(stopAfter);
    }
    CollectingSink sink(stopAfter);
    const std::atomic<bool> never{false};
    const cj::search::ScanEnd end = cj::search::ScanShard(bytes, count, keywords, never, sink);
    // By content: expected views may lie in the single copy.
    CJ_FUZZ_CHECK(sink.hits == expected);
    const bool sinkStopped = stopAfter != 0 && sink.hits.size() == stopAfter;
    CJ_FUZZ_CHECK((end == cj::search::ScanEnd::Stopped) == sinkStopped);
    // Every hit is a view into the scanned bytes, as the sink's contract says.
    for (const std::string_view hit : sink.hits) {
        CJ_FUZZ_CHECK(hit.data() >= bytes.data() &&
                      hit.data() + hit.size() <= bytes.data() + bytes.size());
    }
    return 0;
}
