// Blur behind a translucent top-level window. Only Windows draws it; elsewhere
// the window is simply translucent.
#pragma once

#include <cstdint>

namespace cj::platform {

enum class BlurMethod {
    None,
    BlurBehind,    // Windows Vista and 7: the desktop compositor's blur-behind.
    AccentPolicy,  // Windows 10 and 11: the window composition accent "blur behind".
};

// The method for a Windows version (major, minor) as the system reports it.
// Windows 8 and 8.1 (6.2, 6.3) have neither.
constexpr BlurMethod BlurMethodForVersion(int major, int minor) {
    if (major == 6 && (minor == 0 || minor == 1)) {
        return BlurMethod::BlurBehind;
    }
    return major == 10 ? BlurMethod::AccentPolicy : BlurMethod::None;
}

// Applies the method this system supports to a native window (HWND on
// Windows). Returns false when nothing was applied; a failure is harmless.
bool ApplyBlurBehind(std::intptr_t nativeWindow);

}  // namespace cj::platform
