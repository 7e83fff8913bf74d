// The Win32 back end's application: the UI thread, the module, and the hidden
// message-only window that receives the wake-ups, the timers and the deferred
// deletions, so that they arrive in every message loop of the thread (a
// message box's, a menu's) and not only in RunLoop's.
#pragma once

#include <windows.h>

#include <functional>

namespace exdui::backend::win32 {

// The module the back end's window classes are registered for.
HINSTANCE Module();
// The message-only window of the UI thread; null before StartApplication.
HWND MessageWindow();
// The calling thread is the one that started the application.
bool IsUiThread();
// Runs fn from the event loop soon, outside the current call; at once from
// DeleteDeferredObjects. UI thread.
void DeferDelete(std::function<void()> fn);

// Messages of the message-only window, handled by the timers' file.
void FireTimer(UINT_PTR id);

}  // namespace exdui::backend::win32
