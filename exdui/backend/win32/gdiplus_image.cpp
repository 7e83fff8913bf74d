#include "gdiplus_image.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace exdui::backend::win32 {

namespace {

uint32_t Premultiplied(uint32_t argb) {
    const uint32_t alpha = argb >> 24;
    if (alpha == 255) {
        return argb;
    }
    auto channel = [&](int shift) { return (((argb >> shift) & 0xFF) * alpha + 127) / 255; };
    return (alpha << 24) | (channel(16) << 16) | (channel(8) << 8) | channel(0);
}

// The size of width x height scaled to fit in a box of at least a pixel
// with its proportions: whole pixels, rounded down but never below one.
SIZE FitInside(int64_t width, int64_t height, int64_t boxWidth, int64_t boxHeight) {
    const int64_t widthAtBoxHeight = boxHeight * width / height;
    if (widthAtBoxHeight <= boxWidth) {
        return {static_cast<LONG>(std::max<int64_t>(widthAtBoxHeight, 1)),
                static_cast<LONG>(boxHeight)};
    }
    return {static_cast<LONG>(boxWidth),
            static_cast<LONG>(std::max<int64_t>(boxWidth * height / width, 1))};
}

// The rows of a device-independent bitmap of 32 bits a pixel, top down.
std::vector<uint32_t> Rows(HDC dc, HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> rows(static_cast<size_t>(width) * static_cast<size_t>(height));
    if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), rows.data(), &info, DIB_RGB_COLORS) !=
        height) {
        rows.clear();
    }
    return rows;
}

// An icon file:
//   ICONDIR       uint16 reserved (0), uint16 type (1: icon), uint16 count
//   ICONDIRENTRY  count times, 16 bytes each: uint8 width (0: 256),
//                 uint8 height (0: 256), uint8 colours, uint8 reserved,
//                 uint16 planes, uint16 bits a pixel, uint32 size of the
//                 image, uint32 offset of the image from the file's start
// Each image is a PNG file or a DIB with its mask, as in a resource.
uint32_t Little(const uint8_t* p, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | p[i];
    }
    return value;
}

bool IsIconFile(const uint8_t* p, size_t size) {
    return size >= 6 && Little(p, 2) == 0 && Little(p + 2, 2) == 1 && Little(p + 4, 2) > 0;
}

// The largest image of an icon file, of the most colours among the largest.
std::shared_ptr<const Image> DecodeIconFile(const uint8_t* p, size_t size) {
    const size_t count = Little(p + 4, 2);
    if (size < 6 + 16 * count) {
        return nullptr;
    }
    const uint8_t* best = nullptr;
    auto key = [](const uint8_t* entry) {
        const uint32_t width = entry[0] == 0 ? 256 : entry[0];
        return width * 256 + Little(entry + 6, 2);
    };
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = p + 6 + 16 * i;
        const uint64_t end = uint64_t{Little(entry + 12, 4)} + Little(entry + 8, 4);
        if (end <= size && Little(entry + 8, 4) > 0 &&
            (best == nullptr || key(entry) > key(best))) {
            best = entry;
        }
    }
    if (best == nullptr) {
        return nullptr;
    }
    const uint8_t* image = p + Little(best + 12, 4);
    const DWORD imageSize = Little(best + 8, 4);
    static constexpr uint8_t PngSignature[] = {0x89, 'P', 'N', 'G'};
    if (imageSize >= sizeof(PngSignature) &&
        std::memcmp(image, PngSignature, sizeof(PngSignature)) == 0) {
        return DecodeImageFile(image, imageSize);
    }
    const int width = best[0] == 0 ? 256 : best[0];
    const int height = best[1] == 0 ? 256 : best[1];
    HICON icon = CreateIconFromResourceEx(const_cast<PBYTE>(image), imageSize, TRUE, 0x00030000,
                                          width, height, LR_DEFAULTCOLOR);
    if (icon == nullptr) {
        return nullptr;
    }
    auto result = ImageOfIcon(icon);
    DestroyIcon(icon);
    return result;
}

}  // namespace

void StartGdiplus() {
    static std::once_flag once;
    std::call_once(once, [] {
        ULONG_PTR token = 0;
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token, &input, nullptr);
    });
}

GdiplusImage::GdiplusImage(int32_t width, int32_t height, std::vector<uint32_t> pixels)
    : m_width(width), m_height(height), m_pixels(std::move(pixels)) {}

