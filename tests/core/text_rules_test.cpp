#include "core/text_rules.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace cj::core {
namespace {

using Members = std::vector<std::string>;

struct SplitCase {
    const char* text;
    const char* separator;
    Members members;
};

TEST(SplitText, FollowsTheSplittingRule) {
    const SplitCase cases[] = {
        // Keywords at a single space.
        {"", " ", {}},
        {"SF123", " ", {"SF123"}},
        {"ab cd", " ", {"ab", "cd"}},
        {"ab cd ", " ", {"ab", "cd"}},  // A trailing separator adds nothing.
        {"a  b", " ", {"a", "", "b"}},  // Separators in a row give an empty member.
        {" a", " ", {"", "a"}},         // So does a leading one.
        {"a  ", " ", {"a", ""}},        // Only the very last separator is dropped.
        {" ", " ", {""}},
        // Type filters at "|".
        {"mp3|ape|.flac", "|", {"mp3", "ape", ".flac"}},
        {"mp3||ape|", "|", {"mp3", "", "ape"}},
        // Folder lists at the three-character "*/*".
        {"/a*/*/b*/*", "*/*", {"/a", "/b"}},
        {"/a*/**/*/b*/*", "*/*", {"/a", "", "/b"}},
        {"/a", "*/*", {"/a"}},
        {"*/*", "*/*", {""}},
        {"x*/", "*/*", {"x*/"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(SplitText(c.text, c.separator), c.members)
            << "'" << c.text << "' at '" << c.separator << "'";
    }
}

TEST(FolderList, RoundTripsThroughTheStoredValue) {
    EXPECT_EQ(JoinFolderList({}), "");
    EXPECT_EQ(JoinFolderList({"/srv/a", "/srv/b"}), "/srv/a*/*/srv/b*/*");
    EXPECT_EQ(JoinFolderList({"/"}), "/*/*");
    EXPECT_EQ(SplitFolderList(""), Members{});
    EXPECT_EQ(SplitFolderList("/srv/a*/*/srv/b*/*"), (Members{"/srv/a", "/srv/b"}));
    EXPECT_EQ(SplitFolderList("/srv/a*/**/*/srv/b*/*"), (Members{"/srv/a", "", "/srv/b"}));
    // The root folder "/" ends in the separator's first character; it must
    // still come back as itself.
    EXPECT_EQ(SplitFolderList(JoinFolderList({"/", "/srv"})), (Members{"/", "/srv"}));
    const Members chinese{"/srv/快递/扫描", "/srv/仓库 2"};
    EXPECT_EQ(SplitFolderList(JoinFolderList(chinese)), chinese);
}

TEST(TextToInt, ReadsNumbersAsTheConfigurationDoes) {
    constexpr auto Max = std::numeric_limits<std::int64_t>::max();
    constexpr auto Min = std::numeric_limits<std::int64_t>::min();
    const std::pair<const char*, std::int64_t> cases[] = {
        {"", 0},
        {"abc", 0},
        {"0", 0},
        {"12", 12},
        {"  7", 7},
        {"-3", -3},
        {"+4", 4},
        {"12abc", 12},
        {"1 000", 1},
        {"-", 0},
        {"3.9", 3},
        {"0012", 12},
        {"9223372036854775807", Max},
        {"99999999999999999999", Max},
        {"-9223372036854775808", Min},
        {"-99999999999999999999", Min},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(TextToInt(text), value) << "'" << text << "'";
    }
}

TEST(ThreadCount, UsesTheStoredValueOnlyWhenInRange) {
    const int cores = DefaultThreadCount();
    EXPECT_GE(cores, 1);
    EXPECT_LE(cores, MaxThreadCount);
    const std::pair<const char*, int> cases[] = {
        {"1", 1},     {"4", 4},      {"12", 12},    {"", cores},
        {"0", cores}, {"13", cores}, {"-2", cores}, {"many", cores},
    };
    for (const auto& [text, count] : cases) {
        EXPECT_EQ(ThreadCountFromText(text), count) << "'" << text << "'";
    }
}

}  // namespace
}  // namespace cj::core
