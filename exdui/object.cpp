#include "object.h"

#include <algorithm>

#include "canvas.h"
#include "core/ex_rect.h"
#include "fonts.h"
#include "handle_table.h"
#include "object_access.h"
#include "window.h"

namespace exdui {

Object::Object(const ClassRecord& cls, Window& window, Object* parent)
    : m_class(cls), m_window(window), m_parent(parent) {
    m_canvas = CreateCanvas();
    m_font = DefaultFont();
    m_fontHandle = CreateFontHandle(m_font);
    m_colors[EX_COLOR_TEXT] = 0xFF000000;
    if (cls.base != nullptr) {
        for (const auto& [slot, color] : cls.base->colors) {
            m_colors[slot] = color;
        }
    }
    // Extra bytes are counted in 32-bit units, as the program's classes give
    // them; each index holds one pointer-sized value.
    m_extra.assign(static_cast<size_t>(std::max(0, cls.extraBytes) + 3) / 4, 0);
    if (parent != nullptr) {
        parent->m_children.push_back(this);
    }
}

Object::~Object() {
    handles::Remove(m_handle);
    DestroyCanvas(m_canvas);
    handles::Remove(m_fontHandle);
}

void Object::Create(ExHandle handle, int32_t style, int32_t styleEx, int32_t textFormat, int32_t id,
                    intptr_t lParam, ExObjProc proc, const ExRect& rect,
                    const std::u16string& title) {
    m_handle = handle;
    m_style = style;
    m_styleEx = styleEx;
    m_textFormat = textFormat;
    m_id = id;
    m_lParam = lParam;
    m_text = title;
    m_rect = rect;
    if (m_class.base != nullptr && m_class.base->init != nullptr) {
        m_class.base->init(*this);
    }
    m_proc = proc;
    if ((style & EX_OS_DISABLED) != 0) {
        m_enabled = false;
        m_state |= EX_STATE_DISABLED;
    }
}

ExHandle Object::WindowHandle() const {
    return m_window.Handle();
}
ExHandle Object::SurfaceHandle() const {
    return m_window.Surface();
}

RectF Object::ClientRect() const {
    return RectF::OfSize(0, 0, static_cast<float>(Width()), static_cast<float>(Height()));
}

bool Object::Is(const char16_t* builtinName) const {
    if (m_class.base == nullptr) {
        return false;
    }
    // Class names are ASCII: compared without case.
    std::u16string_view a(m_class.base->name);
    std::u16string_view b(builtinName);
    const auto lower = [](char16_t c) {
        return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
    };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

void Object::SetRect(const ExRect& rect) {
    const bool moved = rect.left != m_rect.left || rect.top != m_rect.top;
    const bool sized = Width() != rect.right - rect.left || Height() != rect.bottom - rect.top;
    if (!moved && !sized) {
        return;
    }
    if (Shown()) {
        m_window.InvalidateClient(VisibleRect());
    }
    m_rect = rect;
    m_pendingMove = m_pendingMove || moved;
    m_pendingSize = m_pendingSize || sized;
    Placed();
    if (Shown()) {
        m_window.InvalidateClient(VisibleRect());
        m_window.ObjectMoved();
        SendPendingGeometry();
    }
}

bool Object::VisibleInTree() const {
    for (const Object* o = this; o != nullptr; o = o->m_parent) {
        if (!o->m_visible) {
            return false;
        }
    }
    return true;
}

bool Object::Shown() const {
    return VisibleInTree() && m_window.Native() != nullptr && m_window.Native()->IsVisible();
}

void Object::SetVisible(bool visible) {
    if (visible == m_visible) {
        return;
    }
    const bool wasShown = Shown();
    if (wasShown) {
        m_window.InvalidateClient(VisibleRect());
    }
    m_visible = visible;
    Placed();
    if (wasShown) {
        m_window.ObjectHidden(*this);
    } else if (Shown()) {
        m_window.InvalidateClient(VisibleRect());
        const ExHandle self = m_handle;
        SendPendingGeometry();
        if (handles::IsLive(self, Kind::Object)) {
            m_window.ObjectShown(*this);
        }
    }
}

bool Object::EnabledInWindow() const {
    for (const Object* o = this; o != nullptr; o = o->m_parent) {
        if (!o->m_enabled) {
            return false;
        }
    }
    return true;
}

void Object::SetEnabled(bool enabled) {
    if (enabled != m_enabled) {
        m_enabled = enabled;
        Placed();  // editors below follow the state their ancestors give them
    }
}

ExPoint Object::Origin() const {
    ExPoint at{0, 0};
    for (const Object* o = this; o != nullptr; o = o->m_parent) {
        at.x += o->m_rect.left;
        at.y += o->m_rect.top;
    }
    return at;
}

ExRect Object::WindowRect() const {
    const ExPoint at = Origin();
    return {at.x, at.y, at.x + Width(), at.y + Height()};
}

ExRect Object::VisibleRect() const {
    ExRect area = WindowRect();
    for (const Object* o = m_parent; o != nullptr; o = o->m_parent) {
        const ExPoint p = o->Origin();
        area = Intersect(area, {p.x, p.y, p.x + o->Width(), p.y + o->Height()});
    }
    return area;
}

void Object::SendPendingGeometry() {
    if (!m_visible || destroyed) {
        return;
    }
    ExHandle self = m_handle;
    if (m_pendingMove) {
        m_pendingMove = false;
        Send(EX_WM_MOVE, 0, PackPoint(m_rect.left, m_rect.top));
    }
    if (m_pendingSize && handles::IsLive(self, Kind::Object)) {
        m_pendingSize = false;
        Send(EX_WM_SIZE, 0, PackPoint(Width(), Height()));
    }
    std::vector<Object*> children = m_children;
    for (Object* child : children) {
        if (!handles::IsLive(self, Kind::Object)) {
            return;
        }
        child->SendPendingGeometry();
    }
}

void Object::Placed() {
    if (destroyed) {
        return;
    }
    Send(MsgPlaced, 0, 0);
    std::vector<Object*> children = m_children;
    for (Object* child : children) {
        child->Placed();
    }
}

bool Object::MouseTransparent() const {
    return m_class.base != nullptr && (m_class.base->traits & TraitMouseTransparent) != 0;
}

bool Object::Focusable() const {
    return m_class.base != nullptr && (m_class.base->traits & TraitFocusable) != 0;
}

void Object::SetState(uint32_t bits, bool on, bool redraw) {
    uint32_t next = on ? (m_state | bits) : (m_state & ~bits);
    if (next == m_state) {
        return;
    }
    m_state = next;
    if (redraw) {
        Invalidate();
    }
}

ExArgb Object::Color(int32_t slot) const {
    auto it = m_colors.find(slot);
    return it == m_colors.end() ? 0 : it->second;
}

void Object::SetColor(int32_t slot, ExArgb color) {
    m_colors[slot] = color;
}

void Object::SetFont(std::shared_ptr<const backend::Font> font) {
    m_font = std::move(font);
    SetFontHandle(m_fontHandle, m_font);
}

void Object::SetRadius(float tl, float tr, float br, float bl) {
    m_radius[0] = tl;
    m_radius[1] = tr;
    m_radius[2] = br;
    m_radius[3] = bl;
}

intptr_t Object::Send(int32_t message, intptr_t wParam, intptr_t lParam) {
    ExHandle self = m_handle;
    ExHandle window = WindowHandle();
    if (m_proc != nullptr) {
        intptr_t result = 0;
        if (m_proc(window, self, message, wParam, lParam, &result) != 0) {
            return result;
        }
    }
    return m_class.proc(window, self, message, wParam, lParam);
}

intptr_t Object::Notify(int32_t code, intptr_t wParam, intptr_t lParam) {
    ExHandle self = m_handle;
    ExNotify nm{self, m_id, code, wParam, lParam};
    auto nmParam = reinterpret_cast<intptr_t>(&nm);
    intptr_t result = Send(EX_WM_NOTIFY, m_id, nmParam);
    if (result != 0) {
        return result;
    }
    // A procedure or handler may destroy the object: stop once it is gone.
    std::vector<Handler> handlers;
    for (const Handler& h : m_handlers) {
        if (h.code == code) {
            handlers.push_back(h);
        }
    }
    for (const Handler& h : handlers) {
        if (!handles::IsLive(self, Kind::Object)) {
            return 0;
        }
        result = h.Call(self, m_id, wParam, lParam);
        if (result != 0) {
            return result;
        }
    }
    if (!handles::IsLive(self, Kind::Object) || m_window.IsDestroying()) {
        return 0;
    }
    m_window.CallProc(EX_WM_NOTIFY, m_id, nmParam, &result);
    return result;
}

void Object::Invalidate() {
    if (Shown()) {
        m_window.InvalidateClient(VisibleRect());
    }
}

void Object::InvalidateRect(const ExRect& rect) {
    if (Shown()) {
        const ExPoint at = Origin();
        m_window.InvalidateClient(Intersect(VisibleRect(), Offset(rect, at.x, at.y)));
    }
}

void Object::BeginPaint(backend::Painter* painter) {
    m_painter = painter;
    BindCanvas(m_canvas, painter);
}

void Object::EndPaint() {
    m_painter = nullptr;
    BindCanvas(m_canvas, nullptr);
}

intptr_t Object::GetLong(int32_t index) const {
    if (index >= 0) {
        auto slot = static_cast<size_t>(index);
        return slot < m_extra.size() ? m_extra[slot] : 0;
    }
    switch (index) {
        case EX_OL_PROC:
            return reinterpret_cast<intptr_t>(m_proc);
        case EX_OL_LPARAM:
            return m_lParam;
        case EX_OL_PARENT:
            return m_parent != nullptr ? m_parent->Handle() : SurfaceHandle();
        case EX_OL_TEXTFORMAT:
            return m_textFormat;
        case EX_OL_ID:
            return m_id;
        case EX_OL_STYLE:
            return m_style;
        case EX_OL_EXSTYLE:
            return m_styleEx;
        case EX_OL_USERDATA:
            return m_userData;
        case EX_OL_CLASSDATA:
            return reinterpret_cast<intptr_t>(m_classData);
        case EX_OL_STATE:
            return static_cast<intptr_t>(m_state);
        default:
            return 0;
    }
}

intptr_t Object::SetLong(int32_t index, intptr_t value) {
    intptr_t old = GetLong(index);
    if (index >= 0) {
        auto slot = static_cast<size_t>(index);
        if (slot < m_extra.size()) {
            m_extra[slot] = value;
        }
        return old;
    }
    switch (index) {
        case EX_OL_PROC:
            m_proc = reinterpret_cast<ExObjProc>(value);
            break;
        case EX_OL_LPARAM:
            m_lParam = value;
            break;
        case EX_OL_TEXTFORMAT:
            m_textFormat = static_cast<int32_t>(value);
            Invalidate();
            break;
        case EX_OL_ID:
            m_id = static_cast<int32_t>(value);
            break;
        case EX_OL_STYLE:
            m_style = static_cast<int32_t>(value);
            Invalidate();
            break;
        case EX_OL_EXSTYLE:
            m_styleEx = static_cast<int32_t>(value);
            break;
        case EX_OL_USERDATA:
            m_userData = value;
            break;
        default:
            return 0;  // read only or unknown
    }
    return old;
}

intptr_t Object::Handler::Call(ExHandle object, int32_t id, intptr_t wParam,
                               intptr_t lParam) const {
    return withUser != nullptr ? withUser(object, id, code, wParam, lParam, user)
                               : plain(object, id, code, wParam, lParam);
}

void Object::AddHandler(int32_t code, ExEventProc handler) {
    m_handlers.push_back({.code = code, .plain = handler});
}

void Object::AddHandler(int32_t code, ExEventProcEx handler, void* user) {
    m_handlers.push_back({.code = code, .withUser = handler, .user = user});
}

void Object::RemoveHandlers(int32_t code) {
    std::erase_if(m_handlers, [code](const Handler& h) { return h.code == code; });
}

bool Object::HasHandler(int32_t code) const {
    return std::any_of(m_handlers.begin(), m_handlers.end(),
                       [code](const Handler& h) { return h.code == code; });
}

void Object::SetTimer(int32_t interval) {
    if (interval <= 0) {
        if (m_timer != nullptr) {
            m_timer->Stop();
        }
        return;
    }
    if (m_timer == nullptr) {
        ExHandle self = m_handle;
        m_timer = backend::MakeTimer([self] {
            if (Object* obj = ObjectFromHandle(self)) {
                obj->Send(EX_WM_TIMER, self, 0);
            }
        });
    }
    m_timer->Start(interval);
}

void Object::FocusInput() {
    m_window.Focus(this);
}

void Object::DetachFromParent(Object* child) {
    std::erase(m_children, child);
}

Object* ObjectFromHandle(ExHandle handle) {
    return handles::RawAs<Object>(handle, Kind::Object);
}

namespace {

bool Inside(const Object& obj, intptr_t lParam) {
    return Contains({0, 0, obj.Width(), obj.Height()}, {PointX(lParam), PointY(lParam)});
}

}  // namespace

intptr_t DefaultObjectProc(Object& obj, int32_t message, intptr_t wParam, intptr_t lParam) {
    switch (message) {
        case EX_WM_ERASEBKGND:
            if (backend::Painter* p = obj.Painter()) {
                float radius[4] = {obj.Radius(0), obj.Radius(1), obj.Radius(2), obj.Radius(3)};
                FillRoundedBox(*p, obj.ClientRect(), radius, obj.Color(EX_COLOR_BACKGROUND));
            }
            return 1;
        case EX_WM_SETTEXT: {
            const auto* text = reinterpret_cast<const char16_t*>(lParam);
            obj.StoreText(text != nullptr ? std::u16string(text) : std::u16string());
            obj.Invalidate();
            return 1;
        }
        case EX_WM_MOUSEHOVER:
            obj.SetState(EX_STATE_HOVER, true, true);
            return 0;
        case EX_WM_MOUSELEAVE:
            obj.SetState(EX_STATE_HOVER, false, true);
            return 0;
        case EX_WM_SETFOCUS:
            obj.SetState(EX_STATE_FOCUS, true, true);
            return 0;
        case EX_WM_KILLFOCUS:
            obj.SetState(EX_STATE_FOCUS, false, true);
            return 0;
        case EX_WM_LBUTTONDOWN:
            obj.pressedLeft = true;
            obj.SetState(EX_STATE_DOWN, true, true);
            return 0;
        case EX_WM_LBUTTONUP: {
            bool click = obj.pressedLeft && Inside(obj, lParam);
            obj.pressedLeft = false;
            obj.SetState(EX_STATE_DOWN, false, true);
            if (click) {
                obj.Notify(EX_NM_CLICK, wParam, lParam);
            }
            return 0;
        }
        case EX_WM_LBUTTONDBLCLK:
            obj.Notify(EX_NM_DBLCLK, wParam, lParam);
            return 0;
        case EX_WM_RBUTTONUP:
            obj.Notify(EX_NM_RCLICK, wParam, lParam);
            return 0;
        case EX_WM_KEYDOWN:
            return obj.Notify(EX_NM_KEYDOWN, wParam, lParam);
        case EX_WM_TIMER:
            obj.Notify(EX_NM_TIMER, wParam, lParam);
            return 0;
        default:
            return 0;
    }
}

}  // namespace exdui
