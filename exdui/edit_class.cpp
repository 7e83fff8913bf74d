// "Edit": a text box. The object paints its background (slot 0, with its
// radii) and a transparent Qt editor does the editing inside the text
// rectangle of the class record (EX_OL_CLASSDATA), which the program may
// narrow: a QLineEdit, or a QPlainTextEdit with the multi-line style. The
// caret is drawn by us in slot 30's colour: Qt's own caret always takes the
// text colour. Every key pressed in it reaches the object as EX_WM_KEYDOWN
// (and so raises -15) before the editor acts on it, and a handler that
// returns nonzero keeps the key from the editor. Text about to be pasted
// reaches the object as EX_WM_PASTE first, so that the program can take a
// pasted list somewhere else.
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTextBlock>
#include <QTimer>

#include "backend/clipboard.h"
#include "backend/qt/qt_font.h"
#include "canvas.h"
#include "class_registry.h"
#include "object_access.h"
#include "object_widget.h"
#include "qt_text.h"

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
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
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

// Offers text about to be pasted to the object; true when its procedure took
// it (the editor then pastes nothing).
bool PasteTaken(ExHandle owner, const QString& text) {
    Object* obj = ObjectFromHandle(owner);
    if (obj == nullptr) {
        return true;  // the box is gone: nothing to paste into
    }
    const std::u16string wide = text.toStdU16String();
    return obj->Send(EX_WM_PASTE, 0, reinterpret_cast<intptr_t>(wide.c_str())) != 0;
}

// What both editors share: the key-down message before the editor acts, our
// caret with its blinking, the focus messages. Base is QLineEdit or
// QPlainTextEdit; the caret is drawn on the widget the editor paints on.
template <class Base>
class CaretEditor : public Base {
  public:
    CaretEditor(ExHandle owner, QWidget* parent) : Base(parent), m_owner(owner) {
        m_blink.setInterval(CaretBlinkMs);
        QObject::connect(&m_blink, &QTimer::timeout, this, [this] {
            m_caretOn = !m_caretOn;
            PaintTarget()->update();
        });
        QObject::connect(this, &Base::cursorPositionChanged, this, [this] { RestartBlink(); });
    }

    ExArgb caretColor = 0xFF000000;

  protected:
    ExHandle Owner() const { return m_owner; }
    virtual QWidget* PaintTarget() = 0;
    virtual QRect CaretRect() const = 0;

    void keyPressEvent(QKeyEvent* event) override {
        intptr_t handled = 0;
        if (Object* obj = ObjectFromHandle(m_owner)) {
            handled = obj->Send(EX_WM_KEYDOWN, VirtualKey(event->key()),
                                MouseKeys(Qt::NoButton, event->modifiers()));
        }
        if (ObjectFromHandle(m_owner) == nullptr) {
            return;  // a handler destroyed the box
        }
        if (handled == 0) {
            EditKey(event);
        }
        event->accept();  // never on to the parent: it would see the key twice
    }
    virtual void EditKey(QKeyEvent* event) { Base::keyPressEvent(event); }

    void focusInEvent(QFocusEvent* event) override {
        Base::focusInEvent(event);
        RestartBlink();
        if (Object* obj = ObjectFromHandle(m_owner)) {
            obj->Send(EX_WM_SETFOCUS, 0, 0);
        }
    }

    void focusOutEvent(QFocusEvent* event) override {
        Base::focusOutEvent(event);
        m_blink.stop();
        if (Object* obj = ObjectFromHandle(m_owner)) {
            obj->Send(EX_WM_KILLFOCUS, 0, 0);
        }
    }

    void paintEvent(QPaintEvent* event) override {
        Base::paintEvent(event);
        if (this->hasFocus() && m_caretOn && !this->isReadOnly()) {
            QPainter p(PaintTarget());
            QRect r = CaretRect();
            p.fillRect(QRect(r.center().x(), r.top(), 1, r.height()), QColor::fromRgba(caretColor));
        }
    }

  private:
    void RestartBlink() {
        m_caretOn = true;
        if (this->hasFocus()) {
            m_blink.start();
        }
        PaintTarget()->update();
    }

    ExHandle m_owner;
    QTimer m_blink;
    bool m_caretOn = true;
};

class EditLine : public CaretEditor<QLineEdit> {
  public:
    EditLine(ExHandle owner, QWidget* parent) : CaretEditor(owner, parent) {
        setStyle(SharedCaretlessStyle());
        setFrame(false);
        setAttribute(Qt::WA_TranslucentBackground);
        QPalette pal = palette();
        pal.setColor(QPalette::Base, Qt::transparent);
        setPalette(pal);
    }

