#include "platform/desktop/folder_picker.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>
#include <cstdio>

#include "platform/desktop/qt/desktop_paths.h"

namespace cj::desktop {
namespace {

// Qt's own texts of its dialog ("Look in:", "Cancel", the column titles) in
// Simplified Chinese, the program's language, from the distribution's
// translations of Qt (Debian: qt6-translations-l10n). Loaded once for each
// application object, which owns the translator; without the file the
// dialog stays in English and one line says why.
void InstallQtTranslation() {
    static QPointer<QTranslator> tried;
    if (tried) {
        return;
    }
    auto* translator = new QTranslator(QCoreApplication::instance());
    tried = translator;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), folder)) {
        QCoreApplication::installTranslator(translator);
    } else {
        std::fprintf(stderr,
                     "chengjing: no qtbase_zh_CN.qm in %s: the folder dialog speaks English\n",
                     folder.toLocal8Bit().constData());
    }
}

}  // namespace

std::optional<std::string> PickFolder(const std::string& title, const std::string& startFolder) {
    if (!detail::IsOnUiThread(/*widgets=*/true)) {
        return std::nullopt;
    }
    InstallQtTranslation();
    // The system's own dialog where the desktop offers one (GTK, the portal),
    // Qt's otherwise.
    const QString chosen = QFileDialog::getExistingDirectory(
        QApplication::activeWindow(),
        QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
        detail::PickerStartFolder(startFolder), QFileDialog::ShowDirsOnly);
    // A folder whose name is not valid UTF-8 comes back under another name
    // (with replacement characters); that name is no existing folder.
    if (chosen.isEmpty() || !QFileInfo(chosen).isDir()) {
        return std::nullopt;
    }
    return detail::PickedFolderPath(chosen);
}

}  // namespace cj::desktop
