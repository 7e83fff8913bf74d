// DrawnButton: the program's own button class "csanDY", painted by the
// program: a plain or rounded background whose colour follows the pointer
// (normal, hovered, pressed; pressed wins), and an optional image beside or
// above its title. UI thread only.
//
// Its state lives in the object's extra storage, so every copy of the wrapper
// and the class procedure see the same values:
//   0 normal background, 1 hover background, 2 pressed background (ARGB)
//   3 corner radius in pixels, 0 for square corners
//   4 the image (a library image the object owns), or 0
//   5 1: image above the title; otherwise left of it
// The title's colour is colour slot 2.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "ui/colour.h"
#include "ui/controls/control.h"

namespace cj::ui {

inline constexpr char16_t DrawnButtonClass[] = u"csanDY";

struct DrawnButtonDescription {
    ExHandle parent = 0;
    int id = 0;
    std::string title{};
    ExArgb textColour = 0xFF000000;
    ExArgb normal = MakeArgb(0xFF8800, 100);
    ExArgb hover = MakeArgb(0xFF8800, 150);
    ExArgb pressed = MakeArgb(0xFF8800, 250);
    int radius = 0;
    std::span<const std::uint8_t> image{};  // PNG bytes; read during Create only.
    bool imageAbove = false;
    int x = 0, y = 0, width = 0, height = 0;
    ExObjProc procedure = nullptr;
};

class DrawnButton : public Control {
  public:
    enum Slot : std::int32_t { Normal, Hover, Pressed, Radius, Image, ImageAbove };

    bool Create(const DrawnButtonDescription& d);
    // Each omitted colour keeps its stored value. Repaints.
    void SetBackgrounds(std::optional<ExArgb> normal, std::optional<ExArgb> hover = {},
                        std::optional<ExArgb> pressed = {}) const;
    // Replaces the image (empty bytes or bytes that do not decode: none). Repaints.
    void SetImage(std::span<const std::uint8_t> bytes) const;
    void SetRadius(int pixels) const;
};

// The class procedure; exposed for classes that derive from the button.
intptr_t DrawnButtonProc(ExHandle window, ExHandle object, std::int32_t message, intptr_t wParam,
                         intptr_t lParam);

}  // namespace cj::ui
