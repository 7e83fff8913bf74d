#include <gtest/gtest.h>

#include "backend/win32/win32_text_lines.h"

namespace exdui::backend::win32 {
namespace {

TEST(TextLines, TurnBetweenLfAndCrLf) {
    struct Case {
        std::u16string lf;
        std::u16string crLf;
    };
    for (const Case& c : std::initializer_list<Case>{
             {u"", u""},
             {u"one", u"one"},
             {u"a\nb", u"a\r\nb"},
             {u"\n\n", u"\r\n\r\n"},
             {u"a\rb", u"a\rb"},  // a CR alone is no line break
         }) {
        EXPECT_EQ(ToCrLf(c.lf), c.crLf);
        EXPECT_EQ(ToLf(c.crLf), c.lf);
    }
    EXPECT_EQ(ToCrLf(u"a\r\nb"), u"a\r\nb");  // never doubled
}

TEST(TextLines, MapPositionsAcrossLineBreaks) {
    const std::u16string crLf = u"ab\r\n\r\ncd";  // "ab\n\ncd"
    struct Case {
        int32_t lf;
        int32_t crLf;
    };
    for (const Case& c : std::initializer_list<Case>{{0, 0}, {2, 2}, {3, 4}, {4, 6}, {6, 8}}) {
        EXPECT_EQ(ToCrLfPosition(crLf, c.lf), c.crLf) << c.lf;
        EXPECT_EQ(ToLfPosition(crLf, c.crLf), c.lf) << c.crLf;
    }
    EXPECT_EQ(ToLfPosition(crLf, 3), 2);     // between CR and LF: before the pair
    EXPECT_EQ(ToCrLfPosition(crLf, 99), 8);  // past the end: the end
}

}  // namespace
}  // namespace exdui::backend::win32
