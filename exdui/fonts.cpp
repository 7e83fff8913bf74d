#include "fonts.h"

#include <QFontDatabase>
#include <QStringList>

#include "canvas.h"
#include "handle_table.h"
#include "marshal.h"

namespace exdui {
namespace {

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

}  // namespace

QString ResolveFamily(const QString& family) {
    QString trimmed = family.trimmed();
    if (trimmed.isEmpty() || IsWindowsChineseFamily(trimmed)) {
        return ChineseFamilies().isEmpty() ? QString() : ChineseFamilies().front();
    }
    return trimmed;
}

QFont MakeFont(const QString& family, int32_t size, int32_t style) {
    QFont font;
    QStringList families;
    QString resolved = ResolveFamily(family);
    if (!resolved.isEmpty()) {
        families.push_back(resolved);
    }
    // Han characters the named family lacks come from the SC font, never from
    // Qt's own fallback choice.
    for (const QString& f : ChineseFamilies()) {
        if (!families.contains(f)) {
            families.push_back(f);
        }
    }
    if (!families.isEmpty()) {
        font.setFamilies(families);
    }
    font.setPixelSize(size > 0 ? size : DefaultFontPixelSize);
    if (style > 0) {
        font.setBold((style & 1) != 0);
        font.setItalic((style & 2) != 0);
        font.setUnderline((style & 4) != 0);
        font.setStrikeOut((style & 8) != 0);
    }
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont DefaultFont() {
    static const QFont font = MakeFont(QString(), -1, -1);
    return font;
}

ExHandle CreateFontHandle(const QFont& font) {
    auto res = std::make_shared<FontResource>();
    res->font = font;
    return handles::AddShared(Kind::Font, res);
}

void SetFontHandle(ExHandle handle, const QFont& font) {
    if (auto res = handles::SharedAs<FontResource>(handle, Kind::Font)) {
        std::lock_guard lock(res->mu);
        res->font = font;
    }
}

QFont FontFromHandle(ExHandle handle) {
    if (auto res = handles::SharedAs<FontResource>(handle, Kind::Font)) {
        std::lock_guard lock(res->mu);
        return res->font;
    }
    return DefaultFont();
}

}  // namespace exdui

using namespace exdui;

extern "C" {

EXDUI_API ExHandle _font_createfromfamily(const char16_t* family, int32_t size, int32_t style) {
    // The font database belongs to the UI thread.
    return marshal::Call([&] { return CreateFontHandle(MakeFont(FromUtf16(family), size, style)); },
                         ExHandle{0});
}

EXDUI_API int _font_destroy(ExHandle font) {
    if (!handles::IsLive(font, Kind::Font)) {
        return 0;
    }
    handles::Remove(font);
    return 1;
}

}  // extern "C"
