// Texts across the UI library's boundary: the program's narrow text in, UTF-16
// out, and back.
#pragma once

#include <string>
#include <string_view>

#include "exdui/exdui.h"

namespace cj::ui {

// The object's text as narrow text; "" for a bad handle.
std::string ObjectText(ExHandle object);

// Sets the object's text from narrow text.
void SetObjectText(ExHandle object, std::string_view text, bool redraw = true);

}  // namespace cj::ui
