// Objects and built-in classes: the internal interface a class is written
// against. Everything here runs on the UI thread only; the C API marshals
// calls from other threads before they reach it.
//
// How to add a built-in class
// ---------------------------
// 1. Write its class procedure, an ExClassProc, in its own file. It receives
//    every message of its objects after the object's own procedure (if that
//    did not handle it) and ends with Ex_ObjDefProc(window, object, ...) for
//    whatever it leaves alone. Reach the object with ObjectFromHandle(object).
//    Derived classes chain to this procedure with Ex_ObjCallProc, so it must
//    not assume that it is the first procedure to run.
// 2. Keep per-object state in a class derived from ClassState, made by the
//    class's init function with obj.SetClassState(...); read it back with
//    obj.StateAs<MyState>(). A view of the system's (an editor) is made in
//    init inside the window's view (NativeViewOf(obj)) and kept at the
//    object's place on MsgPlaced (object_access.h).
// 3. Paint on EX_WM_PAINT through obj.Painter() (the backend::Painter of the
//    paint, valid during the message) or through Ex_ObjBeginPaint and the
//    _canvas_* calls; the background has been painted by then
//    (EX_WM_ERASEBKGND, default: colour slot 0 with the object's radii).
// 4. Raise notifications with obj.Notify(code, wParam, lParam): EX_WM_NOTIFY
//    to the object itself, then the handlers of Ex_ObjHandleEvent, then
//    EX_WM_NOTIFY to the window's procedure, until one handles it. The
//    default procedure already raises -2 click (left button released over the
//    object it went down on), -3 double click, -5 right click, -15 key down,
//    -90 timer.
// 5. Describe the class in a BuiltinClass and register it from the library's
//    start-up: add a Register...() call to RegisterBuiltinClasses() in
//    class_registry.cpp (the list classes register both of theirs through
//    RegisterListClasses()), and list the new file in exdui/CMakeLists.txt.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "backend/graphics.h"
#include "backend/native_view.h"
#include "backend/painter.h"
#include "backend/timer.h"
#include "exdui.h"

namespace exdui {

class Window;
class Object;

// Traits of a built-in implementation.
enum ObjectTraits : uint32_t {
    TraitFocusable = 1,         // takes the keyboard focus when clicked
    TraitMouseTransparent = 2,  // presses go on to the parent too (labels, frames,
                                // pages), so a window can be dragged through them
};

struct BuiltinClass {
    const char16_t* name;
    int32_t style;  // taken when Ex_ObjCreateEx gets -1
    int32_t styleEx;
    int32_t textFormat;
    ExClassProc proc;
    void (*init)(Object&);  // may be null; runs before EX_WM_CREATE
    uint32_t traits;
    std::map<int32_t, ExArgb> colors;  // default colour slots; unnamed slots are 0
};

// Registers a built-in class (copied); called during Ex_Init only.
void RegisterBuiltinClass(const BuiltinClass& cls);
// Defined by the list classes' files: registers "ListView" and "ReportListView".
void RegisterListClasses();

// A registered class: built in, or made with Ex_ObjRegister.
struct ClassRecord {
    std::u16string name;
    int32_t style = 0;
    int32_t styleEx = 0;
    int32_t textFormat = 0;
    int32_t extraBytes = 0;
    intptr_t cursor = 0;
    int32_t flags = 0;
    ExClassProc proc = nullptr;          // never null once registered
    const BuiltinClass* base = nullptr;  // the implementation its objects get
};

// Per-object state of a built-in class.
class ClassState {
  public:
    virtual ~ClassState() = default;
};

class Object {
  public:
    Object(const ClassRecord& cls, Window& window, Object* parent);
    ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    ExHandle Handle() const { return m_handle; }
    ExHandle WindowHandle() const;
    ExHandle SurfaceHandle() const;
    Window& OwnerWindow() const { return m_window; }
    Object* Parent() const { return m_parent; }
    const std::vector<Object*>& Children() const { return m_children; }
    // The object's area in its own coordinates, for painting.
    RectF ClientRect() const;
    // Its rectangle in the parent's client coordinates (the window's for a
    // root), as Ex_ObjMove set it.
    const ExRect& Rect() const { return m_rect; }
    int32_t Width() const { return m_rect.right - m_rect.left; }
    int32_t Height() const { return m_rect.bottom - m_rect.top; }
    // Moves and sizes it; EX_WM_MOVE and EX_WM_SIZE follow at once when it is
    // shown, else when it is first shown after. Repaints what it covered.
    void SetRect(const ExRect& rect);
    // Its own flag (Ex_ObjShow), and whether it and all its ancestors are
    // shown in a shown window.
    bool Visible() const { return m_visible; }
    bool VisibleInTree() const;
    bool Shown() const;
    void SetVisible(bool visible);
    // Its own flag (Ex_ObjEnable), and whether it and all its ancestors are
    // enabled.
    bool Enabled() const { return m_enabled; }
    bool EnabledInWindow() const;
    void SetEnabled(bool enabled);
    // Its client point (0, 0) in the window's client pixels.
    ExPoint Origin() const;
    // Its rectangle in the window's client pixels, and that cut to its
    // ancestors'.
    ExRect WindowRect() const;
    ExRect VisibleRect() const;
    // Sends the EX_WM_MOVE and EX_WM_SIZE held back while it was hidden, to
    // it and then to its shown children, once it is shown.
    void SendPendingGeometry();
    // Tells it and its descendants that their place, visibility or enabled
    // state in the window changed (MsgPlaced), so that views kept over them
    // follow.
    void Placed();
    const std::u16string& Tooltip() const { return m_tooltip; }
    void SetTooltip(std::u16string text) { m_tooltip = std::move(text); }
    const ClassRecord& Class() const { return m_class; }
    // True when the object's implementation is the built-in class named.
    bool Is(const char16_t* builtinName) const;

