// The system clipboard. UI thread only: every call made on another thread, or
// before the program's application object exists, does nothing and reports
// failure. Text is UTF-8 on Linux (the active code page on Windows); bytes are
// handed over exactly as given.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cj::desktop {

// One representation of the clipboard content, named by its MIME type
// ("text/uri-list", "x-special/gnome-copied-files", "text/plain"). Each
// system maps the types it knows to its own clipboard formats.
struct ClipboardFormat {
    std::string mimeType;
    std::string bytes;

    bool operator==(const ClipboardFormat&) const = default;
};

// Replaces the clipboard content with all the given formats at once, so that
// a reader never sees some of them next to an older value of the others. A
// type listed twice keeps its last bytes; an empty list leaves the clipboard
// empty. Returns false when the clipboard was not changed.
bool TrySetClipboard(const std::vector<ClipboardFormat>& formats);

// Replaces the clipboard content with plain text and nothing else.
bool TrySetClipboardText(std::string_view text);

// Empties the clipboard, so that nothing stale (no file list, no text) stays
// on it. Returns false when the clipboard was not changed.
bool TryClearClipboard();

// The formats on the clipboard now with their bytes, in the order the system
// lists them. Empty when the clipboard is empty or cannot be read. Meant for
// tests and diagnostics: another program's formats may be many and large.
std::vector<ClipboardFormat> ReadClipboard();

}  // namespace cj::desktop
