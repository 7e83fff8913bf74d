#include "platform/desktop/win32/desktop_thread.h"

#include <objbase.h>

#include <atomic>

#include "platform/win32/path_text.h"

namespace cj::desktop::detail {
namespace {

std::atomic<DWORD> g_uiThread{0};

}  // namespace

bool IsOnUiThread() {
    DWORD expected = 0;
    const DWORD self = GetCurrentThreadId();
    if (g_uiThread.compare_exchange_strong(expected, self)) {
        // The shell's dialogs and calls want a single-threaded apartment.
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        return true;
    }
    return expected == self;
}

HWND ServiceWindow() {
    if (!IsOnUiThread()) {
        return nullptr;
    }
    static HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                         GetModuleHandleW(nullptr), nullptr);
    return window;
}

std::optional<std::wstring> ToWide(std::string_view narrow) {
    if (narrow.empty()) {
        return std::wstring();
    }
    const int size = static_cast<int>(narrow.size());
    const int count =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(), size, nullptr, 0);
    if (count <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(), size, wide.data(), count);
    return wide;
}

std::optional<std::string> ToNarrow(std::wstring_view wide) {
    if (wide.empty()) {
        return std::string();
    }
    const int size = static_cast<int>(wide.size());
    BOOL lossy = FALSE;
    const int count = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr,
                                          0, nullptr, &lossy);
    if (count <= 0 || lossy != FALSE) {
        return std::nullopt;
    }
    std::string narrow(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, narrow.data(), count,
                        nullptr, nullptr);
    return narrow;
}

bool IsAbsolutePath(std::string_view path) {
    // "C:name" and "\\name" are relative to the current folder of a drive:
    // their roots are shorter than "C:\".
    return platform::win32::RootLength(path) >= 3;
}

}  // namespace cj::desktop::detail
