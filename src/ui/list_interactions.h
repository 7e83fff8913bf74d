// What the two lists of the main window do under the mouse and the keyboard:
// the double-click on a hit (by the option the settings page shows) and on a
// copy-list row, the right-click menus of both lists and the commands of those
// menus, the keys (Ctrl+C copies the selected hits or entries as files, Enter
// acts as the double-click on every selected hit, Delete removes the copy
// list's selected rows; Ctrl+A is the list's own), and dragging hits out as
// files. Only "清空列表" asks first; a file the desktop cannot open or show is
// told in a message box. UI thread only, inside the window procedure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
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
    // Enter: the double-click's action on every selected hit.
    void OnResultEnter();
    // Whether the key was one of the result list's.
    bool OnResultKey(intptr_t key, intptr_t modifiers);
    void AddSelectedHits();
    // The paths of the selected hits, in row order.
    std::vector<std::string> SelectedPaths();
    // The path of the current hit (the selection mark); empty without one.
    std::string CurrentPath();
    void OpenCurrentFile();
    void ShowCurrentInFolder();
    // The copy list's side: its selected entries' paths in row order, its
    // current entry's path (empty without one), and the two desktop actions
    // on that entry, each telling the user when it could not be done.
    std::vector<std::string> SelectedEntryPaths();
    std::string CurrentEntryPath();
    void OpenCurrentEntry(bool inFolder);
    void ClearCopyList();

    MainWindow& m_window;
};

}  // namespace cj::ui
