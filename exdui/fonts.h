// Font handles. A handle holds a backend::Font, which the back end makes from
// the family, pixel size and style the program names (see
// backend::Graphics::MakeFont). An object's handle is repointed when its font
// changes, so a handle read earlier always draws with the current font.
#pragma once

#include <memory>
#include <string_view>

#include "backend/graphics.h"
#include "exdui.h"

namespace exdui {

using FontRef = std::shared_ptr<const backend::Font>;

// UI thread: the back end's font database belongs to it.
FontRef MakeFont(std::u16string_view family, int32_t size, int32_t style);
// The library's font: the default family at the default size.
FontRef DefaultFont();

ExHandle CreateFontHandle(FontRef font);
void SetFontHandle(ExHandle handle, FontRef font);
// The font behind a handle; the default font for 0 or a bad handle.
FontRef FontFromHandle(ExHandle handle);

}  // namespace exdui
