// The Qt back end's top-level window: a frameless QWidget (a Qt::Popup for a
// popup), in which the library draws its objects and to which it gives their
// input. The views made inside it (editors) are its children, and the frame
// area (the frame buttons) a transparent child kept above them.
#pragma once

#include <QPointF>
#include <QWidget>

#include "backend/native_window.h"

namespace exdui::backend::qt {

class FrameArea;

class QtNativeWindow : public QWidget, public NativeWindow {
  public:
    QtNativeWindow(const NativeWindowOptions& options, NativeWindowEvents& events);
    ~QtNativeWindow() override;

    NativeWindowEvents& Events() const { return m_events; }

    ExRect Rect() const override;
    ExRect OuterRect() const override;
    void SetRect(const ExRect& rect) override;
    void Show(int32_t command) override;
    WindowState State() const override;
    bool IsVisible() const override;
    void Enable(bool enable) override;
    void SetTopmost(bool topmost) override;
    void SetMinSize(int32_t width, int32_t height) override;
    void Invalidate(const ExRect* area) override;
    void SetFrameArea(const ExRect& area) override;
    NativeView* View() override;
    void TakeFocus() override;
    bool HasFocus() const override;
    void Destroy() override;

    // The pointer went onto child, a widget inside this window, at local (in
    // child's coordinates).
    void PointerOnChild(QWidget* child, QPointF local);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void childEvent(QChildEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // A press or double click: the library's hit test, then its objects,
    // then the caption's drag when the press reached none that keeps it.
    void Press(QMouseEvent* event, bool doubleClick);
    // The view (a direct child) that widget lies in, or null.
    QWidget* ChildViewOf(QWidget* widget) const;
    void FocusMoved(QWidget* old, QWidget* now);
    // Closes the popups this window owns that are shown.
    void DismissPopups();

    NativeWindowEvents& m_events;
    FrameArea* m_frame = nullptr;  // a child widget
    QMetaObject::Connection m_focusWatch;
    bool m_popup;
};

// The widget of a native window the Qt back end made (the views inside it
// are its children).
inline QWidget* WidgetOf(NativeWindow& window) {
    return static_cast<QtNativeWindow*>(&window);
}

// The window a widget lies in, when it is one of the back end's.
QtNativeWindow* NativeWindowOf(QObject* object);

// Moving and resizing by the pointer and the keys the library takes first
// (qt_window_frame.cpp): installed on the application by the first window.
void InstallWindowFrames();
// Starts moving frame with the pointer, pressed at global on its caption.
void BeginWindowMove(QtNativeWindow* frame, QPointF global);

}  // namespace exdui::backend::qt
