// The Qt back end's factory of fonts and images. The program names
// "微软雅黑" (and leaves the family empty for the default); both map to an
// installed Simplified Chinese font. Qt must never be left to pick the CJK
// fallback itself: under C.UTF-8 it takes the Japanese forms, so every font
// made here lists the SC family as its fallback.
#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFontDatabase>
#include <QIcon>
#include <QStringList>

#include "qt_convert.h"
#include "qt_font.h"
#include "qt_image.h"

namespace exdui::backend::qt {
namespace {

constexpr int DefaultPixelSize = 12;

// Installed Simplified Chinese families, best first.
const QStringList& ChineseFamilies() {
    static const QStringList families = [] {
        QStringList found;
        const QStringList installed = QFontDatabase::families();
        for (const char* name : {"Noto Sans CJK SC", "Source Han Sans SC", "WenQuanYi Micro Hei",
                                 "WenQuanYi Zen Hei"}) {
            if (installed.contains(QString::fromLatin1(name), Qt::CaseInsensitive)) {
                found.push_back(QString::fromLatin1(name));
            }
        }
        return found;
    }();
    return families;
}

bool IsWindowsChineseFamily(const QString& family) {
    static const QStringList names = {QStringLiteral("微软雅黑"),
                                      QStringLiteral("Microsoft YaHei"),
                                      QStringLiteral("Microsoft YaHei UI"),
                                      QStringLiteral("宋体"),
                                      QStringLiteral("SimSun"),
                                      QStringLiteral("黑体"),
                                      QStringLiteral("SimHei")};
    return names.contains(family, Qt::CaseInsensitive);
}

// The family to use for a family the program names.
QString ResolveFamily(const QString& family) {
    QString trimmed = family.trimmed();
    if (trimmed.isEmpty() || IsWindowsChineseFamily(trimmed)) {
        return ChineseFamilies().isEmpty() ? QString() : ChineseFamilies().front();
    }
    return trimmed;
}

QImage IconImage(const QIcon& icon, int size) {
    if (icon.isNull()) {
        return {};
    }
    QSize actual = icon.actualSize(QSize(size, size));
    return icon.pixmap(actual.isEmpty() ? QSize(size, size) : actual).toImage();
}

class QtGraphics final : public Graphics {
  public:
    void SetSystemFont(const Font& font) override {
        if (const auto* qtFont = dynamic_cast<const QtFont*>(&font)) {
            QApplication::setFont(qtFont->Get());
        }
    }

    std::shared_ptr<const Font> MakeFont(std::u16string_view family, int32_t pixelSize,
                                         int32_t style) override {
        QFont font;
        QStringList families;
        QString resolved = ResolveFamily(ToQString(family));
        if (!resolved.isEmpty()) {
            families.push_back(resolved);
        }
        // Han characters the named family lacks come from the SC font, never
        // from Qt's own fallback choice.
        for (const QString& f : ChineseFamilies()) {
            if (!families.contains(f)) {
                families.push_back(f);
            }
        }
        if (!families.isEmpty()) {
            font.setFamilies(families);
        }
        font.setPixelSize(pixelSize > 0 ? pixelSize : DefaultPixelSize);
        if (style > 0) {
            font.setBold((style & FontBold) != 0);
            font.setItalic((style & FontItalic) != 0);
            font.setUnderline((style & FontUnderline) != 0);
            font.setStrikeOut((style & FontStrikeOut) != 0);
        }
        font.setStyleStrategy(QFont::PreferAntialias);
        return WrapFont(font);
    }

    std::shared_ptr<const Image> DecodeImage(std::span<const std::byte> bytes) override {
        if (bytes.size() > static_cast<size_t>(INT32_MAX)) {
            return nullptr;
        }
        QImage image;
        if (!image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                                static_cast<int>(bytes.size()))) {
            return nullptr;
        }
        return WrapImage(image);
    }

    std::shared_ptr<const Image> FileIcon(std::u16string_view path, int32_t pixels) override {
        QFileIconProvider provider;
        return WrapImage(IconImage(provider.icon(QFileInfo(ToQString(path))), pixels));
    }

    std::shared_ptr<const Image> NativeIcon(const void* icon) override {
#if defined(Q_OS_WIN)
        if (icon == nullptr) {
            return nullptr;
        }
        // GDI copies the icon's bitmaps: no pixmap, so any thread may do it.
        return WrapImage(QImage::fromHICON(static_cast<HICON>(const_cast<void*>(icon))));
#else
        (void)icon;
        return nullptr;
#endif
    }
};

}  // namespace
}  // namespace exdui::backend::qt

namespace exdui::backend {

Graphics& GetGraphics() {
    static qt::QtGraphics graphics;
    return graphics;
}

}  // namespace exdui::backend
