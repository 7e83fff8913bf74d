// The window's input, given to its objects: the back end tells the window
// what the pointer, the wheel, the keys, the focus and a drag of files do,
// and the window finds the object each goes to. An object gets the pointer
// where it is shown and enabled; a button held keeps the object it went down
// on; presses on labels, frames and pages (MouseTransparent) go on to their
// parents, and past the last of them drag the window by its caption.
#include <algorithm>
#include <cstring>

#include "backend/tooltip.h"
#include "core/ex_rect.h"
#include "handle_table.h"
#include "marshal.h"
#include "native_views.h"
#include "object.h"
#include "object_access.h"
#include "window.h"

namespace exdui {
namespace {

// How long the pointer rests on an object before its tooltip shows.
constexpr int32_t TooltipDelayMs = 700;

bool Live(ExHandle handle) {
    return handles::IsLive(handle, Kind::Object);
}

intptr_t LocalPoint(const Object& obj, ExPoint at) {
    const ExPoint origin = obj.Origin();
    return PackPoint(at.x - origin.x, at.y - origin.y);
}

// Sends a mouse message to obj and on to its parents while they let the
// pointer through. False when it went past the last of them to the window
// (or there was no object).
bool Deliver(Object* obj, int32_t message, uint32_t keys, ExPoint at, bool focus) {
    while (obj != nullptr) {
        const ExHandle handle = obj->Handle();
        if (focus && obj->Focusable()) {
            obj->FocusInput();
        }
        if (!Live(handle)) {
            return true;
        }
        obj->Send(message, static_cast<intptr_t>(keys), LocalPoint(*obj, at));
        if (!Live(handle) || !obj->MouseTransparent()) {
            return true;
        }
        obj = obj->Parent();
    }
    return false;
}

uint32_t ButtonBit(backend::MouseButton button) {
    switch (button) {
        case backend::MouseButton::Left:
            return EX_MK_LBUTTON;
        case backend::MouseButton::Right:
            return EX_MK_RBUTTON;
        default:
            return 0;
    }
}

std::vector<ExHandle> ChainOf(Object* obj) {
    std::vector<ExHandle> chain;
    for (; obj != nullptr; obj = obj->Parent()) {
        chain.push_back(obj->Handle());
    }
    std::reverse(chain.begin(), chain.end());
    return chain;
}

// Being destroyed, itself or with an ancestor: it hears nothing more of the
// pointer.
bool Dying(const Object& obj) {
    for (const Object* o = &obj; o != nullptr; o = o->Parent()) {
        if (o->destroying) {
            return true;
        }
    }
    return false;
}

bool Inside(const Object& ancestor, const Object& obj) {
    for (const Object* o = &obj; o != nullptr; o = o->Parent()) {
        if (o == &ancestor) {
            return true;
        }
    }
    return false;
}

}  // namespace

Object* Window::ObjectAt(ExPoint at) const {
    if (ButtonAt(at) >= 0) {
        return nullptr;
    }
    const std::vector<Object*>* list = &m_roots;
    Object* found = nullptr;
    ExPoint local = at;
    for (;;) {
        const auto hit = std::find_if(list->rbegin(), list->rend(), [&](const Object* o) {
            return !o->destroyed && o->Visible() && o->Enabled() && Contains(o->Rect(), local);
        });
        if (hit == list->rend()) {
            return found;
        }
        found = *hit;
        local.x -= found->Rect().left;
        local.y -= found->Rect().top;
        list = &found->Children();
    }
}

void Window::SetHover(Object* target) {
    std::vector<ExHandle> next = ChainOf(target);
    std::vector<ExHandle> old = std::move(m_hovered);
    m_hovered = next;
    const auto common = static_cast<size_t>(
        std::mismatch(old.begin(), old.end(), next.begin(), next.end()).first - old.begin());
    for (size_t i = old.size(); i > common; --i) {
        if (Object* obj = ObjectFromHandle(old[i - 1]); obj != nullptr && !Dying(*obj)) {
            obj->Send(EX_WM_MOUSELEAVE, 0, 0);
        }
    }
    for (size_t i = common; i < next.size(); ++i) {
        if (Object* obj = ObjectFromHandle(next[i])) {
            obj->Send(EX_WM_MOUSEHOVER, 0, 0);
        }
    }
}

void Window::ObjectHidden(Object& obj) {
    if (Object* focused = FocusedObject();
        focused != nullptr && focused->FocusView() == nullptr && Inside(obj, *focused)) {
        FocusNextEditor(*focused);
    }
    if (Object* held = ObjectFromHandle(m_capture); held != nullptr && Inside(obj, *held)) {
        m_capture = 0;
    }
    const bool hovered = std::any_of(m_hovered.begin(), m_hovered.end(), [&](ExHandle h) {
        Object* o = ObjectFromHandle(h);
        return o != nullptr && Inside(obj, *o);
    });
    if (hovered && !m_captured) {
        SetHover(ObjectUnderPointer());
    }
}

void Window::FocusNextEditor(Object& from) {
    // As the system moves the focus off a hidden view: on to the next one
    // made after it that takes the Tab key (an editor), as the Tab key would.
    std::vector<Object*> order;
    std::vector<Object*> pending(m_roots.rbegin(), m_roots.rend());
    while (!pending.empty()) {
        Object* o = pending.back();
        pending.pop_back();
        order.push_back(o);
        pending.insert(pending.end(), o->Children().rbegin(), o->Children().rend());
    }
    const auto at = std::find(order.begin(), order.end(), &from);
    std::rotate(order.begin(), at, order.end());
    for (Object* o : order) {
        if (o != &from && !o->destroyed && !Dying(*o) && o->FocusView() != nullptr &&
            o->VisibleInTree() && o->EnabledInWindow()) {
            m_focus = o->Handle();
            backend::FocusView(o->FocusView(), true);
            return;
        }
    }
}

void Window::ObjectShown(Object& obj) {
    // Shown under the pointer, it is hovered without a move.
    Object* under = m_captured ? nullptr : ObjectUnderPointer();
    if (under != nullptr && Inside(obj, *under)) {
        SetHover(under);
    }
}

void Window::ObjectMoved() {
    // Many objects move in one event (a layout, a scrolled panel): the hover
    // is found again once, after it.
    if (m_hoverCheck == nullptr) {
        m_hoverCheck = backend::MakeTimer([this] {
            if (!m_captured && !m_destroying && m_native != nullptr && m_native->IsVisible()) {
                SetHover(ObjectUnderPointer());
            }
        });
    }
    if (!m_hoverCheck->IsActive()) {
        m_hoverCheck->Start(0, true);
    }
}

Object* Window::ObjectUnderPointer() const {
    return m_pointer.has_value() ? ObjectAt(*m_pointer) : nullptr;
}

void Window::OnMouseMove(ExPoint at, uint32_t keys) {
    m_pointer = at;
    if (m_captured && (keys & (EX_MK_LBUTTON | EX_MK_RBUTTON)) == 0) {
        // The release went elsewhere (a popup opened by the press took it).
        m_captured = false;
        m_capture = 0;
        m_held = 0;
    }
    if (m_captured) {
        Deliver(ObjectFromHandle(m_capture), EX_WM_MOUSEMOVE, keys, at, false);
        return;
    }
    Object* hit = ObjectAt(at);
    const ExHandle handle = hit != nullptr ? hit->Handle() : 0;
    Deliver(hit, EX_WM_MOUSEMOVE, keys, at, false);
    SetHover(ObjectFromHandle(handle));
    if (m_tipTimer == nullptr) {
        m_tipTimer = backend::MakeTimer([this] { ShowTooltipAt(m_tipAt); });
    }
    m_tipAt = at;
    m_tipTimer->Start(TooltipDelayMs, true);
}

void Window::Press(backend::MouseButton button, ExPoint at, uint32_t keys, bool doubleClick) {
    if (m_tipTimer != nullptr) {
        m_tipTimer->Stop();
    }
    backend::HideTooltip();
    const uint32_t bit = ButtonBit(button);
    if (bit == 0) {
        return;
    }
    if (m_captured && (keys & m_held) == 0) {
        m_captured = false;  // as above: the buttons held before are up
        m_held = 0;
    }
    if (!m_captured) {
        Object* hit = ObjectAt(at);
        m_captured = true;
        m_capture = hit != nullptr ? hit->Handle() : 0;
    }
    m_held |= bit;
    const ExHandle target = m_capture;
    if (doubleClick) {
        if (button == backend::MouseButton::Left) {
            Deliver(ObjectFromHandle(target), EX_WM_LBUTTONDBLCLK, keys, at, false);
        }
    } else {
        Deliver(ObjectFromHandle(target),
                button == backend::MouseButton::Left ? EX_WM_LBUTTONDOWN : EX_WM_RBUTTONDOWN, keys,
                at, true);
    }
    if (m_captured) {
        SetHover(ObjectFromHandle(target));
    }
}

void Window::OnMouseDown(backend::MouseButton button, ExPoint at, uint32_t keys) {
    Press(button, at, keys, false);
}

void Window::OnDoubleClick(backend::MouseButton button, ExPoint at, uint32_t keys) {
    Press(button, at, keys, true);
}

void Window::OnMouseUp(backend::MouseButton button, ExPoint at, uint32_t keys) {
    const uint32_t bit = ButtonBit(button);
    if (bit == 0) {
        return;
    }
    Object* target = m_captured ? ObjectFromHandle(m_capture) : ObjectAt(at);
    m_held &= ~bit;
    if (m_held == 0) {
        m_captured = false;
        m_capture = 0;
    }
    Deliver(target, button == backend::MouseButton::Left ? EX_WM_LBUTTONUP : EX_WM_RBUTTONUP, keys,
            at, false);
    if (!m_captured && !m_destroying) {
        SetHover(ObjectAt(at));
    }
}

void Window::OnMouseLeave() {
    m_pointer.reset();
    if (m_tipTimer != nullptr) {
        m_tipTimer->Stop();
    }
    if (!m_captured) {
        SetHover(nullptr);
    }
}

void Window::OnMouseEnter(ExPoint at) {
    m_pointer = at;
    if (!m_captured) {
        SetHover(ObjectAt(at));
    }
}

bool Window::OnWheel(ExPoint at, int32_t delta, uint32_t keys) {
    const auto wParam = static_cast<intptr_t>(
        (static_cast<uint32_t>(static_cast<uint16_t>(delta)) << 16) | (keys & 0xFFFF));
    for (Object* obj = ObjectAt(at); obj != nullptr; obj = obj->Parent()) {
        const ExHandle handle = obj->Handle();
        if (obj->Send(EX_WM_MOUSEWHEEL, wParam, LocalPoint(*obj, at)) != 0 || !Live(handle)) {
            return true;
        }
    }
    return false;
}

bool Window::OnKey(bool down, int32_t virtualKey, uint32_t modifiers, std::u16string_view text) {
    // A key the focused object leaves alone goes on to its parent.
    intptr_t handled = 0;
    for (Object* obj = FocusedObject(); obj != nullptr && handled == 0; obj = obj->Parent()) {
        const ExHandle handle = obj->Handle();
        if (!down) {
            obj->Send(EX_WM_KEYUP, virtualKey, 0);
        } else {
            handled = obj->Send(EX_WM_KEYDOWN, virtualKey, static_cast<intptr_t>(modifiers));
            for (char16_t c : text) {
                if (!Live(handle)) {
                    break;
                }
                obj->Send(EX_WM_CHAR, c, 0);
            }
        }
        if (!Live(handle)) {
            return true;
        }
    }
    return handled != 0;
}

Object* Window::FocusedObject() const {
    return ObjectFromHandle(m_focus);
}

void Window::Focus(Object* obj) {
    if (obj->FocusView() != nullptr) {
        m_focus = obj->Handle();
        backend::FocusView(obj->FocusView());
        return;
    }
    m_focus = obj->Handle();
    if (!m_native->HasFocus()) {
        m_native->TakeFocus();  // OnFocusChanged tells the object
        return;
    }
    Object* told = ObjectFromHandle(m_focusTold);
    if (told == obj) {
        return;
    }
    m_focusTold = obj->Handle();
    const ExHandle handle = obj->Handle();
    if (told != nullptr) {
        told->Send(EX_WM_KILLFOCUS, 0, 0);
    }
    if (Object* now = ObjectFromHandle(handle)) {
        now->Send(EX_WM_SETFOCUS, 0, 0);
    }
}

void Window::OnFocusChanged(bool gained) {
    if (!gained) {
        Object* told = ObjectFromHandle(m_focusTold);
        m_focusTold = 0;
        if (told != nullptr) {
            told->Send(EX_WM_KILLFOCUS, 0, 0);
        }
        return;
    }
    Object* obj = FocusedObject();
    if (obj != nullptr && obj->FocusView() == nullptr && m_focusTold != m_focus) {
        m_focusTold = m_focus;
        obj->Send(EX_WM_SETFOCUS, 0, 0);
    }
}

void Window::OnViewFocus(backend::NativeView* view, bool gained) {
    if (!gained || view == nullptr) {
        return;
    }
    // The object whose editor it is now has the focus.
    std::vector<Object*> pending(m_roots.begin(), m_roots.end());
    while (!pending.empty()) {
        Object* obj = pending.back();
        pending.pop_back();
        if (!obj->destroyed && obj->FocusView() == view) {
            m_focus = obj->Handle();
            return;
        }
        pending.insert(pending.end(), obj->Children().begin(), obj->Children().end());
    }
}

void Window::ShowTooltipAt(ExPoint at) {
    if (m_native == nullptr) {
        return;
    }
    const ExRect client = m_native->Rect();
    const ExPoint screen{client.left + at.x, client.top + at.y};
    // An object may show one of its own there (a list's cut cell) before the
    // one set on it; one that has neither leaves it to its parent.
    for (Object* obj = ObjectAt(at); obj != nullptr; obj = obj->Parent()) {
        const ExHandle handle = obj->Handle();
        if (obj->Send(MsgPointerRest, PackPoint(screen.x, screen.y), LocalPoint(*obj, at)) != 0 ||
            !Live(handle)) {
            return;
        }
        if (!obj->Tooltip().empty()) {
            backend::ShowTooltip(NativeViewOf(*this), screen, obj->Tooltip(), obj->VisibleRect());
            return;
        }
    }
    backend::HideTooltip();
}

Object* Window::DropTarget(ExPoint at) const {
    Object* obj = ObjectAt(at);
    while (obj != nullptr && !obj->AcceptsFiles()) {
        obj = obj->Parent();
    }
    return obj;
}

bool Window::OnFilesOver(ExPoint at, const std::vector<std::u16string>& paths) {
    return !paths.empty() && DropTarget(at) != nullptr;
}

bool Window::OnFilesDropped(ExPoint at, const std::vector<std::u16string>& paths) {
    Object* obj = DropTarget(at);
    if (obj == nullptr || paths.empty()) {
        return false;
    }
    // The drop handle lives for the duration of the message only.
    std::vector<std::u16string> names = paths;
    const ExHandle drop = handles::AddRaw(Kind::Drop, &names);
    obj->Send(EX_WM_DROPFILES, drop, 0);
    handles::Remove(drop);
    return true;
}

}  // namespace exdui

// The names of the files a drop brought (OnFilesDropped makes the handle).
extern "C" EXDUI_API uint32_t Ex_DropQueryFile(intptr_t drop, uint32_t index, char16_t* buffer,
                                               uint32_t capacity) {
    if (drop <= 0 || drop > INT32_MAX) {
        return 0;
    }
    return exdui::marshal::Call(
        [&]() -> uint32_t {
            const auto* names = exdui::handles::RawAs<std::vector<std::u16string>>(
                static_cast<ExHandle>(drop), exdui::Kind::Drop);
            if (names == nullptr) {
                return 0;
            }
            if (index == 0xFFFFFFFFu) {
                return static_cast<uint32_t>(names->size());
            }
            if (index >= names->size()) {
                return 0;
            }
            const std::u16string& name = (*names)[index];
            const auto length = static_cast<uint32_t>(name.size());
            if (buffer == nullptr || capacity == 0) {
                return length;
            }
            const uint32_t n = std::min(length, capacity - 1);
            std::memcpy(buffer, name.data(), n * sizeof(char16_t));
            buffer[n] = 0;
            return n;
        },
        uint32_t{0});
}
