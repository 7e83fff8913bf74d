#include "window.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "backend/event_loop.h"
#include "backend/painter.h"
#include "backend/screens.h"
#include "canvas.h"
#include "core/ex_rect.h"
#include "fonts.h"
#include "handle_table.h"
#include "object.h"

namespace exdui {
namespace {

constexpr int32_t FrameButtonWidth = 32;
constexpr int32_t FrameButtonHeight = 26;
constexpr int32_t TitleBarHeight = 30;
// How far in from the edges of a resizable window a press resizes it.
constexpr int32_t EdgeMargin = 6;

std::vector<Window*>& Windows() {
    static std::vector<Window*> windows;  // UI thread.
    return windows;
}

}  // namespace

Window::Window(std::u16string title, const ExRect& rect, Window* owner, bool popup)
    : m_title(std::move(title)) {
    backend::NativeWindowOptions options;
    options.rect = rect;
    options.title = m_title;
    options.owner = owner != nullptr ? owner->Native() : nullptr;
    options.popup = popup;
    m_native = backend::CreateNativeWindow(options, *this);
    Windows().push_back(this);
}

Window::~Window() {
    std::erase(Windows(), this);
    handles::Remove(m_handle);
    handles::Remove(m_surface);
    DestroyCanvas(m_canvas);
}

ExHandle Window::Bind(int32_t style, ExWndProc proc) {
    if (m_surface != 0) {
        return m_surface;
    }
    m_style = style;
    m_proc = proc;
    m_surface = handles::AddRaw(Kind::Surface, this);
    m_canvas = CreateCanvas();
    if ((style & EX_WS_BUTTON_CLOSE) != 0)
        m_buttons.push_back(Button::Close);
    if ((style & EX_WS_BUTTON_MAX) != 0)
        m_buttons.push_back(Button::Maximize);
    if ((style & EX_WS_BUTTON_MIN) != 0)
        m_buttons.push_back(Button::Minimize);
    LayoutButtons();
    if ((style & EX_WS_CENTERWINDOW) != 0) {
        if (const std::optional<ExRect> area = backend::WorkArea(nullptr)) {
            const ExRect r = m_native->Rect();
            const int32_t width = r.right - r.left;
            const int32_t height = r.bottom - r.top;
            const int32_t x = area->left + (area->right - area->left - width) / 2;
            const int32_t y = area->top + (area->bottom - area->top - height) / 2;
            m_native->SetRect({x, y, x + width, y + height});
        }
    }
    return m_surface;
}

std::vector<ExRect> Window::FrameButtons() const {
    std::vector<ExRect> rects;
    const ExRect client = m_native->Rect();
    int32_t x = client.right - client.left;
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        x -= FrameButtonWidth;
        rects.push_back({x, 0, x + FrameButtonWidth, FrameButtonHeight});
    }
    return rects;
}

ExRect Window::ButtonsArea() const {
    // The buttons lie side by side, from the right edge leftwards.
    const ExRect client = m_native->Rect();
    const auto right = client.right - client.left;
    const auto count = static_cast<int32_t>(m_buttons.size());
    return count == 0 ? ExRect{}
                      : ExRect{right - count * FrameButtonWidth, 0, right, FrameButtonHeight};
}

void Window::LayoutButtons() {
    m_native->SetFrameArea(ButtonsArea());
}

