#include "platform/desktop/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <memory>

#include "platform/desktop/qt/desktop_paths.h"

namespace cj::desktop {
namespace {

QByteArray ToBytes(std::string_view bytes) {
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

bool TrySetClipboard(const std::vector<ClipboardFormat>& formats) {
    if (!detail::IsOnUiThread()) {
        return false;
    }
    if (formats.empty()) {
        return TryClearClipboard();
    }
    // Everything goes into one QMimeData, handed over in one call: file
    // managers read the file list and editors the text of the same copy.
    auto data = std::make_unique<QMimeData>();
    for (const ClipboardFormat& format : formats) {
        if (format.mimeType.empty()) {
            return false;
        }
        data->setData(QString::fromStdString(format.mimeType), ToBytes(format.bytes));
    }
    QGuiApplication::clipboard()->setMimeData(data.release());  // The clipboard owns it now.
    return true;
}

bool TrySetClipboardText(std::string_view text) {
    return TrySetClipboard({ClipboardFormat{"text/plain", std::string(text)}});
}

bool TryClearClipboard() {
    if (!detail::IsOnUiThread()) {
        return false;
    }
    QGuiApplication::clipboard()->clear();
    return true;
}

std::vector<ClipboardFormat> ReadClipboard() {
    std::vector<ClipboardFormat> formats;
    if (!detail::IsOnUiThread()) {
        return formats;
    }
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr) {
        return formats;
    }
    for (const QString& type : data->formats()) {
        const QByteArray bytes = data->data(type);
        formats.push_back({type.toStdString(),
                           std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()))});
    }
    return formats;
}

}  // namespace cj::desktop
