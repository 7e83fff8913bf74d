// The system's text editing inside a view: typing and the input method, the
// selection, undo, the caret, the context menu and the clipboard keys. The
// library's "Edit" class draws the box around it and keeps the text; the
// editor paints the text and the caret over a transparent background. UI
// thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "backend/graphics.h"
#include "backend/native_view.h"
#include "exdui.h"

namespace exdui::backend {

// What the editor tells its owner. Each call may destroy the owner's object;
// the editor itself stays valid until its owner destroys it.
class TextInputCallbacks {
  public:
    virtual ~TextInputCallbacks() = default;
    // A key was pressed, before the editor acts on it: virtualKey is its
    // EX_VK_* code (0 when it has none), modifiers its EX_MK_SHIFT and
    // EX_MK_CONTROL bits. True keeps the key from the editor (the owner took
    // it, or the owner is gone).
    virtual bool KeyDown(int32_t virtualKey, intptr_t modifiers) = 0;
    // The user pastes text (the paste keys, the context menu, a drop on a
    // multi-line editor). True keeps it out of the editor (the owner took it,
    // or the owner is gone).
    virtual bool Pasting(std::u16string_view text) = 0;
    // The text changed, by the user or by SetText / ReplaceSelection; not
    // for the text the editor is made with.
    virtual void TextChanged(std::u16string_view text) = 0;
    // The editor gained (true) or lost the keyboard focus.
    virtual void FocusChanged(bool gained) = 0;
};

// How an editor is made; fixed for its life.
struct TextInputOptions {
    bool multiLine = false;          // lines broken at Enter, scrolled both ways, never wrapped
    bool readOnly = false;           // selectable and copyable, not editable
    bool password = false;           // one line: each character shown as a dot
    bool verticalScrollBar = false;  // many lines: the bar always shown, not only when needed
    std::u16string text;             // what it starts with
};

// A selection in UTF-16 units, start <= end; both are the caret's position
// when nothing is selected.
struct TextRange {
    int32_t start = 0;
    int32_t end = 0;
};

class TextInput {
  public:
    // Takes the editor out of its view.
    virtual ~TextInput() = default;

    // The native view that holds the editor, a child of the view it was made
    // in: focusing it (FocusView) focuses the editor, and the focus reported
    // for the window's children names it.
    virtual NativeView* View() const = 0;

    // Where the text is, in the coordinates of the view the editor was made
    // in; the editor moves only when the rectangle differs from the last.
    virtual void SetGeometry(const ExRect& rect) = 0;
    // The part of that view where the editor may show, in the same
    // coordinates (its object's rectangle cut by its ancestors'): the editor
    // shows, and takes the pointer, only where its rectangle lies inside;
    // the caret, the selection and the input method's place stay those of
    // the whole rectangle. When nothing of it lies inside, nothing shows but
    // the editor keeps the keyboard focus, as one scrolled out of sight
    // does. Unlimited when made.
    virtual void SetVisibleRect(const ExRect& visible) = 0;
    // Shown or hidden, and enabled (takes input) or greyed; shown and enabled
    // when made. The owner passes the state its object has in the window
    // (hidden or disabled with any ancestor).
    virtual void SetVisible(bool visible) = 0;
    virtual void SetEnabled(bool enabled) = 0;
    // The font of the text, from this back end's fonts.
    virtual void SetFont(const Font& font) = 0;
    // The colour of the text, and of the caret, which blinks while the
    // editor has the focus and is not read only. Both black when made.
    virtual void SetColors(ExArgb text, ExArgb caret) = 0;

    virtual std::u16string Text() const = 0;
    // Replaces the whole text; the selection and the undo history go.
    virtual void SetText(std::u16string_view text) = 0;
    virtual TextRange Selection() const = 0;
    // Selects from range.start to range.end, both within the text (the
    // caret goes to the end).
    virtual void Select(TextRange range) = 0;
    // Drops the selection; the caret stays where it is.
    virtual void Deselect() = 0;
    // Puts text in place of the selection (at the caret when there is none),
    // as typing would, also in a read-only editor.
    virtual void ReplaceSelection(std::u16string_view text) = 0;

    // Takes the keyboard focus; the focus callbacks follow.
    virtual void Focus() = 0;
    virtual bool HasFocus() const = 0;
};

// An editor in view. callbacks must outlive it.
std::unique_ptr<TextInput> MakeTextInput(NativeView* view, const TextInputOptions& options,
                                         TextInputCallbacks& callbacks);

}  // namespace exdui::backend
