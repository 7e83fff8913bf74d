#include "index/commit_record.h"

#include <gtest/gtest.h>

namespace cj::index {
namespace {

TEST(CommitRecord, RoundTripsAndRefusesAnythingElse) {
    CommitRecord record;
    record.oldShardCount = 4;
    record.threadCount = 2;
    record.counts = {5'000'000'000, 0};
    const std::string text = FormatCommitRecord(record);
    EXPECT_EQ(text,
              "chengjing index commit\r\nshards=2\r\nold=4\r\nthreads=2\r\n1=5000000000\r\n"
              "2=0\r\nend\r\n");
    EXPECT_EQ(ParseCommitRecord(text), record);
    record.threadCount.reset();
    EXPECT_EQ(ParseCommitRecord(FormatCommitRecord(record)), record);

    const char* const damaged[] = {
        "",
        "chengjing index commit\r\nshards=2\r\nold=4\r\n1=5\r\n2=0\r\n",         // No end.
        "chengjing index commit\r\nshards=2\r\nold=4\r\n1=5\r\n2=0\r\nend",      // Cut.
        "chengjing index commit\r\nshards=2\r\nold=4\r\n1=5\r\nend\r\n",         // A shard short.
        "chengjing index commit\r\nshards=1\r\nold=4\r\n1=5\r\n2=0\r\nend\r\n",  // One too many.
        "chengjing index commit\r\nshards=13\r\nold=4\r\n",                      // Too many shards.
        "chengjing index commit\r\nshards=1\r\nold=4\r\nthreads=2\r\n1=5\r\nend\r\n",
        "chengjing index commit\r\nshards=1\r\nold=4\r\n1=-5\r\nend\r\n",
        "chengjing index commit\r\nshards=1\r\nold=4\r\n1=5\r\nend\r\nmore\r\n",
        "chengjing index commit\nshards=1\nold=4\n1=5\nend\n",  // LF only.
    };
    for (const char* bad : damaged) {
        EXPECT_FALSE(ParseCommitRecord(bad)) << bad;
    }
}

}  // namespace
}  // namespace cj::index
