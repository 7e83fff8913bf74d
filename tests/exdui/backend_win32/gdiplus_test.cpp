// What only the GDI+ back end has: the Graphics a paint lends its canvas,
// the family rule on Windows' own fonts and the GDI fonts made from them,
// and the icons it reads itself (icon files, icon handles, the shell's).
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "backend/offscreen.h"
#include "backend/win32/gdiplus_graphics.h"
#include "backend/win32/gdiplus_painter.h"

namespace exdui::backend::win32 {
namespace {

LOGFONTW LogFontOf(HFONT font) {
    LOGFONTW lf{};
    GetObjectW(font, sizeof(lf), &lf);
    return lf;
}

std::u16string FaceOf(const Font& font) {
    const LOGFONTW lf = LogFontOf(HfontOf(font));
    return reinterpret_cast<const char16_t*>(lf.lfFaceName);
}

TEST(GdiplusFonts, ChineseAndMissingFamiliesBecomeTheChineseFace) {
    Graphics& graphics = GetGraphics();
    const std::u16string chinese = FaceOf(*graphics.MakeFont(u"微软雅黑", 12, -1));
    ASSERT_FALSE(chinese.empty());
    // An installed family other than the Chinese one.
    Gdiplus::InstalledFontCollection installed;
    std::vector<Gdiplus::FontFamily> families(static_cast<size_t>(installed.GetFamilyCount()));
    INT found = 0;
    installed.GetFamilies(static_cast<INT>(families.size()), families.data(), &found);
    std::u16string other;
    for (INT i = 0; i < found && (other.empty() || other == chinese); ++i) {
        WCHAR name[LF_FACESIZE] = {};
        families[static_cast<size_t>(i)].GetFamilyName(name);
        other = reinterpret_cast<const char16_t*>(name);
    }
    ASSERT_NE(other, chinese);
    struct Case {
        std::u16string family;
        std::u16string face;  // empty: the Chinese face
    };
    const Case cases[] = {
        {u"", u""}, {u" SimSun ", u""}, {u"No Such Family 9", u""}, {other, other}};
    for (const Case& c : cases) {
        const auto font = graphics.MakeFont(c.family, 0, FontBold);
        EXPECT_EQ(FaceOf(*font), c.face.empty() ? chinese : c.face);
        EXPECT_GT(font->Advance(u"田"), 0);
        const LOGFONTW lf = LogFontOf(HfontOf(*font));
        EXPECT_EQ(lf.lfHeight, -12);  // the default size
        EXPECT_EQ(lf.lfWeight, FW_BOLD);
    }
}

TEST(GdiplusFonts, TheSystemFontIsTheOneLastGiven) {
    EXPECT_EQ(SystemFont(), GetStockObject(DEFAULT_GUI_FONT));
    GetGraphics().SetSystemFont(*GetGraphics().MakeFont(u"", 17, FontItalic));
    const LOGFONTW lf = LogFontOf(SystemFont());
    EXPECT_EQ(lf.lfHeight, -17);
    EXPECT_TRUE(lf.lfItalic);
}

TEST(GdiplusPainter, TheGraphicsGoesBackAsItWasLent) {
    GetGraphics();  // starts GDI+
    Gdiplus::Bitmap bitmap(40, 40, PixelFormat32bppPARGB);
    Gdiplus::Graphics graphics(&bitmap);
    graphics.SetClip(Gdiplus::Rect(0, 0, 20, 20));  // the state of the paint it is lent for
    {
        GdiplusPainter painter(graphics);
        painter.Restore();  // without its Save: ignored
        painter.Save();
        painter.ClipRect({0, 0, 10, 10});  // left open: undone when the canvas goes
        painter.Translate(3, 3);
    }
    Gdiplus::Matrix transform;
    graphics.GetTransform(&transform);
    EXPECT_TRUE(transform.IsIdentity());
    EXPECT_EQ(graphics.GetPixelOffsetMode(), Gdiplus::PixelOffsetModeDefault);
    Gdiplus::SolidBrush blue(Gdiplus::Color(0xFF0000FF));
    graphics.FillRectangle(&blue, 0, 0, 40, 40);
    Gdiplus::Color inside, outside;
    bitmap.GetPixel(15, 15, &inside);
    bitmap.GetPixel(35, 35, &outside);
    EXPECT_EQ(inside.GetAlpha(), 255);
    EXPECT_EQ(outside.GetAlpha(), 0);
}

// An icon image as a file or resource holds it: the header, the colour rows
// and the mask rows (1: transparent), bottom up. bits is 24 or 32; with 24
// the left half of the mask is transparent.
std::vector<uint8_t> IconImage(int size, int bits, ExArgb colour) {
    std::vector<uint8_t> out;
    auto put = [&](uint32_t value, int count) {
        for (int i = 0; i < count; ++i) {
            out.push_back(static_cast<uint8_t>(value >> (8 * i)));
        }
    };
    put(40, 4);
    put(static_cast<uint32_t>(size), 4);
    put(static_cast<uint32_t>(2 * size), 4);
    put(1, 2);
    put(static_cast<uint32_t>(bits), 2);
    put(0, 4 * 6);
    const int rowBytes = (size * bits / 8 + 3) & ~3;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            put(colour, bits / 8);
        }
        put(0, rowBytes - size * bits / 8);
    }
    const int maskBytes = (size / 8 + 3) & ~3;
    for (int y = 0; y < size; ++y) {
        for (int i = 0; i < maskBytes; ++i) {
            put(bits == 24 && i < size / 16 ? 0xFF : 0, 1);
        }
    }
    return out;
}

