#include "ui/settings_page.h"

#include <algorithm>

#include "core/text_rules.h"
#include "core/version.h"
#include "platform/code_page.h"
#include "platform/profile.h"
#include "shell/dropped_folders.h"
#include "ui/control_ids.h"
#include "ui/copy_page.h"
#include "ui/main_window.h"
#include "ui/object_owners.h"
#include "ui/texts.h"

namespace cj::ui {
namespace {

constexpr ExArgb Black = 0xFF000000;
constexpr ExArgb Grey = 0xFFABAEB4;

void CreateRadio(RadioButton& radio, ExHandle group, int id, const char* title, int x, int width) {
    radio.Create({.parent = group,
                  .id = id,
                  .x = x,
                  .y = 25,
                  .width = width,
                  .height = 20,
                  .title = title,
                  .textColour = Black,
                  .hoverTextColour = Black,
                  .pressedTextColour = Black,
                  .checkedTextColour = Black});
}

void CreateGroup(GroupBox& group, ExHandle page, int y, const char* title, int x = 10,
                 int width = 410) {
    group.Create({.parent = page,
                  .id = 0,
                  .x = x,
                  .y = y,
                  .width = width,
                  .height = 60,
                  .title = title,
                  .textColour = Black,
                  .border = 0x1E000000,
                  .background = 0x00FFFFFF});
}

bool IsBlankTitle(std::string_view title) {
    return title.find_first_not_of(" \t\r\n\v\f") == std::string_view::npos;
}

// The names of a drop, whole: the library gives each name's length first.
std::vector<std::string> DroppedNames(intptr_t drop) {
    std::vector<std::string> names;
    const std::uint32_t count = Ex_DropQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::u16string name(Ex_DropQueryFile(drop, i, nullptr, 0) + std::size_t{1}, u'\0');
        name.resize(
            Ex_DropQueryFile(drop, i, name.data(), static_cast<std::uint32_t>(name.size())));
        names.push_back(platform::Utf16ToNarrow(name));
    }
    return names;
}

// The page of each folder list, for the list's procedure. Never destroyed, so
// that a list that hears of its end while the process exits still finds it.
ObjectOwners<SettingsPage>& FolderListPages() {
    static auto* pages = new ObjectOwners<SettingsPage>;
    return *pages;
}

// The folder list's own procedure: it takes the drops and lets the library
// go on with every message.
intptr_t FolderListProcedure(ExHandle /*window*/, ExHandle object, std::int32_t message,
                             intptr_t wParam, intptr_t /*lParam*/, intptr_t* /*result*/) {
    if (message == EX_WM_DESTROY) {
        FolderListPages().Forget(object);
    }
    if (message != EX_WM_DROPFILES) {
        return 0;
    }
    SettingsPage* page = FolderListPages().Find(object);
    try {
        if (page != nullptr) {
            page->AddDroppedFolders(DroppedNames(wParam));
        }
    } catch (...) {
        // Out of memory: the drop is lost, the list stays as it was shown.
    }
    return 0;
}

}  // namespace

