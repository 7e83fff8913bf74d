// A window on Qt's offscreen platform for the control tests, with helpers
// that act through real mouse events (sent to the Qt window, which routes
// them to the object under the pointer, with enter and leave) and read the
// pixels the window paints.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <cstdint>
#include <span>
#include <vector>

#include "exdui/exdui.h"

namespace cj::ui::test {

class ControlsTest : public ::testing::Test {
  protected:
    static constexpr ExArgb WindowBackground = 0xFF204060;

    void SetUp() override;
    void TearDown() override;

    ExHandle Surface() const { return m_surface; }

    // The object's top-left corner in window coordinates.
    QPoint Origin(ExHandle object) const;
    // The window as painted now.
    QImage Grab() const;
    // The colour at (x, y) of the object, as the window shows it.
    QColor Pixel(ExHandle object, int x, int y) const;

    void MoveTo(ExHandle object, int x, int y) const;
    void Press(ExHandle object, int x, int y) const;
    void Release(ExHandle object, int x, int y) const;
    void Click(ExHandle object, int x, int y) const;
    // Moves the pointer to a corner of the window that no test puts a control on.
    void MoveAway() const;

  private:
    ExHandle m_window = 0;
    ExHandle m_surface = 0;
};

// PNG bytes of a width by height image of one colour.
std::vector<std::uint8_t> SolidPng(int width, int height, QRgb colour);

// Colour of fg (ARGB) over an opaque bg.
QColor Over(ExArgb fg, ExArgb bg);
inline QColor Opaque(ExArgb colour) {
    return QColor::fromRgba(colour);
}

// Equal within a rounding step per channel (blending rounds either way).
::testing::AssertionResult SameColour(const QColor& actual, const QColor& expected);

// The bounding box of the pixels of image that are exactly colour, within area.
QRect BoundsOf(const QImage& image, QRgb colour, const QRect& area);

}  // namespace cj::ui::test
