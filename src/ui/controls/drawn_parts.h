// Pieces shared by the program's own drawn classes: registering a class with
// the library once per library run, and laying out an image with a title.
// UI thread only.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "exdui/exdui.h"

namespace cj::ui {

// Registers the class with the library unless it knows it already: the
// library forgets every class when it shuts down, so a static "done" flag
// would go stale when it is started again. The class's default style is
// visible and its default text format centres one line. False when the
// library refuses the class.
bool EnsureClassRegistered(const char16_t* className, std::int32_t extraBytes, ExClassProc proc);

// A library image decoded from PNG (or other image) bytes; 0 for no bytes or
// bytes that do not decode.
ExHandle ImageFromBytes(std::span<const std::uint8_t> bytes);

// The pointer states of a drawn class: pressed (8) while the left button is
// down, hover (128) while the pointer is over the object, each change
// repainting. Other messages are left alone.
void TrackPointerState(ExHandle object, std::int32_t message);

// The object's title in UTF-16.
std::u16string ObjectWideText(ExHandle object);

// Paints image and title into the object's paint area: with both, the image
// sits above the title (imageAbove) or left of it, the pair centred with
// gapAbove or gapLeft pixels between them; an image alone is centred; a title
// alone fills the area. Titles are measured with the paint's text format and
// drawn centred in colour with the object's font; images at full opacity.
struct ImageAndTitle {
    ExHandle image = 0;
    std::u16string title;
    ExArgb colour = 0xFF000000;
    bool imageAbove = false;
    int gapAbove = 3;
    int gapLeft = 5;
};
void PaintImageAndTitle(ExHandle object, const ExPaint& paint, const ImageAndTitle& content);

}  // namespace cj::ui
