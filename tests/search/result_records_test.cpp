#include "search/result_records.h"

#include <gtest/gtest.h>

namespace cj::search {
namespace {

ShardHits HitsOf(std::vector<std::string_view> paths) {
    ShardHits hits;
    hits.paths = std::move(paths);
    hits.count = hits.paths.size();
    return hits;
}

TEST(ResultsArray, RowsRunThroughTheShardsInOrderAndCountFromOne) {
    std::vector<ShardHits> shards;
    shards.push_back(HitsOf({"/1", "/2"}));
    shards.push_back(HitsOf({}));  // A shard without hits adds no rows.
    shards.push_back(HitsOf({"/3"}));
    const ResultsArray rows(std::move(shards));
    ASSERT_EQ(rows.Count(), 3U);
    EXPECT_EQ(rows.Path(0), "");
    EXPECT_EQ(rows.Path(1), "/1");
    EXPECT_EQ(rows.Path(2), "/2");
    EXPECT_EQ(rows.Path(3), "/3");
    EXPECT_EQ(rows.Path(4), "");
    EXPECT_EQ(ResultsArray().Count(), 0U);
    EXPECT_EQ(ResultsArray().Path(1), "");
}

TEST(ResultsArray, CopyMarksStartClearAndStayWithTheirRow) {
    std::vector<ShardHits> shards;
    shards.push_back(HitsOf({"/1"}));
    shards.push_back(HitsOf({"/2", "/3"}));
    ResultsArray rows(std::move(shards));
    for (std::size_t k = 1; k <= rows.Count(); ++k) {
        EXPECT_EQ(rows.Mark(k), CopyMark::None) << k;
    }
    rows.SetMark(2, CopyMark::InCopyList);
    rows.SetMark(3, CopyMark::CopiedDirectly);
    rows.SetMark(4, CopyMark::AddedAgain);  // No such row: ignored.
    rows.SetMark(0, CopyMark::AddedAgain);
    EXPECT_EQ(rows.Mark(1), CopyMark::None);
    EXPECT_EQ(rows.Mark(2), CopyMark::InCopyList);
    EXPECT_EQ(rows.Mark(3), CopyMark::CopiedDirectly);
    EXPECT_EQ(rows.Mark(4), CopyMark::None);
}

}  // namespace
}  // namespace cj::search
