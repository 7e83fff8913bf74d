// Painting: a registered class draws through Ex_ObjBeginPaint and the canvas
// calls, a window's procedure paints its background on message 20, images
// and image lists, fonts. Checked on the pixels of the grabbed window.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "exdui_env.h"

namespace exdui::test {
namespace {

ExPaint g_lastPaint{};
ExHandle g_image = 0;

// Left half red, a blue rounded square at (60, 10)-(90, 40), the image at (0, 50).
intptr_t PainterProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                     intptr_t lParam) {
    if (message == EX_WM_PAINT) {
        ExPaint ps{};
        if (Ex_ObjBeginPaint(object, &ps)) {
            g_lastPaint = ps;
            ExHandle brush = _brush_create(0xFFFF0000);
            _canvas_fillrect(ps.canvas, brush, 0, 0, static_cast<float>(ps.width) / 2,
                             static_cast<float>(ps.height));
            _brush_setcolor(brush, 0xFF0000FF);
            _canvas_setantialias(ps.canvas, 1);
            _canvas_fillroundedrect(ps.canvas, brush, 60, 10, 90, 40, 5, 5);
            if (g_image != 0) {
                _canvas_drawimage(ps.canvas, g_image, 0, 50, 255);
            }
            _brush_destroy(brush);
            Ex_ObjEndPaint(object, &ps);
        }
        return 0;
    }
    return Ex_ObjDefProc(window, object, message, wParam, lParam);
}

void RegisterPainter() {
    static bool done = false;
    if (!done) {
        ASSERT_TRUE(Ex_ObjRegister(u"Painter", EX_OS_VISIBLE, 0, 5, 0, 0, 0, &PainterProc));
        done = true;
    }
}

TEST(Paint, RegisteredClassPaintsThroughTheCanvas) {
    RegisterPainter();
    const std::string png = SolidPng(8, 6, 0xFF00FF00);
    g_image = _img_createfrommemory(png.data(), png.size());
    ASSERT_NE(g_image, 0);
    int32_t w = 0, h = 0;
    ASSERT_TRUE(_img_getsize(g_image, &w, &h));
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 6);

    TestWindow win(200, 120, 0x40000, nullptr, 0xFFFFFFFF);
    ExHandle obj = Ex_ObjCreateEx(-1, u"Painter", u"", -1, 20, 10, 100, 80, win.Surface(), 0, -1, 0,
                                  0, nullptr);
    ASSERT_NE(obj, 0);
    const inject::Snapshot shot = win.Grab();
    EXPECT_EQ(Pixel(shot, 25, 20), 0xFFFF0000u);   // left half of the object
    EXPECT_EQ(Pixel(shot, 100, 20), 0xFF0000FFu);  // centre of the rounded square
    EXPECT_EQ(Pixel(shot, 80, 80), 0xFFFFFFFFu);   // right half: window background shows
    EXPECT_EQ(Pixel(shot, 24, 63), 0xFF00FF00u);   // the image
    EXPECT_EQ(Pixel(shot, 10, 20), 0xFFFFFFFFu);   // outside the object
    EXPECT_EQ(g_lastPaint.width, 100);
    EXPECT_EQ(g_lastPaint.height, 80);
    EXPECT_EQ(g_lastPaint.textFormat, 5);
    // Canvas calls outside the paint are refused.
    ExHandle brush = _brush_create(0xFF000000);
    EXPECT_EQ(_canvas_fillrect(g_lastPaint.canvas, brush, 0, 0, 10, 10), 0);
    _brush_destroy(brush);
    _img_destroy(g_image);
    g_image = 0;
}

TEST(Paint, PaintRecordCarriesPressedAndHoverBits) {
    RegisterPainter();
    TestWindow win(200, 120);
    ExHandle obj =
        Ex_ObjCreateEx(-1, u"Painter", u"", -1, 0, 0, 100, 80, win.Surface(), 0, -1, 0, 0, nullptr);
    inject::MouseMove(win.Window(), inject::PointIn(obj, 10, 10));
    inject::MouseDown(win.Window(), inject::PointIn(obj, 10, 10));
    ASSERT_TRUE(inject::RunEventsUntil([] {
        return (g_lastPaint.state & (EX_STATE_DOWN | EX_STATE_HOVER)) ==
               (EX_STATE_DOWN | EX_STATE_HOVER);
    }));
    inject::MouseUp(win.Window(), inject::PointIn(obj, 10, 10));
    ASSERT_TRUE(inject::RunEventsUntil([] { return (g_lastPaint.state & EX_STATE_DOWN) == 0; }));
}

intptr_t BandProc(ExHandle, ExHandle, int32_t message, intptr_t wParam, intptr_t,
                  intptr_t* result) {
    if (message != EX_WM_ERASEBKGND) {
        return 0;
    }
    auto canvas = static_cast<ExHandle>(wParam);
    ExRect rc{};
    _canvas_clear(canvas, 0x00000000);
    ExHandle brush = _brush_create(0xFFDCDCDC);
    _canvas_fillrect(canvas, brush, 0, 0, 300, 200);
    _brush_setcolor(brush, 0xC8FF0000);
    _canvas_fillrect(canvas, brush, 0, 0, 300, 60);
    _brush_destroy(brush);
    (void)rc;
    *result = 1;
    return 1;
}

