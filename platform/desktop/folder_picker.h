// The folder picker: the system's dialog for choosing an existing folder.
// UI thread only. Texts are UTF-8 on Linux (the active code page on Windows);
// paths use the platform separator.
#pragma once

#include <optional>
#include <string>

namespace cj::desktop {

// Shows a modal folder dialog over the program's active window, titled title,
// starting in startFolder, or in its nearest existing parent when it is gone,
// or in the user's home folder when none of it is usable (empty, relative,
// not valid UTF-8). Blocks the caller, running the event loop, until the user
// closes the dialog. Returns the chosen folder without a trailing separator
// (except the root itself), or nothing when the user cancelled, when the
// choice is not an existing folder, or when no dialog could be shown (another
// thread, no application object).
std::optional<std::string> PickFolder(const std::string& title, const std::string& startFolder);

}  // namespace cj::desktop
