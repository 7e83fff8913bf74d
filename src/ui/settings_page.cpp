#include "ui/settings_page.h"

#include <string>

#include "core/text_rules.h"
#include "ui/main_controls.h"
#include "ui/program_state.h"

namespace cj::ui {
namespace {

constexpr ExArgb Black = 0xFF000000;
constexpr ExArgb Grey = 0xFFABAEB4;

void CreateRadio(RadioButton& radio, ExHandle group, int id, const char* title, int x,
                 int width) {
    radio.Create({.parent = group, .id = id, .x = x, .y = 25, .width = width, .height = 20,
                  .title = title, .textColour = Black, .hoverTextColour = Black,
                  .pressedTextColour = Black, .checkedTextColour = Black});
}

void CreateGroup(GroupBox& group, ExHandle page, int y, const char* title) {
    group.Create({.parent = page, .id = 0, .x = 10, .y = y, .width = 410, .height = 60,
                  .title = title, .textColour = Black, .border = 0x1E000000,
                  .background = 0x00FFFFFF});
}

}  // namespace

void CreateSettingsPage(ProgramState& s) {
    MainControls& c = s.controls;
    const ExHandle page = c.pages.PageHandle(3);
    c.listCaption.Create({.parent = page, .id = 1036, .x = 12, .y = 25, .width = 200,
                          .height = 20, .text = "搜索目录列表：", .textColour = Black});
    c.directoryLists.Create({.parent = page, .id = 1029, .x = 10, .y = 50, .width = 300,
                             .height = 30, .editable = true, .textColour = Grey});
    const ExHandle inner = Ex_ObjFind(c.directoryLists.Handle(), 0, u"Edit", nullptr);
    Ex_ObjSetColor(inner, EX_COLOR_TEXT, Grey, 0);
    Ex_ObjSetColor(inner, EX_COLOR_CARET, Black, 0);
    c.addList.Create(BlueButton(page, 1030, "添加", 315, 50, 50, 30));
    c.deleteList.Create(BlueButton(page, 1031, "删除", 370, 50, 50, 30));
    c.folders.Create({.parent = page, .id = 1032, .x = 10, .y = 90, .width = 300, .height = 250,
                      .hover = 0xF4FFFFFF, .selected = 0xF4FF0000, .rowHeight = 40,
                      .textColour = Black, .oddRow = 0xFFA9A9A9, .evenRow = 0xFFA9A9A9,
                      .background = 0xF4000000, .multiSelect = false, .acceptFiles = true});
    c.addFolder.Create(BlueButton(page, 1033, "添加目录", 315, 110, 105, 45));
    c.removeFolder.Create(BlueButton(page, 1034, "删除目录", 315, 165, 105, 45));
    c.refreshIndex.Create(BlueButton(page, 1035, "刷新索引", 315, 220, 105, 45));
    c.filterCaption.Create({.parent = page, .id = 1036, .x = 12, .y = 360, .width = 350,
                            .height = 20, .text = "索引文件类型：格式（.mp3|ape|.flac），缓存全部留空",
                            .textColour = Black});
    c.typeFilter.Create({.parent = page, .id = 1037, .x = 10, .y = 385, .width = 355,
                         .height = 30, .drawnFrameStyle = true, .textColour = Black});
    c.typeFilter.SetBackground(0x1E000000);
    Ex_ObjSetRadius(c.typeFilter.Handle(), 3, 3, 3, 3, 1);
    c.saveFilter.Create(BlueButton(page, 1038, "保存", 370, 385, 50, 30));

    CreateGroup(c.windowStateGroup, page, 430, "窗口状态");
    CreateRadio(c.defaultSize, c.windowStateGroup.Handle(), 1039, "默认大小", 20, 100);
    CreateRadio(c.maximised, c.windowStateGroup.Handle(), 1040, "最大窗口", 130, 200);
    CreateRadio(c.customSize, c.windowStateGroup.Handle(), 1041, "自定大小", 260, 200);
    CreateGroup(c.doubleClickGroup, page, 510, "双击搜索列表");
    CreateRadio(c.addToCopyList, c.doubleClickGroup.Handle(), 1042, "添加复制栏", 20, 100);
    CreateRadio(c.openFile, c.doubleClickGroup.Handle(), 1043, "打开文件", 130, 200);
    CreateRadio(c.copyDirectly, c.doubleClickGroup.Handle(), 1044, "双击直接复制", 260, 200);

    c.threadCaption.Create({.parent = page, .id = 1045, .x = 12, .y = 585, .width = 350,
                            .height = 20,
                            .text = "搜索线程数：（请根据自己处理器和磁盘的处理能力选择）",
                            .textColour = Black});
    c.threadCount.Create({.parent = page, .id = 1046, .x = 10, .y = 610, .width = 410,
                          .height = 30, .editable = false, .textColour = Grey});
    std::vector<std::string> counts;
    for (int n = 1; n <= core::MaxThreadCount; ++n) {
        counts.push_back(std::to_string(n));
    }
    c.threadCount.AddItems(counts);
}

void ShowDirectoryList(ProgramState& s, std::string_view title) {
    MainControls& c = s.controls;
    c.folders.ClearRows();
    for (const std::string& folder : core::SplitFolderList(s.config.ReadItem("syml", title))) {
        c.folders.AddRow(folder);
    }
    c.folders.Redraw();
    c.typeFilter.SetText(s.config.ReadItem("syml_a", title));
}

void LoadSettings(ProgramState& s) {
    MainControls& c = s.controls;
    const core::SectionItems lists = s.config.ReadSection("syml");
    s.directoryListTitles = lists.keys;
    s.directoryListValues = lists.values;
    c.directoryLists.AddItems(lists.keys);
    c.directoryLists.SelectItem(1);
    ShowDirectoryList(s, c.directoryLists.GetText());

    s.windowStateOption = static_cast<int>(core::TextToInt(s.config.ReadItem("ckzt", "zt")));
    if (s.windowStateOption == 0) {
        c.defaultSize.SetChecked(true);
    } else if (s.windowStateOption == 1) {
        c.maximised.SetChecked(true);
    } else if (s.windowStateOption == 2) {
        const auto width = static_cast<int>(core::TextToInt(s.config.ReadItem("ckzt", "kd")));
        const auto height = static_cast<int>(core::TextToInt(s.config.ReadItem("ckzt", "gd")));
        s.mainWindow.Place({}, {}, width, height);
        ExRect desktop{};
        Ex_WndGetDesktopRect(&desktop);
        s.mainWindow.Place((desktop.right - width) / 2, (desktop.bottom - height) / 2, {}, {});
    }

    s.doubleClickAction = static_cast<int>(core::TextToInt(s.config.ReadItem("sjms", "ma")));
    RadioButton* const doubleClick[] = {&c.addToCopyList, &c.openFile, &c.copyDirectly};
    if (s.doubleClickAction >= 0 && s.doubleClickAction <= 2) {
        doubleClick[s.doubleClickAction]->SetChecked(true);
    }

    // A missing or impossible thread count (a fresh installation reads none)
    // would leave the search without workers and the refresh without shards:
    // use the number of cores instead, and show it.
    const std::string stored = s.config.ReadItem("xcs", "ma");
    s.threadCount = core::ThreadCountFromText(stored);
    c.threadCount.SelectItem(s.threadCount);

    c.copyTarget.SetText(s.config.ReadItem("mbml", "ma"));
}

}  // namespace cj::ui
