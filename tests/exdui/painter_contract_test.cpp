// The canvas contract of backend/painter.h, held against the back end the
// test is linked with by the pixels it paints off screen: text layout by the
// EX_DT_* bits, ellipses, clipping and rounded corners.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "backend/graphics.h"
#include "backend/offscreen.h"

namespace exdui::backend {
namespace {

constexpr ExArgb Ink = 0xFF000000;
constexpr ExArgb Fill = 0xFF0000FF;
constexpr int FontPixels = 20;
// Boxy glyphs: every column of one has ink from its top stroke to its bottom
// stroke, so a column with short ink can only be part of an ellipsis.
constexpr char16_t Boxes[] = u"田田田田田田田田田田";

std::shared_ptr<const Font> TextFont() {
    return GetGraphics().MakeFont(u"微软雅黑", FontPixels, -1);
}

// text laid out in a box of width x height at the left of an image that is
// wider, so that anything drawn past the box shows.
Pixels Text(std::u16string_view text, int32_t format, int width, int height) {
    auto font = TextFont();
    return PaintOffscreen(width + 3 * FontPixels, height, [&](Painter& p) {
        p.DrawFormattedText(
            *font, Ink, text, format,
            RectF::OfSize(0, 0, static_cast<float>(width), static_cast<float>(height)));
    });
}

bool Painted(const Pixels& image, int x, int y) {
    return (image.At(x, y) >> 24) > 0;
}

// The box around every painted pixel, edges included; empty when there is
// none.
struct Box {
    int left = 1 << 30;
    int top = 1 << 30;
    int right = -1;
    int bottom = -1;
    bool IsEmpty() const { return right < left; }
};

Box InkBox(const Pixels& image) {
    Box box;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (Painted(image, x, y)) {
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
                       std::max(box.bottom, y)};
            }
        }
    }
    return box;
}

// Bands of rows with ink, separated by blank rows: the lines of a text.
int InkLines(const Pixels& image) {
    int lines = 0;
    bool inLine = false;
    for (int y = 0; y < image.height; ++y) {
        bool ink = false;
        for (int x = 0; x < image.width && !ink; ++x) {
            ink = Painted(image, x, y);
        }
        lines += ink && !inLine ? 1 : 0;
        inLine = ink;
    }
    return lines;
}

// Where "…" went: each column with ink is tall (part of a glyph) or short
// (a dot of an ellipsis).
enum class Dots { None, AtTheEnd, InTheMiddle };

