#include "ui/settings_page.h"

#include "core/text_rules.h"
#include "ui/control_ids.h"
#include "ui/copy_page.h"
#include "ui/main_window.h"

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

void SettingsPage::Create(ExHandle page) {
    m_listCaption.Create({.parent = page, .id = SettingsCaptionId, .x = 12, .y = 25,
                          .width = 200, .height = 20, .text = "搜索目录列表：",
                          .textColour = Black});
    m_directoryLists.Create({.parent = page, .id = DirectoryListsId, .x = 10, .y = 50,
                             .width = 300, .height = 30, .editable = true, .textColour = Grey});
    const ExHandle inner = Ex_ObjFind(m_directoryLists.Handle(), 0, u"Edit", nullptr);
    Ex_ObjSetColor(inner, EX_COLOR_TEXT, Grey, 0);
    Ex_ObjSetColor(inner, EX_COLOR_CARET, Black, 0);
    m_addList.Create(BlueButton(page, AddListId, "添加", 315, 50, 50, 30));
    m_deleteList.Create(BlueButton(page, DeleteListId, "删除", 370, 50, 50, 30));
    m_folders.Create({.parent = page, .id = FoldersId, .x = 10, .y = 90, .width = 300,
                      .height = 250, .hover = 0xF4FFFFFF, .selected = 0xF4FF0000,
                      .rowHeight = 40, .textColour = Black, .oddRow = 0xFFA9A9A9,
                      .evenRow = 0xFFA9A9A9, .background = 0xF4000000, .multiSelect = false,
                      .acceptFiles = true});
    m_addFolder.Create(BlueButton(page, AddFolderId, "添加目录", 315, 110, 105, 45));
    m_removeFolder.Create(BlueButton(page, RemoveFolderId, "删除目录", 315, 165, 105, 45));
    m_refreshIndex.Create(BlueButton(page, RefreshIndexId, "刷新索引", 315, 220, 105, 45));
    m_filterCaption.Create({.parent = page, .id = SettingsCaptionId, .x = 12, .y = 360,
                            .width = 350, .height = 20,
                            .text = "索引文件类型：格式（.mp3|ape|.flac），缓存全部留空",
                            .textColour = Black});
    m_typeFilter.Create({.parent = page, .id = TypeFilterId, .x = 10, .y = 385, .width = 355,
                         .height = 30, .drawnFrameStyle = true, .textColour = Black});
    m_typeFilter.SetBackground(0x1E000000);
    Ex_ObjSetRadius(m_typeFilter.Handle(), 3, 3, 3, 3, 1);
    m_saveFilter.Create(BlueButton(page, SaveFilterId, "保存", 370, 385, 50, 30));

    CreateGroup(m_windowStateGroup, page, 430, "窗口状态");
    const ExHandle windowGroup = m_windowStateGroup.Handle();
    CreateRadio(m_defaultSize, windowGroup, DefaultSizeId, "默认大小", 20, 100);
    CreateRadio(m_maximised, windowGroup, MaximisedId, "最大窗口", 130, 200);
    CreateRadio(m_customSize, windowGroup, CustomSizeId, "自定大小", 260, 200);
    CreateGroup(m_doubleClickGroup, page, 510, "双击搜索列表");
    const ExHandle clickGroup = m_doubleClickGroup.Handle();
    CreateRadio(m_addToCopyList, clickGroup, AddToCopyListId, "添加复制栏", 20, 100);
    CreateRadio(m_openFile, clickGroup, OpenFileId, "打开文件", 130, 200);
    CreateRadio(m_copyDirectly, clickGroup, CopyDirectlyId, "双击直接复制", 260, 200);

    m_threadCaption.Create({.parent = page, .id = ThreadCaptionId, .x = 12, .y = 585,
                            .width = 350, .height = 20,
                            .text = "搜索线程数：（请根据自己处理器和磁盘的处理能力选择）",
                            .textColour = Black});
    m_threadCount.Create({.parent = page, .id = ThreadCountId, .x = 10, .y = 610, .width = 410,
                          .height = 30, .editable = false, .textColour = Grey});
    std::vector<std::string> counts;
    for (int n = 1; n <= core::MaxThreadCount; ++n) {
        counts.push_back(std::to_string(n));
    }
    m_threadCount.AddItems(counts);
}

