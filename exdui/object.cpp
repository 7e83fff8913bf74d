#include "object.h"

#include <algorithm>

#include "backend/qt/qt_font.h"
#include "backend/qt/qt_native_view.h"
#include "backend/qt/qt_native_window.h"
#include "canvas.h"
#include "fonts.h"
#include "handle_table.h"
#include "object_widget.h"
#include "window.h"

namespace exdui {

Object::Object(const ClassRecord& cls, Window& window, Object* parent)
    : m_class(cls), m_window(window), m_parent(parent) {
    QWidget* parentWidget =
        parent != nullptr ? parent->Widget() : backend::qt::WidgetOf(*window.Native());
    auto* widget = new ObjectWidget(parentWidget);
    widget->SetObject(this);
    m_widget = widget;
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
    // The parent may be gone already (Qt deletes children after parents).
    handles::Remove(m_handle);
    DestroyCanvas(m_canvas);
    handles::Remove(m_fontHandle);
}

void Object::Create(ExHandle handle, int32_t style, int32_t styleEx, int32_t textFormat, int32_t id,
                    intptr_t lParam, ExObjProc proc, QRect rect, const std::u16string& title) {
    m_handle = handle;
    m_style = style;
    m_styleEx = styleEx;
    m_textFormat = textFormat;
    m_id = id;
    m_lParam = lParam;
    m_text = title;
    m_widget->setGeometry(rect);
    m_widget->setMouseTracking(true);
    m_widget->setAcceptDrops((styleEx & (EX_OS_EX_DRAGDROP | EX_OS_EX_ACCEPTFILES)) != 0);
    if (Focusable()) {
        m_widget->setFocusPolicy(Qt::ClickFocus);
    }
    if (m_class.base != nullptr && m_class.base->init != nullptr) {
        m_class.base->init(*this);
    }
    m_proc = proc;
    if ((style & EX_OS_DISABLED) != 0) {
        m_widget->setEnabled(false);
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
    return RectF::OfSize(0, 0, static_cast<float>(m_widget->width()),
                         static_cast<float>(m_widget->height()));
}

bool Object::Is(const char16_t* builtinName) const {
    return m_class.base != nullptr &&
           QString::fromUtf16(m_class.base->name)
                   .compare(QString::fromUtf16(builtinName), Qt::CaseInsensitive) == 0;
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
    static_cast<ObjectWidget*>(m_widget)->SetInputFont(backend::qt::QFontOf(*m_font));
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
    if (m_widget) {
        m_widget->update();
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
            m_widget->setAcceptDrops((m_styleEx & (EX_OS_EX_DRAGDROP | EX_OS_EX_ACCEPTFILES)) != 0);
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

void Object::SetFocusProxy(QWidget* input) {
    static_cast<ObjectWidget*>(m_widget)->SetFocusInput(input);
}

void Object::SetFocusProxy(backend::NativeView* input) {
    SetFocusProxy(backend::qt::ToWidget(input));
}

void Object::FocusInput() {
    static_cast<ObjectWidget*>(m_widget)->FocusTarget()->setFocus(Qt::OtherFocusReason);
}

void Object::DetachFromParent(Object* child) {
    std::erase(m_children, child);
}

Object* ObjectFromHandle(ExHandle handle) {
    return handles::RawAs<Object>(handle, Kind::Object);
}

namespace {

bool Inside(const Object& obj, intptr_t lParam) {
    return obj.Widget() != nullptr && obj.Widget()->rect().contains(PointX(lParam), PointY(lParam));
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
