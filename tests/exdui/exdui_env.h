// Test support for exdui: every test executable of this folder compiles
// exdui_env.cpp, which starts the library offscreen once per process (a
// GoogleTest environment) and ends it after the last test.
#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <functional>

#include "exdui.h"
#include "exdui_qt.h"

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
    QWidget* Widget() const { return ExQtWidget(m_window); }
    // The window's pixels as painted now.
    QImage Grab() const;

  private:
    ExHandle m_window = 0;
    ExHandle m_surface = 0;
};

// Runs the UI thread's events for ms milliseconds (a real event loop, so
// timers and calls from workers are served).
void Pump(int ms);
// Runs events until done() or timeoutMs; returns done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
// The QWidget of an object, and a point inside it in its own coordinates.
QWidget* W(ExHandle handle);
// Colour of one pixel of an image as ARGB.
ExArgb Pixel(const QImage& image, int x, int y);
// UTF-16 text of an object.
std::u16string Text(ExHandle object);

}  // namespace exdui::test
