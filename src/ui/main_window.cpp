#include "ui/main_window.h"

#include <algorithm>

#include "core/settings_file.h"
#include "ui/program_state.h"
#include "ui/settings_page.h"

namespace cj::ui {
namespace {

void PaintBackground(ExHandle surface, ExHandle canvas) {
    ExRect client{};
    Ex_DUIGetClientRect(surface, &client);
    _canvas_clear(canvas, 0x00000000);
    const ExHandle brush = _brush_create(ClientColour);
    _canvas_fillrect(canvas, brush, 0, 0, static_cast<float>(client.right),
                     static_cast<float>(client.bottom));
    _brush_setcolor(brush, BandColour);
    _canvas_fillrect(canvas, brush, 0, 0, static_cast<float>(client.right), BandHeight);
    _brush_destroy(brush);
}

void SaveSettings() {
    ProgramState& state = State();
    core::ShutdownSettings settings;
    settings.window.option = core::WindowSizeOptionFromNumber(state.windowStateOption);
    settings.window.width = state.mainWindow.Width();
    settings.window.height = state.mainWindow.Height();
    settings.doubleClick = core::DoubleClickActionFromNumber(state.doubleClickAction);
    // A control that was never made has no text to save: the stored value
    // stays rather than being replaced by an empty one.
    const MainControls& c = state.controls;
    if (c.threadCount.Handle() != 0) {
        settings.threadCountText = c.threadCount.GetText();
    }
    if (c.copyTarget.Handle() != 0) {
        settings.copyTarget = c.copyTarget.GetText();
    }
    core::SettingsFile(state.config.Path()).TrySaveShutdownSettings(settings);
}

void StartSearch() {
    ProgramState& s = State();
    s.search.Start(s.controls.searchBox.GetText(), s.threadCount);
}

intptr_t OnSearchClick(ExHandle, int32_t, int32_t, intptr_t, intptr_t) {
    StartSearch();
    return 0;
}

intptr_t OnSearchKey(ExHandle, int32_t, int32_t, intptr_t key, intptr_t) {
    if (key == EX_VK_RETURN) {
        StartSearch();
    }
    return 0;
}

// The refresh indexes the folders and the filter the settings page shows now,
// saved or not.
intptr_t OnRefreshClick(ExHandle, int32_t, int32_t, intptr_t, intptr_t) {
    ProgramState& s = State();
    MainControls& c = s.controls;
    c.pages.Select(1);
    index::RefreshRequest request;
    request.runDirectory = s.runDirectory;
    for (int row = 1; row <= c.folders.RowCount(); ++row) {
        request.folders.push_back(c.folders.RowText(row));
    }
    request.filter = c.typeFilter.GetText();
    request.shardCount = s.threadCount;
    s.refresher.Start(std::move(request));
    return 0;
}

// The copy list is sized to the window when its page is chosen, not at every
// resize while it is hidden.
intptr_t OnCopyPageClick(ExHandle, int32_t, int32_t, intptr_t, intptr_t) {
    ProgramState& s = State();
    const ReportList& list = s.controls.copyList;
    list.Update();
    list.Move({}, {}, s.mainWindow.Width() - 4, s.mainWindow.Height() - 132);
    list.SetColumnWidth(3, s.mainWindow.Width() - 554);
    return 0;
}

intptr_t OnDirectoryListChosen(ExHandle, int32_t, int32_t, intptr_t, intptr_t) {
    ProgramState& s = State();
    ShowDirectoryList(s, s.controls.directoryLists.GetText());
    return 0;
}

intptr_t OnOptionChecked(ExHandle, int32_t id, int32_t, intptr_t checked, intptr_t) {
    if (checked != 1) {
        return 0;
    }
    ProgramState& s = State();
    switch (id) {
        case 1039:
            s.mainWindow.ShowState(0);
            s.windowStateOption = 0;
            s.mainWindow.Place({}, {}, 1200, 720);
            break;
        case 1040:
            s.mainWindow.ShowState(1);
            s.windowStateOption = 1;
            break;
        case 1041:
            s.windowStateOption = 2;
            break;
        case 1042:
        case 1043:
        case 1044:
            s.doubleClickAction = id - 1042;
            break;
        default:
            break;
    }
    return 0;
}

}  // namespace

void LayOutMainWindow(int width, int height) {
    MainControls& c = State().controls;
    const double w = width;
    const double h = height;
    const auto px = [](double value) { return static_cast<int>(value); };  // Toward zero.
    c.searchBox.Move(px((w - 300) / 2), {});
    for (const ExHandle page : c.pages.Pages()) {
        Ex_ObjMove(page, KeepValue, KeepValue, width, height - 60, 1);
    }
    Ex_ObjMove(c.resultList, KeepValue, KeepValue, width, height - 60, 1);
    c.busy.Move({}, px((h - 300) / 2), width, {});
    const int statusX = px((w - 300) / 2 + 350);
    c.status.Move(statusX, {});
    c.addedCount.Move(statusX, {});
    // "更新缓存" follows the status texts (about 140 pixels at their longest)
    // instead of staying where they come to lie at most widths, and keeps
    // clear of the window's own buttons at the right.
    c.updateCache.Move(std::min(statusX + 140, width - 200), {});
    if (c.pages.SelectedIndex() == 2) {
        c.copyList.Move({}, {}, width - 4, height - 132);
        c.copyList.SetColumnWidth(3, width - 554);
    }
    c.copyPanel.Move({}, height - 129, width, {});
    c.directCopyProgress.Move(px((w - 300) / 2), {});
}

void AttachMainWindowHandlers(const MainControls& c) {
    c.searchButton.OnEvent(EX_NM_CLICK, OnSearchClick);
    c.searchBox.OnEvent(EX_NM_KEYDOWN, OnSearchKey);
    c.pages.OnItemEvent(2, OnCopyPageClick);
    c.updateCache.OnEvent(EX_NM_CLICK, OnRefreshClick);
    c.directoryLists.OnEvent(EX_CBN_SELCHANGE, OnDirectoryListChosen);
    c.refreshIndex.OnEvent(EX_NM_CLICK, OnRefreshClick);
    for (const RadioButton* radio : {&c.defaultSize, &c.maximised, &c.customSize,
                                     &c.addToCopyList, &c.openFile, &c.copyDirectly}) {
        radio->OnEvent(EX_NM_CHECK, OnOptionChecked);
    }
}

intptr_t MainWindowProc(ExHandle /*window*/, ExHandle surface, int32_t message, intptr_t wParam,
                        intptr_t lParam, intptr_t* result) {
    switch (message) {
        case EX_WM_ERASEBKGND:
            PaintBackground(surface, static_cast<ExHandle>(wParam));
            if (result != nullptr) {
                *result = 1;
            }
            return 1;
        case EX_WM_SIZE:
            LayOutMainWindow(static_cast<int>(lParam & 0xFFFF),
                             static_cast<int>((lParam >> 16) & 0xFFFF));
            return 0;
        case EX_WM_DESTROY:
            SaveSettings();
            return 0;
        default:
            return 0;
    }
}

}  // namespace cj::ui
