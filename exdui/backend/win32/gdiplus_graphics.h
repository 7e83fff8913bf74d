// What the rest of the Win32 back end needs of the GDI+ back end's fonts:
// GDI fonts for the system's own controls (editors, tooltips, menus).
#pragma once

#include <windows.h>

#include "backend/graphics.h"

namespace exdui::backend::win32 {

// UI thread. The font given to Graphics::SetSystemFont, or the system's
// default GUI font before any was. Valid for the process: a font once
// given is never deleted, as controls may still hold it.
HFONT SystemFont();

// A GDI font of the same face, size and style as font, which must come from
// this back end's Graphics; owned by font and valid while it lives.
HFONT HfontOf(const Font& font);

}  // namespace exdui::backend::win32
