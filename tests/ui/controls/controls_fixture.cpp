#include "controls_fixture.h"

#include <QApplication>
#include <QBuffer>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <cstdlib>

namespace cj::ui::test {
namespace {

constexpr int WindowWidth = 480;
constexpr int WindowHeight = 360;

QWidget* TopLevel() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

QWindow* TopWindow() {
    QWidget* widget = TopLevel();
    return widget != nullptr ? widget->windowHandle() : nullptr;
}

}  // namespace

void ControlsTest::SetUp() {
    ASSERT_TRUE(Ex_Init(nullptr, 0, 0, nullptr, nullptr, 0, nullptr, 0));
    m_window = Ex_WndCreate(0, nullptr, u"controls", 0, 0, WindowWidth, WindowHeight, 0, 0);
    ASSERT_NE(m_window, 0);
    m_surface = Ex_DUIBindWindowEx(m_window, nullptr, 0, 0, nullptr);
    ASSERT_NE(m_surface, 0);
    Ex_DUISetLong(m_surface, EX_DUI_BACKGROUND, static_cast<intptr_t>(WindowBackground));
    Ex_DUIShowWindow(m_surface, EX_SW_SHOW, 0, 0, 0);
    ASSERT_NE(TopWindow(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(TopWindow()));
}

void ControlsTest::TearDown() {
    Ex_UnInit();
}

QPoint ControlsTest::Origin(ExHandle object) const {
    QPoint origin;
    for (ExHandle h = object; h != 0 && h != m_surface; h = Ex_ObjGetParent(h)) {
        ExRect rect{};
        if (Ex_ObjGetRect(h, &rect) == 0) {
            break;
        }
        origin += QPoint(rect.left, rect.top);
    }
    return origin;
}

QImage ControlsTest::Grab() const {
    QWidget* widget = TopLevel();
    return widget != nullptr ? widget->grab().toImage().convertToFormat(QImage::Format_ARGB32)
                             : QImage();
}

QColor ControlsTest::Pixel(ExHandle object, int x, int y) const {
    return Grab().pixelColor(Origin(object) + QPoint(x, y));
}

void ControlsTest::MoveTo(ExHandle object, int x, int y) const {
    QTest::mouseMove(TopWindow(), Origin(object) + QPoint(x, y));
}

void ControlsTest::Press(ExHandle object, int x, int y) const {
    QTest::mousePress(TopWindow(), Qt::LeftButton, {}, Origin(object) + QPoint(x, y));
}

void ControlsTest::Release(ExHandle object, int x, int y) const {
    QTest::mouseRelease(TopWindow(), Qt::LeftButton, {}, Origin(object) + QPoint(x, y));
}

void ControlsTest::Click(ExHandle object, int x, int y) const {
    MoveTo(object, x, y);
    Press(object, x, y);
    Release(object, x, y);
}

void ControlsTest::MoveAway() const {
    QTest::mouseMove(TopWindow(), QPoint(WindowWidth - 2, WindowHeight - 2));
}

std::vector<std::uint8_t> SolidPng(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(QColor::fromRgba(colour));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return {bytes.begin(), bytes.end()};
}

QColor Over(ExArgb fg, ExArgb bg) {
    const double a = (fg >> 24) / 255.0;
    auto mix = [a](ExArgb f, ExArgb b, int shift) {
        const double fc = (f >> shift) & 0xFF;
        const double bc = (b >> shift) & 0xFF;
        return static_cast<int>(fc * a + bc * (1 - a) + 0.5);
    };
    return QColor(mix(fg, bg, 16), mix(fg, bg, 8), mix(fg, bg, 0));
}

::testing::AssertionResult SameColour(const QColor& actual, const QColor& expected) {
    const bool near = std::abs(actual.red() - expected.red()) <= 2 &&
                      std::abs(actual.green() - expected.green()) <= 2 &&
                      std::abs(actual.blue() - expected.blue()) <= 2;
    if (near) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "got " << actual.name().toStdString() << ", expected "
                                         << expected.name().toStdString();
}

QRect BoundsOf(const QImage& image, QRgb colour, const QRect& area) {
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) == colour) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

}  // namespace cj::ui::test
