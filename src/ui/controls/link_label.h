// LinkLabel: the program's own class "ljBQ", one line of text centred in the
// object with one part of it drawn as a link (in the link colour,
// underlined). A left click on the link raises EX_NM_CLICK; a press anywhere
// else on the line does nothing. UI thread only.
//
// The whole line is the object's title. Its state lives in the object's extra
// storage:
//   0 the length of the text before the link, 1 the link's length (UTF-16 units)
//   2..5 the link's rectangle as last painted (left, top, right, bottom)
//   6 the link colour (ARGB)
// The other text's colour is colour slot 2.
#pragma once

#include <string>

#include "ui/controls/control.h"

namespace cj::ui {

inline constexpr char16_t LinkLabelClass[] = u"ljBQ";

struct LinkLabelDescription {
    ExHandle parent = 0;
    int id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::string before{};  // Narrow texts, the line read left to right.
    std::string link{};
    std::string after{};
    ExArgb textColour = 0xFF000000;
    ExArgb linkColour = 0xFF0060C0;
    int fontSize = 0;  // Pixels; 0 keeps the library's default.
};

class LinkLabel : public Control {
  public:
    using Control::Control;
    enum Slot : std::int32_t {
        BeforeLength,
        LinkLength,
        LinkLeft,
        LinkTop,
        LinkRight,
        LinkBottom,
        LinkColour
    };

    bool Create(const LinkLabelDescription& d);
    // The link's rectangle in the object's client coordinates as last
    // painted; empty before the first paint.
    ExRect LinkRect() const;
};

}  // namespace cj::ui