void SettingsPage::Create(ExHandle viewport) {
    // The page's controls lie on a panel that scrolls when the window is
    // lower than they reach.
    const ExHandle page = m_panel.Create({.parent = viewport}) ? m_panel.Handle() : viewport;
    m_listCaption.Create({.parent = page,
                          .id = SettingsCaptionId,
                          .x = 12,
                          .y = 25,
                          .width = 200,
                          .height = 20,
                          .text = "搜索目录列表：",
                          .textColour = Black});
    m_directoryLists.Create({.parent = page,
                             .id = DirectoryListsId,
                             .x = 10,
                             .y = 50,
                             .width = 300,
                             .height = 30,
                             .editable = true,
                             .textColour = Grey});
    const ExHandle inner = Ex_ObjFind(m_directoryLists.Handle(), 0, u"Edit", nullptr);
    Ex_ObjSetColor(inner, EX_COLOR_TEXT, Grey, 0);
    Ex_ObjSetColor(inner, EX_COLOR_CARET, Black, 0);
    m_addList.Create(BlueButton(page, AddListId, "添加", 315, 50, 50, 30));
    m_deleteList.Create(BlueButton(page, DeleteListId, "删除", 370, 50, 50, 30));
    m_folders.Create({.parent = page,
                      .id = FoldersId,
                      .x = 10,
                      .y = 90,
                      .width = 300,
                      .height = 250,
                      .hover = 0xF4FFFFFF,
                      .selected = 0xF4FF0000,
                      .rowHeight = 40,
                      .textColour = Black,
                      .oddRow = 0xFFA9A9A9,
                      .evenRow = 0xFFA9A9A9,
                      .background = 0xF4000000,
                      .multiSelect = false,
                      .acceptFiles = true,
                      .procedure = FolderListProcedure});
    m_addFolder.Create(BlueButton(page, AddFolderId, "添加目录", 315, 110, 105, 45));
    m_removeFolder.Create(BlueButton(page, RemoveFolderId, "删除目录", 315, 165, 105, 45));
    m_refreshIndex.Create(BlueButton(page, RefreshIndexId, "刷新索引", 315, 220, 105, 45));
    m_filterCaption.Create({.parent = page,
                            .id = SettingsCaptionId,
                            .x = 12,
                            .y = 360,
                            .width = 350,
                            .height = 20,
                            .text = "索引文件类型：格式（mp3|ape|flac），缓存全部留空",
                            .textColour = Black});
    m_typeFilter.Create({.parent = page,
                         .id = TypeFilterId,
                         .x = 10,
                         .y = 385,
                         .width = 355,
                         .height = 30,
                         .drawnFrameStyle = true,
                         .textColour = Black});
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

    m_threadCaption.Create({.parent = page,
                            .id = ThreadCaptionId,
                            .x = 12,
                            .y = 585,
                            .width = 350,
                            .height = 20,
                            .text = "搜索线程数：（请根据自己处理器和磁盘的处理能力选择）",
                            .textColour = Black});
    m_threadCount.Create({.parent = page,
                          .id = ThreadCountId,
                          .x = 10,
                          .y = 610,
                          .width = 410,
                          .height = 30,
                          .editable = false,
                          .textColour = Grey});
    std::vector<std::string> counts;
    for (int n = 1; n <= core::MaxThreadCount; ++n) {
        counts.push_back(std::to_string(n));
    }
    m_threadCount.AddItems(counts);

    // Beside the window's options, narrow enough to end clear of the scroll
    // bar in the narrowest window (800 pixels).
    CreateGroup(m_matchingGroup, page, 430, MatchingGroupText.data(), 440, 330);
    const ExHandle matchingGroup = m_matchingGroup.Handle();
    CreateRadio(m_exactMatch, matchingGroup, ExactMatchId, ExactMatchText.data(), 20, 100);
    CreateRadio(m_ignoreCaseAndWidth, matchingGroup, IgnoreCaseAndWidthId,
                IgnoreCaseAndWidthText.data(), 130, 190);
    // The program's version, in the free corner beside the thread count, so
    // that the page grows neither lower nor wider.
    m_version.Create({.parent = page,
                      .id = SettingsCaptionId,
                      .x = 442,
                      .y = 615,
                      .width = 200,
                      .height = 20,
                      .text = std::string("版本 ") + Version,
                      .textColour = 0xFF808080});
    m_panel.Fit();
}

