// The Qt widgets the library still keeps over some of its objects: the list
// classes' scroll areas and the combo box's drop-down are made inside a plain
// widget that lies at the object's place in the window (Object::Widget), and
// ExQtWidget hands the window's widget to code that embeds the library.
#include <QPointer>
#include <QWidget>

#include "backend/qt/qt_native_view.h"
#include "backend/qt/qt_native_window.h"
#include "exdui_qt.h"
#include "marshal.h"
#include "object.h"
#include "window.h"

namespace exdui {
namespace {

class HostWidget final : public PlacedView {
  public:
    explicit HostWidget(QWidget* window) : m_widget(new QWidget(window)) { m_widget->hide(); }
    ~HostWidget() override { delete m_widget.data(); }
    HostWidget(const HostWidget&) = delete;
    HostWidget& operator=(const HostWidget&) = delete;

    void Place(const ExRect& rect, bool shown) override {
        if (m_widget) {
            m_widget->setGeometry(backend::qt::ToQRect(rect));
            m_widget->setVisible(shown);
        }
    }
    backend::NativeView* View() const override { return backend::qt::ToNativeView(m_widget); }
    QWidget* Widget() const { return m_widget; }

  private:
    QPointer<QWidget> m_widget;  // a child of the window's widget, which may delete it first
};

}  // namespace

QWidget* Object::Widget() {
    if (auto* host = dynamic_cast<HostWidget*>(m_placed.get())) {
        return host->Widget();
    }
    auto host = std::make_unique<HostWidget>(backend::qt::WidgetOf(*m_window.Native()));
    QWidget* widget = host->Widget();
    SetPlacedView(std::move(host));
    return widget;
}

void Object::SetFocusProxy(QWidget* input) {
    m_focusView = backend::qt::ToNativeView(input);
}

}  // namespace exdui

using namespace exdui;

EXDUI_API QWidget* ExQtWidget(ExHandle handle) {
    if (!marshal::IsUiThread()) {
        return nullptr;
    }
    Window* w = WindowFromHandle(handle);
    if (w == nullptr) {
        w = WindowFromSurface(handle);
    }
    return w != nullptr && w->Native() != nullptr ? backend::qt::WidgetOf(*w->Native()) : nullptr;
}