int Window::ButtonAt(ExPoint at) const {
    const std::vector<ExRect> rects = FrameButtons();
    for (size_t i = 0; i < rects.size(); ++i) {
        const ExRect& r = rects[i];
        if (at.x >= r.left && at.x < r.right && at.y >= r.top && at.y < r.bottom) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void Window::InvalidateButton(int index) {
    const std::vector<ExRect> rects = FrameButtons();
    if (index >= 0 && static_cast<size_t>(index) < rects.size()) {
        m_native->Invalidate(&rects[static_cast<size_t>(index)]);
    }
}

intptr_t Window::SetLong(int32_t index, intptr_t value) {
    intptr_t old = GetLong(index);
    switch (index) {
        case EX_DUI_BACKGROUND:
            m_background = static_cast<ExArgb>(value);
            m_native->Invalidate(nullptr);
            break;
        case EX_DUI_PROC:
            m_proc = reinterpret_cast<ExWndProc>(value);
            break;
        case EX_DUI_USERDATA:
            m_userData = value;
            break;
        default:
            return 0;
    }
    return old;
}

intptr_t Window::GetLong(int32_t index) const {
    switch (index) {
        case EX_DUI_BACKGROUND:
            return static_cast<intptr_t>(m_background);
        case EX_DUI_PROC:
            return reinterpret_cast<intptr_t>(m_proc);
        case EX_DUI_STYLE:
            return m_style;
        case EX_DUI_USERDATA:
            return m_userData;
        default:
            return 0;
    }
}

bool Window::CallProc(int32_t message, intptr_t wParam, intptr_t lParam, intptr_t* result) {
    *result = 0;
    return m_proc != nullptr && m_proc(m_handle, m_surface, message, wParam, lParam, result) != 0;
}

intptr_t Window::Send(int32_t message, intptr_t wParam, intptr_t lParam) {
    intptr_t result = 0;
    if (CallProc(message, wParam, lParam, &result)) {
        return result;
    }
    if (message == EX_WM_CLOSE) {
        Destroy();
    }
    return result;
}

void Window::OnPaint(backend::Painter& painter, const ExRect& dirty) {
    BindCanvas(m_canvas, &painter);
    intptr_t result = 0;
    if (!CallProc(EX_WM_ERASEBKGND, m_canvas, 0, &result)) {
        painter.Clear(m_background);
    }
    if ((m_style & EX_WS_TITLE) != 0) {
        const ExRect client = m_native->Rect();
        const auto width = static_cast<float>(client.right - client.left - FrameButtonWidth * 3);
        painter.DrawFormattedText(*DefaultFont(), 0xFFFFFFFF, m_title,
                                  EX_DT_VCENTER | EX_DT_SINGLELINE | EX_DT_END_ELLIPSIS,
                                  {8, 0, width, TitleBarHeight});
    }
    BindCanvas(m_canvas, nullptr);
    const ExRect client = m_native->Rect();
    const ExRect all{0, 0, client.right - client.left, client.bottom - client.top};
    const std::vector<Object*> roots = m_roots;
    for (Object* obj : roots) {
        if (!m_destroying) {
            PaintObject(painter, *obj, dirty, all, {0, 0});
        }
    }
}

void Window::OnPaintFrame(backend::Painter& p, const ExRect&) {
    const std::vector<ExRect> rects = FrameButtons();
    const bool maximized = m_native->State() == backend::WindowState::Maximized;
    for (size_t i = 0; i < rects.size(); ++i) {
        const Button button = m_buttons[i];
        const bool down = m_down == static_cast<int>(i);
        p.Save();
        p.Translate(static_cast<float>(rects[i].left), static_cast<float>(rects[i].top));
        const RectF area = RectF::OfSize(0, 0, FrameButtonWidth, FrameButtonHeight);
        if (m_hover == static_cast<int>(i) || down) {
            p.FillRect(area,
                       button == Button::Close ? 0xFFE81123 : (down ? 0x5AFFFFFF : 0x32FFFFFF));
        }
        constexpr ExArgb Mark = 0xFFFFFFFF;
        constexpr double Pen = 1.2;
        p.SetAntialias(true);
        const PointF c = area.Center();
        const float s = 5;
        switch (button) {
            case Button::Close:
                p.DrawLine({c.x - s, c.y - s}, {c.x + s, c.y + s}, Mark, Pen);
                p.DrawLine({c.x - s, c.y + s}, {c.x + s, c.y - s}, Mark, Pen);
                break;
            case Button::Maximize:
                if (maximized) {
                    p.StrokeRect(RectF::OfSize(c.x - s, c.y - s + 2, 2 * s - 2, 2 * s - 2), Mark,
                                 Pen);
                    const PointF corner[] = {
                        {c.x - s + 2, c.y - s}, {c.x + s, c.y - s}, {c.x + s, c.y + s - 2}};
                    p.StrokePolyline(corner, Mark, Pen);
                } else {
                    p.StrokeRect(RectF::OfSize(c.x - s, c.y - s, 2 * s, 2 * s), Mark, Pen);
                }
                break;
            case Button::Minimize:
                p.DrawLine({c.x - s, c.y}, {c.x + s, c.y}, Mark, Pen);
                break;
        }
        p.Restore();
    }
}

backend::FrameHit Window::OnHitTest(ExPoint at) {
    using backend::FrameHit;
    const bool maximized = m_native->State() == backend::WindowState::Maximized;
    if (IsBound() && (m_style & EX_WS_SIZEABLE) != 0 && !maximized) {
        const ExRect client = m_native->Rect();
        const bool left = at.x < EdgeMargin;
        const bool right = at.x >= client.right - client.left - EdgeMargin;
        const bool top = at.y < EdgeMargin;
        const bool bottom = at.y >= client.bottom - client.top - EdgeMargin;
        // In a window narrower than both margins the left and top edges win.
        if (top || bottom) {
            if (left)
                return top ? FrameHit::TopLeft : FrameHit::BottomLeft;
            if (right)
                return top ? FrameHit::TopRight : FrameHit::BottomRight;
            return top ? FrameHit::Top : FrameHit::Bottom;
        }
        if (left)
            return FrameHit::Left;
        if (right)
            return FrameHit::Right;
    }
    if (ButtonAt(at) >= 0) {
        return FrameHit::Button;
    }
    if ((m_style & EX_WS_MOVEABLE) == 0 || maximized) {
        return FrameHit::Client;
    }
    // The caption is wherever a press reaches no object that keeps it.
    for (const Object* obj = ObjectAt(at); obj != nullptr; obj = obj->Parent()) {
        if (!obj->MouseTransparent()) {
            return FrameHit::Client;
        }
    }
    return FrameHit::Caption;
}

void Window::OnResized(int32_t width, int32_t height) {
    if (m_native == nullptr) {
        return;  // still being made
    }
    LayoutButtons();
    if (IsBound() && !m_destroying) {
        const backend::WindowState state = m_native->State();
        intptr_t kind = state == backend::WindowState::Maximized   ? 2
                        : state == backend::WindowState::Minimized ? 1
                                                                   : 0;
        intptr_t result = 0;
        CallProc(EX_WM_SIZE, kind,
                 static_cast<intptr_t>((static_cast<uint32_t>(height & 0xFFFF) << 16) |
                                       static_cast<uint32_t>(width & 0xFFFF)),
                 &result);
    }
}

void Window::OnMoved(int32_t, int32_t) {
    // Nothing here follows the window's place on the screen.
}

void Window::OnStateChanged(backend::WindowState) {
    // The maximise button shows the state.
    const ExRect area = ButtonsArea();
    m_native->Invalidate(&area);
}

void Window::OnCloseRequested() {
    if (!m_destroying) {
        Send(EX_WM_CLOSE, 0, 0);
    }
}

void Window::OnPopupDismissed() {
    Destroy();
}

void Window::OnActivated(bool) {
    // No message tells the procedure; the objects' focus follows on its own.
}

void Window::OnFrameMouse(backend::FrameMouse action, ExPoint at) {
    using backend::FrameMouse;
    int hover = action == FrameMouse::Leave ? -1 : ButtonAt(at);
    if (m_down >= 0 && hover != m_down) {
        hover = -1;  // a pressed button holds the pointer until the release
    }
    if (hover != m_hover) {
        InvalidateButton(m_hover);
        InvalidateButton(hover);
        m_hover = hover;
    }
    if (action == FrameMouse::Press) {
        m_down = ButtonAt(at);
        InvalidateButton(m_down);
    } else if (action == FrameMouse::Release && m_down >= 0) {
        const int down = m_down;
        m_down = -1;
        InvalidateButton(down);
        if (ButtonAt(at) == down) {
            Click(m_buttons[static_cast<size_t>(down)]);
        }
    }
}

void Window::Click(Button button) {
    switch (button) {
        case Button::Close:
            Send(EX_WM_CLOSE, 0, 0);
            break;
        case Button::Maximize:
            m_native->Show(m_native->State() == backend::WindowState::Maximized
                               ? EX_SW_SHOWNORMAL
                               : EX_SW_SHOWMAXIMIZED);
            break;
        case Button::Minimize:
            m_native->Show(EX_SW_SHOWMINIMIZED);
            break;
    }
}

bool Window::OnKeyDown(int32_t virtualKey) {
    if (virtualKey != EX_VK_ESCAPE || !IsBound() || (m_style & EX_WS_ESCEXIT) == 0 ||
        m_destroying) {
        return false;
    }
    Send(EX_WM_CLOSE, 0, 0);
    return true;
}

void Window::OnDestroyed() {
    m_native = nullptr;
    delete this;
}

void Window::OnVisible(bool visible) {
    if (!visible) {
        return;
    }
    // Objects shown meanwhile hear where they are and how large.
    const std::vector<Object*> roots = m_roots;
    for (Object* obj : roots) {
        if (!obj->destroyed) {
            obj->SendPendingGeometry();
        }
    }
}

void Window::Bury(Object* obj) {
    m_buried.emplace_back(obj);
    if (m_reaper == nullptr) {
        m_reaper = backend::MakeTimer(
            [this] { const std::vector<std::unique_ptr<Object>> dead = std::move(m_buried); });
    }
    if (!m_reaper->IsActive()) {
        m_reaper->Start(0, true);
    }
}

void Window::Destroy() {
    if (m_destroying) {
        return;
    }
    m_destroying = true;
    // The procedure sees the window whole: its objects still answer.
    intptr_t result = 0;
    CallProc(EX_WM_DESTROY, 0, 0, &result);
    std::vector<Object*> roots = m_roots;
    for (Object* obj : roots) {
        DestroyObject(*obj);
    }
    handles::Remove(m_handle);
    handles::Remove(m_surface);
    std::erase(Windows(), this);
    bool mainWindow = (m_style & EX_WS_MAINWINDOW) != 0;
    m_native->Destroy();  // frees this window when the native one goes
    if (mainWindow) {
        QuitMessageLoops();
    }
}

void Window::AddRoot(Object* obj) {
    m_roots.push_back(obj);
    LayoutButtons();  // the buttons stay above the objects
}

void Window::RemoveRoot(Object* obj) {
    std::erase(m_roots, obj);
}

Window* WindowFromHandle(ExHandle window) {
    return handles::RawAs<Window>(window, Kind::Window);
}

Window* WindowFromSurface(ExHandle surface) {
    return handles::RawAs<Window>(surface, Kind::Surface);
}

Window* WindowFromAny(ExHandle handle) {
    Kind kind;
    if (!handles::KindOf(handle, &kind)) {
        return nullptr;
    }
    switch (kind) {
        case Kind::Window:
            return WindowFromHandle(handle);
        case Kind::Surface:
            return WindowFromSurface(handle);
        case Kind::Object: {
            Object* obj = ObjectFromHandle(handle);
            return obj != nullptr ? &obj->OwnerWindow() : nullptr;
        }
        default:
            return nullptr;
    }
}

std::vector<Window*> AllWindows() {
    return Windows();
}

bool AnyMainWindow() {
    return std::any_of(Windows().begin(), Windows().end(), [](Window* w) {
        return !w->IsDestroying() && (w->Style() & EX_WS_MAINWINDOW) != 0;
    });
}

bool RunMessageLoop() {
    if (!AnyMainWindow()) {
        return false;
    }
    backend::RunLoop();
    return true;
}

void QuitMessageLoops() {
    backend::QuitLoops();
}

}  // namespace exdui
