// The top-level window as the system shows it: the Qt back end's frameless
// QWidget, the Windows back end's HWND. The library makes one for each of its
// windows (Ex_WndCreate) and keeps to itself the window's style, procedure,
// objects and frame buttons; the back end shows the window, tells the library
// what happens to it (NativeWindowEvents) and lets the system move and resize
// it where the library says the caption and the edges are.
//
// Rectangles on the screen are in screen pixels; points and rectangles in the
// window are client pixels, (0, 0) at its top left. The window has no frame
// of the system's: its outer rectangle is its client area. UI thread only.
// Standard C++ only: no toolkit type crosses this interface.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exdui.h"

namespace exdui::backend {

class Painter;
struct NativeView;
class NativeWindow;

// What lies at a point of the window, as the library answers the back end.
// The back end moves the window when its caption is dragged with the left
// button and resizes it when an edge is; presses on an edge go to the resize
// before anything in the window sees them. A frame button's input goes to the
// library (NativeWindowEvents::OnFrameMouse).
enum class FrameHit {
    Client,
    Caption,
    Left,
    Top,
    Right,
    Bottom,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight,
    Button,
};

enum class WindowState { Normal, Minimized, Maximized };

enum class FrameMouse { Move, Press, Release, Leave };

enum class MouseButton { Left, Right, Middle };

// What the back end tells the library, on the UI thread. OnResized, OnMoved
// and OnStateChanged may come from inside the library's own calls that change
// the window (SetRect, Show, SetMinSize, SetTopmost); the others never do.
class NativeWindowEvents {
  public:
    virtual ~NativeWindowEvents() = default;

    // Draw the window's background into painter, in client pixels; dirty is
    // the part that needs it (drawing outside it is clipped away).
    virtual void OnPaint(Painter& painter, const ExRect& dirty) = 0;
    // Draw the frame area (NativeWindow::SetFrameArea) over whatever lies
    // beneath it, in client pixels, without clearing it.
    virtual void OnPaintFrame(Painter& painter, const ExRect& dirty) = 0;
    // What lies at a client point: asked on presses and on pointer moves
    // (for the cursor over the edges).
    virtual FrameHit OnHitTest(ExPoint at) = 0;
    // The client size changed, by the library's own call too.
    virtual void OnResized(int32_t width, int32_t height) = 0;
    // The window's top left moved on the screen.
    virtual void OnMoved(int32_t x, int32_t y) = 0;
    // Minimised, maximised or restored.
    virtual void OnStateChanged(WindowState state) = 0;
    // The system or the user asks to close the window (EX_WM_CLOSE). The back
    // end never closes it itself: the library calls NativeWindow::Destroy
    // when it agrees. Never told of a popup.
    virtual void OnCloseRequested() = 0;
    // A popup (NativeWindowOptions::popup) went away without the library
    // asking: the user pressed outside it, or its owner window moved or
    // stopped being the active window. The back end has hidden it already
    // and took back the pointer and the keys; the window lives on until the
    // library destroys it or shows it again. Never told of a window that is
    // not a popup, nor for the library's own Show(EX_SW_HIDE) or Destroy.
    virtual void OnPopupDismissed() = 0;
    // The window became the active window, or stopped being it.
    virtual void OnActivated(bool active) = 0;
    // The pointer over the frame area: moved, pressed or released with the
    // left button (any other button is not told), or gone out of it. A press
    // inside keeps the moves and its release coming here until the release.
    virtual void OnFrameMouse(FrameMouse action, ExPoint at) = 0;
    // A key (EX_VK_*) was pressed in the window, before anything in it sees
    // it. True when the library took it: nothing else sees it then.
    virtual bool OnKeyDown(int32_t virtualKey) = 0;
    // The native window is gone, last of its calls: the library must not
    // touch it any more. Comes after Destroy, or when its owner went.
    virtual void OnDestroyed() = 0;
    // The window was shown or hidden.
    virtual void OnVisible(bool visible) = 0;