// An icon file of the images given, each of its size.
std::vector<std::byte> IconFile(const std::vector<std::pair<int, std::vector<uint8_t>>>& images) {
    std::vector<uint8_t> out = {0, 0, 1, 0, static_cast<uint8_t>(images.size()), 0};
    size_t offset = 6 + 16 * images.size();
    for (const auto& [size, image] : images) {
        const uint8_t entry[16] = {static_cast<uint8_t>(size),
                                   static_cast<uint8_t>(size),
                                   0,
                                   0,
                                   1,
                                   0,
                                   image[14],
                                   0,
                                   static_cast<uint8_t>(image.size()),
                                   static_cast<uint8_t>(image.size() >> 8),
                                   0,
                                   0,
                                   static_cast<uint8_t>(offset),
                                   static_cast<uint8_t>(offset >> 8),
                                   0,
                                   0};
        out.insert(out.end(), std::begin(entry), std::end(entry));
        offset += image.size();
    }
    for (const auto& image : images) {
        out.insert(out.end(), image.second.begin(), image.second.end());
    }
    return {reinterpret_cast<const std::byte*>(out.data()),
            reinterpret_cast<const std::byte*>(out.data() + out.size())};
}

// An icon handle of size x size pixels of one colour with its alpha.
HICON IconHandle(int size, ExArgb colour) {
    const std::vector<uint8_t> image = IconImage(size, 32, colour);
    return CreateIconFromResourceEx(const_cast<PBYTE>(image.data()),
                                    static_cast<DWORD>(image.size()), TRUE, 0x00030000, size, size,
                                    LR_DEFAULTCOLOR);
}

TEST(GdiplusImages, IconsKeepTheirAlphaOrTheirMask) {
    // Each icon drawn at its size: its size, and the pixel at its left and
    // right edges, ARGB not premultiplied.
    struct Case {
        const char* name;
        std::shared_ptr<const Image> image;
        int size;
        ExArgb left, right;
    };
    constexpr ExArgb HalfRed = 0x80FF0000;
    HICON handle = IconHandle(16, HalfRed);
    const Case cases[] = {
        {"alpha", GetGraphics().DecodeImage(IconFile({{16, IconImage(16, 32, HalfRed)}})), 16,
         HalfRed, HalfRed},
        {"mask", GetGraphics().DecodeImage(IconFile({{16, IconImage(16, 24, 0x00FF00)}})), 16, 0,
         0xFF00FF00},
        {"the largest",
         GetGraphics().DecodeImage(
             IconFile({{16, IconImage(16, 32, HalfRed)}, {32, IconImage(32, 32, 0xFF0000FF)}})),
         32, 0xFF0000FF, 0xFF0000FF},
        {"handle", GetGraphics().NativeIcon(handle), 16, HalfRed, HalfRed},
    };
    DestroyIcon(handle);
    for (const Case& c : cases) {
        ASSERT_NE(c.image, nullptr) << c.name;
        EXPECT_EQ(c.image->Width(), c.size) << c.name;
        const Pixels drawn = PaintOffscreen(c.size, c.size, [&](Painter& p) {
            p.DrawImage(*c.image, RectF::OfSize(0, 0, float(c.size), float(c.size)));
        });
        for (auto [x, expected] : {std::pair{0, c.left}, std::pair{c.size - 1, c.right}}) {
            const ExArgb got = drawn.At(x, c.size / 2);
            EXPECT_NEAR(int(got >> 24), int(expected >> 24), 1) << c.name << " at " << x;
            EXPECT_NEAR(int(got >> 16 & 0xFF), int(expected >> 16 & 0xFF), 2) << c.name;
            EXPECT_NEAR(int(got >> 8 & 0xFF), int(expected >> 8 & 0xFF), 2) << c.name;
        }
    }
    // Damaged: an image past the file's end, and no icon at all.
    std::vector<std::byte> cut = IconFile({{16, IconImage(16, 32, HalfRed)}});
    cut.resize(cut.size() - 1);
    EXPECT_EQ(GetGraphics().DecodeImage(cut), nullptr);
    EXPECT_EQ(GetGraphics().NativeIcon(nullptr), nullptr);
}

TEST(GdiplusImages, FileIconsComeAtMostAsLargeAsAsked) {
    for (int pixels : {16, 32, 48, 256}) {
        const auto icon = GetGraphics().FileIcon(u"C:\\nowhere\\notes.txt", pixels);
        ASSERT_NE(icon, nullptr) << pixels;
        EXPECT_LE(icon->Width(), pixels);
        EXPECT_GE(icon->Width(), pixels == 256 ? 48 : pixels);
    }
}

}  // namespace
}  // namespace exdui::backend::win32
