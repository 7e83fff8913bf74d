#include "ui/object_text.h"

#include "platform/code_page.h"

namespace cj::ui {

std::string ObjectText(ExHandle object) {
    const std::size_t length = Ex_ObjGetTextLength(object);
    if (length == 0) {
        return {};
    }
    std::u16string wide(length + 1, u'\0');
    const std::size_t copied = Ex_ObjGetText(object, wide.data(), wide.size() * sizeof(char16_t));
    wide.resize(copied);
    return platform::Utf16ToNarrow(wide);
}

void SetObjectText(ExHandle object, std::string_view text, bool redraw) {
    const std::u16string wide = platform::NarrowToUtf16(text);
    Ex_ObjSetText(object, wide.c_str(), redraw ? 1 : 0);
}

}  // namespace cj::ui
