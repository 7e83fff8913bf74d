// The Qt back end's text input: a transparent QLineEdit, or a QPlainTextEdit
// for many lines, inside a bare frame widget that is a child of the view.
// The frame covers the part of the editor's rectangle that may show, and the
// editor lies inside it at its whole size, so Qt cuts what falls outside the
// frame. Qt's own caret always takes the text colour, so the editors hide it
// and draw one of ours in the caret colour.
#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

#include "backend/text_input.h"

namespace exdui::backend::qt {

class EditLine;
class EditBlock;

class QtTextInput final : public TextInput {
  public:
    QtTextInput(QWidget* view, const TextInputOptions& options, TextInputCallbacks& callbacks);
    ~QtTextInput() override;
    QtTextInput(const QtTextInput&) = delete;
    QtTextInput& operator=(const QtTextInput&) = delete;

    NativeView* View() const override;
    void SetGeometry(const ExRect& rect) override;
    void SetVisibleRect(const ExRect& visible) override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void SetFont(const Font& font) override;
    void SetColors(ExArgb text, ExArgb caret) override;
    std::u16string Text() const override;
    void SetText(std::u16string_view text) override;
    TextRange Selection() const override;
    void Select(TextRange range) override;
    void Deselect() override;
    void ReplaceSelection(std::u16string_view text) override;
    void Focus() override;
    bool HasFocus() const override;

  private:
    // The frame and the editor at the rectangles last given.
    void Place();

    QPointer<QWidget> m_frame;  // the child of the view, the editor's parent
    // One of the two, in the frame.
    QPointer<EditLine> m_line;
    QPointer<EditBlock> m_block;
    QPointer<QWidget> m_editor;  // whichever of them it is
    QRect m_rect;                // the editor's, in the view
    QRect m_visible;             // where it may show, in the view
    bool m_limited = false;      // m_visible was given
};

}  // namespace exdui::backend::qt
