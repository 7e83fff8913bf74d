// Fuzz target: the shard readers of index/shard_file.h against a naive
// line-by-line reading of the same bytes, and the shard writer's buffers read
// back through them.
//
// Input: a record count byte (see InputReader::Count), a byte that says after
// how many records to stop early, a shard count byte, then the shard file's
// bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "index/shard_file.h"

namespace {

// The rules of the header, written the plain way: text up to the first NUL;
// of the first `count` lines (ending at LF or 0x1A, the last one maybe
// unterminated), the non-empty ones without a CR before the LF.
struct NaiveShard {
    std::string_view text;
    std::size_t prefixLength = 0;
    std::vector<std::string_view> records;
};

NaiveShard ReadNaively(std::string_view bytes, std::uint64_t count) {
    NaiveShard shard;
    std::size_t textEnd = 0;
    while (textEnd < bytes.size() && bytes[textEnd] != '\0') {
        ++textEnd;
    }
    shard.text = bytes.substr(0, textEnd);
    std::size_t lineStart = 0;
    std::uint64_t line = 0;
    for (std::size_t i = 0; i <= textEnd && line < count && lineStart < textEnd; ++i) {
        const bool atEnd = i == textEnd;
        if (!atEnd && shard.text[i] != '\n' && shard.text[i] != '\x1A') {
            continue;
        }
        std::string_view record = shard.text.substr(lineStart, i - lineStart);
        if (!atEnd && shard.text[i] == '\n' && !record.empty() && record.back() == '\r') {
            record.remove_suffix(1);
        }
        if (!record.empty()) {
            shard.records.push_back(record);
        }
        ++line;
        lineStart = atEnd ? textEnd : i + 1;
        shard.prefixLength = lineStart;
    }
    return shard;
}

std::vector<std::string_view> ReadRecords(std::string_view text, std::uint64_t count,
                                          std::size_t stopAfter) {
    std::vector<std::string_view> records;
    cj::index::ForEachRecord(text, count, [&](std::string_view record) {
        records.push_back(record);
        return records.size() < stopAfter;
    });
    return records;
}

// Records the walk can hand the writer: no line end, no NUL, no CR at the end.
bool IsWritableRecord(std::string_view record) {
    return record.find_first_of(std::string_view("\n\x1A\0", 3)) == std::string_view::npos &&
           record.back() != '\r';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    cj::fuzz::InputReader input(data, size);
    const std::uint64_t count = input.Count();
    const std::size_t stopAfter = input.Byte() % 8U;
    const int shardCount = 1 + input.Byte() % 12;
    const std::string_view bytes = input.Rest();

    const NaiveShard naive = ReadNaively(bytes, count);
    const std::string_view text = cj::index::ShardText(bytes);
    CJ_FUZZ_CHECK(text == naive.text && text.data() == bytes.data());
    CJ_FUZZ_CHECK(cj::index::LinesPrefixLength(text, count) == naive.prefixLength);

    const auto records = ReadRecords(text, count, SIZE_MAX);
    CJ_FUZZ_CHECK(records == naive.records);
    if (stopAfter > 0) {
        const auto early = ReadRecords(text, count, stopAfter);
        CJ_FUZZ_CHECK(early.size() == std::min(stopAfter, naive.records.size()));
        CJ_FUZZ_CHECK(std::equal(early.begin(), early.end(), naive.records.begin()));
    }

    // Round trip: records dealt to shards and read back by their counts come
    // back whole, each in its shard, in order.
    std::vector<std::string_view> writable;
    for (const std::string_view record : naive.records) {
        if (IsWritableRecord(record)) {
            writable.push_back(record);
        }
    }
    cj::index::ShardSet shards(shardCount);
    for (const std::string_view record : writable) {
        shards.Add(record);
    }
    for (int n = 1; n <= shardCount; ++n) {
        const std::string& buffer = shards.Buffer(n);
        const auto back = ReadRecords(cj::index::ShardText(buffer), shards.Count(n), SIZE_MAX);
        CJ_FUZZ_CHECK(back.size() == shards.Count(n));
        CJ_FUZZ_CHECK(cj::index::LinesPrefixLength(buffer, shards.Count(n)) == buffer.size());
        for (std::size_t i = 0; i < back.size(); ++i) {
            CJ_FUZZ_CHECK(back[i] == writable[i * static_cast<std::size_t>(shardCount) +
                                              static_cast<std::size_t>(n - 1)]);
        }
    }
    return 0;
}
