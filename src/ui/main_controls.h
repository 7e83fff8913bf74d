// The main window's controls.
#pragma once

#include <string>

#include "ui/controls/drawn_button.h"

namespace cj::ui {

// Runs once the surface is bound and before the window shows: creates every
// control of the band and of the three pages, builds the context menus,
// attaches the handlers and ends by applying the saved settings.
void CreateMainWindowControls();

// The blue drawn button every page uses.
DrawnButtonDescription BlueButton(ExHandle parent, int id, std::string title, int x, int y,
                                  int width, int height);

}  // namespace cj::ui
