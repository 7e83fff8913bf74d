// The Win32 back end's top-level window: a WS_POPUP window handle without a
// system frame, in which the library draws its objects and to which it gives
// their input. The views made inside it (editors) are its child windows. The
// frame area is drawn after the library's background in the same paint and
// takes the mouse over its rectangle.
#pragma once

#include <windows.h>

#include "backend/native_window.h"

namespace exdui::backend::win32 {

// The least size the user's resizing leaves a window.
inline constexpr int MinTrackWidth = 120;
inline constexpr int MinTrackHeight = 60;

class Win32NativeWindow final : public NativeWindow {
  public:
    Win32NativeWindow(NativeWindowEvents& events, bool popup);
    ~Win32NativeWindow() override;
    Win32NativeWindow(const Win32NativeWindow&) = delete;
    Win32NativeWindow& operator=(const Win32NativeWindow&) = delete;

    // Makes the window handle; false when the system cannot.
    bool Create(const NativeWindowOptions& options);

    HWND Handle() const { return m_hwnd; }
    NativeWindowEvents& Events() const { return m_events; }
    bool IsPopup() const { return m_popup; }

    ExRect Rect() const override;
    ExRect OuterRect() const override;
    void SetRect(const ExRect& rect) override;
    void Show(int32_t command) override;
    WindowState State() const override;
    bool IsVisible() const override;
    void Enable(bool enable) override;
    void SetTopmost(bool topmost) override;
    void SetMinSize(int32_t width, int32_t height) override;
    void Invalidate(const ExRect* area) override;
    void SetFrameArea(const ExRect& area) override;
    NativeView* View() override;
    void TakeFocus() override;
    bool HasFocus() const override;
    void Destroy() override;

    // Moves (hit HTCAPTION) or resizes (an edge's HT code) the window with
    // the pointer from a press at the screen point from, by hand instead of
    // the system's loop: injected input has no real pointer for that loop
    // to follow. Ends at the left button's release.
    void TrackByHand(LRESULT hit, POINT from);
    // Paints the whole client area into dc (a snapshot).
    void PaintInto(HDC dc);

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    // Paints the part dirty of the client area onto dc.
    void Paint(HDC dc, const RECT& dirty);
    bool Mouse(UINT message, WPARAM wParam, LPARAM lParam);
    void Key(UINT message, WPARAM wParam);
    LRESULT HitTest(LPARAM lParam);
    void SetState(WindowState state);
    void DismissPopups();
    // Hides a shown popup and tells the library it went.
    void Dismiss();
    // The pointer at a client point, outside the frame area: enter, then move.
    void PointerAt(ExPoint at, uint32_t keys);
    // TrackByHand's step with the pointer at the screen point now.
    void TrackTo(POINT now);

    friend bool TakeKeyFirst(const MSG& msg);

    NativeWindowEvents& m_events;
    bool m_popup;
    HWND m_hwnd = nullptr;
    bool m_created = false;
    bool m_destroying = false;  // Destroy was called: nothing more is told
    bool m_trackingLeave = false;
    RECT m_frame{};  // the frame area, client pixels; empty for none
    SIZE m_minSize{};
    bool m_sizing = false;         // the user moves or resizes it in the system's loop
    bool m_pointerInside = false;  // over the window, outside the frame area
    bool m_pointerOnFrame = false;
    bool m_framePressed = false;
    LRESULT m_trackHit = 0;  // TrackByHand's hit while it runs, else 0
    POINT m_moveFrom{};
    RECT m_moveStart{};
    WindowState m_state = WindowState::Normal;
};

// The window of a handle the back end made; null for any other.
Win32NativeWindow* NativeWindowOf(HWND hwnd);
// The popup of owner that is shown, if any: it takes the keys.
Win32NativeWindow* ShownPopupOf(HWND owner);

// What the caption and the edges the library names are to the system.
LRESULT HitCode(FrameHit hit);
// Tells windows when a view inside them gains or loses the keyboard focus
// (NativeWindowEvents::OnViewFocus): installed once, on the UI thread.
void WatchViewFocus();

// Gives the library the keys pressed in one of its windows before anything
// in the window sees them (NativeWindowEvents::OnKeyDown): true when it took
// the key, which must then not be dispatched. For every message dispatched.
bool TakeKeyFirst(const MSG& msg);

}  // namespace exdui::backend::win32
