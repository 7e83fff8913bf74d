// The C functions on windows and surfaces.
#include <algorithm>
#include <string>
#include <utility>

#include "backend/cursor.h"
#include "backend/native_view.h"
#include "backend/screens.h"
#include "canvas.h"
#include "handle_table.h"
#include "marshal.h"
#include "window.h"

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

// The length of a 0-terminated text; 0 for none.
size_t LengthOf(const char16_t* text) {
    return text != nullptr ? std::char_traits<char16_t>::length(text) : 0;
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
        std::u16string text(title != nullptr ? title : u"", LengthOf(title));
        return marshal::Call(
            [&]() -> ExHandle {
                const ExRect rect{x, y, x + std::max(1, width), y + std::max(1, height)};
                auto* win = new Window(std::move(text), rect, TopWindow(parent));
                if (win->Native() == nullptr) {
                    delete win;
                    return 0;
                }
                ExHandle handle = handles::AddRaw(Kind::Window, win);
                if (handle == 0) {
                    win->Destroy();
                    return 0;
                }
                win->SetHandle(handle);
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
        w.Native()->Show(showCommand);
        return true;
    });
}

EXDUI_API int Ex_DUIGetClientRect(ExHandle surface, ExRect* rect) {
    if (rect == nullptr) {
        return 0;
    }
    return WithWindow(surface, 0, [&](Window& w) {
        const ExRect r = w.Native()->Rect();
        *rect = {0, 0, r.right - r.left, r.bottom - r.top};
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
                *rect = w->Native()->OuterRect();
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
        backend::NativeWindow& native = *w.Native();
        const ExRect g = native.Rect();
        const int32_t left = x == EX_KEEP ? g.left : x;
        const int32_t top = y == EX_KEEP ? g.top : y;
        const int32_t cx = width == EX_KEEP ? g.right - g.left : std::max(1, width);
        const int32_t cy = height == EX_KEEP ? g.bottom - g.top : std::max(1, height);
        native.SetRect({left, top, left + cx, top + cy});
        if (repaint != 0) {
            native.Invalidate(nullptr);
        }
        return true;
    });
}

EXDUI_API int Ex_WndSetTopmost(ExHandle window, int on) {
    return OnWindow(window, [=](Window& w) {
        w.Native()->SetTopmost(on != 0);
        return true;
    });
}

EXDUI_API int Ex_WndEnable(ExHandle window, int enable) {
    return OnWindow(window, [=](Window& w) {
        w.Native()->Enable(enable != 0);
        return true;
    });
}

EXDUI_API int Ex_WndSetMinSize(ExHandle window, int32_t width, int32_t height) {
    return OnWindow(window, [=](Window& w) {
        w.Native()->SetMinSize(width, height);
        return true;
    });
}

EXDUI_API int Ex_WndIsVisible(ExHandle window) {
    return WithWindow(window, 0, [](Window& w) { return w.Native()->IsVisible() ? 1 : 0; });
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
                    shown = w->Native()->OuterRect();
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
                      [](Window& w) { return backend::NativeHandle(w.Native()->View()); });
}

}  // extern "C"
