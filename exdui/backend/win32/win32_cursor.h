// The pointer's shape over a view, as SetCursorShape (backend/cursor.h) set
// it: what a window answers WM_SETCURSOR with over its client area.
#pragma once

#include <windows.h>

namespace exdui::backend::win32 {

HCURSOR ViewCursor(HWND hwnd);
// Drops the shape kept for hwnd (before it is destroyed).
void ForgetViewCursor(HWND hwnd);

// From the first call on, the pointer is the injection's (exdui_inject.h),
// not the user's: CursorPosition answers where the injection put it (at, on
// the screen), and the windows take only the mouse messages the injection
// sends (while an InjectedDelivery lives), none the system sends for its own
// pointer (a window mapped under it, a leave). Set by the injection only.
void UseInjectedPointer();
void PlaceInjectedPointer(POINT at);
bool PointerIsInjected();
// The mouse message a window handles now is to be ignored: the system's
// while the pointer is the injection's.
bool IgnoresMouseMessage();

class InjectedDelivery {
  public:
    InjectedDelivery();
    ~InjectedDelivery();
    InjectedDelivery(const InjectedDelivery&) = delete;
    InjectedDelivery& operator=(const InjectedDelivery&) = delete;
};

}  // namespace exdui::backend::win32
