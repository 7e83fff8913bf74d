// The Qt back end's top-level window: a frameless QWidget (a Qt::Popup for a
// popup). Until the library draws its objects itself, their widgets are
// children of it, and the frame area (the frame buttons) is a transparent
// child kept above them.
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
    void Destroy() override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // Closes the popups this window owns that are shown.
    void DismissPopups();

    NativeWindowEvents& m_events;
    FrameArea* m_frame;  // a child widget
    bool m_popup;
};

// The widget of a native window the Qt back end made (the objects' widgets
// are made inside it).
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
