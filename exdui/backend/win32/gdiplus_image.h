// Images of the GDI+ back end. An image keeps its premultiplied pixels in
// memory of its own and GDI+ reads them through a Bitmap made over them for
// each use: a GDI+ Bitmap may not be used by two threads at once, and
// images are shared across threads.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "backend/graphics.h"
#include "gdiplus_api.h"

namespace exdui::backend::win32 {

// Starts GDI+ for the process on first call, from any thread; every use of
// GDI+ in this back end comes after it. It is never shut down: fonts and
// images live in statics until the process ends.
void StartGdiplus();

class GdiplusImage final : public Image {
  public:
    // pixels holds width x height premultiplied ARGB values, rows from the
    // top; width and height are above 0.
    GdiplusImage(int32_t width, int32_t height, std::vector<uint32_t> pixels);

    int32_t Width() const override { return m_width; }
    int32_t Height() const override { return m_height; }
    std::shared_ptr<const Image> ScaledToFit(int32_t width, int32_t height) const override;

    // A Bitmap over the pixels for GDI+ to read, valid while this image
    // lives; nothing may draw into it.
    std::unique_ptr<Gdiplus::Bitmap> View() const;

  private:
    int32_t m_width;
    int32_t m_height;
    std::vector<uint32_t> m_pixels;
};

inline const GdiplusImage& GdiplusImageOf(const Image& image) {
    return static_cast<const GdiplusImage&>(image);
}

// A copy of the pixels of a bitmap; null when it has none or they cannot be
// read.
std::shared_ptr<const Image> ImageOfBitmap(Gdiplus::Bitmap& bitmap);
// A copy of the pixels of an icon, with its alpha or else its mask; null
// when icon is not an icon.
std::shared_ptr<const Image> ImageOfIcon(HICON icon);
// The image of the bytes of an image file: ICO read by the system's icon
// functions (GDI+ drops the alpha of icons), every other format by GDI+.
std::shared_ptr<const Image> DecodeImageFile(const void* bytes, size_t size);

}  // namespace exdui::backend::win32
