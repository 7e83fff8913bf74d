#include "window.h"

#include <QCloseEvent>
#include <QPainter>
#include <algorithm>

#include "backend/event_loop.h"
#include "backend/qt/qt_convert.h"
#include "backend/qt/qt_painter.h"
#include "backend/screens.h"
#include "canvas.h"
#include "fonts.h"
#include "handle_table.h"
#include "object.h"
#include "window_widget.h"

namespace exdui {
namespace {

std::vector<Window*>& Windows() {
    static std::vector<Window*> windows;  // UI thread.
    return windows;
}

}  // namespace

Window::Window(WindowWidget* widget) : m_widget(widget) {
    Windows().push_back(this);
}

Window::~Window() {
    std::erase(Windows(), this);
    handles::Remove(m_handle);
    handles::Remove(m_surface);
    DestroyCanvas(m_canvas);
}

QWidget* Window::Widget() const {
    return m_widget;
}

ExHandle Window::Bind(int32_t style, ExWndProc proc) {
    if (m_surface != 0) {
        return m_surface;
    }
    m_style = style;
    m_proc = proc;
    m_surface = handles::AddRaw(Kind::Surface, this);
    m_canvas = CreateCanvas();
    auto add = [this](FrameButton::Kind kind) {
        m_buttons.push_back(new FrameButton(kind, m_widget));
    };
    if ((style & EX_WS_BUTTON_CLOSE) != 0)
        add(FrameButton::Close);
    if ((style & EX_WS_BUTTON_MAX) != 0)
        add(FrameButton::Maximize);
    if ((style & EX_WS_BUTTON_MIN) != 0)
        add(FrameButton::Minimize);
    LayoutButtons();
    if ((style & EX_WS_CENTERWINDOW) != 0) {
        if (const std::optional<ExRect> area = backend::WorkArea(nullptr)) {
            QRect g = m_widget->geometry();
            m_widget->move(area->left + (area->right - area->left - g.width()) / 2,
                           area->top + (area->bottom - area->top - g.height()) / 2);
        }
    }
    return m_surface;
}

void Window::LayoutButtons() {
    int x = m_widget->width();
    for (QWidget* b : m_buttons) {  // close first, rightmost
        x -= FrameButtonWidth;
        b->setGeometry(x, 0, FrameButtonWidth, FrameButtonHeight);
        b->raise();
        b->show();
    }
}

intptr_t Window::SetLong(int32_t index, intptr_t value) {
    intptr_t old = GetLong(index);
    switch (index) {
        case EX_DUI_BACKGROUND:
            m_background = static_cast<ExArgb>(value);
            m_widget->update();
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

void Window::Paint(backend::Painter& painter) {
    BindCanvas(m_canvas, &painter);
    intptr_t result = 0;
    if (!CallProc(EX_WM_ERASEBKGND, m_canvas, 0, &result)) {
        painter.Clear(m_background);
    }
    if ((m_style & EX_WS_TITLE) != 0) {
        const QString title = m_widget->windowTitle();
        const auto width = static_cast<float>(m_widget->width() - FrameButtonWidth * 3);
        painter.DrawFormattedText(*DefaultFont(), 0xFFFFFFFF, backend::qt::ViewOf(title),
                                  EX_DT_VCENTER | EX_DT_SINGLELINE | EX_DT_END_ELLIPSIS,
                                  {8, 0, width, TitleBarHeight});
    }
    BindCanvas(m_canvas, nullptr);
}

void Window::Show(int32_t command) {
    QWidget* w = m_widget;
    switch (command) {
        case EX_SW_HIDE:
            w->hide();
            break;
        case EX_SW_SHOWMINIMIZED:
            w->showMinimized();
            break;
        case EX_SW_SHOWMAXIMIZED:
            w->showMaximized();
            break;
        case EX_SW_SHOWNOACTIVATE:
            w->setAttribute(Qt::WA_ShowWithoutActivating, true);
            w->showNormal();
            w->setAttribute(Qt::WA_ShowWithoutActivating, false);
            break;
        case EX_SW_SHOWNORMAL:
        case EX_SW_RESTORE:
            w->showNormal();
            w->activateWindow();
            break;
        default:
            w->show();
            break;
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
    m_widget->hide();
    m_widget->deleteLater();  // deletes this Window too
    if (mainWindow) {
        QuitMessageLoops();
    }
}

void Window::AddRoot(Object* obj) {
    m_roots.push_back(obj);
    for (QWidget* b : m_buttons) {
        b->raise();
    }
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

// ---- WindowWidget ----------------------------------------------------------

WindowWidget::WindowWidget() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
    m_window = new Window(this);
}

WindowWidget::~WindowWidget() {
    // Objects refer to the Window: they go first.
    const QList<QWidget*> kids = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    qDeleteAll(kids);
    delete m_window;
}

void WindowWidget::paintEvent(QPaintEvent*) {
    QPainter qpainter(this);
    backend::qt::QtPainter painter(qpainter);
    m_window->Paint(painter);
}

void WindowWidget::resizeEvent(QResizeEvent*) {
    m_window->LayoutButtons();
    if (m_window->IsBound() && !m_window->IsDestroying()) {
        intptr_t kind = isMaximized() ? 2 : isMinimized() ? 1 : 0;
        intptr_t result = 0;
        m_window->CallProc(EX_WM_SIZE, kind,
                           static_cast<intptr_t>((static_cast<uint32_t>(height() & 0xFFFF) << 16) |
                                                 static_cast<uint32_t>(width() & 0xFFFF)),
                           &result);
    }
}

void WindowWidget::closeEvent(QCloseEvent* event) {
    // Closing goes through the procedure, which may refuse it.
    event->ignore();
    if (!m_window->IsDestroying()) {
        m_window->Send(EX_WM_CLOSE, 0, 0);
    }
}

void WindowWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && (m_window->Style() & EX_WS_MOVEABLE) != 0 &&
        !isMaximized()) {
        BeginWindowMove(this, event->globalPosition());
    }
    event->accept();
}

void WindowWidget::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        for (FrameButton* b : findChildren<FrameButton*>(Qt::FindDirectChildrenOnly)) {
            b->update();
        }
    }
    QWidget::changeEvent(event);
}

}  // namespace exdui
