// The settings page: directory lists, type filter, window state, double-click
// action and thread count.
#pragma once

#include <string_view>

namespace cj::ui {

struct ProgramState;

// Creates the page's controls on page 3.
void CreateSettingsPage(ProgramState& state);

// Fills the page (and the copy target box) from the configuration file; the
// last step of the window's control creation.
void LoadSettings(ProgramState& state);

// Shows the folders and the type filter of the directory list titled title.
void ShowDirectoryList(ProgramState& state, std::string_view title);

}  // namespace cj::ui
