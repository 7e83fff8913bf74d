#include "exdui_env.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdlib>
#include <string>
#include <vector>

namespace exdui::test {
namespace {

class ExduiEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        // The tests drive real windows without a display.
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::string runtime = "/tmp/exdui-test-runtime-" + std::to_string(getuid());
        mkdir(runtime.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        ASSERT_TRUE(Ex_Init(nullptr, 0x800102, 0, nullptr, nullptr, 0, nullptr, 0));
    }
    void TearDown() override { Ex_UnInit(); }
};

[[maybe_unused]] ::testing::Environment* const g_env =
    ::testing::AddGlobalTestEnvironment(new ExduiEnvironment);

}  // namespace

TestWindow::TestWindow(int width, int height, int32_t style, ExWndProc proc, ExArgb background) {
    m_window = Ex_WndCreate(0, nullptr, u"test", 0, 0, width, height, 0, 0);
    m_surface = Ex_DUIBindWindowEx(m_window, nullptr, style, 0, proc);
    Ex_DUISetLong(m_surface, -31, static_cast<intptr_t>(background));
    Ex_DUIShowWindow(m_surface, 5, 0, 0, 0);
    Pump(1);
}

TestWindow::~TestWindow() {
    if (Ex_DUIGetWindow(m_surface) != 0) {
        Ex_WndSendMessage(m_window, EX_WM_CLOSE, 0, 0);
    }
    Pump(1);
}

QImage TestWindow::Grab() const {
    QWidget* w = Widget();
    return w != nullptr ? w->grab().toImage().convertToFormat(QImage::Format_ARGB32) : QImage();
}

void Pump(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        Pump(2);
    }
    return true;
}

QWidget* W(ExHandle handle) {
    return ExQtWidget(handle);
}

ExArgb Pixel(const QImage& image, int x, int y) {
    return image.convertToFormat(QImage::Format_ARGB32).pixel(x, y);
}

std::u16string Text(ExHandle object) {
    size_t length = Ex_ObjGetTextLength(object);
    std::vector<char16_t> buffer(length + 1);
    size_t n = Ex_ObjGetText(object, buffer.data(), buffer.size() * sizeof(char16_t));
    return std::u16string(buffer.data(), n);
}

}  // namespace exdui::test