    int32_t Id() const { return m_id; }
    int32_t Style() const { return m_style; }
    int32_t StyleEx() const { return m_styleEx; }
    int32_t TextFormat() const { return m_textFormat; }
    uint32_t State() const { return m_state; }
    // Sets or clears state bits; repaints when asked and something changed.
    void SetState(uint32_t bits, bool on, bool redraw);

    ExArgb Color(int32_t slot) const;
    void SetColor(int32_t slot, ExArgb color);
    // The object's font; its handle always holds the same one.
    const backend::Font& Font() const { return *m_font; }
    ExHandle FontHandle() const { return m_fontHandle; }
    void SetFont(std::shared_ptr<const backend::Font> font);
    float Radius(int corner) const { return m_radius[corner]; }
    void SetRadius(float tl, float tr, float br, float bl);

    // The title; classes with a live text (Edit) keep it in step.
    const std::u16string& Text() const { return m_text; }
    void StoreText(std::u16string text) { m_text = std::move(text); }

    // Through the object's own procedure, then its class procedure.
    intptr_t Send(int32_t message, intptr_t wParam, intptr_t lParam);
    intptr_t Notify(int32_t code, intptr_t wParam, intptr_t lParam);
    void Invalidate();
    // Repaints rect, in its client coordinates.
    void InvalidateRect(const ExRect& rect);

    // During EX_WM_PAINT / EX_WM_ERASEBKGND only, else null.
    backend::Painter* Painter() const { return m_painter; }
    ExHandle CanvasHandle() const { return m_canvas; }

    template <class T>
    T* StateAs() const {
        return dynamic_cast<T*>(m_classState.get());
    }
    void SetClassState(std::unique_ptr<ClassState> state) { m_classState = std::move(state); }
    // What Ex_ObjGetLong(EX_OL_CLASSDATA) returns.
    void SetClassData(void* data) { m_classData = data; }

