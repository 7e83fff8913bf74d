// The system clipboard. UI thread only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "backend/data_format.h"

namespace exdui::backend {

// The plain text on the clipboard; "" when it holds none.
std::u16string ClipboardText();
// Replaces the clipboard's content with text alone.
void SetClipboardText(std::u16string_view text);
// Replaces the clipboard's content with every format at once, so that each
// program takes the one it knows; none empties the clipboard.
void SetClipboard(const std::vector<DataFormat>& formats);

}  // namespace exdui::backend
