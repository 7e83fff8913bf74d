#include "search/keywords.h"

#include <gtest/gtest.h>

namespace cj::search {
namespace {

using platform::CodePage;

TEST(KeywordSet, SplitsAtEverySingleSpace) {
    EXPECT_EQ(KeywordSet("ab cd").Keywords(), (std::vector<std::string>{"ab", "cd"}));
    EXPECT_EQ(KeywordSet("a  b").Keywords(), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(KeywordSet("a ").Keywords(), (std::vector<std::string>{"a"}));
    EXPECT_TRUE(KeywordSet("").Keywords().empty());
    EXPECT_EQ(KeywordSet("SF1 SF12345 JD").Anchor(), "SF12345");
    EXPECT_EQ(KeywordSet(" ").Anchor(), "");
}

struct MatchCase {
    const char* keywords;
    const char* name;
    bool matches;
};

void ExpectTable(const std::vector<MatchCase>& table, CodePage codePage) {
    for (const MatchCase& c : table) {
        EXPECT_EQ(KeywordSet(c.keywords, codePage).MatchesName(c.name), c.matches)
            << "keywords \"" << c.keywords << "\" name \"" << c.name << "\"";
    }
}

TEST(KeywordSet, MatchesFileNamesByTheRules) {
    ExpectTable(
        {
            // Keywords combine with AND, in any order.
            {"ab cd", "abXcd.txt", true},
            {"ab cd", "cd-ab.pdf", true},
            {"ab cd", "ab.txt", false},
            // Byte for byte: case counts.
            {"AB", "ab.txt", false},
            {"sf", "SF1400000000001.jpg", false},
            {"SF14", "SF1400000000001.jpg", true},
            // An empty keyword (two spaces in a row) occurs in every non-empty name.
            {"a  b", "a-b.jpg", true},
            {"a  b", "a.jpg", false},
            {" ", "x", true},
            {" ", "", false},
            // No keywords at all: everything, even an empty name.
            {"", "x.jpg", true},
            {"", "", true},
            // A keyword given twice is needed once.
            {"a a", "a.jpg", true},
            {"SF SF", "SF1.jpg", true},
            // The extension belongs to the name.
            {"jpg", "x.jpg", true},
            {".jpg", "x.jpg", true},
            {"jpg", "x.png", false},
            {"gz", "a.tar.gz", true},
            {"tar.gz", "a.tar.gz", true},
            {"a.tar", "a.tar.gz", true},
            // Names without an extension.
            {"README", "README", true},
            {"README .", "README", false},
            // A keyword longer than the name, or spanning a folder, cannot match.
            {"abcdef", "abc", false},
            {"scan/a", "a.jpg", false},
        },
        CodePage::Utf8);
}

TEST(KeywordSet, MatchesStartOnlyAtUtf8CharacterBoundaries) {
    ExpectTable(
        {
            {"顺丰", "顺丰SF1.jpg", true},
            {"丰 SF", "顺丰SF1.jpg", true},
            {"退货", "顺丰SF1.jpg", false},
            // "é" is C3 A9: its second byte alone is no match, even though the
            // bytes are there.
            {"\xA9", "caf\xC3\xA9.jpg", false},
            {"\xA9",
             "\xA9"
             "caf\xC3\xA9.jpg",
             true},  // A stray byte is a character of its own.
            {"\xC3\xA9", "caf\xC3\xA9.jpg", true},
        },
        CodePage::Utf8);
}

TEST(KeywordSet, MatchesStartOnlyAtGbkCharacterBoundaries) {
    // 0x81 0x41 is one GBK character whose second byte is "A".
    ExpectTable(
        {
            {"A",
             "\x81"
             "A.jpg",
             false},
            {"A",
             "\x81"
             "AA.jpg",
             true},  // The second A stands alone.
            {"A",
             "\xD6\xD0"
             "A.jpg",
             true},
            {"\xD0", "\xD6\xD0.jpg", false},
            {"\xD6\xD0", "x\xD6\xD0.jpg", true},
        },
        CodePage::Gbk);
}

}  // namespace
}  // namespace cj::search
