// The input injection on the Qt back end. Mouse buttons, moves and keys enter
// at the top-level QWindow through the two functions QtGui exports for QTest,
// so that Qt delivers them as it delivers a window system's events: to the
// widget under the pointer or to the one a held button went down on, with
// enter and leave, double clicks found from the timestamps, open popups and
// modal windows taken into account, and the application's event filters (the
// frame controller) seeing them first. The wheel, file drops and input-method
// text have no such entry: they go to the widget Qt itself would give them
// to. A tooltip is what the window shows once the pointer rests.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QStyleHints>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "backend/qt/qt_keys.h"
#include "backend/qt/qt_native_window.h"
#include "exdui_inject.h"
#include "marshal.h"
#include "object.h"
#include "window.h"

// Declared as QTest's own headers declare them (qtestmouse.h, qtestkeyboard.h).
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global,
                                      Qt::MouseButtons state, Qt::MouseButton button,
                                      QEvent::Type type, Qt::KeyboardModifiers mods, int timestamp);
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* w, QEvent::Type t, int k, Qt::KeyboardModifiers mods,
                                    const QString& text, bool autorep, ushort count);
QT_END_NAMESPACE

namespace exdui::inject {
namespace {

// The buttons the pointer holds and the clock its events are dated by. Qt
// finds a double click from the time between two presses, so a press that is
// not the second of a double click is dated a double-click time after the
// one before it.
struct Pointer {
    Qt::MouseButtons held;
    int clock = 0;
};

Pointer& ThePointer() {
    static Pointer pointer;  // UI thread.
    return pointer;
}

int NextTime() {
    return ++ThePointer().clock;
}

int PressTime(bool secondOfDoubleClick) {
    Pointer& pointer = ThePointer();
    pointer.clock +=
        secondOfDoubleClick ? 1 : QGuiApplication::styleHints()->mouseDoubleClickInterval() + 1;
    return pointer.clock;
}

// The top-level widget of a window, surface or object handle; null for
// anything else, off the UI thread, or while the window is being destroyed.
QWidget* WindowWidgetOf(ExHandle handle) {
    if (!marshal::IsUiThread()) {
        return nullptr;
    }
    Window* window = WindowFromAny(handle);
    return window != nullptr && !window->IsDestroying() ? backend::qt::WidgetOf(*window->Native())
                                                        : nullptr;
}

// The same, shown: only a window on the screen takes input.
QWidget* ShownWindow(ExHandle handle) {
    QWidget* top = WindowWidgetOf(handle);
    return top != nullptr && top->isVisible() && top->windowHandle() != nullptr ? top : nullptr;
}

Qt::MouseButton QtButton(Button button) {
    return button == Button::Right ? Qt::RightButton : Qt::LeftButton;
}

// buttons: those held once the event has happened.
bool SendMouse(ExHandle window, ExPoint at, QEvent::Type type, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int timestamp) {
    QWidget* top = ShownWindow(window);
    if (top == nullptr) {
        return false;
    }
    QWindow* native = top->windowHandle();
    const QPointF local(at.x, at.y);
    qt_handleMouseEvent(native, local, native->mapToGlobal(local), buttons, button, type, modifiers,
                        timestamp);
    QCoreApplication::processEvents();
    return true;
}

bool Press(ExHandle window, ExPoint at, Button button, uint32_t modifiers,
           bool secondOfDoubleClick) {
    if (ShownWindow(window) == nullptr) {
        return false;
    }
    Pointer& pointer = ThePointer();
    const Qt::MouseButton qtButton = QtButton(button);
    pointer.held |= qtButton;
    return SendMouse(window, at, QEvent::MouseButtonPress, qtButton, pointer.held,
                     QtModifiers(modifiers), PressTime(secondOfDoubleClick));
}

// The widget that pointer events at global go to, as QWidgetWindow picks it:
// the grabber of the mouse, else the one under the pointer in an open popup
// or in the window.
QWidget* PointerTarget(QWidget* top, QPoint global) {
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        return grabber;
    }
    QWidget* root = top;
    if (QWidget* popup = QApplication::activePopupWidget()) {
        root = popup;
    }
    QWidget* under = root->childAt(root->mapFromGlobal(global));
    return under != nullptr ? under : root;
}

// One key event as a keyboard gives it, in the order given.
struct KeyStep {
    QEvent::Type type;
    int key;
    Qt::KeyboardModifiers modifiers;
    QString text;
};

bool SendKeys(ExHandle window, const std::vector<KeyStep>& steps) {
    if (ShownWindow(window) == nullptr) {
        return false;
    }
    for (const KeyStep& step : steps) {
        QWidget* top = ShownWindow(window);
        if (top == nullptr) {
            break;  // a key closed the window: the rest reaches nothing
        }
        qt_handleKeyEvent(top->windowHandle(), step.type, step.key, step.modifiers, step.text,
                          false, 1);
        QCoreApplication::processEvents();
    }
    return true;
}

// A key pressed and released with modifiers: their keys go down before it
// and up after it, as on a keyboard.
std::vector<KeyStep> Stroke(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool control = modifiers.testFlag(Qt::ControlModifier);
    std::vector<KeyStep> steps;
    if (shift) {
        steps.push_back({QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier, {}});
    }
    if (control) {
        steps.push_back({QEvent::KeyPress, Qt::Key_Control, modifiers & Qt::ShiftModifier, {}});
    }
    steps.push_back({QEvent::KeyPress, key, modifiers, text});
    steps.push_back({QEvent::KeyRelease, key, modifiers, text});
    if (control) {
        steps.push_back({QEvent::KeyRelease, Qt::Key_Control, modifiers, {}});
    }
    if (shift) {
        steps.push_back({QEvent::KeyRelease, Qt::Key_Shift, modifiers & Qt::ShiftModifier, {}});
    }
    return steps;
}

// What a key types: letters (capitals with Shift), digits and the space bar;
// nothing while Ctrl is held.
QString KeyText(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers.testFlag(Qt::ControlModifier)) {
        return {};
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        const int offset = key - Qt::Key_A;
        return QString(
            QChar(modifiers.testFlag(Qt::ShiftModifier) ? u'A' + offset : u'a' + offset));
    }
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Space) {
        return QString(QChar(key));
    }
    return {};
}

