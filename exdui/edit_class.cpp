// "Edit": a text box. The object paints its background (slot 0, with its
// radii) and the back end's text input (backend/text_input.h) does the
// editing over it, inside the text rectangle of the class record
// (EX_OL_CLASSDATA), which the program may narrow: one line, or many with
// the multi-line style. Its caret takes slot 30's colour. Every key pressed
// in it reaches the object as EX_WM_KEYDOWN (and so raises -15) before the
// editor acts on it, and a handler that returns nonzero keeps the key from
// the editor. Text about to be pasted reaches the object as EX_WM_PASTE
// first, so that the program can take a pasted list somewhere else.
#include <algorithm>

#include "backend/text_input.h"
#include "backend/timer.h"
#include "class_registry.h"
#include "core/ex_rect.h"
#include "native_views.h"
#include "object_access.h"

namespace exdui {
namespace {

constexpr int DefaultInset = 4;
constexpr int32_t StyleReadOnly = 0x2;
constexpr int32_t StylePassword = 0x20;

// Every change of the editor's text becomes the object's text.
void StoreTextChanges(ExHandle handle, std::u16string_view text) {
    Object* o = ObjectFromHandle(handle);
    if (o == nullptr) {
        return;
    }
    o->StoreText(std::u16string(text));
    o->Invalidate();  // painters that show a placeholder look at the text
    if (o->Parent() != nullptr) {
        o->Parent()->Send(MsgChildTextChanged, handle, 0);
    }
}

// The object's side of its editor: what the editor reports becomes the
// object's messages.
class EditCallbacks final : public backend::TextInputCallbacks {
  public:
    explicit EditCallbacks(ExHandle owner) : m_owner(owner) {}

    bool KeyDown(int32_t virtualKey, intptr_t modifiers) override {
        intptr_t handled = 0;
        if (Object* obj = ObjectFromHandle(m_owner)) {
            handled = obj->Send(EX_WM_KEYDOWN, virtualKey, modifiers);
        }
        return handled != 0 || Gone();  // a handler may destroy the box
    }

    bool Pasting(std::u16string_view text) override {
        Object* obj = ObjectFromHandle(m_owner);
        if (obj == nullptr) {
            return true;  // the box is gone: nothing to paste into
        }
        const std::u16string wide(text);
        return obj->Send(EX_WM_PASTE, 0, reinterpret_cast<intptr_t>(wide.c_str())) != 0 || Gone();
    }

    void TextChanged(std::u16string_view text) override { StoreTextChanges(m_owner, text); }

    void FocusChanged(bool gained) override {
        if (Object* obj = ObjectFromHandle(m_owner)) {
            obj->Send(gained ? EX_WM_SETFOCUS : EX_WM_KILLFOCUS, 0, 0);
        }
    }

  private:
    bool Gone() const { return ObjectFromHandle(m_owner) == nullptr; }

    ExHandle m_owner;
};

struct EditState : ClassState {
    explicit EditState(ExHandle owner) : callbacks(owner) {}