    // Used by the library itself.
    intptr_t GetLong(int32_t index) const;
    intptr_t SetLong(int32_t index, intptr_t value);
    void AddHandler(int32_t code, ExEventProc handler);
    void AddHandler(int32_t code, ExEventProcEx handler, void* user);
    void RemoveHandlers(int32_t code);
    bool HasHandler(int32_t code) const;
    void SetTimer(int32_t interval);
    bool MouseTransparent() const;
    bool Focusable() const;
    void FocusInput();  // keyboard focus to the object's input
    // The view that takes the keyboard focus for the object (an editor made
    // in the window's view); null when the window's own keys reach it.
    void SetFocusProxy(backend::NativeView* input) { m_focusView = input; }
    backend::NativeView* FocusView() const { return m_focusView; }
    bool AcceptsFiles() const {
        return (m_styleEx & (EX_OS_EX_DRAGDROP | EX_OS_EX_ACCEPTFILES)) != 0;
    }
    void Create(ExHandle handle, int32_t style, int32_t styleEx, int32_t textFormat, int32_t id,
                intptr_t lParam, ExObjProc proc, const ExRect& rect, const std::u16string& title);
    void BeginPaint(backend::Painter* painter);
    void EndPaint();
    void DetachFromParent(Object* child);
    bool pressedLeft = false;  // the left button went down on this object
    bool destroying = false;   // EX_WM_DESTROY is being sent
    bool destroyed = false;    // gone: calls on it do nothing

  private:
    const ClassRecord& m_class;
    Window& m_window;
    Object* m_parent;
    std::vector<Object*> m_children;
    ExRect m_rect{};
    bool m_visible = false;
    bool m_enabled = true;
    // EX_WM_MOVE / EX_WM_SIZE owed since it was last shown.
    bool m_pendingMove = true;
    bool m_pendingSize = true;
    std::u16string m_tooltip;
    backend::NativeView* m_focusView = nullptr;
    ExHandle m_handle = 0;
    ExHandle m_canvas = 0;
    ExHandle m_fontHandle = 0;
    std::shared_ptr<const backend::Font> m_font;  // never null
    int32_t m_id = 0;
    int32_t m_style = 0;
    int32_t m_styleEx = 0;
    int32_t m_textFormat = 0;
    uint32_t m_state = 0;
    intptr_t m_lParam = 0;
    intptr_t m_userData = 0;
    ExObjProc m_proc = nullptr;
    std::u16string m_text;
    std::map<int32_t, ExArgb> m_colors;
    float m_radius[4] = {0, 0, 0, 0};
    std::vector<intptr_t> m_extra;
    // One attached handler: plain or withUser, the other null.
    struct Handler {
        int32_t code = 0;
        ExEventProc plain = nullptr;
        ExEventProcEx withUser = nullptr;
        void* user = nullptr;
        intptr_t Call(ExHandle object, int32_t id, intptr_t wParam, intptr_t lParam) const;
    };
    std::vector<Handler> m_handlers;  // In the order attached.
    std::unique_ptr<ClassState> m_classState;
    void* m_classData = nullptr;
    std::unique_ptr<backend::Timer> m_timer;
    backend::Painter* m_painter = nullptr;
};

// UI thread only: the live object behind a handle, or null.
Object* ObjectFromHandle(ExHandle handle);
// Sends EX_WM_DESTROY to the object, then destroys its children, frees its
// handle and has its window delete it later (the caller's stack may still use
// the object). Calls on its handle are no-ops from now on.
void DestroyObject(Object& obj);
bool IsDestroyed(const Object& obj);

// The library's default behaviour for one message (Ex_ObjDefProc).
intptr_t DefaultObjectProc(Object& obj, int32_t message, intptr_t wParam, intptr_t lParam);

// Builds the lParam of mouse messages.
inline intptr_t PackPoint(int x, int y) {
    return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) |
                                 static_cast<uint32_t>(x & 0xFFFF));
}
inline int PointX(intptr_t lParam) {
    return static_cast<int16_t>(lParam & 0xFFFF);
}
inline int PointY(intptr_t lParam) {
    return static_cast<int16_t>((lParam >> 16) & 0xFFFF);
}

}  // namespace exdui