void SettingsPage::AttachHandlers() {
    BindEvent<&SettingsPage::OnDirectoryListChosen>(m_directoryLists, EX_CBN_SELCHANGE, *this);
    BindEvent<&SettingsPage::OnRefreshClick>(m_refreshIndex, EX_NM_CLICK, *this);
    BindEvent<&SettingsPage::OnAddListClick>(m_addList, EX_NM_CLICK, *this);
    BindEvent<&SettingsPage::OnDeleteListClick>(m_deleteList, EX_NM_CLICK, *this);
    BindEvent<&SettingsPage::OnAddFolderClick>(m_addFolder, EX_NM_CLICK, *this);
    BindEvent<&SettingsPage::OnRemoveFolderClick>(m_removeFolder, EX_NM_CLICK, *this);
    BindEvent<&SettingsPage::OnSaveFilterClick>(m_saveFilter, EX_NM_CLICK, *this);
    BindEvent<&SettingsPage::OnThreadCountChosen>(m_threadCount, EX_CBN_SELCHANGE, *this);
    FolderListPages().Set(m_folders.Handle(), *this);
    for (const RadioButton* radio :
         {&m_defaultSize, &m_maximised, &m_customSize, &m_addToCopyList, &m_openFile,
          &m_copyDirectly, &m_exactMatch, &m_ignoreCaseAndWidth}) {
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
        m_customSize.SetChecked(true);
        m_window.PlaceCentred(saved.window.width, saved.window.height);
    }

    options.doubleClick = saved.doubleClick;
    if (options.doubleClick) {
        RadioButton* const doubleClick[] = {&m_addToCopyList, &m_openFile, &m_copyDirectly};
        doubleClick[static_cast<int>(*options.doubleClick)]->SetChecked(true);
    }

    // A missing or impossible thread count (a fresh installation reads none)
    // reads as the number of cores, which the index then uses: the selector
    // shows it.
    m_threadCount.SelectItem(saved.threadCount.count);

    m_storedIgnoreCase = saved.ignoreCaseAndWidth;
    (saved.ignoreCaseAndWidth ? m_ignoreCaseAndWidth : m_exactMatch).SetChecked(true);
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
        case ExactMatchId:
        case IgnoreCaseAndWidthId: {
            const bool ignore = event.id == IgnoreCaseAndWidthId;
            options.matchRule =
                ignore ? search::MatchRule::IgnoreCaseAndWidth : search::MatchRule::Exact;
            // Stored at once, as a list's edits are: the next start reads it.
            if (ignore != m_storedIgnoreCase) {
                if (const std::error_code error =
                        m_window.Settings().TrySaveIgnoreCaseAndWidth(ignore)) {
                    TellWriteFailure(error);
                } else {
                    m_storedIgnoreCase = ignore;
                }
            }
            break;
        }
        default:
            break;
    }
    return 0;
}

std::optional<std::string> SettingsPage::StorableTitle() const {
    std::string title = m_directoryLists.GetText();
    if (IsBlankTitle(title)) {
        m_window.Tell(ListTitleEmptyText);
        return std::nullopt;
    }
    if (!core::IsStorableListTitle(title)) {
        m_window.Tell(ListTitleUnstorableText);
        return std::nullopt;
    }
    return title;
}

void SettingsPage::TellWriteFailure(std::error_code error) const {
    m_window.Tell(SettingsWriteFailedText(m_window.Settings().Path(), error));
}

void SettingsPage::EnsureListItem(const std::string& title) const {
    for (int item = 1; item <= m_directoryLists.ItemCount(); ++item) {
        if (platform::IsSameProfileName(m_directoryLists.ItemText(item), title)) {
            return;
        }
    }
    m_directoryLists.InsertItem(0, title);
}

void SettingsPage::SaveShownFolders(const std::string& title) {
    const std::vector<std::string> folders = Folders();
    const std::error_code error = m_window.Settings().TrySaveListFolders(title, folders);
    if (!error) {
        // The file holds the list now, so the drop-down offers it.
        EnsureListItem(title);
        return;
    }
    // Folders the file cannot hold come only from a hand-edited file (an
    // empty piece between two separators): name the first.
    const auto unstorable = std::find_if(folders.begin(), folders.end(), [](const std::string& f) {
        return !core::AreStorableFolders(std::span(&f, 1));
    });
    if (error == std::errc::invalid_argument && unstorable != folders.end()) {
        m_window.Tell(FolderUnstorableText(*unstorable));
    } else {
        TellWriteFailure(error);
    }
}

void SettingsPage::AddFolders(const std::string& title, const std::vector<std::string>& folders) {
    // One message for all the folders refused, however many were dropped.
    std::string refused;
    const auto refuse = [&refused](const std::string& text) {
        refused += (refused.empty() ? "" : "\n") + text;
    };
    std::vector<std::string> listed = Folders();
    for (const std::string& folder : folders) {
        if (!core::AreStorableFolders(std::span(&folder, 1))) {
            refuse(FolderUnstorableText(folder));
        } else if (const std::optional<std::string> covering =
                       shell::CoveringFolder(folder, listed)) {
            refuse(FolderAlreadyListedText(folder, *covering));
        } else {
            m_folders.AddRow(folder);
            listed.push_back(folder);
        }
    }
    m_folders.Redraw();
    if (!refused.empty()) {
        m_window.Tell(refused);
    }
    SaveShownFolders(title);
}

void SettingsPage::AddDroppedFolders(const std::vector<std::string>& names) {
    if (const std::optional<std::string> title = StorableTitle()) {
        AddFolders(*title, shell::DroppedFolders(names));
    }
}

