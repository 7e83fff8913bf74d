// C++ only: input injected into a top-level window as the user would give it,
// and the library's answers read back, for tests and benchmarks. It speaks
// only the library's terms (handles, client points, EX_VK_* keys, EX_MK_*
// modifiers, ARGB pixels), so the same tests run whichever back end draws the
// window. Every call is made on the UI thread; each returns after the input
// has been handled (the procedures and handlers it reaches have run).
//
// Points are client coordinates of the top-level window as it is when the
// call is made; PointIn converts an object's client point. A mouse button held
// keeps the object it went down on (a capture), as a real pointer does. The
// pointer is where the last call put it on the screen: a button let go at
// another point moves it there first, so after a drag that moved the window,
// the place the pointer rests at is a new client point. The input calls
// return false for a window that is unknown or not shown.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "exdui.h"

namespace exdui::inject {

// The window's client point of an object's client point (x, y), and the
// object's centre; {-1, -1} for an unknown object.
EXDUI_API ExPoint PointIn(ExHandle object, int32_t x, int32_t y);
EXDUI_API ExPoint CenterOf(ExHandle object);
// The object a press at at reaches first: the innermost object shown there;
// 0 where there is none (the window's background, its own buttons).
EXDUI_API ExHandle ObjectAt(ExHandle window, ExPoint at);
// The buttons the library draws on the window's frame for its EX_WS_BUTTON_*
// style (close, maximise, minimise): their client rectangles, from the right.
EXDUI_API std::vector<ExRect> FrameButtonsOf(ExHandle window);

enum class Button { Left, Right };

// The pointer moves to at (with keys, EX_MK_*, held): hover and leave follow.
EXDUI_API bool MouseMove(ExHandle window, ExPoint at, uint32_t keys = 0);
// A button goes down or up at at, with modifiers (EX_MK_SHIFT, EX_MK_CONTROL).
// Presses far apart in time: two MouseDown never make a double click.
EXDUI_API bool MouseDown(ExHandle window, ExPoint at, Button button = Button::Left,
                         uint32_t modifiers = 0);
EXDUI_API bool MouseUp(ExHandle window, ExPoint at, Button button = Button::Left,
                       uint32_t modifiers = 0);
// Move there, down and up.
EXDUI_API bool Click(ExHandle window, ExPoint at, Button button = Button::Left,
                     uint32_t modifiers = 0);
// Two left clicks within the system's double-click time.
EXDUI_API bool DoubleClick(ExHandle window, ExPoint at, uint32_t modifiers = 0);
// The same, its second press held down (MouseUp lets it go).
EXDUI_API bool DoubleClickAndHold(ExHandle window, ExPoint at, uint32_t modifiers = 0);
// The wheel turns at at by delta (120 a notch, positive away from the user).
EXDUI_API bool Wheel(ExHandle window, ExPoint at, int32_t delta, uint32_t modifiers = 0);
// The pointer leaves the window.
EXDUI_API bool Leave(ExHandle window);

// Keys go to the object with the keyboard focus (or to an open popup of the
// window); key is an EX_VK_* code, modifiers EX_MK_SHIFT and EX_MK_CONTROL.
// KeyDown and KeyUp send that key alone, with the modifiers held; Key is
// down and up, with the modifiers' own keys down before it and up after it,
// as on a keyboard. A letter or digit types its character unless Ctrl is
// held. False for a code the back end has no key for.
EXDUI_API bool KeyDown(ExHandle window, int32_t key, uint32_t modifiers = 0);
EXDUI_API bool KeyUp(ExHandle window, int32_t key, uint32_t modifiers = 0);
EXDUI_API bool Key(ExHandle window, int32_t key, uint32_t modifiers = 0);
// Types text into the focused object, one character after another, as keys
// for what a keyboard has (printable ASCII, capitals with Shift; '\n' is
// Enter, '\t' Tab) and as committed input-method text for the rest.
EXDUI_API bool Type(ExHandle window, std::u16string_view text);
// An input method composes preedit (shown, not yet text), then commits commit.
EXDUI_API bool Compose(ExHandle window, std::u16string_view preedit, std::u16string_view commit);
// The object that has the keyboard focus in the window, or 0.
EXDUI_API ExHandle FocusedObject(ExHandle window);

// Files dragged from another program over at and dropped there. DragFilesOver
// says whether the object there would take them; DropFiles drops them and
// says whether it took them.
EXDUI_API bool DragFilesOver(ExHandle window, ExPoint at, const std::vector<std::u16string>& paths);
EXDUI_API bool DropFiles(ExHandle window, ExPoint at, const std::vector<std::u16string>& paths);

// The pointer rests at at: the tooltip the window shows there ("" for none).
EXDUI_API std::u16string TooltipAt(ExHandle window, ExPoint at);

// The window as painted now: width * height ARGB pixels (not premultiplied),
// row after row, one pixel a point whatever the screen's scale; empty for an
// unknown window.
struct Snapshot {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<ExArgb> pixels;
    ExArgb At(int32_t x, int32_t y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};
EXDUI_API Snapshot Grab(ExHandle window);

// Runs the UI thread's events (timers, calls from other threads, repaints)
// for ms milliseconds, or until done() holds; RunEventsUntil returns done().
EXDUI_API void RunEvents(int32_t ms);
EXDUI_API bool RunEventsUntil(const std::function<bool()>& done, int32_t timeoutMs = 5000);

// Stand-ins for what would wait on the user outside the window. Each, while
// set, is asked instead of showing anything; an empty function brings the
// system's own back.
// Ex_MessageBox: returns EX_IDOK, EX_IDCANCEL, EX_IDYES or EX_IDNO.
using MessageBoxAnswer = std::function<int32_t(ExHandle owner, std::u16string_view text,
                                               std::u16string_view caption, uint32_t type)>;
EXDUI_API void SetMessageBoxAnswer(MessageBoxAnswer answer);
// Ex_TrackPopupMenu: returns the identifier of the item chosen, 0 for none.
// items are the menu's in order, a submenu's after its EX_MF_POPUP entry. An
// identifier that is not an enabled item's counts as none, as a user could
// not choose it; a choice goes on as the user's would (EX_WM_COMMAND, or the
// result with EX_TPM_RETURNCMD).
struct MenuItem {
    intptr_t id = 0;
    std::u16string text;
    uint32_t flags = 0;  // EX_MF_*
};
using PopupMenuAnswer = std::function<intptr_t(ExHandle owner, const std::vector<MenuItem>& items)>;
EXDUI_API void SetPopupMenuAnswer(PopupMenuAnswer answer);
// Ex_ObjDoDragDrop: the data dragged out (MIME type and bytes) and the effects
// allowed; returns the EX_DROPEFFECT_* a target took (an effect not allowed
// counts as none). Asked only for a drag the call would start.
struct DragData {
    std::string mimeType;
    std::string bytes;
};
using DragOutAnswer =
    std::function<int32_t(ExHandle source, const std::vector<DragData>& formats, uint32_t effects)>;
EXDUI_API void SetDragOutAnswer(DragOutAnswer answer);

}  // namespace exdui::inject
