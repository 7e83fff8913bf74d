#include "fonts.h"

#include <mutex>

#include "handle_table.h"
#include "marshal.h"

namespace exdui {

namespace {

struct FontResource {
    mutable std::mutex mu;
    FontRef font;  // Under mu.
};

}  // namespace

FontRef MakeFont(std::u16string_view family, int32_t size, int32_t style) {
    return backend::GetGraphics().MakeFont(family, size, style);
}

FontRef DefaultFont() {
    static const FontRef font = MakeFont({}, -1, -1);
    return font;
}

ExHandle CreateFontHandle(FontRef font) {
    auto res = std::make_shared<FontResource>();
    res->font = std::move(font);
    return handles::AddShared(Kind::Font, res);
}

void SetFontHandle(ExHandle handle, FontRef font) {
    if (auto res = handles::SharedAs<FontResource>(handle, Kind::Font)) {
        std::lock_guard lock(res->mu);
        res->font = std::move(font);
    }
}

FontRef FontFromHandle(ExHandle handle) {
    if (auto res = handles::SharedAs<FontResource>(handle, Kind::Font)) {
        std::lock_guard lock(res->mu);
        return res->font;
    }
    return DefaultFont();
}

}  // namespace exdui

using namespace exdui;

extern "C" {

EXDUI_API ExHandle _font_createfromfamily(const char16_t* family, int32_t size, int32_t style) {
    std::u16string_view name =
        family != nullptr ? std::u16string_view(family) : std::u16string_view();
    // The font database belongs to the UI thread.
    return marshal::Call([&] { return CreateFontHandle(MakeFont(name, size, style)); },
                         ExHandle{0});
}

EXDUI_API int _font_destroy(ExHandle font) {
    if (!handles::IsLive(font, Kind::Font)) {
        return 0;
    }
    handles::Remove(font);
    return 1;
}

}  // extern "C"