TEST(Paint, WindowProcedurePaintsTheBackgroundOnEraseWithTheCanvas) {
    TestWindow custom(300, 200, 0x40000, &BandProc, 0xFFFF0000);
    const inject::Snapshot shot = custom.Grab();
    const ExArgb band = Pixel(shot, 150, 30);
    EXPECT_GT((band >> 16) & 0xFF, 230u);
    EXPECT_LT((band >> 8) & 0xFF, 80u);
    EXPECT_EQ(Pixel(shot, 150, 150), 0xFFDCDCDCu);

    // Without a procedure the surface's background colour (-31) fills it.
    TestWindow plain(100, 100, 0x40000, nullptr, 0xFF123456);
    EXPECT_EQ(Pixel(plain.Grab(), 50, 50), 0xFF123456u);
    EXPECT_EQ(Ex_DUIGetLong(plain.Surface(), EX_DUI_BACKGROUND),
              static_cast<intptr_t>(0xFF123456u));
}

TEST(Paint, ObjectBackgroundIsSlotZeroWithItsRadius) {
    TestWindow win(200, 200, 0x40000, nullptr, 0xFFFFFFFF);
    ExHandle box = Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 10, 10, 100, 100, win.Surface(), 0, -1, 0,
                                  0, nullptr);
    Ex_ObjSetColor(box, EX_COLOR_BACKGROUND, 0xFF00FF00, 1);
    Ex_ObjSetRadius(box, 20, 20, 20, 20, 1);
    const inject::Snapshot shot = win.Grab();
    EXPECT_EQ(Pixel(shot, 60, 60), 0xFF00FF00u);
    EXPECT_EQ(Pixel(shot, 11, 11), 0xFFFFFFFFu);  // cut off by the rounded corner
    Ex_ObjSetRadius(box, 0, 0, 0, 0, 1);
    EXPECT_EQ(Pixel(win.Grab(), 11, 11), 0xFF00FF00u);
}

TEST(Paint, LabelTextHonoursTheCentringBits) {
    TestWindow win(300, 100, 0x40000, nullptr, 0xFFFFFFFF);
    ExHandle label = Ex_ObjCreateEx(-1, u"STATIC", u"中", -1, 0, 0, 300, 100, win.Surface(), 0, 5,
                                    0, 0, nullptr);
    Ex_ObjSetFontFromFamily(label, u"微软雅黑", 40, -1, 1);
    const inject::Snapshot shot = win.Grab();
    int minX = 300, maxX = 0, minY = 100, maxY = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 300; ++x) {
            if (Gray(Pixel(shot, x, y)) < 128) {
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
        }
    }
    ASSERT_LT(minX, maxX);
    EXPECT_NEAR((minX + maxX) / 2, 150, 6);
    EXPECT_NEAR((minY + maxY) / 2, 50, 8);
}

TEST(Paint, TextIsMeasuredInTheObjectsFont) {
    TestWindow win(200, 100);
    ExHandle edit =
        Ex_ObjCreateEx(-1, u"Edit", u"", -1, 0, 0, 100, 30, win.Surface(), 0, -1, 0, 0, nullptr);
    ASSERT_TRUE(Ex_ObjSetFontFromFamily(edit, u"微软雅黑", 25, -1, 1));
    float width = 0, height = 0;
    ExHandle font = Ex_ObjGetFont(edit);
    ASSERT_TRUE(_canvas_calctextsize(0, font, u"搜索", -1, 36, 1000, 1000, &width, &height));
    EXPECT_NEAR(width, 50, 6);  // two full-width characters of 25 px
    EXPECT_GT(height, 20);
}

TEST(Paint, ImageListsKeepScaledCopies) {
    const std::string png = SolidPng(32, 32, 0xFFFF0000);
    ExHandle image = _img_createfrommemory(png.data(), png.size());
    ExHandle list = _imglist_create(16, 16);
    ASSERT_NE(list, 0);
    EXPECT_EQ(_imglist_addimage(list, 0, image), 1);
    EXPECT_EQ(_imglist_addimage(list, 0, image), 2);
    EXPECT_EQ(_imglist_addimage(list, 1, image), 1);  // inserted in front
    _img_destroy(image);                              // the list keeps its copies
    EXPECT_EQ(_imglist_count(list), 3);
    EXPECT_EQ(_imglist_addimage(list, 0, image), 0);  // a destroyed image adds nothing
    EXPECT_TRUE(_imglist_destroy(list));
    EXPECT_EQ(_imglist_count(list), 0);
}

TEST(Paint, FileIconsBecomeImagesOfTheSizeClassAsked) {
    // A file's icon comes from the desktop's icon provider (the style's
    // generic file icon when no theme is installed).
    struct Case {
        int32_t sizeClass;
        int32_t largest;
    };
    for (Case c : {Case{0, 16}, Case{1, 32}}) {
        ExHandle fileIcon = _img_createfromfileicon(u"/etc/hostname", c.sizeClass);
        ASSERT_NE(fileIcon, 0) << "size class " << c.sizeClass;
        int32_t w = 0, h = 0;
        ASSERT_TRUE(_img_getsize(fileIcon, &w, &h));
        EXPECT_GT(w, 0);
        EXPECT_LE(w, c.largest) << "size class " << c.sizeClass;
        EXPECT_LE(h, c.largest) << "size class " << c.sizeClass;
        EXPECT_TRUE(_img_destroy(fileIcon));
    }
    EXPECT_EQ(_img_createfromfileicon(nullptr, 0), 0);
}

}  // namespace
}  // namespace exdui::test
