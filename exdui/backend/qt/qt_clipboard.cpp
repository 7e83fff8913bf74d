#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <memory>

#include "backend/clipboard.h"

namespace exdui::backend {

std::u16string ClipboardText() {
    return QGuiApplication::clipboard()->text().toStdU16String();
}

void SetClipboardText(std::u16string_view text) {
    QGuiApplication::clipboard()->setText(
        QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

void SetClipboard(const std::vector<DataFormat>& formats) {
    if (formats.empty()) {
        QGuiApplication::clipboard()->clear();
        return;
    }
    auto data = std::make_unique<QMimeData>();
    for (const DataFormat& format : formats) {
        data->setData(QString::fromLatin1(format.mimeType),
                      QByteArray(format.bytes.data(), static_cast<qsizetype>(format.bytes.size())));
    }
    QGuiApplication::clipboard()->setMimeData(data.release());  // The clipboard owns it now.
}

}  // namespace exdui::backend
