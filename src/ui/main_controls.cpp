// Creation of the main window's controls, in the order the window builds
// them: the band, the three pages, the menus, then the handlers and the saved
// settings.
#include "ui/main_controls.h"

#include "ui/controls/icons.h"
#include "ui/main_window.h"
#include "ui/program_state.h"
#include "ui/result_list.h"
#include "ui/search_box.h"
#include "ui/settings_page.h"

namespace cj::ui {
namespace {

constexpr ExArgb White = 0xFFFFFFFF;
constexpr ExArgb Black = 0xFF000000;
constexpr std::int32_t DrawnFrameExStyle = static_cast<std::int32_t>(0xD8000000u);

void CreateBand(ProgramState& s) {
    MainControls& c = s.controls;
    const ExHandle surface = s.mainDuiHandle;

    c.searchBox.Create({.parent = surface, .id = 1000, .x = 700, .y = 20, .width = 300,
                        .height = 30, .drawnFrameStyle = true, .textColour = Black,
                        .procedure = SearchBoxPainter});
    NarrowSearchBoxText(c.searchBox);
    c.title.Create({.parent = surface, .id = 1003, .x = 1, .y = 1, .width = 200, .height = 20,
                    .text = "   澄镜文件极速搜索工具", .textColour = White});
    c.pages.Create({.parent = surface,
                    .titles = {"搜索栏", "复制栏", "设置"},
                    .titleColour = White,
                    .images = {SearchPageIcon(), CopyPageIcon(), SettingsPageIcon()},
                    .x = 20,
                    .y = 20,
                    .itemWidth = 100,
                    .itemHeight = 40,
                    .selectedFill = 0x90FFFFFF,
                    .barColour = 0xE80088FF,
                    .farEdge = true,
                    .itemHoverFill = 0x90FFFFFF,
                    .pageX = 0,
                    .pageY = 70,
                    .pageWidth = 1000,
                    .pageHeight = 660,
                    .pageBackground = 0x00FFFFFF,
                    .animation = 1});
    Ex_ObjSetColor(c.searchBox.Handle(), EX_COLOR_CARET, 0xFF4B0082, 0);
    c.searchButton.Create({.parent = c.searchBox.Handle(), .id = 1001, .textColour = Black,
                           .normal = 0xC8FFFFFF, .hover = 0xC800FF00, .pressed = 0xF4FF0000,
                           .radius = 13, .image = SearchButtonIcon(), .x = 258, .y = 2,
                           .width = 40, .height = 26});
}

void CreateSearchPage(ProgramState& s) {
    MainControls& c = s.controls;
    const ExHandle page = c.pages.PageHandle(1);
    c.resultList = CreateResultList(page, 0, 0, 1000, 660, s.search.Results());
    c.busy.Create({.parent = page, .id = 1002, .x = 0, .y = 0, .width = 500, .height = 100,
                   .text = "搜索中，请耐心等待...", .textColour = 0xFFDC143C,
                   .textFormat = EX_DT_CENTER | EX_DT_VCENTER});
    c.busy.SetFont({}, 25);
    c.busy.Show(false);
    c.status.Create({.parent = s.mainDuiHandle, .id = 1003, .x = 900, .y = 10, .width = 200,
                     .height = 20, .text = "找到：0个文件", .textColour = White});
}

void CreateCopyPage(ProgramState& s) {
    MainControls& c = s.controls;
    const ExHandle page = c.pages.PageHandle(2);
    c.copyList.Create({.parent = page, .id = 1004, .x = 2, .y = 2, .width = 1196, .height = 600,
                       .verticalScrollBar = true,
                       .styleBits = EX_RLVS_HLINES | EX_RLVS_VLINES | EX_LVS_MULTISELECT,
                       .background = 0x00000000, .border = 0x2C000000, .header = 0xFF000000,
                       .rowHeight = 100});
    Ex_ObjSetColor(c.copyList.Handle(), EX_COLOR_TEXT, 0xFFDCDCDC, 0);
    c.copyList.AddColumn("   文件名", 400, EX_DT_SINGLELINE | EX_DT_VCENTER, Black);
    c.copyList.AddColumn("  大小", 120, EX_DT_SINGLELINE | EX_DT_VCENTER | EX_DT_CENTER, Black);
    c.copyList.AddColumn("  路径", 650, EX_DT_SINGLELINE | EX_DT_VCENTER, Black);

    c.addedCount.Create({.parent = s.mainDuiHandle, .id = 1003, .x = 900, .y = 32, .width = 200,
                         .height = 20, .text = "添加：0个文件", .textColour = White});
    Ex_ObjSetTimer(c.addedCount.Handle(), 300);

    c.copyPanel.Create({.parent = page, .id = 1016, .x = 0, .y = 590, .width = 1200,
                        .height = 69, .textColour = Black});
    const ExHandle panel = c.copyPanel.Handle();
    c.targetCaption.Create({.parent = panel, .id = 1017, .x = 20, .y = 24, .width = 50,
                            .height = 20, .text = "复制到：", .textColour = Black});
    // The folder a copy goes to until the user picks one (the saved one
    // replaces it at start-up). The Windows build starts from a folder on the
    // desktop; here there is no such drive, so the box starts empty.
    c.copyTarget.Create({.parent = panel, .id = 1018, .x = 65, .y = 19, .width = 400,
                         .height = 30, .drawnFrameStyle = true, .textColour = Black});
    c.copyTarget.SetBackground(0x1E000000);
    Ex_ObjSetRadius(c.copyTarget.Handle(), 3, 3, 3, 3, 1);
    c.browse.Create(BlueButton(panel, 1019, "浏览", 470, 19, 60, 30));
    c.openBackup.Create(BlueButton(panel, 1020, "打开备份", 550, 7, 120, 55));
    c.copy.Create(BlueButton(panel, 1021, "复制", 690, 7, 120, 55));
    c.freeSpace.Create({.parent = panel, .id = 1022, .x = 820, .y = 12, .width = 300,
                        .height = 20, .text = "磁盘可用空间：0 MB", .textColour = Black});
    c.listSize.Create({.parent = panel, .id = 1023, .x = 820, .y = 37, .width = 300,
                       .height = 20, .text = "列表占用空间：0 MB", .textColour = Black});
}

void CreateMenus(MainControls& c) {
    c.resultMenu = Ex_MenuCreatePopup();
    Ex_MenuAppend(c.resultMenu, EX_MF_STRING, 1005, u"打开文件");
    Ex_MenuAppend(c.resultMenu, EX_MF_STRING, 1006, u"复制选中");
    Ex_MenuAppend(c.resultMenu, EX_MF_STRING, 1007, u"复制文件名");
    Ex_MenuAppend(c.resultMenu, EX_MF_STRING, 1008, u"复制路径");
    Ex_MenuAppend(c.resultMenu, EX_MF_STRING, 1009, u"打开文件目录");
    Ex_MenuAppend(c.resultMenu, EX_MF_SEPARATOR, 0, nullptr);
    Ex_MenuAppend(c.resultMenu, EX_MF_STRING, 1011, u"全选");
    Ex_MenuAppend(c.resultMenu, EX_MF_STRING, 1012, u"选中添加列表");
    c.copyListMenu = Ex_MenuCreatePopup();
    Ex_MenuAppend(c.copyListMenu, EX_MF_STRING, 1013, u"删除选中");
    Ex_MenuAppend(c.copyListMenu, EX_MF_STRING, 1014, u"备份列表");
    Ex_MenuAppend(c.copyListMenu, EX_MF_STRING, 1015, u"清空列表");
}

}  // namespace

DrawnButtonDescription BlueButton(ExHandle parent, int id, std::string title, int x, int y,
                                  int width, int height) {
    return {.parent = parent, .id = id, .title = std::move(title), .textColour = Black,
            .normal = 0x500060C0, .hover = 0x960060C0, .pressed = 0x320060C0, .radius = 3,
            .x = x, .y = y, .width = width, .height = height};
}

void CreateMainWindowControls() {
    ProgramState& s = State();
    MainControls& c = s.controls;
    CreateBand(s);
    CreateSearchPage(s);
    CreateCopyPage(s);
    c.updateCache.Create({.parent = s.mainDuiHandle, .id = 1028, .title = "更新缓存",
                          .textColour = White, .normal = 0x00FFFFFF, .hover = 0x90FFFFFF,
                          .pressed = 0x58FFFFFF, .radius = 0, .image = UpdateCacheIcon(),
                          .x = 800, .y = 15, .width = 100, .height = 40});
    CreateSettingsPage(s);
    c.directCopyProgress.Create({.parent = s.mainDuiHandle, .id = 1047, .x = 450, .y = 57,
                                 .width = 300, .height = 3, .background = 0xB8000000,
                                 .border = 0xB8000000, .fill = 0xB8FF8000, .maximum = 100,
                                 .position = 50});
    c.directCopyProgress.Show(false);
    CreateMenus(c);
    AttachMainWindowHandlers(c);
    LoadSettings(s);
}

}  // namespace cj::ui