intptr_t SettingsPage::OnAddListClick(const ControlEvent& /*event*/) {
    const std::optional<std::string> title = StorableTitle();
    if (!title) {
        return 0;
    }
    const std::optional<core::DirectoryList> existing =
        m_window.Settings().ReadDirectoryList(*title);
    if (existing && existing->created) {
        m_window.Tell(ListExistsText);
        return 0;
    }
    if (const std::error_code error = m_window.Settings().TryCreateDirectoryList(*title)) {
        TellWriteFailure(error);
        return 0;
    }
    EnsureListItem(*title);
    // The title stays as it is, so the next folder added goes to the new
    // list. The filter box shows the new list's own filter, empty unless the
    // file kept one: the last list's would be saved with it otherwise.
    m_folders.ClearRows();
    m_folders.Redraw();
    m_typeFilter.SetText(existing ? existing->filter : std::string());
    return 0;
}

intptr_t SettingsPage::OnDeleteListClick(const ControlEvent& /*event*/) {
    // The title is taken before the items are refilled, whatever the combo
    // box does with its text meanwhile.
    const std::string title = m_directoryLists.GetText();
    if (title.empty()) {
        return 0;
    }
    const bool storable = core::IsStorableListTitle(title);
    const std::optional<core::DirectoryList> list =
        storable ? m_window.Settings().ReadDirectoryList(title) : std::nullopt;
    if (!m_window.Ask(DeleteListQuestion(title, list ? list->folders.size() : 0))) {
        return 0;
    }
    // A title the file cannot hold names no stored list: only its item goes.
    if (storable) {
        if (const std::error_code error = m_window.Settings().TryDeleteDirectoryList(title)) {
            TellWriteFailure(error);
            return 0;
        }
    }
    std::vector<std::string> kept;
    for (int item = 1; item <= m_directoryLists.ItemCount(); ++item) {
        std::string text = m_directoryLists.ItemText(item);
        if (!platform::IsSameProfileName(text, title)) {
            kept.push_back(std::move(text));
        }
    }
    m_directoryLists.ClearItems();
    m_directoryLists.AddItems(kept);
    m_directoryLists.SetText("");
    m_directoryLists.SelectItem(1);
    // The box shows the list now named, never the deleted one's folders
    // under another title, where the next "添加目录" would save them.
    ShowDirectoryList(m_directoryLists.GetText());
    return 0;
}

intptr_t SettingsPage::OnAddFolderClick(const ControlEvent& /*event*/) {
    const std::optional<std::string> title = StorableTitle();
    if (!title) {
        return 0;
    }
    std::vector<std::string> picked;
    if (std::optional<std::string> folder = m_window.PickFolder(); folder && !folder->empty()) {
        picked.push_back(std::move(*folder));
    }
    // Also after a cancelled picker the list is written as the box shows it.
    AddFolders(*title, picked);
    return 0;
}

intptr_t SettingsPage::OnRemoveFolderClick(const ControlEvent& /*event*/) {
    const int row = m_folders.SelectedRow();
    if (row == 0) {
        return 0;
    }
    const std::optional<std::string> title = StorableTitle();
    if (!title) {
        return 0;
    }
    m_folders.RemoveRow(row);
    m_folders.Redraw();
    SaveShownFolders(*title);
    return 0;
}

intptr_t SettingsPage::OnSaveFilterClick(const ControlEvent& /*event*/) {
    if (m_directoryLists.GetText().empty()) {
        return 0;
    }
    const std::optional<std::string> title = StorableTitle();
    if (!title) {
        return 0;
    }
    if (const std::error_code error =
            m_window.Settings().TrySaveListFilter(*title, m_typeFilter.GetText())) {
        TellWriteFailure(error);
    } else {
        m_window.Search().ShowConfirmation(SavedText);
    }
    return 0;
}

intptr_t SettingsPage::OnThreadCountChosen(const ControlEvent& /*event*/) {
    const int count = core::ThreadCountFromText(m_threadCount.GetText());
    const core::StartOutcome outcome = m_window.StartThreadCountChange(count);
    if (outcome != core::StartOutcome::Started) {
        m_window.ShowThreadCount();
        m_window.Tell(ThreadCountRefusedText(outcome));
    }
    return 0;
}

}  // namespace cj::ui
