// The GDI+ back end's factory of fonts and images. The program names
// "微软雅黑" (and leaves the family empty for the default); both become the
// first installed Simplified Chinese family. A family that is not installed
// falls back to that one too, for GDI+ makes no font of a missing family.
// Han characters a family lacks come from the system's own font fallback,
// which GDI+ text goes through.
#include "gdiplus_graphics.h"

#include <commctrl.h>
#include <commoncontrols.h>
#include <shellapi.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "gdiplus_font.h"
#include "gdiplus_image.h"

namespace exdui::backend::win32 {
namespace {

constexpr int DefaultPixelSize = 12;

std::wstring ToWide(std::u16string_view text) {
    return {text.begin(), text.end()};
}

std::wstring Trimmed(std::wstring text) {
    auto space = [](wchar_t c) { return std::iswspace(c) != 0; };
    text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), space));
    text.erase(std::find_if_not(text.rbegin(), text.rend(), space).base(), text.end());
    return text;
}

bool IsInstalled(const std::wstring& family) {
    Gdiplus::FontFamily f(family.c_str());
    return f.GetLastStatus() == Gdiplus::Ok && f.IsAvailable();
}

// The first installed Simplified Chinese family; empty when there is none.
const std::wstring& ChineseFamily() {
    static const std::wstring family = [] {
        for (const wchar_t* name : {L"Microsoft YaHei", L"Microsoft YaHei UI", L"SimSun", L"SimHei",
                                    L"Noto Sans CJK SC", L"Source Han Sans SC"}) {
            if (IsInstalled(name)) {
                return std::wstring(name);
            }
        }
        return std::wstring();
    }();
    return family;
}

bool IsWindowsChineseFamily(const std::wstring& family) {
    for (const wchar_t* name : {L"微软雅黑", L"Microsoft YaHei", L"Microsoft YaHei UI", L"宋体",
                                L"SimSun", L"黑体", L"SimHei"}) {
        if (_wcsicmp(family.c_str(), name) == 0) {
            return true;
        }
    }
    return false;
}

// The families to try for a family the program names, best first.
std::vector<std::wstring> Candidates(std::u16string_view family) {
    std::vector<std::wstring> out;
    const std::wstring trimmed = Trimmed(ToWide(family));
    if (!trimmed.empty() && !IsWindowsChineseFamily(trimmed)) {
        out.push_back(trimmed);
    }
    if (!ChineseFamily().empty()) {
        out.push_back(ChineseFamily());
    }
    return out;
}

LOGFONTW LogFontOf(const std::wstring& family, int pixels, INT style) {
    LOGFONTW lf{};
    lf.lfHeight = -pixels;
    lf.lfWeight = (style & Gdiplus::FontStyleBold) != 0 ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style & Gdiplus::FontStyleItalic) != 0 ? TRUE : FALSE;
    lf.lfUnderline = (style & Gdiplus::FontStyleUnderline) != 0 ? TRUE : FALSE;
    lf.lfStrikeOut = (style & Gdiplus::FontStyleStrikeout) != 0 ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    family.copy(lf.lfFaceName, LF_FACESIZE - 1);
    return lf;
}

// The system's icon lists by the size of their icons.
struct IconList {
    int id;
    int32_t pixels;
};
constexpr IconList IconLists[] = {
    {SHIL_SMALL, 16}, {SHIL_LARGE, 32}, {SHIL_EXTRALARGE, 48}, {SHIL_JUMBO, 256}};

// The icon at index of the list, or null.
std::shared_ptr<const Image> IconOfList(int list, int index) {
    IImageList* images = nullptr;
    if (FAILED(SHGetImageList(list, __uuidof(IImageList), reinterpret_cast<void**>(&images)))) {
        return nullptr;
    }
    HICON icon = nullptr;
    images->GetIcon(index, ILD_TRANSPARENT, &icon);
    images->Release();
    if (icon == nullptr) {
        return nullptr;
    }
    std::shared_ptr<const Image> image = ImageOfIcon(icon);
    DestroyIcon(icon);
    return image;
}