// Where an input method's text goes: the focus of an open popup, else the
// window's focus (the window itself when nothing in it has the focus).
QObject* InputTarget(QWidget* top) {
    if (QWidget* popup = QApplication::activePopupWidget()) {
        return popup->focusWidget() != nullptr ? popup->focusWidget() : popup;
    }
    return top->windowHandle()->focusObject();
}

bool Commit(ExHandle window, const QString& text) {
    QWidget* top = ShownWindow(window);
    if (top == nullptr) {
        return false;
    }
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(InputTarget(top), &commit);
    QCoreApplication::processEvents();
    return true;
}

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::unique_ptr<QMimeData> FilesData(const std::vector<std::u16string>& paths) {
    QList<QUrl> urls;
    for (const std::u16string& path : paths) {
        urls.push_back(QUrl::fromLocalFile(ToQString(path)));
    }
    auto data = std::make_unique<QMimeData>();
    data->setUrls(urls);
    return data;
}

// The widget a drag at `at` is offered to, as Qt finds it: the one under the
// point or its nearest ancestor that takes drops; null when none does.
QWidget* DropTarget(QWidget* top, QPoint at, QPoint* local) {
    QWidget* target = top->childAt(at);
    if (target == nullptr) {
        target = top;
    }
    while (!target->isWindow() && !target->acceptDrops()) {
        target = target->parentWidget();
    }
    if (!target->acceptDrops()) {
        return nullptr;
    }
    *local = target->mapFrom(top, at);
    return target;
}

// The drag enters the target and moves there; true when the target would
// take the drop.
bool DragInto(QWidget* target, QPoint local, const QMimeData& data) {
    QDragEnterEvent enter(local, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDragMoveEvent move(local, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    return move.isAccepted();
}

void DragAway(QWidget* target) {
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(target, &leave);
}

// Qt keeps a tooltip shown for a moment after it is told to go; an old one
// must not pass for the answer to a new question.
void HideTooltips() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->inherits("QTipLabel")) {
            top->hide();
        }
    }
}

}  // namespace

