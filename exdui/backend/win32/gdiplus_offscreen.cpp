#include <cstring>

#include "backend/offscreen.h"
#include "gdiplus_image.h"
#include "gdiplus_painter.h"

namespace exdui::backend {

Pixels PaintOffscreen(int32_t width, int32_t height, const std::function<void(Painter&)>& draw) {
    if (width <= 0 || height <= 0) {
        return {};
    }
    win32::StartGdiplus();
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppPARGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        graphics.Clear(Gdiplus::Color(0, 0, 0, 0));
        win32::GdiplusPainter painter(graphics);
        draw(painter);
    }
    const auto columns = static_cast<size_t>(width);
    Pixels pixels{width, height, std::vector<ExArgb>(columns * static_cast<size_t>(height))};
    Gdiplus::BitmapData data{};
    Gdiplus::Rect all(0, 0, width, height);
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) !=
        Gdiplus::Ok) {
        return {};
    }
    for (int32_t y = 0; y < height; ++y) {
        std::memcpy(pixels.argb.data() + static_cast<size_t>(y) * columns,
                    static_cast<const uint8_t*>(data.Scan0) + ptrdiff_t{data.Stride} * y,
                    4 * columns);
    }
    bitmap.UnlockBits(&data);
    return pixels;
}

}  // namespace exdui::backend
