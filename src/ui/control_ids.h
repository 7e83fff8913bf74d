// The identifiers of the main window's controls and menu commands. Several
// labels share one identifier: nothing looks them up by it.
#pragma once

#include <cstdint>

namespace cj::ui {

enum ControlId : int {
    // The band and the search page.
    SearchBoxId = 1000,
    SearchButtonId = 1001,
    BusyLabelId = 1002,
    BandLabelId = 1003,  // The title, the status line and the added count.
    UpdateCacheId = 1028,
    DirectCopyProgressId = 1047,
    CopyReportId = 1048,      // Opens the last copy's report.
    BatchButtonId = 1060,     // "批量": opens the batch box.
    FirstStartHintId = 1070,  // Over the empty result list before any directory list.

    // The copy page.
    CopyListId = 1004,
    CopyPanelId = 1016,
    TargetCaptionId = 1017,
    CopyTargetId = 1018,
    BrowseId = 1019,
    OpenBackupId = 1020,
    CopyId = 1021,
    FreeSpaceId = 1022,
    ListSizeId = 1023,

    // The settings page.
    DirectoryListsId = 1029,
    AddListId = 1030,
    DeleteListId = 1031,
    FoldersId = 1032,
    AddFolderId = 1033,
    RemoveFolderId = 1034,
    RefreshIndexId = 1035,
    SettingsCaptionId = 1036,  // The list and the filter captions.
    TypeFilterId = 1037,
    SaveFilterId = 1038,
    DefaultSizeId = 1039,
    MaximisedId = 1040,
    CustomSizeId = 1041,
    AddToCopyListId = 1042,
    OpenFileId = 1043,
    CopyDirectlyId = 1044,
    ThreadCaptionId = 1045,
    ThreadCountId = 1046,
    ExactMatchId = 1061,
    IgnoreCaseAndWidthId = 1062,
    // The copy page's second line.
    SameNameCaptionId = 1070,
    SameNameId = 1071,
    LegendId = 1072,  // The legend's squares and words.
};

// The commands of the result list's and the copy list's context menus.
enum MenuCommand : int {
    OpenFileCommand = 1005,
    CopySelectedCommand = 1006,
    CopyNamesCommand = 1007,
    CopyPathsCommand = 1008,
    ShowInFolderCommand = 1009,
    SelectAllCommand = 1011,
    AddSelectedCommand = 1012,
    RemoveSelectedCommand = 1013,
    BackUpListCommand = 1014,
    ClearListCommand = 1015,
    // The copy list's own "打开文件" and "打开文件目录", on its current row.
    OpenEntryCommand = 1080,
    ShowEntryInFolderCommand = 1081,
};

// The main window's own messages, above the library's range.
inline constexpr std::int32_t JobEventsMessage = 0x8001;  // Posted by the job inbox.

}  // namespace cj::ui
