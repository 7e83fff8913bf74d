// The main window: its message procedure and its handlers.
#pragma once

#include <cstdint>

#include "exdui/exdui.h"

namespace cj::ui {

struct MainControls;

inline constexpr char MainWindowTitle[] = "澄镜文件极速搜索工具";
inline constexpr int MainWindowWidth = 1000;
inline constexpr int MainWindowHeight = 720;
inline constexpr ExArgb MainWindowBackground = 0xFFFF0000;
inline constexpr ExArgb ClientColour = 0xFFDCDCDC;  // Below the band.
inline constexpr ExArgb BandColour = 0xC8FF0000;    // The top band, down to BandHeight.
inline constexpr int BandHeight = 60;

// The main window's procedure: paints the client grey with the red band at
// the top, keeps the controls laid out as the window is resized and, when the
// window is destroyed, saves the settings the user may have changed.
intptr_t MainWindowProc(ExHandle window, ExHandle surface, int32_t message, intptr_t wParam,
                        intptr_t lParam, intptr_t* result);

// Lays the controls out for a client area of width by height.
void LayOutMainWindow(int width, int height);

// Attaches the handlers of the band's, the pages' and the settings' controls.
void AttachMainWindowHandlers(const MainControls& controls);

}  // namespace cj::ui
