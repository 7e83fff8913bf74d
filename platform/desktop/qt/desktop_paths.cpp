#include "platform/desktop/qt/desktop_paths.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringDecoder>
#include <QThread>

#include "platform/files.h"

namespace cj::desktop::detail {

using platform::PathSeparator;

bool IsOnUiThread(bool widgets) {
    QCoreApplication* app = QCoreApplication::instance();
    const bool suits = widgets ? qobject_cast<QApplication*>(app) != nullptr
                               : qobject_cast<QGuiApplication*>(app) != nullptr;
    return suits && QThread::currentThread() == app->thread();
}

bool TryFromUtf8(std::string_view text, QString& out) {
    // A NUL would end the name at the system call and so name another file.
    if (text.find('\0') != std::string_view::npos) {
        return false;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = decoder(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (decoder.hasError()) {
        return false;
    }
    out = std::move(decoded);
    return true;
}

bool TryFromAbsolutePath(std::string_view path, QString& out) {
    if (path.empty() || path.front() != PathSeparator) {
        return false;
    }
    return TryFromUtf8(path, out);
}

std::string TrimTrailingSeparators(std::string_view path) {
    while (path.size() > 1 && path.back() == PathSeparator) {
        path.remove_suffix(1);
    }
    return std::string(path);
}

std::string ContainingFolder(std::string_view path) {
    if (path.empty() || path.front() != PathSeparator) {
        return {};
    }
    const std::string item = TrimTrailingSeparators(path);
    const std::string folder = TrimTrailingSeparators(item.substr(0, item.rfind(PathSeparator)));
    return folder.empty() ? std::string(1, PathSeparator) : folder;
}

QString PickerStartFolder(std::string_view requested) {
    QString path;
    if (TryFromAbsolutePath(requested, path)) {
        for (QString folder = QDir::cleanPath(path);;) {
            const QFileInfo info(folder);
            if (info.isDir()) {
                return folder;
            }
            const QString parent = info.path();
            if (parent == folder) {
                break;
            }
            folder = parent;
        }
    }
    return QDir::homePath();
}

std::string PickedFolderPath(const QString& chosen) {
    if (chosen.isEmpty()) {
        return {};
    }
    return TrimTrailingSeparators(QDir::toNativeSeparators(QDir::cleanPath(chosen)).toStdString());
}

}  // namespace cj::desktop::detail
