// What the two lists of the main window do under the mouse: the double-click
// on a hit (by the option the settings page shows) and on a copy-list row,
// the right-click menus of both lists, and the commands of those menus.
// UI thread only, inside the window procedure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "exdui/exdui.h"

namespace cj::ui {

class MainWindow;

// The rows of list (from 1) whose selected bit is set, in ascending order:
// one state request a row.
std::vector<std::size_t> SelectedRows(ExHandle list);

class ListInteractions {
  public:
    explicit ListInteractions(MainWindow& window) : m_window(window) {}

    // A notification that reached the window procedure (EX_WM_NOTIFY).
    // Returns whether it was one of the lists' and has been acted on.
    bool OnNotify(const ExNotify& notify);
    // A menu command (EX_WM_COMMAND). Returns whether it was one of the
    // lists' menus' commands.
    bool OnCommand(intptr_t command);

  private:
    void OnResultDoubleClick();
    void AddSelectedHits();

    MainWindow& m_window;
};

}  // namespace cj::ui