// A font when no family asked for is installed: GDI+'s sans serif, else the
// first family installed, else the system's GUI font.
std::shared_ptr<const Font> LastResortFont(int pixels, INT style) {
    std::vector<const Gdiplus::FontFamily*> families;
    Gdiplus::InstalledFontCollection installed;
    std::vector<Gdiplus::FontFamily> all(
        static_cast<size_t>(std::max(installed.GetFamilyCount(), 0)));
    INT found = 0;
    installed.GetFamilies(static_cast<INT>(all.size()), all.data(), &found);
    families.push_back(Gdiplus::FontFamily::GenericSansSerif());  // null when it is missing
    if (found > 0) {
        families.push_back(&all[0]);
    }
    for (const Gdiplus::FontFamily* family : families) {
        if (family == nullptr) {
            continue;
        }
        auto font = std::make_unique<Gdiplus::Font>(family, static_cast<Gdiplus::REAL>(pixels),
                                                    style, Gdiplus::UnitPixel);
        WCHAR name[LF_FACESIZE] = {};
        if (font->GetLastStatus() == Gdiplus::Ok && family->GetFamilyName(name) == Gdiplus::Ok) {
            return std::make_shared<GdiplusFont>(std::move(font), LogFontOf(name, pixels, style));
        }
    }
    HDC screen = GetDC(nullptr);
    auto font = std::make_unique<Gdiplus::Font>(
        screen, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    ReleaseDC(nullptr, screen);
    LOGFONTW lf{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    return std::make_shared<GdiplusFont>(std::move(font), lf);
}

class GdiplusGraphics final : public Graphics {
  public:
    GdiplusGraphics() { StartGdiplus(); }

    std::shared_ptr<const Font> MakeFont(std::u16string_view family, int32_t pixelSize,
                                         int32_t style) override {
        const int pixels = pixelSize > 0 ? pixelSize : DefaultPixelSize;
        // Our style bits are GDI+'s.
        const INT bits = style > 0 ? style & (FontBold | FontItalic | FontUnderline | FontStrikeOut)
                                   : Gdiplus::FontStyleRegular;
        for (const std::wstring& name : Candidates(family)) {
            // A family without the style asked for still gives its regular face.
            for (INT tryStyle : {bits, INT{Gdiplus::FontStyleRegular}}) {
                auto font = std::make_unique<Gdiplus::Font>(
                    name.c_str(), static_cast<Gdiplus::REAL>(pixels), tryStyle, Gdiplus::UnitPixel);
                if (font->GetLastStatus() == Gdiplus::Ok && font->IsAvailable()) {
                    return std::make_shared<GdiplusFont>(std::move(font),
                                                         LogFontOf(name, pixels, tryStyle));
                }
            }
        }
        return LastResortFont(pixels, bits);
    }

    std::shared_ptr<const Image> DecodeImage(std::span<const std::byte> bytes) override {
        return DecodeImageFile(bytes.data(), bytes.size());
    }

    std::shared_ptr<const Image> FileIcon(std::u16string_view path, int32_t pixels) override {
        if (pixels <= 0) {
            return nullptr;
        }
        // The shell's calls need COM on this thread; the first call here
        // starts it for the thread's life when nothing did before.
        static thread_local const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        (void)com;  // RPC_E_CHANGED_MODE: the thread already has COM, which serves as well.
        const std::wstring wide = ToWide(path);
        SHFILEINFOW info{};
        // By the type alone: the file need not exist.
        if (SHGetFileInfoW(wide.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                           SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES) == 0) {
            return nullptr;
        }
        // The smallest list that is large enough, scaled down to pixels;
        // lists the system lacks (the largest under Wine) give way to smaller.
        auto list = std::find_if(std::begin(IconLists), std::end(IconLists) - 1,
                                 [&](const IconList& l) { return l.pixels >= pixels; });
        for (;; --list) {
            if (std::shared_ptr<const Image> image = IconOfList(list->id, info.iIcon)) {
                const bool tooLarge = image->Width() > pixels || image->Height() > pixels;
                return tooLarge ? image->ScaledToFit(pixels, pixels) : image;
            }
            if (list == std::begin(IconLists)) {
                return nullptr;
            }
        }
    }

    std::shared_ptr<const Image> NativeIcon(const void* icon) override {
        return ImageOfIcon(static_cast<HICON>(const_cast<void*>(icon)));
    }

    void SetSystemFont(const Font& font) override {
        if (const auto* gdiplusFont = dynamic_cast<const GdiplusFont*>(&font)) {
            m_systemFont = CreateFontIndirectW(&gdiplusFont->LogFont());
        }
    }

    HFONT SystemFont() const {
        return m_systemFont != nullptr ? m_systemFont
                                       : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }

  private:
    HFONT m_systemFont = nullptr;  // Never deleted: see SystemFont().
};

GdiplusGraphics& TheGraphics() {
    static GdiplusGraphics graphics;
    return graphics;
}

}  // namespace

HFONT SystemFont() {
    return TheGraphics().SystemFont();
}

HFONT HfontOf(const Font& font) {
    return GdiplusFontOf(font).Hfont();
}

}  // namespace exdui::backend::win32

namespace exdui::backend {

Graphics& GetGraphics() {
    return win32::TheGraphics();
}

}  // namespace exdui::backend