std::unique_ptr<Gdiplus::Bitmap> GdiplusImage::View() const {
    // GDI+ takes the pixels as writable, but a view is only read.
    auto* scan0 = reinterpret_cast<BYTE*>(const_cast<uint32_t*>(m_pixels.data()));
    return std::make_unique<Gdiplus::Bitmap>(m_width, m_height, m_width * 4, PixelFormat32bppPARGB,
                                             scan0);
}

std::shared_ptr<const Image> GdiplusImage::ScaledToFit(int32_t width, int32_t height) const {
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    const SIZE size = FitInside(m_width, m_height, width, height);
    Gdiplus::Bitmap target(size.cx, size.cy, PixelFormat32bppPARGB);
    {
        Gdiplus::Graphics graphics(&target);
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
        // Mirrored beyond its edges, the source does not fade the target's
        // edges towards transparent.
        Gdiplus::ImageAttributes attributes;
        attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
        auto view = View();
        graphics.DrawImage(view.get(), Gdiplus::Rect(0, 0, size.cx, size.cy), 0, 0, m_width,
                           m_height, Gdiplus::UnitPixel, &attributes);
    }
    return ImageOfBitmap(target);
}

std::shared_ptr<const Image> ImageOfBitmap(Gdiplus::Bitmap& bitmap) {
    const int width = static_cast<int>(bitmap.GetWidth());
    const int height = static_cast<int>(bitmap.GetHeight());
    if (bitmap.GetLastStatus() != Gdiplus::Ok || width <= 0 || height <= 0) {
        return nullptr;
    }
    Gdiplus::BitmapData data{};
    Gdiplus::Rect all(0, 0, width, height);
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) !=
        Gdiplus::Ok) {
        return nullptr;
    }
    const auto columns = static_cast<size_t>(width);
    std::vector<uint32_t> pixels(columns * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const auto* row = static_cast<const uint8_t*>(data.Scan0) + ptrdiff_t{data.Stride} * y;
        std::memcpy(pixels.data() + static_cast<size_t>(y) * columns, row, 4 * columns);
    }
    bitmap.UnlockBits(&data);
    return std::make_shared<GdiplusImage>(width, height, std::move(pixels));
}

std::shared_ptr<const Image> ImageOfIcon(HICON icon) {
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) {
        return nullptr;
    }
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof(mask), &mask);
    // A colour icon has a mask of its own size; a monochrome one has none of
    // colour and a mask twice as tall: its AND half over its XOR half.
    const bool colour = info.hbmColor != nullptr;
    const int width = mask.bmWidth;
    const int height = colour ? mask.bmHeight : mask.bmHeight / 2;
    std::shared_ptr<const Image> result;
    HDC dc = CreateCompatibleDC(nullptr);
    std::vector<uint32_t> bits = Rows(dc, info.hbmMask, width, colour ? height : 2 * height);
    std::vector<uint32_t> pixels =
        colour ? Rows(dc, info.hbmColor, width, height) : std::vector<uint32_t>{};
    if (width > 0 && height > 0 && !bits.empty() && (!colour || !pixels.empty())) {
        const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
        const bool hasAlpha =
            colour && std::any_of(pixels.begin(), pixels.end(), [](uint32_t p) { return p >> 24; });
        if (!colour) {
            pixels.assign(bits.begin() + static_cast<ptrdiff_t>(count), bits.end());
        }
        for (size_t i = 0; i < count; ++i) {
            // Without alpha of its own, the mask's black is the icon.
            const uint32_t alpha = hasAlpha ? pixels[i] >> 24 : (bits[i] & 0xFFFFFF) == 0 ? 255 : 0;
            pixels[i] = Premultiplied((alpha << 24) | (pixels[i] & 0xFFFFFF));
        }
        result = std::make_shared<GdiplusImage>(width, height, std::move(pixels));
    }
    DeleteDC(dc);
    DeleteObject(info.hbmMask);
    if (colour) {
        DeleteObject(info.hbmColor);
    }
    return result;
}

std::shared_ptr<const Image> DecodeImageFile(const void* bytes, size_t size) {
    const auto* p = static_cast<const uint8_t*>(bytes);
    if (IsIconFile(p, size)) {
        return DecodeIconFile(p, size);
    }
    if (size > UINT_MAX) {
        return nullptr;
    }
    StartGdiplus();
    IStream* stream = SHCreateMemStream(p, static_cast<UINT>(size));
    if (stream == nullptr) {
        return nullptr;
    }
    std::shared_ptr<const Image> result;
    {
        Gdiplus::Bitmap bitmap(stream);
        result = ImageOfBitmap(bitmap);
    }
    stream->Release();
    return result;
}

}  // namespace exdui::backend::win32
