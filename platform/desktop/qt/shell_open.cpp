#include "platform/desktop/shell_open.h"

#include <QDBusConnection>
#include <QDesktopServices>
#include <QUrl>

#include "platform/desktop/qt/desktop_paths.h"
#include "platform/desktop/qt/file_manager.h"

namespace cj::desktop {

bool TryOpenWithDefaultProgram(const std::string& path) {
    QString local;
    if (!detail::IsOnUiThread() || !detail::TryFromAbsolutePath(path, local)) {
        return false;
    }
    // On Linux this starts xdg-open detached and returns; it neither waits for
    // the program nor shows anything itself.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(local));
}

bool TryShowInFolder(const std::string& path) {
    if (!detail::IsOnUiThread()) {
        return false;
    }
    const detail::ShowInFolderServices services{
        .askFileManager =
            [](const std::string& file, detail::FileManagerDone done) {
                // Without a session bus this fails at once (well under 1 ms),
                // so the folder opens without a noticeable delay.
                return detail::TryAskFileManager(QDBusConnection::sessionBus(), file,
                                                 std::move(done));
            },
        .openFolder = TryOpenWithDefaultProgram,
    };
    return detail::TryShowInFolderWith(path, services);
}

}  // namespace cj::desktop
