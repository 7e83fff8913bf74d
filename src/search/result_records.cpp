#include "search/result_records.h"

#include <algorithm>

namespace cj::search {

ResultsArray::ResultsArray(std::vector<ShardHits> shards) : m_shards(std::move(shards)) {
    std::size_t rows = 0;
    m_ends.reserve(m_shards.size());
    for (const ShardHits& shard : m_shards) {
        rows += shard.paths.size();
        m_ends.push_back(rows);
    }
    m_marks.assign(rows, CopyMark::None);
}

ResultsArray::ResultsArray(std::vector<ShardHits> shards, std::vector<std::string_view> rows)
    : m_shards(std::move(shards)) {
    // The rows become the first shard's paths: Path finds them there, and the
    // mappings of every shard stay as long as the rows.
    for (ShardHits& shard : m_shards) {
        shard.paths.clear();
        shard.sizes.clear();
    }
    if (m_shards.empty()) {
        m_shards.emplace_back();
    }
    m_shards.front().paths = std::move(rows);
    m_ends.assign(m_shards.size(), m_shards.front().paths.size());
    m_marks.assign(m_shards.front().paths.size(), CopyMark::None);
}

std::string_view ResultsArray::Path(std::size_t k) const {
    if (k < 1 || k > Count()) {
        return {};
    }
    const std::size_t index = k - 1;
    // At most twelve shards: the first whose end lies past the row holds it.
    const auto end = std::upper_bound(m_ends.begin(), m_ends.end(), index);
    const auto shard = static_cast<std::size_t>(end - m_ends.begin());
    const std::size_t first = shard == 0 ? 0 : m_ends[shard - 1];
    return m_shards[shard].paths[index - first];
}

CopyMark ResultsArray::Mark(std::size_t k) const {
    return k >= 1 && k <= Count() ? m_marks[k - 1] : CopyMark::None;
}

void ResultsArray::SetMark(std::size_t k, CopyMark mark) {
    if (k >= 1 && k <= Count()) {
        m_marks[k - 1] = mark;
    }
}

}  // namespace cj::search
