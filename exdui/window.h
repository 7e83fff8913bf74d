// Top-level windows and their DirectUI surfaces. A Window is shown by the back
// end's native window (backend/native_window.h); binding a surface gives it a
// style (EX_WS_*), a background, a message procedure and the buttons the style
// asks for, drawn and run here. UI thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "backend/native_window.h"
#include "backend/timer.h"
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

    // The objects as the window shows them (window_input.cpp,
    // window_paint.cpp). The innermost shown and enabled object at a client
    // point, the last made on top, cut to its ancestors; null over the
    // background and the frame buttons.
    Object* ObjectAt(ExPoint at) const;
    // Has a client rectangle painted again.
    void InvalidateClient(const ExRect& area);
    // The object that has the keyboard focus, or null; Focus gives it to obj.
    Object* FocusedObject() const;
    void Focus(Object* obj);
    // obj was hidden: the pointer's hover and capture let go of it. Or
    // shown: hovered when the pointer is over it.
    void ObjectHidden(Object& obj);
    void ObjectShown(Object& obj);
    // A shown object moved or changed size: once the event being handled is
    // done, the hover goes to what then lies under the pointer.
    void ObjectMoved();
    // Keeps a destroyed object until the events that may still use it ran.
    void Bury(Object* obj);
    // The tooltip of the object at a client point (or of its nearest
    // ancestor that has one) shown now, as the resting pointer shows it.
    void ShowTooltipAt(ExPoint at);

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
    void OnVisible(bool visible) override;
    void OnMouseMove(ExPoint at, uint32_t keys) override;
    void OnMouseDown(backend::MouseButton button, ExPoint at, uint32_t keys) override;
    void OnMouseUp(backend::MouseButton button, ExPoint at, uint32_t keys) override;
    void OnDoubleClick(backend::MouseButton button, ExPoint at, uint32_t keys) override;
    void OnMouseLeave() override;
    void OnMouseEnter(ExPoint at) override;
    bool OnWheel(ExPoint at, int32_t delta, uint32_t keys) override;
    bool OnKey(bool down, int32_t virtualKey, uint32_t modifiers,
               std::u16string_view text) override;
    void OnFocusChanged(bool gained) override;
    void OnViewFocus(backend::NativeView* view, bool gained) override;
    bool OnFilesOver(ExPoint at, const std::vector<std::u16string>& paths) override;
    bool OnFilesDropped(ExPoint at, const std::vector<std::u16string>& paths) override;

  private:
    enum class Button { Close, Maximize, Minimize };

    // The client rectangle of all the frame buttons; empty for none.
    ExRect ButtonsArea() const;
    void LayoutButtons();
    // The index in m_buttons of the button at a client point; -1 for none.
    int ButtonAt(ExPoint at) const;
    void InvalidateButton(int index);
    void Click(Button button);
    void PaintObject(backend::Painter& painter, Object& obj, const ExRect& dirty,
                     const ExRect& clip, ExPoint parentOrigin);
    // The hovered objects become target and its ancestors: those that are
    // no longer hear EX_WM_MOUSELEAVE, innermost first, then the new ones
    // EX_WM_MOUSEHOVER, outermost first.
    void SetHover(Object* target);
    // The press or release of a button at a client point, to the object
    // the pointer holds or the one under it.
    void Press(backend::MouseButton button, ExPoint at, uint32_t keys, bool doubleClick);
    // The focus leaves from, which is being hidden, for the next editor.
    void FocusNextEditor(Object& from);
    // The object under the pointer where the window last saw it; null when
    // the pointer left the window.
    Object* ObjectUnderPointer() const;
    Object* DropTarget(ExPoint at) const;

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
    // The pointer over the objects, as handles (a destroyed object drops out).
    std::vector<ExHandle> m_hovered;  // outermost first
    bool m_captured = false;          // a button is held; it went down on m_capture
    ExHandle m_capture = 0;           // 0: on the background
    uint32_t m_held = 0;              // EX_MK_LBUTTON / EX_MK_RBUTTON
    ExHandle m_focus = 0;             // has the keyboard focus, or gets it with the window
    ExHandle m_focusTold = 0;         // heard EX_WM_SETFOCUS last, without a KILLFOCUS since
    std::unique_ptr<backend::Timer> m_tipTimer;
    std::unique_ptr<backend::Timer> m_hoverCheck;  // ObjectMoved's, one at a time
    std::optional<ExPoint> m_pointer;              // in client pixels, while over the window
    ExPoint m_tipAt{};
    std::vector<std::unique_ptr<Object>> m_buried;
    std::unique_ptr<backend::Timer> m_reaper;
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
