// A plain top-level window for the Win32 back end's tests, and a way to run
// its messages.
#pragma once

#include <windows.h>

namespace exdui::backend::win32::test {

// A shown top-level window, destroyed with this.
class TestWindow {
  public:
    TestWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ExduiWin32Test";
        RegisterClassW(&windowClass);  // fails harmlessly the second time
        m_window = CreateWindowExW(0, L"ExduiWin32Test", L"test", WS_OVERLAPPEDWINDOW, 50, 50, 400,
                                   300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ShowWindow(m_window, SW_SHOW);
    }
    ~TestWindow() { DestroyWindow(m_window); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND Handle() const { return m_window; }

  private:
    HWND m_window = nullptr;
};

// Dispatches the messages waiting for this thread.
inline void RunPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The first visible window of this thread whose class is className.
inline HWND FindThreadWindow(const wchar_t* className) {
    struct Search {
        const wchar_t* className;
        HWND found;
    } search{className, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (IsWindowVisible(window) && lstrcmpiW(name, s->className) == 0) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace exdui::backend::win32::test
