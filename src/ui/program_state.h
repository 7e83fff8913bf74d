// The program-wide state: everything that lives for the whole run and that
// event handlers, the window procedure and workers reach. Created by the
// start-up before any window exists, released by ReleaseGlobals at the end.
//
// Owner thread: the UI thread, except where a member says otherwise. Flags
// that workers share are atomics inside the engine objects. The control
// wrappers only hold handles; the library objects behind them are made by the
// main window's control creation.
#pragma once

#include <string>
#include <vector>

#include "core/config_file.h"
#include "exdui/exdui.h"
#include "index/engine_activity.h"
#include "index/refresh.h"
#include "search/search_engine.h"
#include "ui/controls/basic_controls.h"
#include "ui/controls/drawn_button.h"
#include "ui/controls/extended_list_box.h"
#include "ui/controls/page_selector.h"
#include "ui/controls/report_list.h"
#include "ui/frame_window.h"
#include "ui/window_views.h"

namespace cj::ui {

// The window's controls by role.
struct MainControls {
    // The band.
    EditBox searchBox;
    DrawnButton searchButton;
    Label title;
    PageSelector pages;  // Page 1 search, 2 copy, 3 settings.
    Label status;
    Label addedCount;
    DrawnButton updateCache;
    ProgressBar directCopyProgress;

    // The search page.
    ExHandle resultList = 0;
    Label busy;

    // The copy page.
    ReportList copyList;
    Label copyPanel;
    Label targetCaption;
    EditBox copyTarget;
    DrawnButton browse;
    DrawnButton openBackup;
    DrawnButton copy;
    Label freeSpace;
    Label listSize;

    // The settings page.
    Label listCaption;
    ComboBox directoryLists;
    DrawnButton addList;
    DrawnButton deleteList;
    ExtendedListBox folders;
    DrawnButton addFolder;
    DrawnButton removeFolder;
    DrawnButton refreshIndex;
    Label filterCaption;
    EditBox typeFilter;
    DrawnButton saveFilter;
    GroupBox windowStateGroup;
    RadioButton defaultSize;
    RadioButton maximised;
    RadioButton customSize;
    GroupBox doubleClickGroup;
    RadioButton addToCopyList;
    RadioButton openFile;
    RadioButton copyDirectly;
    Label threadCaption;
    ComboBox threadCount;

    // The context menus of the result list and the copy list.
    ExHandle resultMenu = 0;
    ExHandle copyListMenu = 0;
};

struct ProgramState {
    explicit ProgramState(std::string runDir);

    // The executable's folder, no trailing separator; base of every data path.
    const std::string runDirectory;
    const core::ConfigFile config;  // data/chengjing.ini; thread-safe.

    FrameWindow mainWindow;
    FrameWindow copyWindow;      // The copy progress window, while a copy job runs.
    ExHandle mainDuiHandle = 0;  // The main window's surface: parent of every control.
    MainControls controls;

    int windowStateOption = 0;  // 0 default size, 1 maximised, 2 remembered size.
    int doubleClickAction = 0;  // What a double-click on a hit does: 0, 1 or 2.
    int threadCount = 0;        // Search workers and index shards.
    std::vector<std::string> directoryListTitles;
    std::vector<std::string> directoryListValues;  // Folder values, by title.

    // The engine. The views turn its reports into control changes; they are
    // called from the refresh thread and the search's collector.
    index::EngineActivity engine;
    WindowSearchView searchView;
    WindowRefreshView refreshView;
    search::SearchEngine search;
    index::Refresher refresher;
};

// Constructs the state (replacing any earlier one) and returns it.
ProgramState& CreateGlobals(std::string runDirectory);
// The state; only between CreateGlobals and ReleaseGlobals.
ProgramState& State();
bool HasGlobals();
// Releases the state. Registered with atexit by the start-up.
void ReleaseGlobals();

}  // namespace cj::ui
