#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cj::platform {
namespace {

struct BoundaryCase {
    const char* label;
    std::string text;
    std::vector<std::size_t> boundaries;  // Every position that starts a character, plus size.
};

std::vector<std::size_t> Boundaries(const std::string& text, CodePage codePage) {
    std::vector<std::size_t> found;
    for (std::size_t pos = 0; pos <= text.size(); ++pos) {
        if (IsCharBoundary(text, pos, codePage)) {
            found.push_back(pos);
        }
    }
    return found;
}

std::vector<std::size_t> Stepped(const std::string& text, CodePage codePage) {
    std::vector<std::size_t> found{0};
    for (std::size_t pos = 0; pos < text.size();) {
        pos = NextCharBoundary(text, pos, codePage);
        found.push_back(pos);
    }
    return found;
}

TEST(CodePage, Utf8Boundaries) {
    const BoundaryCase cases[] = {
        {"ascii", "SF12", {0, 1, 2, 3, 4}},
        {"two-byte", "a\xC3\xA9z", {0, 1, 3, 4}},
        {"chinese", "\xE5\xBF\xAB\xE9\x80\x92", {0, 3, 6}},  // 快递
        {"four-byte", "\xF0\x9F\x93\xA6x", {0, 4, 5}},
        // Malformed input: every byte outside a valid sequence stands alone.
        {"stray continuation", "a\x80\x80" "b", {0, 1, 2, 3, 4}},
        {"cut-off sequence", "\xE5\xBF" "a", {0, 1, 2, 3}},
        {"overlong", "\xC0\xAF" "a", {0, 1, 2, 3}},
        {"surrogate", "\xED\xA0\x80", {0, 1, 2, 3}},
        {"latin-1 byte", "caf\xE9", {0, 1, 2, 3, 4}},
    };
    for (const BoundaryCase& c : cases) {
        EXPECT_EQ(Boundaries(c.text, CodePage::Utf8), c.boundaries) << c.label;
        EXPECT_EQ(Stepped(c.text, CodePage::Utf8), c.boundaries) << c.label;
    }
}

TEST(CodePage, GbkBoundaries) {
    const BoundaryCase cases[] = {
        {"ascii", "SF12", {0, 1, 2, 3, 4}},
        {"chinese", "\xBF\xEC\xB5\xDD", {0, 2, 4}},  // 快递
        // A trail byte may look like ASCII: 0xB0 0x41 is one character, so the
        // "A" is not a place where a match may start.
        {"ascii-looking trail", "\xB0\x41" "A", {0, 2, 3}},
        {"backslash trail", "\x81\x5C" "x", {0, 2, 3}},
        {"lead at the end", "a\x81", {0, 1, 2}},
        {"lead before an invalid trail", "\x81\x7F", {0, 1, 2}},
    };
    for (const BoundaryCase& c : cases) {
        EXPECT_EQ(Boundaries(c.text, CodePage::Gbk), c.boundaries) << c.label;
        EXPECT_EQ(Stepped(c.text, CodePage::Gbk), c.boundaries) << c.label;
    }
}

std::vector<std::size_t> SteppedByLead(const std::string& text, CodePage codePage) {
    std::vector<std::size_t> found{0};
    for (std::size_t pos = 0; pos < text.size();) {
        pos = NextCharBoundaryByLead(text, pos, codePage);
        found.push_back(pos);
    }
    return found;
}

TEST(CodePage, SteppingByLeadKeepsAMalformedGbkPairTogether) {
    const BoundaryCase gbk[] = {
        {"chinese", "\xBF\xEC\xB5\xDD", {0, 2, 4}},
        {"ascii-looking trail", "\xB0\x41" "A", {0, 2, 3}},
        // Where the two rules differ: a lead byte takes any byte after it.
        {"lead before an asterisk", "\x81*#", {0, 2, 3}},
        {"lead before an invalid trail", "\x81\x7F", {0, 2}},
        {"0x80 is no lead", "\x80*", {0, 1, 2}},
        {"lead at the end", "a\xFE", {0, 1, 2}},
    };
    for (const BoundaryCase& c : gbk) {
        EXPECT_EQ(SteppedByLead(c.text, CodePage::Gbk), c.boundaries) << c.label;
    }
    // UTF-8 has no such pairs: it steps exactly as NextCharBoundary does.
    for (const std::string text : {"a\xC3\xA9z", "\xE5*\xBF", "caf\xE9*", "\xF0\x9F\x93\xA6x"}) {
        EXPECT_EQ(SteppedByLead(text, CodePage::Utf8), Stepped(text, CodePage::Utf8)) << text;
    }
}

TEST(CodePage, Utf16ConversionIsLossless) {
    EXPECT_EQ(NarrowToUtf16("SF123"), u"SF123");
    EXPECT_EQ(NarrowToUtf16("\xE5\xBF\xAB\xE9\x80\x92.jpg"), u"快递.jpg");
    EXPECT_EQ(NarrowToUtf16("\xF0\x9F\x93\xA6"), u"\U0001F4E6");
    EXPECT_EQ(Utf16ToNarrow(u"快递\U0001F4E6"), "\xE5\xBF\xAB\xE9\x80\x92\xF0\x9F\x93\xA6");

    // A name that is not UTF-8 (Latin-1 from an old archive, cut sequences)
    // must come back byte for byte, or a hit could not be opened or copied.
    const std::string hostile = "caf\xE9_\xE5\xBF_\x80\xFF\xC0\xAF.jpg";
    const std::u16string wide = NarrowToUtf16(hostile);
    EXPECT_EQ(Utf16ToNarrow(wide), hostile);
    EXPECT_EQ(wide.substr(0, 3), u"caf");

    // Surrogates that do not stand for a byte cannot be stored.
    EXPECT_EQ(Utf16ToNarrow(std::u16string(1, u'\xD800')), "?");
}

}  // namespace
}  // namespace cj::platform
