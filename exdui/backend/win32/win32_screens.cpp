// The screens on Win32: the monitors, their work areas and their DPI.
#include <shellscalingapi.h>
#include <windows.h>

#include "backend/screens.h"
#include "backend/win32/win32_native_view.h"

namespace exdui::backend {
namespace {

HMONITOR PrimaryMonitor() {
    return MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

// The monitor showing the largest part of window, the primary one for none
// or for a window on no monitor.
HMONITOR MonitorFor(const ExRect* window) {
    if (window != nullptr) {
        const RECT r = win32::ToRECT(*window);
        if (HMONITOR monitor = MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) {
            return monitor;
        }
    }
    return PrimaryMonitor();
}

std::optional<MONITORINFO> InfoOf(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) {
        return std::nullopt;
    }
    return info;
}

}  // namespace

std::optional<ExRect> PrimaryScreen() {
    const std::optional<MONITORINFO> info = InfoOf(PrimaryMonitor());
    return info ? std::optional<ExRect>(win32::ToExRect(info->rcMonitor)) : std::nullopt;
}

std::optional<ExRect> WorkArea(const ExRect* window) {
    const std::optional<MONITORINFO> info = InfoOf(MonitorFor(window));
    return info ? std::optional<ExRect>(win32::ToExRect(info->rcWork)) : std::nullopt;
}

double DpiScale(const ExRect* window) {
    UINT dpiX = 0;
    UINT dpiY = 0;
    HMONITOR monitor = MonitorFor(window);
    if (monitor == nullptr || FAILED(GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &dpiX, &dpiY)) ||
        dpiX == 0) {
        return 1.0;
    }
    return dpiX / 96.0;
}

}  // namespace exdui::backend
