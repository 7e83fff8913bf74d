// The settings page: directory lists, type filter, window state, double-click
// action and thread count. UI thread only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/settings_file.h"
#include "ui/controls/basic_controls.h"
#include "ui/controls/drawn_button.h"
#include "ui/controls/extended_list_box.h"

namespace cj::ui {

class MainWindow;

class SettingsPage {
  public:
    explicit SettingsPage(MainWindow& window) : m_window(window) {}

    // Creates the page's controls on page.
    void Create(ExHandle page);
    void AttachHandlers();

    // Fills the page from the saved settings and hands the window its
    // options; the last step of the window's control creation.
    void Load(const core::Settings& saved);

    // Shows the folders and the type filter of the saved directory list
    // titled title (none when there is no such list).
    void ShowDirectoryList(std::string_view title);

    // The folders and the type filter the page shows now, saved or not: what
    // a refresh indexes.
    std::vector<std::string> Folders() const;
    std::string TypeFilter() const { return m_typeFilter.GetText(); }
    // The thread count as the selector shows it.
    std::string ThreadCountText() const { return m_threadCount.GetText(); }
    bool Exists() const { return m_threadCount.Handle() != 0; }

    const ComboBox& DirectoryLists() const { return m_directoryLists; }
    const ExtendedListBox& FolderList() const { return m_folders; }
    const ComboBox& ThreadCount() const { return m_threadCount; }
    const RadioButton& DefaultSize() const { return m_defaultSize; }
    const RadioButton& CustomSize() const { return m_customSize; }

  private:
    intptr_t OnDirectoryListChosen(const ControlEvent& event);
    intptr_t OnOptionChecked(const ControlEvent& event);
    intptr_t OnRefreshClick(const ControlEvent& event);

    MainWindow& m_window;

    Label m_listCaption;
    ComboBox m_directoryLists;
    DrawnButton m_addList;
    DrawnButton m_deleteList;
    ExtendedListBox m_folders;
    DrawnButton m_addFolder;
    DrawnButton m_removeFolder;
    DrawnButton m_refreshIndex;
    Label m_filterCaption;
    EditBox m_typeFilter;
    DrawnButton m_saveFilter;
    GroupBox m_windowStateGroup;
    RadioButton m_defaultSize;
    RadioButton m_maximised;
    RadioButton m_customSize;
    GroupBox m_doubleClickGroup;
    RadioButton m_addToCopyList;
    RadioButton m_openFile;
    RadioButton m_copyDirectly;
    Label m_threadCaption;
    ComboBox m_threadCount;
};

}  // namespace cj::ui
