// Top-level windows and their DirectUI surfaces. A Window is a frameless
// QWidget; binding a surface gives it a style (EX_WS_*), a background, a
// message procedure and the buttons the style asks for. Objects created on the
// surface are child widgets of it. UI thread only.
#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

#include "exdui.h"

namespace exdui {

namespace backend {
class Painter;
}
class Object;
class WindowWidget;

class Window {
  public:
    explicit Window(WindowWidget* widget);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    ExHandle Handle() const { return m_handle; }
    ExHandle Surface() const { return m_surface; }
    ExHandle CanvasHandle() const { return m_canvas; }
    QWidget* Widget() const;
    int32_t Style() const { return m_style; }
    bool IsBound() const { return m_surface != 0; }
    bool IsDestroying() const { return m_destroying; }

    void SetHandle(ExHandle handle) { m_handle = handle; }
    // Binds the surface; false when already bound.
    ExHandle Bind(int32_t style, ExWndProc proc);
    intptr_t SetLong(int32_t index, intptr_t value);
    intptr_t GetLong(int32_t index) const;
    ExArgb Background() const { return m_background; }

    // Through the procedure, then the default handling.
    intptr_t Send(int32_t message, intptr_t wParam, intptr_t lParam);
    // The procedure only; false when it did not handle the message.
    bool CallProc(int32_t message, intptr_t wParam, intptr_t lParam, intptr_t* result);
    void Show(int32_t command);
    // Sends EX_WM_DESTROY, destroys the objects and frees the window.
    void Destroy();

    const std::vector<Object*>& Roots() const { return m_roots; }
    void AddRoot(Object* obj);
    void RemoveRoot(Object* obj);

    // Called by the widget.
    void Paint(backend::Painter& painter);
    void LayoutButtons();

  private:
    WindowWidget* m_widget;  // owns this window; lives as long
    ExHandle m_handle = 0;
    ExHandle m_surface = 0;
    ExHandle m_canvas = 0;
    int32_t m_style = 0;
    ExArgb m_background = 0xFF0060C0;
    ExWndProc m_proc = nullptr;
    intptr_t m_userData = 0;
    bool m_destroying = false;
    std::vector<Object*> m_roots;
    std::vector<QWidget*> m_buttons;
};

Window* WindowFromHandle(ExHandle window);
Window* WindowFromSurface(ExHandle surface);
// The window of a window, surface or object handle.
Window* WindowFromAny(ExHandle handle);
// Every live window (Ex_UnInit).
std::vector<Window*> AllWindows();

// The message loop: quit when a main window goes.
// True when a loop ran (a main window existed) and has ended.
bool RunMessageLoop();
void QuitMessageLoops();
bool AnyMainWindow();

// Installs the application-wide filter that moves and resizes frameless
// windows and closes them on Escape.
void InstallFrameController();
void RemoveFrameController();

}  // namespace exdui
