#include "backend/qt/qt_text_input.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTextBlock>
#include <QTimer>
#include <algorithm>

#include "backend/clipboard.h"
#include "backend/qt/qt_font.h"
#include "backend/qt/qt_keys.h"
#include "backend/qt/qt_native_view.h"

namespace exdui::backend {
namespace qt {
namespace {

constexpr int CaretBlinkMs = 530;

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

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

// What both editors share: the key callback before the editor acts, our
// caret with its blinking, the focus callbacks. Base is QLineEdit or
// QPlainTextEdit; the caret is drawn on the widget the editor paints on.
template <class Base>
class CaretEditor : public Base {
  public:
    CaretEditor(TextInputCallbacks& callbacks, QWidget* parent)
        : Base(parent), m_callbacks(callbacks) {
        m_blink.setInterval(CaretBlinkMs);
        QObject::connect(&m_blink, &QTimer::timeout, this, [this] {
            m_caretOn = !m_caretOn;
            PaintTarget()->update();
        });
        QObject::connect(this, &Base::cursorPositionChanged, this, [this] { RestartBlink(); });
    }

    ExArgb caretColor = 0xFF000000;

  protected:
    TextInputCallbacks& Callbacks() const { return m_callbacks; }
    virtual QWidget* PaintTarget() = 0;
    virtual QRect CaretRect() const = 0;

    void keyPressEvent(QKeyEvent* event) override {
        if (!m_callbacks.KeyDown(VirtualKey(event->key()),
                                 MouseKeys(Qt::NoButton, event->modifiers()))) {
            EditKey(event);
        }
        event->accept();  // never on to the parent: it would see the key twice
    }
    virtual void EditKey(QKeyEvent* event) { Base::keyPressEvent(event); }

    void focusInEvent(QFocusEvent* event) override {
        Base::focusInEvent(event);
        RestartBlink();
        m_callbacks.FocusChanged(true);
    }

