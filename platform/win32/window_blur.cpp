#include "platform/window_blur.h"

#include <windows.h>

namespace cj::platform {
namespace {

// GetVersionEx answers with the version the program's manifest claims to
// know (6.2 for a program that names no later system); ntdll's RtlGetVersion
// tells the truth. Its structure is OSVERSIONINFOW, filled with the status.
using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);

bool TrueVersion(int& major, int& minor) {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (ntdll == nullptr) {
        return false;
    }
    const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    if (rtlGetVersion == nullptr) {
        return false;
    }
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (rtlGetVersion(&info) != 0) {
        return false;
    }
    major = static_cast<int>(info.dwMajorVersion);
    minor = static_cast<int>(info.dwMinorVersion);
    return true;
}

// The window composition attribute of Windows 10, undocumented: user32 has
// exported SetWindowCompositionAttribute since Windows 7, and attribute 19
// (the accent policy) with accent state 3 blurs what lies behind the window.
constexpr DWORD AccentEnableBlurBehind = 3;
constexpr DWORD WcaAccentPolicy = 19;

struct AccentPolicy {
    DWORD accentState;
    DWORD accentFlags;
    DWORD gradientColor;
    DWORD animationId;
};

struct WindowCompositionAttributeData {
    DWORD attribute;
    PVOID data;
    SIZE_T size;
};

using SetWindowCompositionAttributeFn = BOOL(WINAPI*)(HWND, WindowCompositionAttributeData*);

bool ApplyAccentPolicy(HWND window) {
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    if (user32 == nullptr) {
        return false;
    }
    const auto setAttribute = reinterpret_cast<SetWindowCompositionAttributeFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetWindowCompositionAttribute")));
    if (setAttribute == nullptr) {
        return false;
    }
    AccentPolicy accent{AccentEnableBlurBehind, 0, 0, 0};
    WindowCompositionAttributeData data{WcaAccentPolicy, &accent, sizeof accent};
    return setAttribute(window, &data) != FALSE;
}

// dwmapi's blur-behind of Vista and 7, loaded by hand so that the program
// starts where the library is missing. The structure is DWM_BLURBEHIND.
constexpr DWORD DwmBbEnable = 0x1;

struct DwmBlurBehind {
    DWORD flags;
    BOOL enable;
    HRGN blurRegion;
    BOOL transitionOnMaximized;
};

using DwmEnableBlurBehindWindowFn = HRESULT(WINAPI*)(HWND, const DwmBlurBehind*);

bool ApplyDwmBlurBehind(HWND window) {
    // Kept loaded for the life of the process, as a linked library would be.
    static const HMODULE dwmapi = LoadLibraryA("dwmapi.dll");
    if (dwmapi == nullptr) {
        return false;
    }
    const auto enableBlur = reinterpret_cast<DwmEnableBlurBehindWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(dwmapi, "DwmEnableBlurBehindWindow")));
    if (enableBlur == nullptr) {
        return false;
    }
    const DwmBlurBehind blur{DwmBbEnable, TRUE, nullptr, FALSE};
    // Fails while the desktop compositor is off (the Basic theme).
    return SUCCEEDED(enableBlur(window, &blur));
}

}  // namespace

bool ApplyBlurBehind(std::intptr_t nativeWindow) {
    const auto window = reinterpret_cast<HWND>(nativeWindow);
    if (window == nullptr || !IsWindow(window)) {
        return false;
    }
    int major = 0;
    int minor = 0;
    if (!TrueVersion(major, minor)) {
        return false;
    }
    switch (BlurMethodForVersion(major, minor)) {
        case BlurMethod::AccentPolicy:
            return ApplyAccentPolicy(window);
        case BlurMethod::BlurBehind:
            return ApplyDwmBlurBehind(window);
        case BlurMethod::None:
            break;
    }
    return false;
}

}  // namespace cj::platform
