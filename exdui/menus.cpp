// Popup menus and message boxes. A menu is plain data (items with
// identifiers, separators, submenus) that may be built on any thread; the Qt
// menu is made from it each time it is shown, on the UI thread.
#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <mutex>
#include <vector>

#include "handle_table.h"
#include "marshal.h"
#include "qt_text.h"
#include "window.h"

namespace exdui {
namespace {

struct MenuItem {
    uint32_t flags;
    intptr_t id;  // the submenu's handle for EX_MF_POPUP
    QString text;
};

struct Menu {
    std::mutex mu;
    std::vector<MenuItem> items;  // Under mu.
};

constexpr int MaxMenuDepth = 8;

void Fill(QMenu& qmenu, ExHandle handle, int depth) {
    auto menu = handles::SharedAs<Menu>(handle, Kind::Menu);
    if (!menu || depth > MaxMenuDepth) {
        return;
    }
    std::vector<MenuItem> items;
    {
        std::lock_guard lock(menu->mu);
        items = menu->items;
    }
    for (const MenuItem& item : items) {
        if ((item.flags & EX_MF_SEPARATOR) != 0) {
            qmenu.addSeparator();
        } else if ((item.flags & EX_MF_POPUP) != 0) {
            QMenu* sub = qmenu.addMenu(item.text);
            Fill(*sub, static_cast<ExHandle>(item.id), depth + 1);
        } else {
            QAction* action = qmenu.addAction(item.text);
            action->setData(QVariant::fromValue<qlonglong>(item.id));
            action->setEnabled((item.flags & (EX_MF_GRAYED | EX_MF_DISABLED)) == 0);
            if ((item.flags & EX_MF_CHECKED) != 0) {
                action->setCheckable(true);
                action->setChecked(true);
            }
        }
    }
}

QWidget* OwnerWidget(ExHandle owner) {
    Window* w = WindowFromAny(owner);
    return w != nullptr ? w->Widget() : nullptr;
}

}  // namespace
}  // namespace exdui

using namespace exdui;

extern "C" {

EXDUI_API ExHandle Ex_MenuCreatePopup(void) {
    try {
        return handles::AddShared(Kind::Menu, std::make_shared<Menu>());
    } catch (...) {
        return 0;
    }
}

EXDUI_API int Ex_MenuAppend(ExHandle menu, uint32_t flags, intptr_t id, const char16_t* text) {
    auto m = handles::SharedAs<Menu>(menu, Kind::Menu);
    if (!m || ((flags & EX_MF_SEPARATOR) == 0 && text == nullptr)) {
        return 0;
    }
    try {
        std::lock_guard lock(m->mu);
        m->items.push_back(MenuItem{flags, id, FromUtf16(text)});
        return 1;
    } catch (...) {
        return 0;
    }
}

EXDUI_API int Ex_MenuGetItemCount(ExHandle menu) {
    auto m = handles::SharedAs<Menu>(menu, Kind::Menu);
    if (!m) {
        return 0;
    }
    std::lock_guard lock(m->mu);
    return static_cast<int>(m->items.size());
}

EXDUI_API int Ex_MenuDestroy(ExHandle menu) {
    if (!handles::IsLive(menu, Kind::Menu)) {
        return 0;
    }
    handles::Remove(menu);
    return 1;
}

EXDUI_API intptr_t Ex_TrackPopupMenu(ExHandle menu, uint32_t flags, int32_t x, int32_t y,
                                     int32_t reserved, ExHandle owner, const ExRect* rect,
                                     void* callback, uint32_t menuFlags) {
    (void)reserved, (void)rect, (void)callback, (void)menuFlags;
    if (!handles::IsLive(menu, Kind::Menu)) {
        return 0;
    }
    try {
        return marshal::Call(
            [&]() -> intptr_t {
                QMenu qmenu(OwnerWidget(owner));
                Fill(qmenu, menu, 0);
                QAction* chosen = qmenu.exec(QPoint(x, y));
                if (chosen == nullptr) {
                    return 0;
                }
                auto id = static_cast<intptr_t>(chosen->data().toLongLong());
                if ((flags & EX_TPM_RETURNCMD) != 0) {
                    return id;
                }
                // The owner may have gone while the menu was open.
                if (Window* w = WindowFromAny(owner); w != nullptr && !w->IsDestroying()) {
                    w->Send(EX_WM_COMMAND, id, owner);
                }
                return 1;
            },
            intptr_t{0});
    } catch (...) {
        return 0;
    }
}

EXDUI_API int32_t Ex_MessageBox(ExHandle owner, const char16_t* text, const char16_t* caption,
                                uint32_t type, uint32_t flags) {
    (void)flags;
    try {
        QString body = FromUtf16(text);
        QString title = FromUtf16(caption);
        return marshal::Call(
            [&]() -> int32_t {
                QMessageBox::Icon icon = QMessageBox::NoIcon;
                switch (type & 0xF0) {
                    case EX_MB_ICONERROR:
                        icon = QMessageBox::Critical;
                        break;
                    case EX_MB_ICONQUESTION:
                        icon = QMessageBox::Question;
                        break;
                    case EX_MB_ICONWARNING:
                        icon = QMessageBox::Warning;
                        break;
                    case EX_MB_ICONINFORMATION:
                        icon = QMessageBox::Information;
                        break;
                    default:
                        break;
                }
                QMessageBox box(icon, title, body, QMessageBox::NoButton, OwnerWidget(owner));
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
            },
            int32_t{0});
    } catch (...) {
        return 0;
    }
}

}  // extern "C"
