// Fonts of the GDI+ back end, and the text layout that drawing and measuring
// share: GDI+ lays out the lines by a StringFormat made from the EX_DT_*
// bits, and the ellipsis is made here, the same under every GDI+.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "backend/graphics.h"
#include "gdiplus_api.h"

namespace exdui::backend::win32 {

class GdiplusFont final : public Font {
  public:
    // font is valid (status Ok); logFont describes the same face, size and
    // style to GDI.
    GdiplusFont(std::unique_ptr<Gdiplus::Font> font, const LOGFONTW& logFont);
    ~GdiplusFont() override;
    GdiplusFont(const GdiplusFont&) = delete;
    GdiplusFont& operator=(const GdiplusFont&) = delete;

    const Gdiplus::Font& Get() const { return *m_font; }
    const LOGFONTW& LogFont() const { return m_logFont; }
    // A GDI font of the same face, size and style for the system's own
    // controls, made on first use and owned by this font.
    HFONT Hfont() const;

    float Ascent() const override { return m_ascent; }
    float Height() const override { return m_height; }
    float Advance(std::u16string_view text) const override;
    SizeF Measure(std::u16string_view text, int32_t format, SizeF layout) const override;

  private:
    std::unique_ptr<Gdiplus::Font> m_font;
    LOGFONTW m_logFont;
    float m_ascent = 0;
    float m_height = 0;
    mutable std::once_flag m_hfontOnce;
    mutable HFONT m_hfont = nullptr;  // Made under m_hfontOnce.
};

inline const GdiplusFont& GdiplusFontOf(const Font& font) {
    return static_cast<const GdiplusFont&>(font);
}

// The text's smoothing, the same for drawing and measuring: greyscale, so
// that it stays right over any background, transparent ones included.
inline constexpr Gdiplus::TextRenderingHint TextHint = Gdiplus::TextRenderingHintAntiAliasGridFit;

// A text as GDI+ is to draw or measure it in a box of the given width: the
// line breaks, alignment and ellipsis of format applied.
struct TextLayout {
    std::u16string text;
    std::unique_ptr<Gdiplus::StringFormat> format;

    const WCHAR* Chars() const { return reinterpret_cast<const WCHAR*>(text.c_str()); }
    INT Length() const { return static_cast<INT>(text.size()); }
};

TextLayout LayOut(const GdiplusFont& font, std::u16string_view text, int32_t format, float width);

}  // namespace exdui::backend::win32
