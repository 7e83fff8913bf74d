// Handing files to the desktop: opening a file with its default program and
// showing a file selected in its folder. UI thread only: a call made on
// another thread, or before the program's application object exists, does
// nothing and returns false. Paths are absolute, in the platform's narrow
// encoding (UTF-8 on Linux), with the platform separator.
//
// Neither call waits for the program it starts, and neither shows a message:
// the UI words any failure it is told of. "Handed over" means the request
// left this process; a program that then fails to open the file is beyond
// what we can see.
#pragma once

#include <string>

namespace cj::desktop {

// Opens the file (or folder) with the program the desktop associates with it
// (xdg-open on Linux). Returns false for an empty or relative path, for a
// path that is not valid in the platform encoding (on Linux Qt cannot name a
// file whose name is not UTF-8, and a replaced character would name another
// file), and when the request could not be handed over.
bool TryOpenWithDefaultProgram(const std::string& path);

// Shows the file selected in a window of its folder. On Linux the desktop's
// file manager is asked over the session bus; where none answers (no session
// bus, no file manager service, an error reply), the containing folder is
// opened with its default program instead. The answer is awaited without
// blocking, so that fallback may happen after this call returns. Returns
// false when nothing could be handed over: an empty or relative path, a path
// not valid in the platform encoding, or no bus and no way to open the folder.
bool TryShowInFolder(const std::string& path);

}  // namespace cj::desktop
