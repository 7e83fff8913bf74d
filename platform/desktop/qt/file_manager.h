// Showing a file in its folder on Linux: asking the desktop's file manager
// over D-Bus, and falling back to opening the folder where none answers.
// Internal to cj_desktop (and its tests). UI thread only.
#pragma once

#include <functional>
#include <string>

class QDBusConnection;

namespace cj::desktop::detail {

// Called once with whether the file manager answered.
using FileManagerDone = std::function<void(bool shown)>;

// Asks the file manager on bus (org.freedesktop.FileManager1.ShowItems) to
// show path, an absolute UTF-8 path, selected in its folder. Returns false at
// once, without calling done, when the question cannot be asked: another
// thread, a path that is empty, relative or not UTF-8, or a bus that is not
// connected. Otherwise returns true without waiting for the answer and calls
// done exactly once, later, on the UI thread: true when the file manager
// replied, false on an error reply (no such service, no such method) or no
// reply within the bus's timeout (25 s by default in D-Bus).
bool TryAskFileManager(const QDBusConnection& bus, const std::string& path, FileManagerDone done);

// The two services behind TryShowInFolder, so that its decision can be
// followed without a desktop.
struct ShowInFolderServices {
    // As TryAskFileManager on the session bus.
    std::function<bool(const std::string& path, FileManagerDone done)> askFileManager;
    // As TryOpenWithDefaultProgram.
    std::function<bool(const std::string& folder)> openFolder;
};

// TryShowInFolder with its services passed in: asks the file manager, and
// opens the containing folder when it cannot be asked (at once, the result
// being this call's) or when it does not answer (later, from done; that
// result is lost, the request having left long ago).
bool TryShowInFolderWith(const std::string& path, const ShowInFolderServices& services);

}  // namespace cj::desktop::detail
