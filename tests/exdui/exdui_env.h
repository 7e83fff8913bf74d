// Test support for exdui: every test executable of this folder compiles
// exdui_env.cpp, which starts the library once per process (a GoogleTest
// environment) on the back end's headless platform and ends it after the
// last test. The tests drive windows only through exdui_inject.h.
#pragma once

#include <cstdint>
#include <string>

#include "exdui.h"
#include "exdui_inject.h"

namespace exdui::test {

// A shown frameless window with its surface; destroyed with the object.
class TestWindow {
  public:
    TestWindow(int width, int height, int32_t style = 0x40000, ExWndProc proc = nullptr,
               ExArgb background = 0xFFFFFFFF);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    ExHandle Window() const { return m_window; }
    ExHandle Surface() const { return m_surface; }
    // The window's pixels as painted now.
    inject::Snapshot Grab() const { return inject::Grab(m_window); }

  private:
    ExHandle m_window = 0;
    ExHandle m_surface = 0;
};

// Colour of one pixel of a snapshot as ARGB.
inline ExArgb Pixel(const inject::Snapshot& shot, int x, int y) {
    return shot.At(x, y);
}
// Grey level of a colour, 0 (black) to 255, weighted as the eye sees.
int Gray(ExArgb colour);
// UTF-16 text of an object.
std::u16string Text(ExHandle object);
// The bytes of a PNG image of width by height pixels, all of one colour.
std::string SolidPng(int width, int height, ExArgb colour);

}  // namespace exdui::test
