// The application, the event loops and the wake on Win32: the thread's
// message queue, GetMessageW loops, and messages posted to a message-only
// window of the UI thread.
#include <ole2.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <unordered_map>
#include <utility>
#include <vector>

#include "backend/event_loop.h"
#include "backend/win32/win32_app.h"
#include "backend/win32/win32_native_window.h"

namespace exdui::backend {
namespace win32 {
namespace {

constexpr UINT WakeMessage = WM_APP + 1;      // wParam: the wake's id
constexpr UINT DeferredMessage = WM_APP + 2;  // runs the deferred deletions
constexpr wchar_t MessageClass[] = L"ExduiMessageWindow";

std::atomic<DWORD> g_uiThread{0};
HWND g_messageWindow = nullptr;  // UI thread, like everything below.
bool g_oleStarted = false;
std::vector<bool*> g_loops;  // the RunLoop loops running, innermost last: their quit flags
std::vector<std::function<void()>> g_deferred;
bool g_deferredPosted = false;

class Win32Wake;
std::unordered_map<WPARAM, Win32Wake*> g_wakes;
WPARAM g_nextWakeId = 1;

class Win32Wake final : public Wake {
  public:
    explicit Win32Wake(std::function<void()> onWake)
        : m_onWake(std::move(onWake)), m_id(g_nextWakeId++), m_window(g_messageWindow) {
        g_wakes.emplace(m_id, this);
    }
    // A wake-up still queued finds no wake under its id and is dropped.
    ~Win32Wake() override { g_wakes.erase(m_id); }
    Win32Wake(const Win32Wake&) = delete;
    Win32Wake& operator=(const Win32Wake&) = delete;

    // The message carries only the id the UI thread chose: the queue
    // allocates nothing of ours and takes nothing the worker wrote.
    void Post() override { PostMessageW(m_window, WakeMessage, m_id, 0); }
    void Prepare() override {}

    void Deliver() { m_onWake(); }

  private:
    std::function<void()> m_onWake;
    WPARAM m_id;
    HWND m_window;
};

void RunDeferred() {
    g_deferredPosted = false;
    // A deletion may defer another: those run in the same pass.
    while (!g_deferred.empty()) {
        std::vector<std::function<void()>> now = std::exchange(g_deferred, {});
        for (auto& fn : now) {
            fn();
        }
    }
}

LRESULT CALLBACK MessageWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WakeMessage:
            if (auto it = g_wakes.find(wParam); it != g_wakes.end()) {
                it->second->Deliver();
            }
            return 0;
        case DeferredMessage:
            RunDeferred();
            return 0;
        case WM_TIMER:
            FireTimer(wParam);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// One message from the queue, dispatched; false on WM_QUIT, which is put back
// for the loop that owns it.
bool Dispatch(const MSG& msg) {
    if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    if (!TakeKeyFirst(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

// Dispatches what is queued now; false when WM_QUIT came.
bool DispatchPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!Dispatch(msg)) {
            return false;
        }
    }
    return true;
}

}  // namespace

HINSTANCE Module() {
    return GetModuleHandleW(nullptr);
}

HWND MessageWindow() {
    return g_messageWindow;
}

bool IsUiThread() {
    return g_uiThread.load() == GetCurrentThreadId();
}

void DeferDelete(std::function<void()> fn) {
    g_deferred.push_back(std::move(fn));
    if (!g_deferredPosted && g_messageWindow != nullptr) {
        g_deferredPosted = PostMessageW(g_messageWindow, DeferredMessage, 0, 0) != 0;
    }
}

}  // namespace win32

bool StartApplication() {
    const DWORD me = GetCurrentThreadId();
    DWORD expected = 0;
    if (!win32::g_uiThread.compare_exchange_strong(expected, me)) {
        return expected == me;
    }
    // The library lays windows out in the screen's own pixels.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    // The clipboard and drag and drop need OLE on this thread; an embedding
    // program that started COM in the multithreaded model keeps it.
    win32::g_oleStarted = SUCCEEDED(OleInitialize(nullptr));

    WNDCLASSEXW cls{};
    cls.cbSize = sizeof(cls);
    cls.lpfnWndProc = win32::MessageWindowProc;
    cls.hInstance = win32::Module();
    cls.lpszClassName = win32::MessageClass;
    RegisterClassExW(&cls);
    win32::g_messageWindow = CreateWindowExW(0, win32::MessageClass, L"", 0, 0, 0, 0, 0,
                                             HWND_MESSAGE, nullptr, win32::Module(), nullptr);
    if (win32::g_messageWindow == nullptr) {
        win32::g_uiThread = 0;
        return false;
    }
    return true;
}

void EndApplication() {
    if (!win32::IsUiThread()) {
        return;
    }
    win32::RunDeferred();
    DestroyWindow(std::exchange(win32::g_messageWindow, nullptr));
    UnregisterClassW(win32::MessageClass, win32::Module());
    if (std::exchange(win32::g_oleStarted, false)) {
        OleUninitialize();
    }
    win32::g_uiThread = 0;
}

void RunLoop() {
    bool quit = false;
    win32::g_loops.push_back(&quit);
    MSG msg;
    while (!quit && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        win32::Dispatch(msg);
    }
    if (!quit) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // WM_QUIT: the outer loops end too
    }
    std::erase(win32::g_loops, &quit);
}

void QuitLoops() {
    for (bool* quit : win32::g_loops) {
        *quit = true;
    }
    // GetMessageW waits for a message: this one lets the loops see their flags.
    PostMessageW(win32::g_messageWindow, WM_NULL, 0, 0);
}

void RunEvents(int32_t ms) {
    if (ms <= 0) {
        win32::DispatchPending();
        return;
    }
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
        if (!win32::DispatchPending()) {
            return;
        }
    }
}

void DeleteDeferredObjects() {
    win32::RunDeferred();
}

std::unique_ptr<Wake> MakeWake(std::function<void()> onWake) {
    return std::make_unique<win32::Win32Wake>(std::move(onWake));
}

}  // namespace exdui::backend
