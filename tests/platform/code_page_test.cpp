#include "platform/code_page.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <cstdlib>
#endif

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
        {"stray continuation",
         "a\x80\x80"
         "b",
         {0, 1, 2, 3, 4}},
        {"cut-off sequence",
         "\xE5\xBF"
         "a",
         {0, 1, 2, 3}},
        {"overlong",
         "\xC0\xAF"
         "a",
         {0, 1, 2, 3}},
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
        {"ascii-looking trail",
         "\xB0\x41"
         "A",
         {0, 2, 3}},
        {"backslash trail",
         "\x81\x5C"
         "x",
         {0, 2, 3}},
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
        {"ascii-looking trail",
         "\xB0\x41"
         "A",
         {0, 2, 3}},
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

#ifndef _WIN32
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

#endif  // !_WIN32

#ifdef _WIN32
// The runs under Wine set CJ_EXPECTED_ACP to the code page they asked for,
// so that a missing locale shows here instead of turning the GBK cases into
// silent skips.
TEST(CodePage, ActiveCodePageIsTheOneTheRunAskedFor) {
    const char* expected = std::getenv("CJ_EXPECTED_ACP");
    if (expected == nullptr) {
        GTEST_SKIP() << "CJ_EXPECTED_ACP is not set";
    }
    EXPECT_EQ(std::to_string(GetACP()), expected);
    EXPECT_EQ(ActiveCodePage(),
              std::string(expected) == "936" ? CodePage::Gbk : CodePage::SingleByte);
}

// Every byte string must come back from UTF-16 as it was, whatever the code
// page makes of it: all single bytes, and all pairs whose first byte is not
// ASCII, alone and between ASCII text (the second byte of a pair may be "\").
TEST(CodePage, EveryByteAndPairRoundTrips) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all.push_back(static_cast<char>(byte));
    }
    EXPECT_EQ(Utf16ToNarrow(NarrowToUtf16(all)), all);
    int failures = 0;
    for (int lead = 0x80; lead < 0x100; ++lead) {
        for (int trail = 0; trail < 0x100; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string text = "a\\" + pair + "\\b";
            if (Utf16ToNarrow(NarrowToUtf16(text)) != text && ++failures <= 5) {
                ADD_FAILURE() << std::hex << lead << " " << trail;
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

TEST(CodePage, SingleByteConversions) {
    if (ActiveCodePage() != CodePage::SingleByte || GetACP() != 1252) {
        GTEST_SKIP() << "the active code page is not 1252";
    }
    EXPECT_EQ(NarrowToUtf16("SF123 caf\xE9 \x80"), u"SF123 café €");
    EXPECT_EQ(Utf16ToNarrow(u"café €"), "caf\xE9 \x80");
    // Bytes 1252 leaves undefined still come back.
    EXPECT_EQ(Utf16ToNarrow(NarrowToUtf16("\x81\x8D\x8F\x90\x9D")), "\x81\x8D\x8F\x90\x9D");
    // What the code page lacks is "?", never a look-alike that could name
    // another file ("ā" is not "a").
    EXPECT_EQ(Utf16ToNarrow(u"快递ā.jpg"), "???.jpg");
    EXPECT_EQ(Utf16ToNarrow(u"\U0001F4E6x"), "?x");
    EXPECT_EQ(Utf16ToNarrow(std::u16string(1, u'\xD800')), "?");
    EXPECT_EQ(Utf16ToNarrow(std::u16string(1, u'\xDC41')), "?");
}

TEST(CodePage, GbkConversions) {
    if (ActiveCodePage() != CodePage::Gbk || GetACP() != 936) {
        GTEST_SKIP() << "the active code page is not 936";
    }
    const std::string kuaidi = "\xBF\xEC\xB5\xDD";  // 快递
    const std::string cheng = "\x81\x5C";           // 乗: its second byte is "\"
    EXPECT_EQ(NarrowToUtf16("SF123_" + kuaidi + ".jpg"), u"SF123_快递.jpg");
    EXPECT_EQ(Utf16ToNarrow(u"SF123_快递.jpg"), "SF123_" + kuaidi + ".jpg");
    EXPECT_EQ(NarrowToUtf16("D:\\" + cheng + "\\a.jpg"), u"D:\\乗\\a.jpg");
    EXPECT_EQ(Utf16ToNarrow(u"D:\\乗\\a.jpg"), "D:\\" + cheng + "\\a.jpg");
    EXPECT_EQ(NarrowToUtf16("\x80"), u"€");

    // Bytes that start no character become U+DC00 + byte and come back; the
    // byte after a bad lead byte is a character of its own.
    const std::string broken =
        kuaidi.substr(0, 2) + "\xFF" + kuaidi.substr(2) + "\x81\x7F" + "\x81";
    const std::u16string wide = NarrowToUtf16(broken);
    EXPECT_EQ(wide, u"快\xDCFF递\xDC81\x7F\xDC81");
    EXPECT_EQ(Utf16ToNarrow(wide), broken);

    // The slow way through a long name still converts what converts.
    std::string longName;
    std::u16string longWide;
    for (int i = 0; i < 200; ++i) {
        longName += kuaidi + cheng;
        longWide += u"快递乗";
    }
    EXPECT_EQ(NarrowToUtf16(longName + "\xFF"), longWide + u"\xDCFF");

    EXPECT_EQ(Utf16ToNarrow(u"ก\U0001F4E6.jpg"), "??.jpg");
    EXPECT_EQ(Utf16ToNarrow(std::u16string(1, u'\xDBFF') + u"x"), "?x");
}
#endif  // _WIN32

}  // namespace
}  // namespace cj::platform
