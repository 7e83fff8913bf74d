// The top-level QWidget of a window, and the buttons drawn on its frame.
#pragma once

#include <QWidget>

namespace exdui {

class Window;

class WindowWidget : public QWidget {
  public:
    WindowWidget();
    ~WindowWidget() override;
    Window* GetWindow() const { return m_window; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    Window* m_window;
};

// Minimise, maximise and close, drawn by the library at the top right.
class FrameButton : public QWidget {
  public:
    enum Kind { Minimize, Maximize, Close };
    FrameButton(Kind kind, WindowWidget* parent);
    Kind ButtonKind() const { return m_kind; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    Kind m_kind;
    bool m_hover = false;
    bool m_down = false;
};

constexpr int FrameButtonWidth = 32;
constexpr int FrameButtonHeight = 26;
constexpr int TitleBarHeight = 30;

// Starts a manual move of the window (its background was pressed).
void BeginWindowMove(WindowWidget* widget, QPointF globalPos);

}  // namespace exdui