bool MouseMove(ExHandle window, ExPoint at, uint32_t keys) {
    return SendMouse(window, at, QEvent::MouseMove, Qt::NoButton,
                     ThePointer().held | QtButtons(keys), QtModifiers(keys), NextTime());
}

bool MouseDown(ExHandle window, ExPoint at, Button button, uint32_t modifiers) {
    return Press(window, at, button, modifiers, false);
}

bool MouseUp(ExHandle window, ExPoint at, Button button, uint32_t modifiers) {
    Pointer& pointer = ThePointer();
    const Qt::MouseButton qtButton = QtButton(button);
    pointer.held &= ~Qt::MouseButtons(qtButton);  // up, whether the window still is or not
    return SendMouse(window, at, QEvent::MouseButtonRelease, qtButton, pointer.held,
                     QtModifiers(modifiers), NextTime());
}

bool DoubleClickAndHold(ExHandle window, ExPoint at, uint32_t modifiers) {
    return Click(window, at, Button::Left, modifiers) &&
           Press(window, at, Button::Left, modifiers, true);
}

bool Wheel(ExHandle window, ExPoint at, int32_t delta, uint32_t modifiers) {
    QWidget* top = ShownWindow(window);
    if (top == nullptr) {
        return false;
    }
    const QPoint global = top->mapToGlobal(QPoint(at.x, at.y));
    // A widget that leaves the wheel alone passes it on to its parent.
    for (QWidget* target = PointerTarget(top, global); target != nullptr;
         target = target->parentWidget()) {
        QWheelEvent wheel(target->mapFromGlobal(QPointF(global)), QPointF(global), QPoint(),
                          QPoint(0, delta), ThePointer().held, QtModifiers(modifiers),
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(target, &wheel);
        if (wheel.isAccepted() || target->isWindow()) {
            break;
        }
    }
    QCoreApplication::processEvents();
    return true;
}

bool Leave(ExHandle window) {
    QWidget* top = ShownWindow(window);
    if (top == nullptr) {
        return false;
    }
    // What the window system tells a window the pointer left: its widgets
    // hear of it from there.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(top->windowHandle(), &leave);
    QCoreApplication::processEvents();
    return true;
}

bool KeyDown(ExHandle window, int32_t key, uint32_t modifiers) {
    const int qtKey = QtKey(key);
    const Qt::KeyboardModifiers qtModifiers = QtModifiers(modifiers);
    return qtKey != 0 &&
           SendKeys(window, {{QEvent::KeyPress, qtKey, qtModifiers, KeyText(qtKey, qtModifiers)}});
}

bool KeyUp(ExHandle window, int32_t key, uint32_t modifiers) {
    const int qtKey = QtKey(key);
    const Qt::KeyboardModifiers qtModifiers = QtModifiers(modifiers);
    return qtKey != 0 && SendKeys(window, {{QEvent::KeyRelease, qtKey, qtModifiers,
                                            KeyText(qtKey, qtModifiers)}});
}

bool Key(ExHandle window, int32_t key, uint32_t modifiers) {
    const int qtKey = QtKey(key);
    const Qt::KeyboardModifiers qtModifiers = QtModifiers(modifiers);
    return qtKey != 0 && SendKeys(window, Stroke(qtKey, qtModifiers, KeyText(qtKey, qtModifiers)));
}

bool Type(ExHandle window, std::u16string_view text) {
    if (ShownWindow(window) == nullptr) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        bool typed = false;
        if (c >= 0x20 && c < 0x7F) {
            // Qt's key of a printable ASCII character is its code, the
            // capital's for a letter.
            const bool lower = c >= u'a' && c <= u'z';
            const bool upper = c >= u'A' && c <= u'Z';
            typed = SendKeys(window,
                             Stroke(lower ? c - u'a' + Qt::Key_A : c,
                                    upper ? Qt::ShiftModifier : Qt::NoModifier, QString(QChar(c))));
        } else if (c == u'\n' || c == u'\t') {
            typed =
                SendKeys(window, Stroke(c == u'\n' ? Qt::Key_Return : Qt::Key_Tab, Qt::NoModifier,
                                        QString(QChar(c == u'\n' ? u'\r' : c))));
        } else {
            // A character beyond the keyboard: an input method commits it,
            // both halves of a surrogate pair at once.
            const size_t units = QChar::isHighSurrogate(c) && i + 1 < text.size() ? 2 : 1;
            typed = Commit(window, ToQString(text.substr(i, units)));
            i += units - 1;
        }
        if (!typed) {
            return false;
        }
    }
    return true;
}

