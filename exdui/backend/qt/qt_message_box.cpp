#include <QMessageBox>
#include <QPushButton>

#include "backend/message_box.h"
#include "backend/qt/qt_native_view.h"
#include "exdui.h"

namespace exdui::backend {
namespace {

QString FromView(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon IconOf(uint32_t type) {
    switch (type & 0xF0) {
        case EX_MB_ICONERROR:
            return QMessageBox::Critical;
        case EX_MB_ICONQUESTION:
            return QMessageBox::Question;
        case EX_MB_ICONWARNING:
            return QMessageBox::Warning;
        case EX_MB_ICONINFORMATION:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// The buttons speak the program's language, whatever the system's.
void SetButtons(QMessageBox& box, uint32_t type) {
    switch (type & 0xF) {
        case EX_MB_YESNO:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.button(QMessageBox::Yes)->setText(QStringLiteral("是"));
            box.button(QMessageBox::No)->setText(QStringLiteral("否"));
            box.setEscapeButton(QMessageBox::No);
            break;
        case EX_MB_OKCANCEL:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
            box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
            box.setEscapeButton(QMessageBox::Ok);
            break;
    }
}

}  // namespace

int32_t ShowMessageBox(NativeView* owner, std::u16string_view text, std::u16string_view caption,
                       uint32_t type) {
    QMessageBox box(IconOf(type), FromView(caption), FromView(text), QMessageBox::NoButton,
                    qt::ToWidget(owner));
    SetButtons(box, type);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return EX_IDYES;
        case QMessageBox::No:
            return EX_IDNO;
        case QMessageBox::Cancel:
            return EX_IDCANCEL;
        default:
            return EX_IDOK;
    }
}

}  // namespace exdui::backend
