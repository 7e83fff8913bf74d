// A top-level window with its DirectUI surface: the main window and the copy
// progress window. Copying a FrameWindow copies its two handles; it owns no
// other resource. Everything runs on the UI thread except Close and
// SetDisabled, which any thread may call.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "exdui/exdui.h"
#include "platform/window_blur.h"

namespace cj::ui {

inline constexpr std::uint32_t DefaultInitFlags = 0x800102;

struct FrameWindowDescription {
    // An embedded window neither starts nor shuts down the UI library and does
    // not run the message loop: Create returns once it is shown.
    bool embedded = false;
    const void* theme = nullptr;  // Handed to the library, which ignores it.
    std::size_t themeLength = 0;
    std::optional<std::uint32_t> initFlags;  // Default DefaultInitFlags.
    ExHandle existingWindow = 0;             // 0: create a new window.
    std::string title;                       // Narrow text.
    int width = 0;
    int height = 0;
    std::optional<ExArgb> background;   // Default 0xFF0060C0.
    std::optional<std::int32_t> style;  // Default: a titled, movable, resizable window.
    int blur = 0;                       // 1 blurs what lies behind the window.
    // What blurs it, given the window's native handle; tests watch it.
    bool (*blurBehind)(std::intptr_t nativeWindow) = platform::ApplyBlurBehind;
    ExHandle* outSurface = nullptr;
    ExHandle* outWindow = nullptr;
    // Runs once the surface is bound, before the window is shown: it creates
    // the window's controls.
    std::function<void()> content;
    ExWndProc procedure = nullptr;
};

class FrameWindow {
  public:
    // Initialises the library (unless embedded), creates, binds and shows the
    // window; unless embedded, runs the message loop until the window is
    // destroyed and shuts the library down (also when nothing could be
    // created). Returns whether a surface was bound.
    bool Create(const FrameWindowDescription& description);

    // Outer size and screen rectangle; 0 when there is no window.
    int Width() const;
    int Height() const;
    ExRect Rectangle() const;

    void SetBackground(ExArgb colour) const;
    // Posts the close message; safe from any thread.
    void Close() const;
    // Moves and sizes in one step; missing values keep the current ones.
    void Place(std::optional<int> x, std::optional<int> y, std::optional<int> width,
               std::optional<int> height) const;
    // 0 normal without activating, 1 maximised, 2 minimised, 3 hidden; other
    // values do nothing.
    void ShowState(int state) const;
    void SetTopmost(int on) const;
    // The least outer size the window takes, whoever sizes it.
    void SetMinimumSize(int width, int height) const;
    // 1 disables the window, anything else enables it; safe from any thread.
    void SetDisabled(int on) const;

    ExHandle WindowHandle() const { return m_window; }
    ExHandle SurfaceHandle() const { return m_surface; }

  private:
    ExHandle m_window = 0;
    ExHandle m_surface = 0;
};

}  // namespace cj::ui
