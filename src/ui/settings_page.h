// The settings page: directory lists, type filter, window state, double-click
// action, thread count and keyword matching. UI thread only.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/settings_file.h"
#include "ui/controls/basic_controls.h"
#include "ui/controls/drawn_button.h"
#include "ui/controls/extended_list_box.h"
#include "ui/controls/scroll_panel.h"

namespace cj::ui {

class MainWindow;

class SettingsPage {
  public:
    explicit SettingsPage(MainWindow& window) : m_window(window) {}

    // Creates the page's controls on a panel that scrolls inside viewport
    // (the page) when that is lower than they reach.
    void Create(ExHandle viewport);
    void AttachHandlers();
    // Fits the panel to the page: after the window changed the page's size.
    void LayOut() const { m_panel.Fit(); }

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
    // Shows count in the selector, raising no selection change.
    void ShowThreadCount(int count) const { m_threadCount.SelectItem(count); }
    bool Exists() const { return m_threadCount.Handle() != 0; }

    // Names dropped on the folder list, whole, in drop order: the folders
    // among them join the list shown and the list is saved, as "添加目录"
    // adds and saves; files and missing paths are left out.
    void AddDroppedFolders(const std::vector<std::string>& names);

    const ScrollPanel& Panel() const { return m_panel; }
    const ComboBox& DirectoryLists() const { return m_directoryLists; }
    const DrawnButton& AddListButton() const { return m_addList; }
    const DrawnButton& DeleteListButton() const { return m_deleteList; }
    const ExtendedListBox& FolderList() const { return m_folders; }
    const DrawnButton& AddFolderButton() const { return m_addFolder; }
    const DrawnButton& RemoveFolderButton() const { return m_removeFolder; }
    const DrawnButton& RefreshButton() const { return m_refreshIndex; }
    const EditBox& TypeFilterBox() const { return m_typeFilter; }
    const DrawnButton& SaveFilterButton() const { return m_saveFilter; }
    const ComboBox& ThreadCount() const { return m_threadCount; }
    const RadioButton& DefaultSize() const { return m_defaultSize; }
    const RadioButton& Maximised() const { return m_maximised; }
    const RadioButton& CustomSize() const { return m_customSize; }
    const RadioButton& OpenFileOption() const { return m_openFile; }
    const RadioButton& ExactMatchOption() const { return m_exactMatch; }
    const RadioButton& IgnoreCaseAndWidthOption() const { return m_ignoreCaseAndWidth; }

  private:
    intptr_t OnDirectoryListChosen(const ControlEvent& event);
    intptr_t OnOptionChecked(const ControlEvent& event);
    intptr_t OnRefreshClick(const ControlEvent& event);
    intptr_t OnAddListClick(const ControlEvent& event);
    intptr_t OnDeleteListClick(const ControlEvent& event);
    intptr_t OnAddFolderClick(const ControlEvent& event);
    intptr_t OnRemoveFolderClick(const ControlEvent& event);
    intptr_t OnSaveFilterClick(const ControlEvent& event);
    intptr_t OnThreadCountChosen(const ControlEvent& event);

    // The combo box's text as the title of a list the file can hold; when it
    // cannot be one, the user is told why and there is none.
    std::optional<std::string> StorableTitle() const;
    // Appends the folders the list can hold and does not cover yet to the
    // box (telling of the others), then saves the box's folders as the list
    // titled title.
    void AddFolders(const std::string& title, const std::vector<std::string>& folders);
    // Saves the box's folders as the list titled title; tells a failure.
    void SaveShownFolders(const std::string& title);
    // Tells the user that a setting could not be written.
    void TellWriteFailure(std::error_code error) const;
    // Adds title to the combo box's items unless an item names it already.
    void EnsureListItem(const std::string& title) const;

    MainWindow& m_window;

    ScrollPanel m_panel;  // Holds every control below.
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
    GroupBox m_matchingGroup;
    RadioButton m_exactMatch;
    RadioButton m_ignoreCaseAndWidth;
    Label m_version;
    bool m_storedIgnoreCase = false;  // What the settings file holds.
};

}  // namespace cj::ui