    void focusOutEvent(QFocusEvent* event) override {
        Base::focusOutEvent(event);
        m_blink.stop();
        m_callbacks.FocusChanged(false);
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

    TextInputCallbacks& m_callbacks;
    QTimer m_blink;
    bool m_caretOn = true;
};

class EditLine : public CaretEditor<QLineEdit> {
  public:
    EditLine(TextInputCallbacks& callbacks, QWidget* parent) : CaretEditor(callbacks, parent) {
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
        const std::u16string text = ClipboardText();
        if (!Callbacks().Pasting(text)) {
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
    EditBlock(TextInputCallbacks& callbacks, QWidget* parent) : CaretEditor(callbacks, parent) {
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
        if (source != nullptr && source->hasText() &&
            Callbacks().Pasting(source->text().toStdU16String())) {
            return;
        }
        QPlainTextEdit::insertFromMimeData(source);
    }
};

QtTextInput::QtTextInput(QWidget* view, const TextInputOptions& options,
                         TextInputCallbacks& callbacks) {
    const QString text = ToQString(options.text);
    // A bare widget paints nothing: the view shows through where the
    // editor's transparent background does not cover it.
    auto* frame = new QWidget(view);
    m_frame = frame;
    if (options.multiLine) {
        auto* block = new EditBlock(callbacks, frame);
        block->setPlainText(text);
        block->setReadOnly(options.readOnly);
        block->setVerticalScrollBarPolicy(options.verticalScrollBar ? Qt::ScrollBarAlwaysOn
                                                                    : Qt::ScrollBarAsNeeded);
        QObject::connect(block, &QPlainTextEdit::textChanged, block, [&callbacks, block] {
            callbacks.TextChanged(block->toPlainText().toStdU16String());
        });
        m_block = block;
        m_editor = block;
    } else {
        auto* line = new EditLine(callbacks, frame);
        line->setText(text);
        line->setReadOnly(options.readOnly);
        line->setEchoMode(options.password ? QLineEdit::Password : QLineEdit::Normal);
        QObject::connect(line, &QLineEdit::textChanged, line, [&callbacks](const QString& now) {
            callbacks.TextChanged(now.toStdU16String());
        });
        m_line = line;
        m_editor = line;
    }
    frame->setFocusProxy(m_editor);
    m_editor->show();
    frame->show();
}

QtTextInput::~QtTextInput() {
    delete m_frame.data();  // null when its view took it along
}

NativeView* QtTextInput::View() const {
    return ToNativeView(m_frame);
}

// Every call below does nothing once the editor is gone with its view (the
// box's widget is deleted after the box): the object may still be asked.
void QtTextInput::SetGeometry(const ExRect& rect) {
    m_rect = ToQRect(
        {rect.left, rect.top, std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)});
    Place();
}

void QtTextInput::SetVisibleRect(const ExRect& visible) {
    m_visible = ToQRect(visible);
    m_limited = true;
    Place();
}

void QtTextInput::Place() {
    QWidget* frame = m_frame.data();
    QWidget* editor = m_editor.data();
    if (frame == nullptr || editor == nullptr) {
        return;
    }
    QRect shown = m_limited ? m_rect.intersected(m_visible) : m_rect;
    if (shown.isEmpty()) {
        // Not hidden: a hidden editor would give the focus away.
        shown = QRect(m_rect.topLeft(), QSize(0, 0));
    }
    if (frame->geometry() != shown) {
        frame->setGeometry(shown);
    }
    const QRect inside(m_rect.topLeft() - shown.topLeft(), m_rect.size());
    if (editor->geometry() != inside) {
        editor->setGeometry(inside);
    }
}

void QtTextInput::SetVisible(bool visible) {
    if (QWidget* frame = m_frame.data()) {
        frame->setVisible(visible);
    }
}

void QtTextInput::SetEnabled(bool enabled) {
    QWidget* editor = m_editor.data();
    if (editor != nullptr && editor->isEnabled() != enabled) {
        editor->setEnabled(enabled);
    }
}

void QtTextInput::SetFont(const Font& font) {
    if (QWidget* editor = m_editor.data()) {
        editor->setFont(QFontOf(font));
    }
}

void QtTextInput::SetColors(ExArgb text, ExArgb caret) {
    QWidget* editor = m_editor.data();
    if (editor == nullptr) {
        return;
    }
    QPalette pal = editor->palette();
    pal.setColor(QPalette::Text, QColor::fromRgba(text));
    editor->setPalette(pal);
    if (EditLine* line = m_line.data()) {
        line->caretColor = caret;
    } else if (EditBlock* block = m_block.data()) {
        block->caretColor = caret;
        block->viewport()->update();
    }
    editor->update();
}

std::u16string QtTextInput::Text() const {
    if (const EditLine* line = m_line.data()) {
        return line->text().toStdU16String();
    }
    if (const EditBlock* block = m_block.data()) {
        return block->toPlainText().toStdU16String();
    }
    return {};
}

void QtTextInput::SetText(std::u16string_view text) {
    if (EditLine* line = m_line.data()) {
        line->setText(ToQString(text));
    } else if (EditBlock* block = m_block.data()) {
        block->setPlainText(ToQString(text));
    }
}

TextRange QtTextInput::Selection() const {
    if (const EditLine* line = m_line.data()) {
        const bool any = line->hasSelectedText();
        const int start = any ? line->selectionStart() : line->cursorPosition();
        return {start, any ? line->selectionEnd() : start};
    }
    if (const EditBlock* block = m_block.data()) {
        const QTextCursor cursor = block->textCursor();
        return {cursor.selectionStart(), cursor.selectionEnd()};
    }
    return {};
}

void QtTextInput::Select(TextRange range) {
    if (EditLine* line = m_line.data()) {
        line->setSelection(range.start, range.end - range.start);
    } else if (EditBlock* block = m_block.data()) {
        QTextCursor cursor = block->textCursor();
        cursor.setPosition(range.start);
        cursor.setPosition(range.end, QTextCursor::KeepAnchor);
        block->setTextCursor(cursor);
    }
}

void QtTextInput::Deselect() {
    if (EditLine* line = m_line.data()) {
        line->deselect();
    } else if (EditBlock* block = m_block.data()) {
        QTextCursor cursor = block->textCursor();
        cursor.clearSelection();
        block->setTextCursor(cursor);
    }
}

void QtTextInput::ReplaceSelection(std::u16string_view text) {
    if (EditLine* line = m_line.data()) {
        line->insert(ToQString(text));
    } else if (EditBlock* block = m_block.data()) {
        block->insertPlainText(ToQString(text));
    }
}

void QtTextInput::Focus() {
    if (QWidget* editor = m_editor.data()) {
        editor->setFocus(Qt::OtherFocusReason);
    }
}

bool QtTextInput::HasFocus() const {
    const QWidget* editor = m_editor.data();
    return editor != nullptr && editor->hasFocus();
}

}  // namespace qt

std::unique_ptr<TextInput> MakeTextInput(NativeView* view, const TextInputOptions& options,
                                         TextInputCallbacks& callbacks) {
    return std::make_unique<qt::QtTextInput>(qt::ToWidget(view), options, callbacks);
}

}  // namespace exdui::backend