bool Compose(ExHandle window, std::u16string_view preedit, std::u16string_view commit) {
    QWidget* top = ShownWindow(window);
    if (top == nullptr) {
        return false;
    }
    const QString composing = ToQString(preedit);
    QInputMethodEvent shown(composing, {QInputMethodEvent::Attribute(
                                           QInputMethodEvent::Cursor,
                                           static_cast<int>(composing.size()), 1, QVariant())});
    QCoreApplication::sendEvent(InputTarget(top), &shown);
    QCoreApplication::processEvents();
    return Commit(window, ToQString(commit));
}

ExHandle FocusedObject(ExHandle window) {
    if (WindowWidgetOf(window) == nullptr) {
        return 0;
    }
    const Object* obj = WindowFromAny(window)->FocusedObject();
    return obj != nullptr && !obj->destroyed ? obj->Handle() : 0;
}

bool DragFilesOver(ExHandle window, ExPoint at, const std::vector<std::u16string>& paths) {
    QWidget* top = ShownWindow(window);
    QPoint local;
    QWidget* target = top != nullptr ? DropTarget(top, QPoint(at.x, at.y), &local) : nullptr;
    if (target == nullptr) {
        return false;
    }
    const std::unique_ptr<QMimeData> data = FilesData(paths);
    const bool taken = DragInto(target, local, *data);
    DragAway(target);
    QCoreApplication::processEvents();
    return taken;
}

bool DropFiles(ExHandle window, ExPoint at, const std::vector<std::u16string>& paths) {
    QWidget* top = ShownWindow(window);
    QPoint local;
    QWidget* target = top != nullptr ? DropTarget(top, QPoint(at.x, at.y), &local) : nullptr;
    if (target == nullptr) {
        return false;
    }
    const std::unique_ptr<QMimeData> data = FilesData(paths);
    if (!DragInto(target, local, *data)) {
        DragAway(target);
        return false;
    }
    QDropEvent drop(QPointF(local), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();
    return drop.isAccepted();
}

std::u16string TooltipAt(ExHandle window, ExPoint at) {
    if (!MouseMove(window, at)) {
        return {};
    }
    QWidget* top = ShownWindow(window);
    if (top == nullptr) {
        return {};
    }
    HideTooltips();
    // A view inside the window (a list's scroll area) shows its own, as Qt
    // asks it when the pointer rests there; the window those of its objects.
    const QPoint local(at.x, at.y);
    if (QWidget* view = top->childAt(local)) {
        QHelpEvent rest(QEvent::ToolTip, view->mapFrom(top, local), top->mapToGlobal(local));
        QCoreApplication::sendEvent(view, &rest);
    }
    if (!QToolTip::isVisible()) {
        WindowFromAny(window)->ShowTooltipAt(at);
    }
    if (!QToolTip::isVisible()) {
        return {};
    }
    return QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText().toStdU16String();
}

Snapshot Grab(ExHandle window) {
    QWidget* top = WindowWidgetOf(window);
    if (top == nullptr) {
        return {};
    }
    QImage image = top->grab().toImage();
    if (image.size() != top->size()) {  // a screen of more pixels than points
        image = image.scaled(top->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    Snapshot shot;
    shot.width = image.width();
    shot.height = image.height();
    shot.pixels.resize(static_cast<size_t>(shot.width) * static_cast<size_t>(shot.height));
    for (int32_t y = 0; y < shot.height; ++y) {
        std::memcpy(&shot.pixels[static_cast<size_t>(y) * static_cast<size_t>(shot.width)],
                    image.constScanLine(y), static_cast<size_t>(shot.width) * sizeof(ExArgb));
    }
    return shot;
}

void RunEvents(int32_t ms) {
    QEventLoop loop;
    QTimer::singleShot(std::max(0, ms), &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace exdui::inject
