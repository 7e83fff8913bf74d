#include "platform/desktop/folder_picker.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

#include "platform/desktop/qt/desktop_paths.h"

namespace cj::desktop {

std::optional<std::string> PickFolder(const std::string& title, const std::string& startFolder) {
    if (!detail::IsOnUiThread(/*widgets=*/true)) {
        return std::nullopt;
    }
    // The system's own dialog where the desktop offers one (GTK, the portal),
    // Qt's otherwise.
    const QString chosen = QFileDialog::getExistingDirectory(
        QApplication::activeWindow(), QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
        detail::PickerStartFolder(startFolder), QFileDialog::ShowDirsOnly);
    // A folder whose name is not valid UTF-8 comes back under another name
    // (with replacement characters); that name is no existing folder.
    if (chosen.isEmpty() || !QFileInfo(chosen).isDir()) {
        return std::nullopt;
    }
    return detail::PickedFolderPath(chosen);
}

}  // namespace cj::desktop
