// The QWidget behind every object: turns Qt's events into the object's
// messages (paint, size, mouse, keys, focus, drops). It owns its Object.
#pragma once

#include <QPointer>
#include <QWidget>

#include "backend/qt/qt_keys.h"

class QMimeData;

namespace exdui {

class Object;

class ObjectWidget : public QWidget {
  public:
    explicit ObjectWidget(QWidget* parent);
    ~ObjectWidget() override;

    void SetObject(Object* obj) { m_obj = obj; }  // takes ownership
    Object* GetObject() const { return m_obj; }
    // Cut off from its object once the object is destroyed.
    void Detach() { m_detached = true; }

    // The child that takes the keyboard focus and the object's font (an
    // editor, a list), if it has one; this widget otherwise.
    void SetFocusInput(QWidget* input) { m_focusInput = input; }
    QWidget* FocusTarget() { return m_focusInput ? m_focusInput.data() : this; }
    void SetInputFont(const QFont& font) {
        if (m_focusInput) {
            m_focusInput->setFont(font);
        }
    }

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    Object* Live() const;
    bool Mouse(QMouseEvent* event, int32_t message);

    Object* m_obj = nullptr;
    bool m_detached = false;
    QPointer<QWidget> m_focusInput;
};

// Delivers EX_WM_DROPFILES with the local files of a drop; true when any.
bool DeliverDrop(Object& obj, const QMimeData* mime);

}  // namespace exdui
