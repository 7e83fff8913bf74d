// "Edit": a single-line text box. The object paints its background (slot 0,
// with its radii) and a transparent QLineEdit does the editing inside the
// text rectangle of the class record (EX_OL_CLASSDATA), which the program may
// narrow. The caret is drawn by us in slot 30's colour: Qt's own caret always
// takes the text colour. Every key pressed in it reaches the object as
// EX_WM_KEYDOWN (and so raises -15) before the line edit acts on it.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTimer>

#include "canvas.h"
#include "class_registry.h"
#include "object_access.h"
#include "object_widget.h"

namespace exdui {
namespace {

constexpr int DefaultInset = 4;
constexpr int CaretBlinkMs = 530;
constexpr int32_t StyleReadOnly = 0x2;
constexpr int32_t StylePassword = 0x20;

// Hides Qt's caret so that ours, in the caret colour, is the only one.
class CaretlessStyle : public QProxyStyle {
public:
    CaretlessStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_TextCursorWidth) {
            return 0;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QStyle* SharedCaretlessStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new CaretlessStyle;
        style->setParent(qApp);  // goes with the application
    }
    return style;
}

class EditLine : public QLineEdit {
public:
    EditLine(ExHandle owner, QWidget* parent) : QLineEdit(parent), m_owner(owner) {
        setStyle(SharedCaretlessStyle());
        setFrame(false);
        setAttribute(Qt::WA_TranslucentBackground);
        QPalette pal = palette();
        pal.setColor(QPalette::Base, Qt::transparent);
        setPalette(pal);
        m_blink.setInterval(CaretBlinkMs);
        connect(&m_blink, &QTimer::timeout, this, [this] {
            m_caretOn = !m_caretOn;
            update();
        });
        connect(this, &QLineEdit::cursorPositionChanged, this, [this] { RestartBlink(); });
    }

    ExArgb caretColor = 0xFF000000;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (Object* obj = ObjectFromHandle(m_owner)) {
            obj->Send(EX_WM_KEYDOWN, VirtualKey(event->key()),
                      MouseKeys(Qt::NoButton, event->modifiers()));
        }
        if (ObjectFromHandle(m_owner) == nullptr) {
            return;  // a handler destroyed the box
        }
        QLineEdit::keyPressEvent(event);
        event->accept();  // never on to the parent: it would see the key twice
    }

    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        RestartBlink();
        if (Object* obj = ObjectFromHandle(m_owner)) {
            obj->Send(EX_WM_SETFOCUS, 0, 0);
        }
    }

    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        m_blink.stop();
        if (Object* obj = ObjectFromHandle(m_owner)) {
            obj->Send(EX_WM_KILLFOCUS, 0, 0);
        }
    }

    void paintEvent(QPaintEvent* event) override {
        QLineEdit::paintEvent(event);
        if (hasFocus() && m_caretOn && !isReadOnly()) {
            QPainter p(this);
            QRect r = cursorRect();
            p.fillRect(QRect(r.center().x(), r.top(), 1, r.height()), ToColor(caretColor));
        }
    }

private:
    void RestartBlink() {
        m_caretOn = true;
        if (hasFocus()) {
            m_blink.start();
        }
        update();
    }

    ExHandle m_owner;
    QTimer m_blink;
    bool m_caretOn = true;
};

struct EditState : ClassState {
    ExEditRecord record{};
    ExRect lastDefault{};
    EditLine* line = nullptr;  // a child of the object's widget
    bool applyPending = false;
};