    // QLineEdit's paste is not virtual: the paste keys and the context
    // menu's item come here instead.
    void Paste() {
        if (isReadOnly()) {
            return;
        }
        const QString text = QString::fromStdU16String(backend::ClipboardText());
        if (!PasteTaken(Owner(), text) && ObjectFromHandle(Owner()) != nullptr) {
            paste();
        }
    }

  protected:
    QWidget* PaintTarget() override { return this; }
    QRect CaretRect() const override { return cursorRect(); }

    void EditKey(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Paste)) {
            Paste();
            return;
        }
        // The line edit's own handling: CaretEditor's would come back here.
        QLineEdit::keyPressEvent(event);  // NOLINT(bugprone-parent-virtual-call)
    }

    void contextMenuEvent(QContextMenuEvent* event) override {
        QMenu* menu = createStandardContextMenu();
        for (QAction* action : menu->actions()) {
            if (action->objectName() == QStringLiteral("edit-paste")) {
                QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
                QObject::connect(action, &QAction::triggered, this, [this] { Paste(); });
            }
        }
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(event->globalPos());
    }
};

class EditBlock : public CaretEditor<QPlainTextEdit> {
  public:
    EditBlock(ExHandle owner, QWidget* parent) : CaretEditor(owner, parent) {
        viewport()->setStyle(SharedCaretlessStyle());
        setCursorWidth(0);
        setFrameShape(QFrame::NoFrame);
        setAttribute(Qt::WA_TranslucentBackground);
        viewport()->setAttribute(Qt::WA_TranslucentBackground);
        viewport()->setAutoFillBackground(false);
        QPalette pal = palette();
        pal.setColor(QPalette::Base, Qt::transparent);
        setPalette(pal);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setLineWrapMode(QPlainTextEdit::NoWrap);
    }

  protected:
    QWidget* PaintTarget() override { return viewport(); }
    QRect CaretRect() const override { return cursorRect(); }

    // Pastes and text drops both arrive here.
    void insertFromMimeData(const QMimeData* source) override {
        if (source != nullptr && source->hasText() && PasteTaken(Owner(), source->text())) {
            return;
        }
        if (ObjectFromHandle(Owner()) != nullptr) {
            QPlainTextEdit::insertFromMimeData(source);
        }
    }
};

struct EditState : ClassState {
    ExEditRecord record{};
    ExRect lastDefault{};
    // One of the two, a child of the object's widget.
    EditLine* line = nullptr;
    EditBlock* block = nullptr;
    bool applyPending = false;

    QWidget* Editor() const { return line != nullptr ? static_cast<QWidget*>(line) : block; }
    QString Text() const { return line != nullptr ? line->text() : block->toPlainText(); }
    void SetText(const QString& text) const {
        if (line != nullptr) {
            line->setText(text);
        } else {
            block->setPlainText(text);
        }
    }
};

