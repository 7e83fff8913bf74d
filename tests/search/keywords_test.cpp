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

void ExpectTable(const std::vector<MatchCase>& table, CodePage codePage,
                 MatchRule rule = MatchRule::Exact) {
    for (const MatchCase& c : table) {
        EXPECT_EQ(KeywordSet(c.keywords, codePage, rule).MatchesName(c.name), c.matches)
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

// A clerk typed "sf1400000012345", or the same in the input method's
// full-width mode, and the exact rule found nothing.
TEST(KeywordSet, IgnoringCaseAndWidthMatchesTwinsByTheRules) {
    ExpectTable(
        {
            // Either case, on either side.
            {"sf1400000012345", "SF1400000012345.jpg", true},
            {"SF14", "sf1400.jpg", true},
            {"sF JPG", "Sf1.jpg", true},
            // Full-width letters, digits and punctuation, in the keyword or the name.
            {"ＳＦ１４００００００１２３４５", "SF1400000012345.jpg", true},
            {"sf14", "ＳＦ１４.jpg", true},
            {"ｓf１4", "Sｆ1４.jpg", true},
            {"（２）．ＪＰＧ", "a(2).jpg", true},
            {"!~", "！～", true},
            {"ＳＦ", "SG.jpg", false},
            // The ideographic space splits keywords as a space does.
            {"ＳＦ　ＪＰＧ", "SF1.jpg", true},
            {"ＳＦ　ＪＰＧ", "SF1.png", false},
            // Full-width look-alikes outside U+FF01..U+FF5E stay themselves.
            {"$", "￥1.jpg", false},
            {"(", "⁽1.jpg", false},
            // A full-width form cut short by the end of the name is no twin.
            {"s", "\xEF\xBC", false},
            {"s", "\xEF\xBC\xB3", true},
            // A match never starts inside a character: "Ｓ" is EF BC B3 and
            // "ｓ" EF BD 93, so their last bytes are no "3" or "s".
            {"3", "\xEF\xBC\xB3.jpg", false},
            {"\xB3", "\xEF\xBC\xB3.jpg", false},
            {"顺丰sf", "顺丰SF.jpg", true},
            {"丰", "顺丰SF.jpg", true},
            {"\xA9", "caf\xC3\xA9.jpg", false},
        },
        CodePage::Utf8, MatchRule::IgnoreCaseAndWidth);
    // In code page 936: A3 D3 is "Ｓ", A3 A4 the yen sign, A1 E7 the
    // full-width dollar; 81 41 a character whose second byte is "A".
    ExpectTable(
        {
            {"\xA3\xD3"
             "f",
             "sF1.jpg", true},
            {"sf", "\xA3\xD3\xA3\xC6.jpg", true},
            {"$", "\xA1\xE7.jpg", true},
            {"$", "\xA3\xA4.jpg", false},
            {"a",
             "\x81"
             "A.jpg",
             false},
            {"\x81"
             "A",
             "\x81"
             "A.jpg",
             true},
            {"\x81"
             "a",
             "\x81"
             "A.jpg",
             false},
            {"\xA3\xD3\xA1\xA1"
             "jpg",
             "s.JPG", true},
        },
        CodePage::Gbk, MatchRule::IgnoreCaseAndWidth);
}

}  // namespace
}  // namespace cj::search
