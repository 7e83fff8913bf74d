// The rows of a search: one per hit, in row order (every hit of shard 1 in
// shard order, then shard 2, and so on), each with its copy mark.
//
// The rows are the index records themselves, as views into the shards the
// search mapped: a search with a million hits copies no path. What a person
// reads of a row (name, type and size) is made by the window when the row is
// first drawn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "search/search_run.h"

namespace cj::search {

// What the copy list did with a row. The window keeps InCopyList and
// AddedAgain true to the list: a row shows them exactly while its path is in
// the copy list, whichever search added it (copylist::CopyList::MarkRows).
enum class CopyMark : std::uint8_t {
    None,            // Not taken (every new row whose file is not in the list).
    InCopyList,      // Its file is in the copy list.
    AddedAgain,      // Asked to be added while its file was in the list already.
    CopiedDirectly,  // Copied at once by a double-click.
};

// Built by the search's collector and then handed over whole to the window,
// which owns it from there on (UI thread only). Rows count from 1.
class ResultsArray {
  public:
    ResultsArray() = default;
    // Takes the hits of every shard, in shard order, with the shards they
    // point into; only their paths become rows.
    explicit ResultsArray(std::vector<ShardHits> shards);
    // Takes the shards and rows in an order of the caller's (the batch
    // search's, grouped by number); every row points into the shards, whose
    // own paths are dropped.
    ResultsArray(std::vector<ShardHits> shards, std::vector<std::string_view> rows);

    std::size_t Count() const { return m_marks.size(); }

    // The full path of row k; "" when k is 0 or beyond the last row.
    std::string_view Path(std::size_t k) const;

    // CopyMark::None for a row that does not exist.
    CopyMark Mark(std::size_t k) const;
    // Ignored for a row that does not exist.
    void SetMark(std::size_t k, CopyMark mark);

  private:
    std::vector<ShardHits> m_shards;  // Never resized after construction: paths point into it.
    std::vector<std::size_t> m_ends;  // m_ends[i]: rows in shards 0..i together.
    std::vector<CopyMark> m_marks;    // One per row.
};

}  // namespace cj::search
