#include <QAction>
#include <QMenu>

#include "backend/popup_menu.h"
#include "backend/qt/qt_native_view.h"

namespace exdui::backend {
namespace {

QString FromText(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

void Fill(QMenu& menu, const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& entry : entries) {
        if ((entry.flags & EX_MF_SEPARATOR) != 0) {
            menu.addSeparator();
        } else if ((entry.flags & EX_MF_POPUP) != 0) {
            Fill(*menu.addMenu(FromText(entry.text)), entry.submenu);
        } else {
            QAction* action = menu.addAction(FromText(entry.text));
            action->setData(QVariant::fromValue<qlonglong>(entry.id));
            action->setEnabled((entry.flags & (EX_MF_GRAYED | EX_MF_DISABLED)) == 0);
            if ((entry.flags & EX_MF_CHECKED) != 0) {
                action->setCheckable(true);
                action->setChecked(true);
            }
        }
    }
}

}  // namespace

std::optional<intptr_t> ShowPopupMenu(NativeView* owner, const std::vector<MenuEntry>& entries,
                                      ExPoint at) {
    QMenu menu(qt::ToWidget(owner));
    Fill(menu, entries);
    QAction* chosen = menu.exec(QPoint(at.x, at.y));
    if (chosen == nullptr) {
        return std::nullopt;
    }
    return static_cast<intptr_t>(chosen->data().toLongLong());
}

}  // namespace exdui::backend
