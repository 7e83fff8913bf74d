// The Qt back end's own popup menu and message box, which the other tests
// replace with stand-ins: what they show and what a choice in them returns.
// Both block in their own event loop as the program expects; the tests act
// on them from a timer inside that loop.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include "exdui_env.h"

namespace exdui::test {
namespace {

std::vector<std::pair<intptr_t, intptr_t>> g_commands;

intptr_t CommandProc(ExHandle, ExHandle, int32_t message, intptr_t wParam, intptr_t lParam,
                     intptr_t*) {
    if (message == EX_WM_COMMAND) {
        g_commands.emplace_back(wParam, lParam);
    }
    return 0;
}

// Calls act(widget) once find() returns a widget, polling from the event loop.
void WhenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, find, act] {
        if (QWidget* w = find()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start();
}

QAction* ActionNamed(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions()) {
        if (a->text() == text) {
            return a;
        }
    }
    return nullptr;
}

TEST(QtMenu, ShowsTheItemsAndAClickReachesTheOwnerAsACommand) {
    TestWindow win(300, 200, 0x40000, &CommandProc);
    ExHandle menu = Ex_MenuCreatePopup();
    Ex_MenuAppend(menu, EX_MF_STRING, 1005, u"打开文件");
    Ex_MenuAppend(menu, EX_MF_GRAYED, 1006, u"复制选中");
    Ex_MenuAppend(menu, EX_MF_SEPARATOR, 0, nullptr);
    Ex_MenuAppend(menu, EX_MF_STRING | EX_MF_CHECKED, 1011, u"全选");
    std::vector<QString> seen;
    std::vector<bool> enabled;
    WhenShown([] { return QApplication::activePopupWidget(); },
              [&](QWidget* w) {
                  auto* qmenu = qobject_cast<QMenu*>(w);
                  for (QAction* a : qmenu->actions()) {
                      seen.push_back(a->isSeparator() ? QStringLiteral("-") : a->text());
                      enabled.push_back(a->isEnabled());
                  }
                  QAction* all = ActionNamed(qmenu, QStringLiteral("全选"));
                  EXPECT_TRUE(all->isChecked());
                  QTest::mouseClick(qmenu, Qt::LeftButton, {}, qmenu->actionGeometry(all).center());
              });
    g_commands.clear();
    EXPECT_EQ(Ex_TrackPopupMenu(menu, 0, 50, 50, 0, win.Surface(), nullptr, nullptr, 0), 1);
    EXPECT_EQ(seen, (std::vector<QString>{QStringLiteral("打开文件"), QStringLiteral("复制选中"),
                                          QStringLiteral("-"), QStringLiteral("全选")}));
    EXPECT_EQ(enabled, (std::vector<bool>{true, false, true, true}));
    EXPECT_EQ(g_commands, (std::vector<std::pair<intptr_t, intptr_t>>{{1011, win.Surface()}}));

    // Escape closes it with no choice.
    WhenShown([] { return QApplication::activePopupWidget(); },
              [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(
        Ex_TrackPopupMenu(menu, EX_TPM_RETURNCMD, 10, 10, 0, win.Surface(), nullptr, nullptr, 0),
        0);
    EXPECT_EQ(g_commands.size(), 1u);
    Ex_MenuDestroy(menu);
}

QMessageBox* ActiveBox() {
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

TEST(QtMessageBox, ReturnsTheButtonChosenAndItsMeaningWhenClosed) {
    TestWindow win(300, 200);
    QString text, title;
    WhenShown([] { return ActiveBox(); },
              [&](QWidget* w) {
                  auto* box = qobject_cast<QMessageBox*>(w);
                  text = box->text();
                  title = box->windowTitle();
                  QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
              });
    EXPECT_EQ(Ex_MessageBox(win.Surface(), u"是否打开备份？", u"提示", EX_MB_YESNO, 0), EX_IDNO);
    EXPECT_EQ(text, QStringLiteral("是否打开备份？"));
    EXPECT_EQ(title, QStringLiteral("提示"));

    WhenShown([] { return ActiveBox(); },
              [](QWidget* w) {
                  QTest::mouseClick(qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes),
                                    Qt::LeftButton);
              });
    EXPECT_EQ(Ex_MessageBox(win.Surface(), u"是否打开备份？", u"提示", EX_MB_YESNO, 0), EX_IDYES);

    // Closed without a choice: OK for OK, Cancel for OK/Cancel, No for Yes/No.
    struct Case {
        uint32_t type;
        int32_t answer;
    };
    for (const Case c :
         {Case{EX_MB_OK, EX_IDOK}, Case{EX_MB_OKCANCEL, EX_IDCANCEL}, Case{EX_MB_YESNO, EX_IDNO}}) {
        WhenShown([] { return ActiveBox(); },
                  [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        EXPECT_EQ(Ex_MessageBox(0, u"目录列表标题不能为空！", u"提示", c.type, 0), c.answer)
            << c.type;
    }
}

}  // namespace
}  // namespace exdui::test
