// The Qt back end's text input: a transparent QLineEdit, or a QPlainTextEdit
// for many lines, as a child of the view. Qt's own caret always takes the
// text colour, so the editors hide it and draw one of ours in the caret
// colour.
#pragma once

#include <QPointer>
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
    // One of the two, a child of the view.
    QPointer<EditLine> m_line;
    QPointer<EditBlock> m_block;
    QPointer<QWidget> m_editor;  // whichever of them it is
};

}  // namespace exdui::backend::qt
