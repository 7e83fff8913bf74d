// What the Win32 desktop services share. Internal to cj_desktop (and its
// tests).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace cj::desktop::detail {

// True on the program's UI thread: the first thread that used the desktop
// services, which then owns their window and their COM apartment.
bool IsOnUiThread();

// The UI thread's message-only window that owns what the services put on the
// clipboard; null on any other thread.
HWND ServiceWindow();

// Text in the active code page as UTF-16, and back; nothing when a byte or a
// character does not convert exactly (it would name another file).
std::optional<std::wstring> ToWide(std::string_view narrow);
std::optional<std::string> ToNarrow(std::wstring_view wide);

// True for a path that starts at a drive's root or a share ("C:\", "\\server\share").
bool IsAbsolutePath(std::string_view path);

}  // namespace cj::desktop::detail
