// The pointer's shape over a view, as SetCursorShape (backend/cursor.h) set
// it: what a window answers WM_SETCURSOR with over its client area.
#pragma once

#include <windows.h>

namespace exdui::backend::win32 {

HCURSOR ViewCursor(HWND hwnd);
// Drops the shape kept for hwnd (before it is destroyed).
void ForgetViewCursor(HWND hwnd);

}  // namespace exdui::backend::win32
