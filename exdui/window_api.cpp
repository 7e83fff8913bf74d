// The C functions on windows and surfaces.
#include <algorithm>
#include <cstring>

#include "backend/cursor.h"
#include "backend/screens.h"
#include "canvas.h"
#include "handle_table.h"
#include "marshal.h"
#include "native_views.h"
#include "qt_text.h"
#include "window.h"
#include "window_widget.h"

using namespace exdui;

namespace {

// A window or surface handle (objects are not windows here).
Window* TopWindow(ExHandle handle) {
    if (Window* w = WindowFromHandle(handle)) {
        return w;
    }
    return WindowFromSurface(handle);
}

template <class R, class F>
R WithWindow(ExHandle handle, R fallback, F&& fn) {
    try {
        return marshal::Call(
            [&]() -> R {
                Window* w = TopWindow(handle);
                return w != nullptr && !w->IsDestroying() ? fn(*w) : fallback;
            },
            fallback);
    } catch (...) {
        return fallback;
    }
}

template <class F>
int OnWindow(ExHandle handle, F fn) {
    try {
        if (!marshal::IsUiThread() && !handles::IsLive(handle, Kind::Window) &&
            !handles::IsLive(handle, Kind::Surface)) {
            return 0;
        }
        return marshal::Run([handle, fn]() -> bool {
            Window* w = TopWindow(handle);
            return w != nullptr && !w->IsDestroying() && fn(*w);
        })
                   ? 1
                   : 0;
    } catch (...) {
        return 0;
    }
}

void ToRect(const QRect& r, ExRect* out) {
    *out = ExRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

}  // namespace

extern "C" {

EXDUI_API ExHandle Ex_WndCreate(ExHandle parent, const char16_t* className, const char16_t* title,
                                int32_t x, int32_t y, int32_t width, int32_t height, int32_t style,
                                int32_t styleEx) {
    (void)className;
    (void)style;
    (void)styleEx;
    try {
        QString text = FromUtf16(title);
        return marshal::Call(
            [&]() -> ExHandle {
                auto* widget = new WindowWidget;
                Window* win = widget->GetWindow();
                ExHandle handle = handles::AddRaw(Kind::Window, win);
                if (handle == 0) {
                    delete widget;
                    return 0;
                }
                win->SetHandle(handle);
                if (Window* owner = TopWindow(parent)) {
                    widget->setParent(owner->Widget(), widget->windowFlags());
                }
                widget->setWindowTitle(text);
                widget->setGeometry(x, y, std::max(1, width), std::max(1, height));
                return handle;
            },
            ExHandle{0});
    } catch (...) {
        return 0;
    }
}

EXDUI_API ExHandle Ex_DUIBindWindowEx(ExHandle window, const void* theme, int32_t style,
                                      intptr_t lParam, ExWndProc proc) {
    (void)theme;
    (void)lParam;
    return marshal::Call(
        [&]() -> ExHandle {
            Window* w = WindowFromHandle(window);  // a window, not a surface
            return w != nullptr && !w->IsDestroying() ? w->Bind(style, proc) : 0;
        },
        ExHandle{0});
}

EXDUI_API intptr_t Ex_DUISetLong(ExHandle surface, int32_t index, intptr_t value) {
    return WithWindow(surface, intptr_t{0}, [&](Window& w) { return w.SetLong(index, value); });
}

EXDUI_API intptr_t Ex_DUIGetLong(ExHandle surface, int32_t index) {
    // Readable while the window is being destroyed: its procedure still gets
    // EX_WM_DESTROY then, and may need its own values (the user value) to
    // act on it. The handles go only after that message.
    try {
        return marshal::Call(
            [&]() -> intptr_t {
                Window* w = TopWindow(surface);
                return w != nullptr ? w->GetLong(index) : 0;
            },
            intptr_t{0});
    } catch (...) {
        return 0;
    }
}

EXDUI_API int Ex_DUIShowWindow(ExHandle surface, int32_t showCommand, int32_t timer, int32_t frames,
                               int32_t flags) {
    (void)timer;
    (void)frames;
    (void)flags;
    return OnWindow(surface, [=](Window& w) {
        w.Show(showCommand);
        return true;
    });
}

EXDUI_API int Ex_DUIGetClientRect(ExHandle surface, ExRect* rect) {
    if (rect == nullptr) {
        return 0;
    }
    return WithWindow(surface, 0, [&](Window& w) {
        ToRect(w.Widget()->rect(), rect);
        return 1;
    });
}

EXDUI_API ExHandle Ex_DUIFromWindow(ExHandle window) {
    return WithWindow(window, ExHandle{0}, [](Window& w) { return w.Surface(); });
}

EXDUI_API ExHandle Ex_DUIGetWindow(ExHandle surface) {
    return WithWindow(surface, ExHandle{0}, [](Window& w) { return w.Handle(); });
}

EXDUI_API int Ex_WndMsgLoop(void) {
    if (!marshal::IsUiThread()) {
        return 0;
    }
    try {
        if (RunMessageLoop() && !AnyMainWindow()) {
            // The main window is gone: workers calling in from now on must not
            // wait for a UI thread that no longer serves them.
            marshal::BeginShutdown();
        }
    } catch (...) {
    }
    return 0;
}

EXDUI_API int Ex_WndGetRect(ExHandle window, ExRect* rect) {
    if (rect == nullptr) {
        return 0;
    }
    // Also while the window is being destroyed: its procedure reads the
    // rectangle at EX_WM_DESTROY to remember the size.
    try {
        return marshal::Call(
            [&]() -> int {
                Window* w = TopWindow(window);
                if (w == nullptr) {
                    return 0;
                }
                ToRect(w->Widget()->frameGeometry(), rect);
                return 1;
            },
            0);
    } catch (...) {
        return 0;
    }
}

EXDUI_API int Ex_WndMove(ExHandle window, int32_t x, int32_t y, int32_t width, int32_t height,
                         int repaint) {
    return OnWindow(window, [=](Window& w) {
        QWidget* widget = w.Widget();
        QRect g = widget->geometry();
        QRect next(x == EX_KEEP ? g.x() : x, y == EX_KEEP ? g.y() : y,
                   width == EX_KEEP ? g.width() : std::max(1, width),
                   height == EX_KEEP ? g.height() : std::max(1, height));
        widget->setGeometry(next);
        if (repaint != 0) {
            widget->update();
        }
        return true;
    });
}

EXDUI_API int Ex_WndSetTopmost(ExHandle window, int on) {
    return OnWindow(window, [=](Window& w) {
        QWidget* widget = w.Widget();
        bool visible = widget->isVisible();
        QRect g = widget->geometry();
        widget->setWindowFlag(Qt::WindowStaysOnTopHint, on != 0);
        widget->setGeometry(g);
        if (visible) {
            widget->show();  // changing flags hides a window
        }
        return true;
    });
}

EXDUI_API int Ex_WndEnable(ExHandle window, int enable) {
    return OnWindow(window, [=](Window& w) {
        w.Widget()->setEnabled(enable != 0);
        return true;
    });
}

EXDUI_API int Ex_WndSetMinSize(ExHandle window, int32_t width, int32_t height) {
    return OnWindow(window, [=](Window& w) {
        // Frameless: the outer size is the widget's own.
        w.Widget()->setMinimumSize(std::max(0, width), std::max(0, height));
        return true;
    });
}

EXDUI_API int Ex_WndIsVisible(ExHandle window) {
    return WithWindow(window, 0, [](Window& w) { return w.Widget()->isVisible() ? 1 : 0; });
}

EXDUI_API intptr_t Ex_WndSendMessage(ExHandle window, int32_t message, intptr_t wParam,
                                     intptr_t lParam) {
    return WithWindow(window, intptr_t{0},
                      [&](Window& w) { return w.Send(message, wParam, lParam); });
}

EXDUI_API int Ex_WndPostMessage(ExHandle window, int32_t message, intptr_t wParam,
                                intptr_t lParam) {
    try {
        if (!handles::IsLive(window, Kind::Window) && !handles::IsLive(window, Kind::Surface)) {
            return 0;
        }
        return marshal::Post([=] {
            Window* w = TopWindow(window);
            if (w != nullptr && !w->IsDestroying()) {
                w->Send(message, wParam, lParam);
            }
        })
                   ? 1
                   : 0;
    } catch (...) {
        return 0;
    }
}

EXDUI_API int Ex_WndGetDesktopRect(ExRect* rect) {
    if (rect == nullptr) {
        return 0;
    }
    return marshal::Call(
        [&] {
            const std::optional<ExRect> screen = backend::PrimaryScreen();
            if (!screen) {
                return 0;
            }
            *rect = *screen;
            return 1;
        },
        0);
}

EXDUI_API int Ex_WndGetWorkRect(ExHandle window, ExRect* rect) {
    if (rect == nullptr) {
        return 0;
    }
    try {
        return marshal::Call(
            [&]() -> int {
                std::optional<ExRect> shown;
                if (window != 0) {
                    Window* w = TopWindow(window);
                    if (w == nullptr) {
                        return 0;
                    }
                    shown.emplace();
                    ToRect(w->Widget()->frameGeometry(), &*shown);
                }
                const std::optional<ExRect> area = backend::WorkArea(shown ? &*shown : nullptr);
                if (!area) {
                    return 0;
                }
                *rect = *area;
                return 1;
            },
            0);
    } catch (...) {
        return 0;
    }
}

EXDUI_API int Ex_GetCursorPos(ExPoint* point) {
    if (point == nullptr) {
        return 0;
    }
    return marshal::Call(
        [&] {
            *point = backend::CursorPosition();
            return 1;
        },
        0);
}

EXDUI_API intptr_t Ex_WndGetNativeHandle(ExHandle window) {
    return WithWindow(window, intptr_t{0},
                      [](Window& w) { return backend::NativeHandle(NativeViewOf(w)); });
}

EXDUI_API uint32_t Ex_DropQueryFile(intptr_t drop, uint32_t index, char16_t* buffer,
                                    uint32_t capacity) {
    if (drop <= 0 || drop > INT32_MAX) {
        return 0;
    }
    return marshal::Call(
        [&]() -> uint32_t {
            auto* names = handles::RawAs<QStringList>(static_cast<ExHandle>(drop), Kind::Drop);
            if (names == nullptr) {
                return 0;
            }
            if (index == 0xFFFFFFFFu) {
                return static_cast<uint32_t>(names->size());
            }
            if (index >= static_cast<uint32_t>(names->size())) {
                return 0;
            }
            const QString& name = (*names)[static_cast<qsizetype>(index)];
            auto length = static_cast<uint32_t>(name.size());
            if (buffer == nullptr || capacity == 0) {
                return length;
            }
            uint32_t n = std::min(length, capacity - 1);
            std::memcpy(buffer, name.utf16(), n * sizeof(char16_t));
            buffer[n] = 0;
            return n;
        },
        uint32_t{0});
}

}  // extern "C"
