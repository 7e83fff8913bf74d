#include "ui/frame_window.h"

#include "platform/code_page.h"
#include "ui/colour.h"

namespace cj::ui {
namespace {

// Title bar, icon, the three buttons, movable, centred and resizable.
constexpr std::int32_t DefaultStyle = 0x100 | 0x80 | 0x1 | 0x2 | 0x4 | 0x800 | 0x20000 | 0x400;
constexpr std::int32_t MainWindowBit = 0x10000;

}  // namespace

bool FrameWindow::Create(const FrameWindowDescription& d) {
    if (!d.embedded) {
        Ex_Init(nullptr, d.initFlags.value_or(DefaultInitFlags), 0, nullptr, d.theme, d.themeLength,
                nullptr, 0);
    }
    ExHandle window = d.existingWindow;
    if (window == 0) {
        const std::u16string title = platform::NarrowToUtf16(d.title);
        window = Ex_WndCreate(0, nullptr, title.c_str(), 0, 0, d.width, d.height, 0, 0);
    }
    ExHandle surface = 0;
    if (window != 0) {
        const std::int32_t style =
            d.style.value_or(DefaultStyle | (d.embedded ? 0 : MainWindowBit));
        surface = Ex_DUIBindWindowEx(window, d.theme, style, 0, nullptr);
        m_window = window;
        m_surface = surface;
        if (d.outSurface != nullptr) {
            *d.outSurface = surface;
        }
        if (d.outWindow != nullptr) {
            *d.outWindow = window;
        }
    }
    if (surface != 0) {
        if (d.blur == 1 && d.blurBehind != nullptr) {
            d.blurBehind(Ex_WndGetNativeHandle(window));
        }
        Ex_DUISetLong(surface, EX_DUI_BACKGROUND, d.background.value_or(MakeArgb(0xC06000)));
        Ex_DUISetLong(surface, EX_DUI_PROC, reinterpret_cast<intptr_t>(d.procedure));
        if (d.content) {
            d.content();
        }
        Ex_DUIShowWindow(surface, EX_SW_SHOW, 0, 0, 0);
        if (!d.embedded) {
            Ex_WndMsgLoop();
        }
    }
    if (!d.embedded) {
        Ex_UnInit();
    }
    return surface != 0;
}

ExRect FrameWindow::Rectangle() const {
    ExRect rect{};
    Ex_WndGetRect(m_window, &rect);
    return rect;
}

int FrameWindow::Width() const {
    const ExRect rect = Rectangle();
    return rect.right - rect.left;
}

int FrameWindow::Height() const {
    const ExRect rect = Rectangle();
    return rect.bottom - rect.top;
}

void FrameWindow::SetBackground(ExArgb colour) const {
    Ex_DUISetLong(m_surface, EX_DUI_BACKGROUND, colour);
}

void FrameWindow::Close() const {
    Ex_WndPostMessage(m_window, EX_WM_CLOSE, 0, 0);
}

void FrameWindow::Place(std::optional<int> x, std::optional<int> y, std::optional<int> width,
                        std::optional<int> height) const {
    const ExRect rect = Rectangle();
    Ex_WndMove(m_window, x.value_or(rect.left), y.value_or(rect.top),
               width.value_or(rect.right - rect.left), height.value_or(rect.bottom - rect.top), 1);
}

void FrameWindow::ShowState(int state) const {
    static constexpr std::int32_t Commands[] = {EX_SW_SHOWNOACTIVATE, EX_SW_SHOWMAXIMIZED,
                                                EX_SW_SHOWMINIMIZED, EX_SW_HIDE};
    if (state < 0 || state > 3) {
        return;
    }
    Ex_DUIShowWindow(m_surface, Commands[state], 0, 0, 0);
}

void FrameWindow::SetTopmost(int on) const {
    Ex_WndSetTopmost(m_window, on == 1 ? 1 : 0);
}

void FrameWindow::SetMinimumSize(int width, int height) const {
    Ex_WndSetMinSize(m_window, width, height);
}

void FrameWindow::SetDisabled(int on) const {
    Ex_WndEnable(m_window, on == 1 ? 0 : 1);
}

}  // namespace cj::ui
