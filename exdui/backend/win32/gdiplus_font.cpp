#include "gdiplus_font.h"

#include <algorithm>

#include "exdui.h"

namespace exdui::backend::win32 {

namespace {

constexpr char16_t Ellipsis[] = u"…";

// The Graphics that measures text, over a bitmap of one pixel: the sizes it
// gives are those of any target of the same text smoothing. UI thread.
Gdiplus::Graphics& Measurer() {
    static Gdiplus::Bitmap pixel(1, 1, PixelFormat32bppPARGB);
    static Gdiplus::Graphics graphics(&pixel);
    static const bool hinted = graphics.SetTextRenderingHint(TextHint) == Gdiplus::Ok;
    (void)hinted;  // Set once; a failure would only show as slightly other widths.
    return graphics;
}

// GDI+'s typographic format, without the padding its default format puts
// around text, with flags of our own.
std::unique_ptr<Gdiplus::StringFormat> TypographicFormat(INT flags) {
    auto format =
        std::make_unique<Gdiplus::StringFormat>(Gdiplus::StringFormat::GenericTypographic());
    format->SetFormatFlags(flags);
    return format;
}

float LineWidth(const Gdiplus::Font& font, std::u16string_view text) {
    if (text.empty()) {
        return 0;
    }
    auto format = TypographicFormat(Gdiplus::StringFormatFlagsNoWrap |
                                    Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    Gdiplus::RectF bounds;
    Measurer().MeasureString(reinterpret_cast<const WCHAR*>(text.data()),
                             static_cast<INT>(text.size()), &font, Gdiplus::PointF(0, 0),
                             format.get(), &bounds);
    return bounds.Width;
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// text with keep of its characters left and "…" for the rest: at the end,
// or in the middle with the start and end kept half each. A surrogate pair
// is never split.
std::u16string Shortened(std::u16string_view text, size_t keep, bool middle) {
    size_t head = middle ? (keep + 1) / 2 : keep;
    size_t tail = middle ? keep / 2 : 0;
    if (head > 0 && head < text.size() && IsHighSurrogate(text[head - 1])) {
        --head;
    }
    size_t tailStart = text.size() - tail;
    if (tail > 0 && tailStart < text.size() && IsLowSurrogate(text[tailStart])) {
        ++tailStart;
    }
    std::u16string out(text.substr(0, head));
    out += Ellipsis;
    out += text.substr(tailStart);
    return out;
}

// text shortened to width as the ellipsis bits of format ask: the most
// characters that fit with the "…", found by halving.
std::u16string Elided(const Gdiplus::Font& font, std::u16string_view text, int32_t format,
                      float width) {
    if ((format & (EX_DT_END_ELLIPSIS | EX_DT_PATH_ELLIPSIS)) == 0 || width <= 0 ||
        LineWidth(font, text) <= width) {
        return std::u16string(text);
    }
    const bool middle = (format & EX_DT_PATH_ELLIPSIS) != 0;
    size_t fits = 0;
    size_t tooMany = text.size();
    while (tooMany - fits > 1) {
        const size_t keep = (fits + tooMany) / 2;
        (LineWidth(font, Shortened(text, keep, middle)) <= width ? fits : tooMany) = keep;
    }
    return Shortened(text, fits, middle);
}

Gdiplus::StringAlignment Across(int32_t format) {
    return (format & EX_DT_RIGHT) != 0    ? Gdiplus::StringAlignmentFar
           : (format & EX_DT_CENTER) != 0 ? Gdiplus::StringAlignmentCenter
                                          : Gdiplus::StringAlignmentNear;
}

Gdiplus::StringAlignment Down(int32_t format) {
    return (format & EX_DT_VCENTER) != 0  ? Gdiplus::StringAlignmentCenter
           : (format & EX_DT_BOTTOM) != 0 ? Gdiplus::StringAlignmentFar
                                          : Gdiplus::StringAlignmentNear;
}

}  // namespace

TextLayout LayOut(const GdiplusFont& font, std::u16string_view text, int32_t format, float width) {
    std::u16string oneLine;
    const bool singleLine = (format & EX_DT_SINGLELINE) != 0;
    if (singleLine) {
        // Line breaks show as spaces, a CR LF pair as one.
        for (size_t i = 0; i < text.size(); ++i) {
            const bool pair = text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
            oneLine += text[i] == u'\r' || text[i] == u'\n' ? u' ' : text[i];
            i += pair ? 1 : 0;
        }
        text = oneLine;
    }
    // Without word breaks GDI+ still starts a new line at each line break.
    const bool wrap = !singleLine && (format & EX_DT_WORDBREAK) != 0;
    TextLayout layout{Elided(font.Get(), text, format, width),
                      TypographicFormat(wrap ? 0 : Gdiplus::StringFormatFlagsNoWrap)};
    layout.format->SetAlignment(Across(format));
    layout.format->SetLineAlignment(Down(format));
    return layout;
}

GdiplusFont::GdiplusFont(std::unique_ptr<Gdiplus::Font> font, const LOGFONTW& logFont)
    : m_font(std::move(font)), m_logFont(logFont) {
    Gdiplus::FontFamily family;
    m_font->GetFamily(&family);
    const INT style = m_font->GetStyle();
    const float perEm = m_font->GetSize() / std::max<float>(family.GetEmHeight(style), 1);
    m_ascent = perEm * family.GetCellAscent(style);
    m_height = m_ascent + perEm * family.GetCellDescent(style);
}

GdiplusFont::~GdiplusFont() {
    if (m_hfont != nullptr) {
        DeleteObject(m_hfont);
    }
}

HFONT GdiplusFont::Hfont() const {
    std::call_once(m_hfontOnce, [this] { m_hfont = CreateFontIndirectW(&m_logFont); });
    return m_hfont;
}

float GdiplusFont::Advance(std::u16string_view text) const {
    return LineWidth(*m_font, text);
}

SizeF GdiplusFont::Measure(std::u16string_view text, int32_t format, SizeF layout) const {
    // Measured from the top left: the alignment would only move the box.
    const TextLayout laid =
        LayOut(*this, text, format & ~(EX_DT_CENTER | EX_DT_RIGHT | EX_DT_VCENTER | EX_DT_BOTTOM),
               layout.width);
    Gdiplus::RectF bounds;
    Measurer().MeasureString(laid.Chars(), laid.Length(), m_font.get(),
                             Gdiplus::RectF(0, 0, std::max(layout.width, 0.0F), 0),
                             laid.format.get(), &bounds);
    return {layout.width > 0 ? std::min(bounds.Width, layout.width) : bounds.Width,
            layout.height > 0 ? std::min(bounds.Height, layout.height) : bounds.Height};
}

}  // namespace exdui::backend::win32