    // The input the library gives its objects: what reaches the window
    // itself, outside the views inside it (an editor) and the frame area.
    // Points are client pixels; keys are the EX_MK_* bits of the buttons held
    // once the event has happened and of Shift and Ctrl. Any of these calls
    // may destroy the window; nothing but OnDestroyed comes for it then.
    //
    // The pointer moved to at. While a button is held the moves come here
    // wherever the pointer is.
    virtual void OnMouseMove(ExPoint at, uint32_t keys) = 0;
    // A button went down or up at at. The second press of a double click
    // (the system's time and distance) comes as OnDoubleClick instead of
    // OnMouseDown; its release as OnMouseUp.
    virtual void OnMouseDown(MouseButton button, ExPoint at, uint32_t keys) = 0;
    virtual void OnMouseUp(MouseButton button, ExPoint at, uint32_t keys) = 0;
    virtual void OnDoubleClick(MouseButton button, ExPoint at, uint32_t keys) = 0;
    // The pointer left the window, or went onto the frame area.
    virtual void OnMouseLeave() = 0;
    // The pointer came into the window at at, or onto a view inside it (where
    // the window's moves stop until it comes back); no move is told for it.
    virtual void OnMouseEnter(ExPoint at) = 0;
    // The wheel turned by delta (120 a notch, positive away from the user)
    // with the pointer at at. True when the library took it; the back end
    // leaves it to the system otherwise.
    virtual bool OnWheel(ExPoint at, int32_t delta, uint32_t keys) = 0;
    // A key (EX_VK_*) went down or up while the window itself has the
    // keyboard focus, after OnKeyDown let it through; modifiers are its
    // EX_MK_SHIFT and EX_MK_CONTROL bits, text the printable characters a
    // press types (empty for a release). True when the library took it.
    virtual bool OnKey(bool down, int32_t virtualKey, uint32_t modifiers,
                       std::u16string_view text) = 0;
    // The window itself gained or lost the keyboard focus: from or to another
    // window, or a view inside it (NativeWindow::TakeFocus, FocusView).
    virtual void OnFocusChanged(bool gained) = 0;
    // A view made inside the window's View() (its direct child), or one of
    // the views inside that, gained or lost the keyboard focus; view is the
    // direct child.
    virtual void OnViewFocus(NativeView* view, bool gained) = 0;
    // Files dragged from another program are over at: true when the window
    // would take them there. Then dropped at at: true when it took them.
    // paths are the local files' names; never empty.
    virtual bool OnFilesOver(ExPoint at, const std::vector<std::u16string>& paths) = 0;
    virtual bool OnFilesDropped(ExPoint at, const std::vector<std::u16string>& paths) = 0;
};

struct NativeWindowOptions {
    // The window's rectangle on the screen; at least 1x1.
    ExRect rect = {0, 0, 1, 1};
    // The title the system shows (the task bar); the library draws its own.
    std::u16string_view title;
    // Kept above owner, and goes when owner goes; null for none.
    NativeWindow* owner = nullptr;
    bool topmost = false;
    // A popup of owner (a drop-down list): shown above it without taking the
    // activation from it, it takes the pointer and the keys while shown (a
    // press anywhere comes to it, outside it too) and goes away on its own
    // (NativeWindowEvents::OnPopupDismissed). The system shows no title for
    // it, and never moves or resizes it for the user.
    bool popup = false;
};

class NativeWindow {
  public:
    virtual ~NativeWindow() = default;

    // The client rectangle on the screen, and the outer one (the same unless
    // the system adds something of its own around a frameless window).
    virtual ExRect Rect() const = 0;
    virtual ExRect OuterRect() const = 0;
    // Moves and sizes the client rectangle (at least 1x1, and no smaller
    // than the least size).
    virtual void SetRect(const ExRect& rect) = 0;
    // EX_SW_HIDE, EX_SW_SHOWMINIMIZED, EX_SW_SHOWMAXIMIZED, EX_SW_SHOWNOACTIVATE
    // (shown restored, not activated), EX_SW_SHOWNORMAL and EX_SW_RESTORE
    // (shown restored and activated); any other shows the window as it was.
    virtual void Show(int32_t command) = 0;
    virtual WindowState State() const = 0;
    virtual bool IsVisible() const = 0;
    // A disabled window and all in it take no input.
    virtual void Enable(bool enable) = 0;
    // Above every window that is not topmost itself; keeps the window shown
    // or hidden as it was.
    virtual void SetTopmost(bool topmost) = 0;
    // The least size, kept by SetRect and by the user's resizing. Resizing
    // by the edges keeps it at least 120x60 besides.
    virtual void SetMinSize(int32_t width, int32_t height) = 0;
    // Has a client rectangle painted again soon (null: all of the window).
    virtual void Invalidate(const ExRect* area) = 0;
    // The client rectangle drawn by OnPaintFrame above everything else in
    // the window, whose mouse input goes to OnFrameMouse (the frame buttons).
    // An empty rectangle for none. Setting it again keeps it on top of what
    // was added to the window since.
    virtual void SetFrameArea(const ExRect& area) = 0;
    // The system's view of the window (backend/native_view.h). Views made
    // inside it (editors) lie above everything the library draws, and below
    // the frame area.
    virtual NativeView* View() = 0;
    // The keyboard focus to the window itself, out of any view inside it.
    // OnFocusChanged(true) follows when the window is the active one (at
    // once) or when it becomes it.
    virtual void TakeFocus() = 0;
    // The window itself has the keyboard focus (and is the active window).
    virtual bool HasFocus() const = 0;
    // Hides the window now and destroys it soon after, outside the current
    // call: OnDestroyed comes then. Nothing more may be asked of it.
    virtual void Destroy() = 0;
};

// Makes a hidden window that tells events what happens to it. Null when the
// system cannot make one. The window lives until OnDestroyed.
NativeWindow* CreateNativeWindow(const NativeWindowOptions& options, NativeWindowEvents& events);

}  // namespace exdui::backend