void SettingsPage::AttachHandlers() {
    BindEvent<&SettingsPage::OnDirectoryListChosen>(m_directoryLists, EX_CBN_SELCHANGE, *this);
    BindEvent<&SettingsPage::OnRefreshClick>(m_refreshIndex, EX_NM_CLICK, *this);
    for (const RadioButton* radio : {&m_defaultSize, &m_maximised, &m_customSize,
                                     &m_addToCopyList, &m_openFile, &m_copyDirectly}) {
        BindEvent<&SettingsPage::OnOptionChecked>(*radio, EX_NM_CHECK, *this);
    }
}

std::vector<std::string> SettingsPage::Folders() const {
    std::vector<std::string> folders;
    for (int row = 1; row <= m_folders.RowCount(); ++row) {
        folders.push_back(m_folders.RowText(row));
    }
    return folders;
}

void SettingsPage::ShowDirectoryList(std::string_view title) {
    const std::optional<core::DirectoryList> list = m_window.Settings().ReadDirectoryList(title);
    m_folders.ClearRows();
    for (const std::string& folder : list ? list->folders : std::vector<std::string>()) {
        m_folders.AddRow(folder);
    }
    m_folders.Redraw();
    m_typeFilter.SetText(list ? list->filter : std::string());
}

void SettingsPage::Load(const core::Settings& saved) {
    WindowOptions& options = m_window.Options();
    std::vector<std::string> titles;
    for (const core::DirectoryList& list : saved.directoryLists) {
        titles.push_back(list.title);
    }
    m_directoryLists.AddItems(titles);
    m_directoryLists.SelectItem(1);
    ShowDirectoryList(m_directoryLists.GetText());

    options.windowState = saved.window.option;
    if (options.windowState == core::WindowSizeOption::Default) {
        m_defaultSize.SetChecked(true);
    } else if (options.windowState == core::WindowSizeOption::Maximised) {
        m_maximised.SetChecked(true);
    } else if (options.windowState == core::WindowSizeOption::Remembered) {
        m_window.PlaceCentred(saved.window.width, saved.window.height);
    }

    options.doubleClick = saved.doubleClick;
    if (options.doubleClick) {
        RadioButton* const doubleClick[] = {&m_addToCopyList, &m_openFile, &m_copyDirectly};
        doubleClick[static_cast<int>(*options.doubleClick)]->SetChecked(true);
    }

    // A missing or impossible thread count (a fresh installation reads none)
    // would leave the search without workers and the refresh without shards:
    // the count in use is then the number of cores, and the selector shows it.
    options.threadCount = saved.threadCount.count;
    m_threadCount.SelectItem(options.threadCount);
}

intptr_t SettingsPage::OnDirectoryListChosen(const ControlEvent& /*event*/) {
    ShowDirectoryList(m_directoryLists.GetText());
    return 0;
}

intptr_t SettingsPage::OnRefreshClick(const ControlEvent& /*event*/) {
    m_window.StartRefresh();
    return 0;
}

intptr_t SettingsPage::OnOptionChecked(const ControlEvent& event) {
    if (event.wParam != 1) {
        return 0;
    }
    WindowOptions& options = m_window.Options();
    switch (event.id) {
        case DefaultSizeId:
            options.windowState = core::WindowSizeOption::Default;
            m_window.ShowDefaultSize();
            break;
        case MaximisedId:
            options.windowState = core::WindowSizeOption::Maximised;
            m_window.ShowMaximised();
            break;
        case CustomSizeId:
            options.windowState = core::WindowSizeOption::Remembered;
            break;
        case AddToCopyListId:
        case OpenFileId:
        case CopyDirectlyId:
            options.doubleClick = static_cast<core::DoubleClickAction>(event.id - AddToCopyListId);
            break;
        default:
            break;
    }
    return 0;
}

}  // namespace cj::ui