bool SameRect(const ExRect& a, const ExRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

ExRect DefaultRect(const Object& obj) {
    return ExRect{DefaultInset, 0, obj.Widget()->width() - DefaultInset, obj.Widget()->height()};
}

// The line edit follows the record's rectangle, which the program may have
// written directly.
void ApplyRecord(Object& obj) {
    auto* st = obj.StateAs<EditState>();
    if (st == nullptr || st->line == nullptr) {
        return;
    }
    const ExRect& r = st->record.textRect;
    QRect target(r.left, r.top, std::max(0, r.right - r.left), std::max(0, r.bottom - r.top));
    if (st->line->geometry() != target) {
        st->line->setGeometry(target);
    }
}

void ApplyColors(Object& obj) {
    auto* st = obj.StateAs<EditState>();
    if (st == nullptr || st->line == nullptr) {
        return;
    }
    QPalette pal = st->line->palette();
    pal.setColor(QPalette::Text, ToColor(obj.Color(EX_COLOR_TEXT)));
    st->line->setPalette(pal);
    st->line->caretColor = obj.Color(EX_COLOR_CARET);
    st->line->update();
}

intptr_t EditProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam, intptr_t lParam) {
    Object* obj = ObjectFromHandle(object);
    auto* st = obj != nullptr ? obj->StateAs<EditState>() : nullptr;
    if (st == nullptr || st->line == nullptr) {
        return Ex_ObjDefProc(window, object, message, wParam, lParam);
    }
    EditLine* line = st->line;
    switch (message) {
        case EX_WM_SETTEXT: {
            intptr_t r = Ex_ObjDefProc(window, object, message, wParam, lParam);
            if (line->text() != obj->Text()) {
                line->setText(obj->Text());
            }
            return r;
        }
        case EX_WM_SIZE:
            if (SameRect(st->record.textRect, st->lastDefault)) {
                st->record.textRect = DefaultRect(*obj);
            }
            st->lastDefault = DefaultRect(*obj);
            ApplyRecord(*obj);
            return 0;
        case EX_WM_PAINT:
            if (!st->applyPending) {
                st->applyPending = true;
                QTimer::singleShot(0, obj->Widget(), [object] {
                    Object* o = ObjectFromHandle(object);
                    if (auto* s = o != nullptr ? o->StateAs<EditState>() : nullptr) {
                        s->applyPending = false;
                        ApplyRecord(*o);
                    }
                });
            }
            return 0;
        case EX_EM_SETSEL: {
            auto length = static_cast<intptr_t>(line->text().size());
            if (wParam < 0) {
                line->deselect();
                return 1;
            }
            intptr_t start = std::min(wParam, length);
            intptr_t end = lParam < 0 ? length : std::min(lParam, length);
            line->setSelection(static_cast<int>(start), static_cast<int>(end - start));
            return 1;
        }
        case EX_EM_GETSEL: {
            int start = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
            int end = line->hasSelectedText() ? line->selectionEnd() : start;
            return static_cast<intptr_t>(static_cast<uint32_t>(start) | (static_cast<uint32_t>(end) << 16));
        }
        case EX_EM_REPLACESEL:
            line->insert(FromUtf16(reinterpret_cast<const char16_t*>(lParam)));
            return 1;
        case MsgColorChanged: ApplyColors(*obj); return 0;
        case EX_WM_ENABLE: line->setEnabled(wParam != 0); return 0;
        default: return Ex_ObjDefProc(window, object, message, wParam, lParam);
    }
}

void InitEdit(Object& obj) {
    auto st = std::make_unique<EditState>();
    ExHandle handle = obj.Handle();
    auto* line = new EditLine(handle, obj.Widget());
    line->setFont(obj.Font());
    line->setText(obj.Text());
    line->setReadOnly((obj.Style() & StyleReadOnly) != 0);
    line->setEchoMode((obj.Style() & StylePassword) != 0 ? QLineEdit::Password : QLineEdit::Normal);
    QObject::connect(line, &QLineEdit::textChanged, line, [handle](const QString& text) {
        Object* o = ObjectFromHandle(handle);
        if (o == nullptr) {
            return;
        }
        o->StoreText(text);
        o->Invalidate();  // painters that show a placeholder look at the text
        if (o->Parent() != nullptr) {
            o->Parent()->Send(MsgChildTextChanged, handle, 0);
        }
    });
    st->line = line;
    st->record.textRect = DefaultRect(obj);
    st->lastDefault = st->record.textRect;
    obj.SetClassData(&st->record);
    obj.SetFocusProxy(line);
    obj.SetClassState(std::move(st));
    ApplyRecord(obj);
    ApplyColors(obj);
    line->show();
}

}  // namespace

void RegisterEditClass() {
    RegisterBuiltinClass(BuiltinClass{u"Edit", EX_OS_VISIBLE, 0, EX_DT_VCENTER | EX_DT_SINGLELINE,
                                      &EditProc, &InitEdit, TraitFocusable,
                                      {{EX_COLOR_BACKGROUND, 0xFFFFFFFF},
                                       {EX_COLOR_TEXT, 0xFF000000},
                                       {EX_COLOR_CARET, 0xFF000000}}});
}

}  // namespace exdui
