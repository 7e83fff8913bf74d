// A window for the control tests, with helpers that act through the library's
// input injection (sent to the window, which routes it to the object under the
// pointer, with hover and leave) and read the pixels the window paints.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "exdui/exdui.h"
#include "exdui/exdui_inject.h"

namespace cj::ui::test {

// A rectangle of pixels: where it starts and its size; empty when it has no
// width or no height.
struct Area {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool Empty() const { return width <= 0 || height <= 0; }
    bool operator==(const Area&) const = default;
};
void PrintTo(const Area& area, std::ostream* out);

class ControlsTest : public ::testing::Test {
  protected:
    static constexpr ExArgb WindowBackground = 0xFF204060;

    void SetUp() override;
    void TearDown() override;

    ExHandle Surface() const { return m_surface; }

    // The object's top-left corner in window coordinates.
    static ExPoint Origin(ExHandle object);
    // The window as painted now.
    exdui::inject::Snapshot Grab() const;
    // The colour at (x, y) of the object, as the window shows it.
    ExArgb Pixel(ExHandle object, int x, int y) const;

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

// PNG bytes of a width by height image of one ARGB colour.
std::vector<std::uint8_t> SolidPng(int width, int height, ExArgb colour);

// Colour of fg (ARGB) over an opaque bg, opaque.
ExArgb Over(ExArgb fg, ExArgb bg);
inline ExArgb Opaque(ExArgb colour) {
    return colour | 0xFF000000u;
}

// Red, green and blue equal within a rounding step each (blending rounds
// either way).
::testing::AssertionResult SameColour(ExArgb actual, ExArgb expected);

// The bounding box of the pixels of image that are exactly colour (ARGB),
// within area.
Area BoundsOf(const exdui::inject::Snapshot& image, ExArgb colour, const Area& area);

}  // namespace cj::ui::test