bool SameRect(const ExRect& a, const ExRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

ExRect DefaultRect(const Object& obj) {
    return ExRect{DefaultInset, 0, obj.Widget()->width() - DefaultInset, obj.Widget()->height()};
}

// The editor follows the record's rectangle, which the program may have
// written directly.
void ApplyRecord(Object& obj) {
    auto* st = obj.StateAs<EditState>();
    if (st == nullptr || st->Editor() == nullptr) {
        return;
    }
    const ExRect& r = st->record.textRect;
    QRect target(r.left, r.top, std::max(0, r.right - r.left), std::max(0, r.bottom - r.top));
    if (st->Editor()->geometry() != target) {
        st->Editor()->setGeometry(target);
    }
}

void ApplyColors(Object& obj) {
    auto* st = obj.StateAs<EditState>();
    if (st == nullptr || st->Editor() == nullptr) {
        return;
    }
    QWidget* editor = st->Editor();
    QPalette pal = editor->palette();
    pal.setColor(QPalette::Text, QColor::fromRgba(obj.Color(EX_COLOR_TEXT)));
    editor->setPalette(pal);
    if (st->line != nullptr) {
        st->line->caretColor = obj.Color(EX_COLOR_CARET);
    } else {
        st->block->caretColor = obj.Color(EX_COLOR_CARET);
        st->block->viewport()->update();
    }
    editor->update();
}

// Selects from start to end (UTF-16 units, clamped to the text; end < 0 is
// the end of the text), or removes the selection when start < 0.
void SetSelection(EditState& st, intptr_t start, intptr_t end) {
    const auto length = static_cast<intptr_t>(st.Text().size());
    if (st.line != nullptr) {
        if (start < 0) {
            st.line->deselect();
            return;
        }
        start = std::min(start, length);
        end = end < 0 ? length : std::max(start, std::min(end, length));
        st.line->setSelection(static_cast<int>(start), static_cast<int>(end - start));
        return;
    }
    QTextCursor cursor = st.block->textCursor();
    if (start < 0) {
        cursor.clearSelection();
    } else {
        start = std::min(start, length);
        end = end < 0 ? length : std::max(start, std::min(end, length));
        cursor.setPosition(static_cast<int>(start));
        cursor.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
    }
    st.block->setTextCursor(cursor);
}

intptr_t Selection(const EditState& st) {
    int start = 0;
    int end = 0;
    if (st.line != nullptr) {
        start = st.line->hasSelectedText() ? st.line->selectionStart() : st.line->cursorPosition();
        end = st.line->hasSelectedText() ? st.line->selectionEnd() : start;
    } else {
        const QTextCursor cursor = st.block->textCursor();
        start = cursor.selectionStart();
        end = cursor.selectionEnd();
    }
    return static_cast<intptr_t>(static_cast<uint32_t>(start) | (static_cast<uint32_t>(end) << 16));
}

intptr_t EditProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                  intptr_t lParam) {
    Object* obj = ObjectFromHandle(object);
    auto* st = obj != nullptr ? obj->StateAs<EditState>() : nullptr;
    if (st == nullptr || st->Editor() == nullptr) {
        return Ex_ObjDefProc(window, object, message, wParam, lParam);
    }
    switch (message) {
        case EX_WM_SETTEXT: {
            intptr_t r = Ex_ObjDefProc(window, object, message, wParam, lParam);
            const QString text = QString::fromStdU16String(obj->Text());
            if (st->Text() != text) {
                st->SetText(text);
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
        case EX_EM_SETSEL:
            SetSelection(*st, wParam, lParam);
            return 1;
        case EX_EM_GETSEL:
            return Selection(*st);
        case EX_EM_REPLACESEL: {
            const QString text = FromUtf16(reinterpret_cast<const char16_t*>(lParam));
            if (st->line != nullptr) {
                st->line->insert(text);
            } else {
                st->block->insertPlainText(text);
            }
            return 1;
        }
        case MsgColorChanged:
            ApplyColors(*obj);
            return 0;
        case EX_WM_ENABLE:
            st->Editor()->setEnabled(wParam != 0);
            return 0;
        default:
            return Ex_ObjDefProc(window, object, message, wParam, lParam);
    }
}

// Every change of the editor's text becomes the object's text.
void StoreTextChanges(ExHandle handle, const QString& text) {
    Object* o = ObjectFromHandle(handle);
    if (o == nullptr) {
        return;
    }
    o->StoreText(text.toStdU16String());
    o->Invalidate();  // painters that show a placeholder look at the text
    if (o->Parent() != nullptr) {
        o->Parent()->Send(MsgChildTextChanged, handle, 0);
    }
}

void InitEdit(Object& obj) {
    auto st = std::make_unique<EditState>();
    ExHandle handle = obj.Handle();
    const bool readOnly = (obj.Style() & StyleReadOnly) != 0;
    if ((obj.Style() & EX_EDIT_MULTILINE) != 0) {
        auto* block = new EditBlock(handle, obj.Widget());
        block->setFont(backend::qt::QFontOf(obj.Font()));
        block->setPlainText(QString::fromStdU16String(obj.Text()));
        block->setReadOnly(readOnly);
        block->setVerticalScrollBarPolicy(
            (obj.Style() & EX_OS_VSCROLL) != 0 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
        QObject::connect(block, &QPlainTextEdit::textChanged, block,
                         [handle, block] { StoreTextChanges(handle, block->toPlainText()); });
        st->block = block;
    } else {
        auto* line = new EditLine(handle, obj.Widget());
        line->setFont(backend::qt::QFontOf(obj.Font()));
        line->setText(QString::fromStdU16String(obj.Text()));
        line->setReadOnly(readOnly);
        line->setEchoMode((obj.Style() & StylePassword) != 0 ? QLineEdit::Password
                                                             : QLineEdit::Normal);
        QObject::connect(line, &QLineEdit::textChanged, line,
                         [handle](const QString& text) { StoreTextChanges(handle, text); });
        st->line = line;
    }
    QWidget* editor = st->Editor();
    st->record.textRect = DefaultRect(obj);
    st->lastDefault = st->record.textRect;
    obj.SetClassData(&st->record);
    obj.SetFocusProxy(editor);
    obj.SetClassState(std::move(st));
    ApplyRecord(obj);
    ApplyColors(obj);
    editor->show();
}

}  // namespace

void RegisterEditClass() {
    RegisterBuiltinClass(BuiltinClass{u"Edit",
                                      EX_OS_VISIBLE,
                                      0,
                                      EX_DT_VCENTER | EX_DT_SINGLELINE,
                                      &EditProc,
                                      &InitEdit,
                                      TraitFocusable,
                                      {{EX_COLOR_BACKGROUND, 0xFFFFFFFF},
                                       {EX_COLOR_TEXT, 0xFF000000},
                                       {EX_COLOR_CARET, 0xFF000000}}});
}

}  // namespace exdui
