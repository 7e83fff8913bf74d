#include "platform/desktop/qt/file_manager.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QStringList>
#include <QUrl>

#include "platform/desktop/qt/desktop_paths.h"

namespace cj::desktop::detail {

bool TryAskFileManager(const QDBusConnection& bus, const std::string& path, FileManagerDone done) {
    QString local;
    if (!IsOnUiThread() || !TryFromAbsolutePath(path, local) || !bus.isConnected()) {
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    // The URL fully encoded: otherwise non-ASCII names go out as raw text,
    // which file managers do not take for a URL. The empty startup id asks for
    // no startup notification.
    call << QStringList{QUrl::fromLocalFile(local).toString(QUrl::FullyEncoded)} << QString();
    // The watcher reports even an answer that is already there (no bus
    // service) from the event loop, never from inside this call. It belongs to
    // the application, so a reply after the window closed finds it still.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [done = std::move(done)](QDBusPendingCallWatcher* finished) {
                         finished->deleteLater();
                         done(!finished->isError());
                     });
    return true;
}

bool TryShowInFolderWith(const std::string& path, const ShowInFolderServices& services) {
    const std::string folder = ContainingFolder(path);
    if (folder.empty()) {
        return false;
    }
    const auto fallBack = [open = services.openFolder, folder](bool shown) {
        if (!shown) {
            open(folder);
        }
    };
    if (services.askFileManager(path, fallBack)) {
        return true;
    }
    return services.openFolder(folder);
}

}  // namespace cj::desktop::detail