Dots FindDots(const Pixels& image) {
    int lastTall = -1;
    int firstShort = -1;
    int lastShort = -1;
    for (int x = 0; x < image.width; ++x) {
        int top = image.height;
        int bottom = -1;
        for (int y = 0; y < image.height; ++y) {
            if (Painted(image, x, y)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        if (bottom < 0) {
            continue;
        }
        if (bottom - top >= FontPixels / 2) {
            lastTall = x;
        } else {
            firstShort = firstShort < 0 ? x : firstShort;
            lastShort = x;
        }
    }
    if (firstShort < 0) {
        return Dots::None;
    }
    return lastShort > lastTall ? Dots::AtTheEnd : Dots::InTheMiddle;
}

// Whether shapes get smoothed edges. GDI+ under Wine draws every shape
// without, and its curves may then stray by a pixel where they only graze a
// pixel's centre.
bool SmoothsShapes() {
    const Pixels disc = PaintOffscreen(8, 8, [](Painter& p) {
        p.SetAntialias(true);
        p.FillEllipse({0.3F, 0.3F, 7.7F, 7.7F}, Fill);
    });
    return std::any_of(disc.argb.begin(), disc.argb.end(), [](ExArgb argb) {
        const ExArgb alpha = argb >> 24;
        return alpha > 0 && alpha < 255;
    });
}

TEST(Painter, TextGoesWhereTheAlignmentBitsSay) {
    // A glyph in a 300 x 120 box: where its ink lies across and down.
    enum Place { Start, Middle, End };
    struct Case {
        int32_t format;
        Place across;
        Place down;
    };
    const Case cases[] = {
        {EX_DT_LEFT, Start, Start},
        {EX_DT_CENTER, Middle, Start},
        {EX_DT_RIGHT, End, Start},
        {EX_DT_CENTER | EX_DT_RIGHT, End, Start},  // right wins
        {EX_DT_VCENTER, Start, Middle},
        {EX_DT_BOTTOM, Start, End},
        {EX_DT_VCENTER | EX_DT_BOTTOM, Start, Middle},  // vcenter wins
        {EX_DT_CENTER | EX_DT_VCENTER | EX_DT_SINGLELINE, Middle, Middle},
    };
    auto place = [](int low, int high, int size) {
        const int centre = (low + high) / 2;
        return centre < size / 4 ? Start : centre > size * 3 / 4 ? End : Middle;
    };
    for (const Case& c : cases) {
        const Box ink = InkBox(Text(u"田", c.format, 300, 120));
        ASSERT_FALSE(ink.IsEmpty()) << "format " << c.format;
        EXPECT_EQ(place(ink.left, ink.right, 300), c.across) << "format " << c.format;
        EXPECT_EQ(place(ink.top, ink.bottom, 120), c.down) << "format " << c.format;
    }
}

TEST(Painter, LinesBreakAsTheFormatSays) {
    struct Case {
        std::u16string text;
        int32_t format;
        int lines;
    };
    const Case cases[] = {
        // Eight glyphs and a space in a box four glyphs wide.
        {u"田田田田 田田田田", EX_DT_WORDBREAK, 2},
        {u"田田田田 田田田田", EX_DT_SINGLELINE, 1},
        {u"田田田田 田田田田", EX_DT_LEFT, 1},
        {u"田\n田", EX_DT_LEFT, 2},
        {u"田\n田", EX_DT_WORDBREAK, 2},
        {u"田\n田", EX_DT_SINGLELINE, 1},
        {u"田\n田", EX_DT_SINGLELINE | EX_DT_WORDBREAK, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InkLines(Text(c.text, c.format, 4 * FontPixels + 10, 100)), c.lines)
            << "format " << c.format;
    }
}

TEST(Painter, EllipsesShortenTextAtTheEndOrInTheMiddle) {
    struct Case {
        int32_t format;
        int width;
        Dots dots;
    };
    const Case cases[] = {
        {EX_DT_SINGLELINE, 100, Dots::None},  // cut at the box's edge
        {EX_DT_SINGLELINE | EX_DT_END_ELLIPSIS, 100, Dots::AtTheEnd},
        {EX_DT_SINGLELINE | EX_DT_PATH_ELLIPSIS, 100, Dots::InTheMiddle},
        {EX_DT_SINGLELINE | EX_DT_END_ELLIPSIS | EX_DT_PATH_ELLIPSIS, 100, Dots::InTheMiddle},
        {EX_DT_SINGLELINE | EX_DT_END_ELLIPSIS, 10 * FontPixels + 20, Dots::None},  // it fits
    };
    for (const Case& c : cases) {
        const Pixels image = Text(Boxes, c.format, c.width, 40);
        EXPECT_EQ(FindDots(image), c.dots) << "format " << c.format << ", width " << c.width;
        EXPECT_LE(InkBox(image).right, c.width - 1) << "format " << c.format;
    }
}

TEST(Painter, MeasureCutsToTheLayoutAndElides) {
    auto font = TextFont();
    const SizeF free = font->Measure(Boxes, EX_DT_SINGLELINE, {0, 0});
    EXPECT_NEAR(free.width, font->Advance(Boxes), 1);
    EXPECT_GE(free.height, font->Height() - 1);
    const SizeF cut = font->Measure(Boxes, EX_DT_SINGLELINE | EX_DT_END_ELLIPSIS, {100, 0});
    EXPECT_LE(cut.width, 100);
    EXPECT_GT(cut.width, 50);
    const SizeF wrapped = font->Measure(u"田田田田 田田田田", EX_DT_WORDBREAK, {90, 0});
    EXPECT_GE(wrapped.height, 2 * font->Height() - 1);
    EXPECT_EQ(font->Measure(u"田田田田 田田田田", EX_DT_WORDBREAK, {90, 10}).height, 10);
}

TEST(Painter, ClipsIntersectAndSaveRestoresThem) {
    // Each case fills the whole 40 x 40 image after its clips; the probes say
    // which of the points (5, 5), (15, 15) and (35, 35) get painted.
    struct Case {
        const char* name;
        std::function<void(Painter&)> clip;
        bool painted[3];
    };
    const Case cases[] = {
        {"none", [](Painter&) {}, {true, true, true}},
        {"rect",
         [](Painter& p) {
             p.ClipRect({0, 0, 20, 20});
         },
         {true, true, false}},
        {"two rects intersect",
         [](Painter& p) {
             p.ClipRect({0, 0, 20, 20});
             p.ClipRect({10, 10, 40, 40});
         },
         {false, true, false}},
        {"outside a rect",
         [](Painter& p) {
             p.ExcludeClip({10, 10, 20, 20});
         },
         {true, false, true}},
        {"excluded within a clip",
         [](Painter& p) {
             p.ClipRect({0, 0, 20, 20});
             p.ExcludeClip({0, 0, 10, 10});
         },
         {false, true, false}},
        {"restored",
         [](Painter& p) {
             p.Save();
             p.ClipRect({0, 0, 1, 1});
             p.Restore();
         },
         {true, true, true}},
        {"translated",
         [](Painter& p) {
             p.Translate(10, 10);
             p.ClipRect({0, 0, 10, 10});
         },
         {false, true, false}},
    };
    const int probes[3] = {5, 15, 35};
    for (const Case& c : cases) {
        const Pixels image = PaintOffscreen(40, 40, [&](Painter& p) {
            c.clip(p);
            p.FillRect({-100, -100, 100, 100}, Fill);
        });
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(Painted(image, probes[i], probes[i]), c.painted[i])
                << c.name << " at " << probes[i];
        }
    }
    // Text is cut to its box whatever its size.
    const Pixels text = PaintOffscreen(100, 40, [](Painter& p) {
        p.DrawFormattedText(*TextFont(), Ink, Boxes, EX_DT_LEFT, {0, 0, 30, 40});
    });
    EXPECT_LE(InkBox(text).right, 29);
}

TEST(Painter, RoundedCornersFollowTheirOwnRadii) {
    // A 40 x 20 rectangle, filled and stroked: whether some pixels are
    // painted (more than half covered).
    struct Point {
        int x;
        int y;
    };
    // A pixel where the curve only just reaches, more than half covered:
    // only a back end that smooths shapes is held to it.
    constexpr bool OnTheCurve = true;
    struct Probe {
        Point at;
        bool painted;
        bool onTheCurve = false;
    };
    const bool smooth = SmoothsShapes();
    struct Case {
        const char* name;
        CornerRadii radii;
        std::vector<Probe> probes;
    };
    const Point topLeft{0, 0}, topRight{39, 0}, bottomRight{39, 19}, bottomLeft{0, 19};
    const Case cases[] = {
        {"square",
         CornerRadii::Same(0, 0),
         {{topLeft, true}, {topRight, true}, {bottomRight, true}, {bottomLeft, true}}},
        {"all round",
         CornerRadii::Same(6, 6),
         {{topLeft, false}, {topRight, false}, {bottomRight, false}, {bottomLeft, false}}},
        {"one corner each",
         {{{6, 6}, {0, 0}, {6, 6}, {0, 0}}},
         {{topLeft, false}, {topRight, true}, {bottomRight, false}, {bottomLeft, true}}},
        // Cut to half of each side: the ends become half ellipses.
        {"cut to half the sides",
         CornerRadii::Same(500, 500),
         {{topLeft, false},
          {{0, 10}, true, OnTheCurve},
          {{4, 1}, false},
          {{20, 0}, true, OnTheCurve}}},
        // Narrow and tall at the top left: cut in below a 2-pixel circle's
        // reach, kept whole where a 9-pixel circle would cut.
        {"elliptical",
         {{{2, 9}, {0, 0}, {0, 0}, {0, 0}}},
         {{topLeft, false}, {{0, 2}, false}, {{4, 0}, true}, {topRight, true}}},
    };
    for (bool stroke : {false, true}) {
        for (const Case& c : cases) {
            const Pixels image = PaintOffscreen(40, 20, [&](Painter& p) {
                p.SetAntialias(true);
                if (stroke) {
                    p.StrokeRoundedRect({0.5F, 0.5F, 39.5F, 19.5F}, c.radii, Fill, 1);
                } else {
                    p.FillRoundedRect({0, 0, 40, 20}, c.radii, Fill);
                }
            });
            for (const Probe& probe : c.probes) {
                if (probe.onTheCurve && !smooth) {
                    continue;
                }
                EXPECT_EQ((image.At(probe.at.x, probe.at.y) >> 24) > 0x80, probe.painted)
                    << c.name << (stroke ? " stroked" : " filled") << " at " << probe.at.x << ", "
                    << probe.at.y;
            }
            EXPECT_EQ(Painted(image, 20, 10), !stroke) << c.name;
        }
    }
}

// The bytes of a 24-bit BMP file of width x height pixels, all of colour.
std::vector<std::byte> SolidBmp(int width, int height, ExArgb colour) {
    const auto rowBytes = static_cast<uint32_t>((width * 3 + 3) & ~3);
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
    std::vector<std::byte> bytes;
    auto put = [&](uint32_t value, int count) {
        for (int i = 0; i < count; ++i) {
            bytes.push_back(static_cast<std::byte>((value >> (8 * i)) & 0xFF));
        }
    };
    put('B' | ('M' << 8), 2);  // the file header
    put(54 + imageBytes, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);  // the bitmap's: 24 bits, uncompressed
    put(static_cast<uint32_t>(width), 4);
    put(static_cast<uint32_t>(height), 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(imageBytes, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            put(colour & 0xFFFFFF, 3);  // blue, green, red
        }
        put(0, static_cast<int>(rowBytes) - 3 * width);
    }
    return bytes;
}

TEST(Painter, ImagesDecodeScaleAndDrawFaded) {
    Graphics& graphics = GetGraphics();
    const std::vector<std::byte> bmp = SolidBmp(4, 2, 0xFFFF0000);
    EXPECT_EQ(graphics.DecodeImage(std::span(bmp).first(30)), nullptr);
    EXPECT_EQ(graphics.DecodeImage({}), nullptr);
    const auto image = graphics.DecodeImage(bmp);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 4);
    EXPECT_EQ(image->Height(), 2);

    // A 4 x 2 image fitted into boxes: the size it gets, 0 x 0 for none. A
    // side keeps a pixel as long as the box has one.
    struct Fit {
        int boxWidth, boxHeight, width, height;
    };
    const Fit fits[] = {{2, 2, 2, 1}, {100, 1, 2, 1}, {8, 100, 8, 4}, {0, 5, 0, 0}, {1, 1, 1, 1}};
    for (const Fit& f : fits) {
        const auto scaled = image->ScaledToFit(f.boxWidth, f.boxHeight);
        EXPECT_EQ(scaled ? scaled->Width() : 0, f.width) << f.boxWidth << " x " << f.boxHeight;
        EXPECT_EQ(scaled ? scaled->Height() : 0, f.height) << f.boxWidth << " x " << f.boxHeight;
    }

    // Stretched over the whole target to its edges, smoothed or not, its
    // alpha times the one given.
    for (bool smooth : {false, true}) {
        for (uint8_t alpha : {uint8_t{255}, uint8_t{128}}) {
            const Pixels drawn = PaintOffscreen(10, 10, [&](Painter& p) {
                p.SetImageSmoothing(smooth);
                p.DrawImage(*image, {1, 1, 9, 9}, alpha);
            });
            for (int at : {1, 5, 8}) {
                EXPECT_NEAR(static_cast<int>(drawn.At(at, at) >> 24), alpha, 2)
                    << "at " << at << (smooth ? ", smoothed" : "");
                EXPECT_NEAR(static_cast<int>((drawn.At(at, at) >> 16) & 0xFF), 0xFF, 2);
            }
            EXPECT_FALSE(Painted(drawn, 0, 0));
            EXPECT_FALSE(Painted(drawn, 9, 9));
        }
    }
}

}  // namespace
}  // namespace exdui::backend
