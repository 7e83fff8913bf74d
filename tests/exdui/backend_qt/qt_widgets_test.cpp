// What only the Qt back end has: the widgets behind handles (fonts, an
// editor's place inside the part of it shown, window flags, screens), QIcon
// pointers refused as icons, the drag handler that sees a drag as Qt's data,
// and the key table both ways.
#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QLineEdit>
#include <QMimeData>
#include <QPixmap>
#include <QScreen>
#include <algorithm>
#include <string>
#include <vector>

#include "backend/qt/exdui_qt.h"
#include "backend/qt/qt_keys.h"
#include "exdui_env.h"

namespace exdui::test {
namespace {

TEST(QtFonts, ChineseFamilyMapsToTheSimplifiedChineseFont) {
    TestWindow win(200, 100);
    ExHandle edit =
        Ex_ObjCreateEx(-1, u"Edit", u"", -1, 0, 0, 100, 30, win.Surface(), 0, -1, 0, 0, nullptr);
    ASSERT_TRUE(Ex_ObjSetFontFromFamily(edit, u"微软雅黑", 25, -1, 1));
    // The editor lies in the window's widget, over the object.
    auto* line = ExQtWidget(win.Window())->findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);
    ASSERT_FALSE(line->font().families().isEmpty());
    EXPECT_EQ(line->font().families().front(), QStringLiteral("Noto Sans CJK SC"));
    EXPECT_EQ(line->font().pixelSize(), 25);
    // The default font (no family) is the same family at the default size.
    EXPECT_EQ(QApplication::font().families().front(), QStringLiteral("Noto Sans CJK SC"));
}

TEST(QtEditors, AnEditorCutByItsParentKeepsItsWholeRectangleInsideTheCut) {
    TestWindow win(300, 200);
    ExHandle panel = Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 20, 20, 100, 50, win.Surface(), 0, -1,
                                    0, 0, nullptr);
    Ex_ObjCreateEx(-1, u"Edit", u"", -1, -30, 10, 200, 30, panel, 0, -1, 0, 0, nullptr);
    QWidget* top = ExQtWidget(win.Window());
    auto* line = top->findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);
    // The text lies 4 pixels in from the box's sides, from x -6 to 186 of
    // the window; the panel shows x 20 to 120 of it. The text does not shift.
    EXPECT_EQ(QRect(line->parentWidget()->mapTo(top, QPoint()), line->parentWidget()->size()),
              QRect(20, 30, 100, 30));
    EXPECT_EQ(QRect(line->mapTo(top, QPoint()), line->size()), QRect(-6, 30, 192, 30));
}

TEST(QtImages, IconHandlesExistOnlyOnWindows) {
    // The C API once took a QIcon here, which no caller outside Qt can make.
    // Whatever a pointer holds, it is not read as an icon: no image is made.
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::blue);
    QIcon qicon(pixmap);
    uint32_t pixels[16] = {};
    EXPECT_EQ(_img_createfromhicon(&qicon), 0);
    EXPECT_EQ(_img_createfromhicon(pixels), 0);
    EXPECT_EQ(_img_createfromhicon(nullptr), 0);
}

TEST(QtWindows, TopmostIsTheWindowFlagAndTheRectanglesAreTheScreens) {
    TestWindow win(300, 200, 0x40000);
    ASSERT_TRUE(Ex_WndSetTopmost(win.Window(), 1));
    EXPECT_TRUE(ExQtWidget(win.Window())->windowFlags() & Qt::WindowStaysOnTopHint);
    Ex_WndSetTopmost(win.Window(), 0);
    EXPECT_FALSE(ExQtWidget(win.Window())->windowFlags() & Qt::WindowStaysOnTopHint);

    const QScreen* screen = QGuiApplication::primaryScreen();
    ExRect desktop{};
    ASSERT_TRUE(Ex_WndGetDesktopRect(&desktop));
    EXPECT_EQ(
        QRect(QPoint(desktop.left, desktop.top), QPoint(desktop.right - 1, desktop.bottom - 1)),
        screen->geometry());
    ExRect work{};
    ASSERT_TRUE(Ex_WndGetWorkRect(win.Window(), &work));
    EXPECT_EQ(QRect(QPoint(work.left, work.top), QPoint(work.right - 1, work.bottom - 1)),
              screen->availableGeometry());
}

TEST(QtDrag, TheHandlerSeesEveryFormatAsQtDataWithTheActionsAllowed) {
    TestWindow win(200, 100);
    ExHandle label =
        Ex_ObjCreateEx(-1, u"STATIC", u"", -1, 0, 0, 100, 30, win.Surface(), 0, -1, 0, 0, nullptr);
    QWidget* source = nullptr;
    std::vector<std::string> seen;
    Qt::DropActions allowed;
    ExQtSetDragHandler([&](QWidget* from, const QMimeData& data, Qt::DropActions actions) {
        source = from;
        for (const QString& format : data.formats()) {
            const QByteArray bytes = data.data(format);
            seen.push_back(format.toStdString() + "=" + bytes.toStdString());
        }
        allowed = actions;
        return Qt::MoveAction;
    });
    const std::string binary("\x14\0\xFF", 3);
    const ExDragFormat formats[] = {{"text/plain", "SF1", 3},
                                    {"application/x-windows-hdrop", binary.data(), binary.size()}};
    EXPECT_EQ(Ex_ObjDoDragDrop(label, formats, 2, EX_DROPEFFECT_COPY | EX_DROPEFFECT_MOVE),
              EX_DROPEFFECT_MOVE);
    ExQtSetDragHandler({});
    EXPECT_EQ(source, ExQtWidget(win.Window()));  // the label is drawn in it
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::string>{"application/x-windows-hdrop=" + binary,
                                              "text/plain=SF1"}));
    EXPECT_EQ(allowed, Qt::CopyAction | Qt::MoveAction);
}

TEST(QtKeys, EveryKeyCodeHasAQtKeyThatMapsBack) {
    std::vector<int32_t> codes{EX_VK_BACK, EX_VK_TAB,    EX_VK_RETURN, EX_VK_SHIFT, EX_VK_CONTROL,
                               EX_VK_MENU, EX_VK_ESCAPE, EX_VK_SPACE,  EX_VK_PRIOR, EX_VK_NEXT,
                               EX_VK_END,  EX_VK_HOME,   EX_VK_LEFT,   EX_VK_UP,    EX_VK_RIGHT,
                               EX_VK_DOWN, EX_VK_INSERT, EX_VK_DELETE, EX_VK_F1,    EX_VK_F1 + 11,
                               'A',        'Z',          '0',          '9'};
    for (const int32_t code : codes) {
        EXPECT_NE(QtKey(code), 0) << code;
        EXPECT_EQ(VirtualKey(QtKey(code)), code) << code;
    }
    EXPECT_EQ(VirtualKey(Qt::Key_Enter), EX_VK_RETURN) << "the keypad's Enter is Enter";
    EXPECT_EQ(QtKey(0), 0);
    EXPECT_EQ(VirtualKey(Qt::Key_Meta), 0);
}

}  // namespace
}  // namespace exdui::test
