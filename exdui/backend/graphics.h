// Fonts and images, and the back end's factory that makes them. A Font or an
// Image is immutable once made and shared by reference count: a handle, an
// object and a paint may hold the same one. Each back end draws only its own
// (see painter.h). Standard C++ only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "core/geometry.h"

namespace exdui::backend {

// Style bits of MakeFont, as the C API gives them.
inline constexpr int32_t FontBold = 1;
inline constexpr int32_t FontItalic = 2;
inline constexpr int32_t FontUnderline = 4;
inline constexpr int32_t FontStrikeOut = 8;

// A face at a pixel size with its style. Measuring is UI thread only (it may
// load glyphs); a font may be released on any thread.
class Font {
  public:
    virtual ~Font() = default;
    // Pixels from the top of a line to its baseline, and the line's height
    // (ascent and descent).
    virtual float Ascent() const = 0;
    virtual float Height() const = 0;
    // Width of text set on one line, without any line break.
    virtual float Advance(std::u16string_view text) const = 0;
    // Size of text laid out as Painter::DrawFormattedText lays it out in a
    // box of layout's size, measured from the box's top left and cut to the
    // box. A side of 0 or less does not cut the size on that side, and a
    // width of 0 or less elides nothing.
    virtual SizeF Measure(std::u16string_view text, int32_t format, SizeF layout) const = 0;
};

// Pixels with alpha. Images may be made, used and released on any thread.
class Image {
  public:
    virtual ~Image() = default;
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    // A copy scaled smoothly to fit inside width x height with its proportions
    // kept; null when nothing of it would be left (a side of 0 pixels).
    virtual std::shared_ptr<const Image> ScaledToFit(int32_t width, int32_t height) const = 0;
};

class Graphics {
  public:
    virtual ~Graphics() = default;
    // UI thread. The family the program names, "微软雅黑" (or another
    // Windows Chinese family, or empty for the default), becomes an
    // installed Simplified Chinese face; any other family falls back to that
    // face for the characters it lacks. pixelSize 0 or less is the default
    // (12); style is FontBold and the others, or -1 for none. Never null.
    virtual std::shared_ptr<const Font> MakeFont(std::u16string_view family, int32_t pixelSize,
                                                 int32_t style) = 0;
    // Any thread. An image from the bytes of an image file (PNG, ICO, BMP and
    // whatever else the system reads); null when they are none or damaged.
    virtual std::shared_ptr<const Image> DecodeImage(std::span<const std::byte> bytes) = 0;
    // UI thread. The desktop's icon for the type of the file at path (which
    // need not exist), at most pixels square; null when there is none.
    virtual std::shared_ptr<const Image> FileIcon(std::u16string_view path, int32_t pixels) = 0;
    // Any thread. A copy of a native icon handle (Windows' HICON); null on
    // systems without such handles, where icon is not read.
    virtual std::shared_ptr<const Image> NativeIcon(const void* icon) = 0;
    // UI thread. The font the system's own parts of the library (editors,
    // message boxes, menus, tooltips) use unless told otherwise; one the
    // back end did not make is ignored.
    virtual void SetSystemFont(const Font& font) = 0;
};

// The back end's graphics, made on first use and kept for the process.
Graphics& GetGraphics();

}  // namespace exdui::backend