    ExEditRecord record{};
    ExRect lastDefault{};
    EditCallbacks callbacks;                    // outlives the editor
    std::unique_ptr<backend::TextInput> input;  // in the window's view
    std::unique_ptr<backend::Timer> apply;      // the record to the editor, after a paint
};

ExRect DefaultRect(const Object& obj) {
    const RectF area = obj.ClientRect();
    return ExRect{DefaultInset, 0, static_cast<int32_t>(area.Width()) - DefaultInset,
                  static_cast<int32_t>(area.Height())};
}

// The editor follows the record's rectangle, which the program may have
// written directly, at the object's place in the window, shows only inside
// the object and its ancestors, and while they all are shown, and takes
// input while they all are enabled.
void ApplyRecord(Object& obj) {
    if (auto* st = obj.StateAs<EditState>()) {
        const ExPoint at = obj.Origin();
        st->input->SetGeometry(Offset(st->record.textRect, at.x, at.y));
        st->input->SetVisibleRect(obj.VisibleRect());
        st->input->SetVisible(obj.VisibleInTree());
        st->input->SetEnabled(obj.EnabledInWindow());
    }
}

void ApplyColors(Object& obj) {
    if (auto* st = obj.StateAs<EditState>()) {
        st->input->SetColors(obj.Color(EX_COLOR_TEXT), obj.Color(EX_COLOR_CARET));
    }
}

// Selects from start to end (UTF-16 units, clamped to the text; end < 0 is
// the end of the text), or removes the selection when start < 0.
void SetSelection(backend::TextInput& input, intptr_t start, intptr_t end) {
    if (start < 0) {
        input.Deselect();
        return;
    }
    const auto length = static_cast<intptr_t>(input.Text().size());
    start = std::min(start, length);
    end = end < 0 ? length : std::max(start, std::min(end, length));
    input.Select({static_cast<int32_t>(start), static_cast<int32_t>(end)});
}

intptr_t Selection(const backend::TextInput& input) {
    const backend::TextRange range = input.Selection();
    return static_cast<intptr_t>(static_cast<uint32_t>(range.start) |
                                 (static_cast<uint32_t>(range.end) << 16));
}

intptr_t EditProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                  intptr_t lParam) {
    Object* obj = ObjectFromHandle(object);
    auto* st = obj != nullptr ? obj->StateAs<EditState>() : nullptr;
    if (st == nullptr) {
        return Ex_ObjDefProc(window, object, message, wParam, lParam);
    }
    backend::TextInput& input = *st->input;
    switch (message) {
        case EX_WM_SETTEXT: {
            intptr_t r = Ex_ObjDefProc(window, object, message, wParam, lParam);
            if (input.Text() != obj->Text()) {
                input.SetText(obj->Text());
            }
            return r;
        }
        case EX_WM_SIZE:
            if (SameRect(st->record.textRect, st->lastDefault)) {
                st->record.textRect = DefaultRect(*obj);
            }
            st->lastDefault = DefaultRect(*obj);
            ApplyRecord(*obj);
            return 0;
        case MsgPlaced:
            ApplyRecord(*obj);
            return 0;
        case EX_WM_PAINT:
            // Not while the view paints: the editor is a view of its own.
            if (!st->apply->IsActive()) {
                st->apply->Start(0, true);
            }
            return 0;
        case EX_EM_SETSEL:
            SetSelection(input, wParam, lParam);
            return 1;
        case EX_EM_GETSEL:
            return Selection(input);
        case EX_EM_REPLACESEL: {
            const auto* text = reinterpret_cast<const char16_t*>(lParam);
            input.ReplaceSelection(text != nullptr ? std::u16string_view(text)
                                                   : std::u16string_view());
            return 1;
        }
        case MsgColorChanged:
            ApplyColors(*obj);
            return 0;
        case MsgFontChanged:
            input.SetFont(obj->Font());
            return Ex_ObjDefProc(window, object, message, wParam, lParam);
        case EX_WM_ENABLE:
            input.SetEnabled(obj->EnabledInWindow());
            return 0;
        default:
            return Ex_ObjDefProc(window, object, message, wParam, lParam);
    }
}

void InitEdit(Object& obj) {
    const ExHandle handle = obj.Handle();
    auto st = std::make_unique<EditState>(handle);
    backend::TextInputOptions options;
    options.multiLine = (obj.Style() & EX_EDIT_MULTILINE) != 0;
    options.readOnly = (obj.Style() & StyleReadOnly) != 0;
    options.password = !options.multiLine && (obj.Style() & StylePassword) != 0;
    options.verticalScrollBar = (obj.Style() & EX_OS_VSCROLL) != 0;
    options.text = obj.Text();
    st->input = backend::MakeTextInput(NativeViewOf(obj), options, st->callbacks);
    st->input->SetFont(obj.Font());
    st->apply = backend::MakeTimer([handle] {
        if (Object* o = ObjectFromHandle(handle)) {
            ApplyRecord(*o);
        }
    });
    st->record.textRect = DefaultRect(obj);
    st->lastDefault = st->record.textRect;
    obj.SetClassData(&st->record);
    obj.SetFocusProxy(st->input->View());
    obj.SetClassState(std::move(st));
    ApplyRecord(obj);
    ApplyColors(obj);
}

}  // namespace

void RegisterEditClass() {
    RegisterBuiltinClass(BuiltinClass{u"Edit",
                                      EX_OS_VISIBLE,
                                      0,
                                      EX_DT_VCENTER | EX_DT_SINGLELINE,
                                      &EditProc,
                                      &InitEdit,
                                      TraitFocusable,
                                      {{EX_COLOR_BACKGROUND, 0xFFFFFFFF},
                                       {EX_COLOR_TEXT, 0xFF000000},
                                       {EX_COLOR_CARET, 0xFF000000}}});
}

}  // namespace exdui
