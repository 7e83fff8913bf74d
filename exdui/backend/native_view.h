// What the system shows a window, or a part of one, with: the Qt back end's
// QWidget, the Windows back end's HWND. The library takes it from its window
// or object, hands it to a service shown over it (a message box, a menu, a
// drag, a tooltip) and never looks inside. Null stands for none.
#pragma once

#include <cstdint>

namespace exdui::backend {

struct NativeView;

// The system's own handle of the top-level window showing view, for code that
// calls the system directly (the blur behind a window): the HWND on Windows,
// the X11 window id under X11; 0 where the system has none that another
// library could use (Wayland, Qt's offscreen platform) and for a null view.
// Makes the window's native resources when it has none yet. UI thread.
std::intptr_t NativeHandle(NativeView* view);

// Gives view the keyboard focus (its window's focus while that window is not
// the active one); byTab: as the Tab key moves it there (an editor selects
// its text). UI thread.
void FocusView(NativeView* view, bool byTab = false);

}  // namespace exdui::backend
