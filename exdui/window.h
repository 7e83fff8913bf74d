// Top-level windows and their DirectUI surfaces. A Window is shown by the back
// end's native window (backend/native_window.h); binding a surface gives it a
// style (EX_WS_*), a background, a message procedure and the buttons the style
// asks for, drawn and run here. UI thread only.
#pragma once

#include <string>
#include <vector>

#include "backend/native_window.h"
#include "exdui.h"

namespace exdui {

class Object;

class Window : public backend::NativeWindowEvents {
  public:
    // Shows nothing yet; Native() is null when the system made no window. A
    // popup (a drop-down list) is destroyed when the system dismisses it.
    Window(std::u16string title, const ExRect& rect, Window* owner, bool popup = false);
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    ExHandle Handle() const { return m_handle; }
    ExHandle Surface() const { return m_surface; }
    ExHandle CanvasHandle() const { return m_canvas; }
    backend::NativeWindow* Native() const { return m_native; }
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
    // Sends EX_WM_DESTROY, destroys the objects and has the native window go,
    // which frees this window.
    void Destroy();

    const std::vector<Object*>& Roots() const { return m_roots; }
    void AddRoot(Object* obj);
    void RemoveRoot(Object* obj);

    // The frame buttons in client pixels, the rightmost (close) first.
    std::vector<ExRect> FrameButtons() const;

    // backend::NativeWindowEvents
    void OnPaint(backend::Painter& painter, const ExRect& dirty) override;
    void OnPaintFrame(backend::Painter& painter, const ExRect& dirty) override;
    backend::FrameHit OnHitTest(ExPoint at) override;
    void OnResized(int32_t width, int32_t height) override;
    void OnMoved(int32_t x, int32_t y) override;
    void OnStateChanged(backend::WindowState state) override;
    void OnCloseRequested() override;
    void OnPopupDismissed() override;
    void OnActivated(bool active) override;
    void OnFrameMouse(backend::FrameMouse action, ExPoint at) override;
    bool OnKeyDown(int32_t virtualKey) override;
    void OnDestroyed() override;

  private:
    enum class Button { Close, Maximize, Minimize };

    // The client rectangle of all the frame buttons; empty for none.
    ExRect ButtonsArea() const;
    void LayoutButtons();
    // The index in m_buttons of the button at a client point; -1 for none.
    int ButtonAt(ExPoint at) const;
    void InvalidateButton(int index);
    void Click(Button button);

    backend::NativeWindow* m_native;  // lives until OnDestroyed
    std::u16string m_title;
    ExHandle m_handle = 0;
    ExHandle m_surface = 0;
    ExHandle m_canvas = 0;
    int32_t m_style = 0;
    ExArgb m_background = 0xFF0060C0;
    ExWndProc m_proc = nullptr;
    intptr_t m_userData = 0;
    bool m_destroying = false;
    std::vector<Object*> m_roots;
    std::vector<Button> m_buttons;  // close first, rightmost
    int m_hover = -1;               // indexes in m_buttons
    int m_down = -1;
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

}  // namespace exdui
