#include "ui/copy_page.h"

#include <algorithm>

#include "platform/code_page.h"
#include "ui/control_ids.h"
#include "ui/main_window.h"
#include "ui/result_list.h"
#include "ui/texts.h"

namespace cj::ui {
namespace {

constexpr ExArgb Black = 0xFF000000;
constexpr ExArgb FieldBackground = 0x1E000000;
constexpr std::int32_t ListStyle = EX_RLVS_HLINES | EX_RLVS_VLINES | EX_LVS_MULTISELECT;
constexpr std::int32_t CellFormat = EX_DT_SINGLELINE | EX_DT_VCENTER;
// The page starts 70 pixels down the window and ends at its bottom; the
// panel ends with the page, the list ends above the panel, and the path
// column takes what the name and size columns leave of the width.
constexpr int PanelHeight = 104;
constexpr int PanelHeightMargin = 70 + PanelHeight;
constexpr int ListHeightMargin = PanelHeightMargin + 3;
constexpr int ListWidthMargin = 4;
constexpr int PathColumnMargin = 554;

// The panel's first line, from the right edge: "复制", "打开备份" and "浏览";
// the target box takes what they leave, so that all of it fits at 800 pixels.
constexpr int Margin = 20;
constexpr int BigButtonWidth = 120;
constexpr int BrowseWidth = 60;
constexpr int Gap = 10;
constexpr int TargetLeft = 65;
// The second line, from the left: the two status texts stacked, the
// same-name choice, then the legend.
constexpr int StatusWidth = 230;
constexpr int SameNameLeft = Margin + StatusWidth + Gap;
constexpr int SameNameCaptionWidth = 70;
constexpr int SameNameWidth = 100;
constexpr int LegendLeft = SameNameLeft + SameNameCaptionWidth + SameNameWidth + 20;
constexpr int LegendSquare = 12;
constexpr int LegendGap = 14;
constexpr int PixelsPerCharacter = 16;  // A Chinese character of the panel's font, and some.

}  // namespace

DrawnButtonDescription BlueButton(ExHandle parent, int id, std::string title, int x, int y,
                                  int width, int height) {
    return {.parent = parent,
            .id = id,
            .title = std::move(title),
            .textColour = Black,
            .normal = 0x500060C0,
            .hover = 0x960060C0,
            .pressed = 0x320060C0,
            .radius = 3,
            .x = x,
            .y = y,
            .width = width,
            .height = height};
}

void CopyPage::Create(ExHandle page) {
    m_copyList.Create({.parent = page,
                       .id = CopyListId,
                       .x = 2,
                       .y = 2,
                       .width = 1196,
                       .height = 600,
                       .verticalScrollBar = true,
                       .styleBits = ListStyle,
                       .background = 0x00000000,
                       .border = 0x2C000000,
                       .header = 0xFF000000,
                       .rowHeight = 100});
    Ex_ObjSetColor(m_copyList.Handle(), EX_COLOR_TEXT, 0xFFDCDCDC, 0);
    m_copyList.AddColumn("   文件名", 400, CellFormat, Black);
    m_copyList.AddColumn("  大小", 120, CellFormat | EX_DT_CENTER, Black);
    m_copyList.AddColumn("  路径", 650, CellFormat, Black);

    m_panel.Create({.parent = page,
                    .id = CopyPanelId,
                    .x = 0,
                    .y = 590,
                    .width = 1200,
                    .height = PanelHeight,
                    .textColour = Black});
    const ExHandle panel = m_panel.Handle();
    m_targetCaption.Create({.parent = panel,
                            .id = TargetCaptionId,
                            .x = Margin,
                            .y = 20,
                            .width = 50,
                            .height = 20,
                            .text = "复制到：",
                            .textColour = Black});
    // The folder a copy goes to until the user picks one (the saved one
    // replaces it at start-up). The Windows build starts from a folder on the
    // desktop; here there is no such drive, so the box starts empty.
    m_target.Create({.parent = panel,
                     .id = CopyTargetId,
                     .x = TargetLeft,
                     .y = 15,
                     .width = 400,
                     .height = 30,
                     .drawnFrameStyle = true,
                     .textColour = Black});
    m_target.SetBackground(FieldBackground);
    Ex_ObjSetRadius(m_target.Handle(), 3, 3, 3, 3, 1);
    m_browse.Create(BlueButton(panel, BrowseId, "浏览", 470, 15, BrowseWidth, 30));
    m_openBackup.Create(BlueButton(panel, OpenBackupId, "打开备份", 550, 10, BigButtonWidth, 40));
    m_copy.Create(BlueButton(panel, CopyId, "复制", 690, 10, BigButtonWidth, 40));
    CreateSecondLine(panel);

    m_menu = Ex_MenuCreatePopup();
    Ex_MenuAppend(m_menu, EX_MF_STRING, OpenEntryCommand, u"打开文件");
    Ex_MenuAppend(m_menu, EX_MF_STRING, ShowEntryInFolderCommand, u"打开文件目录");
    Ex_MenuAppend(m_menu, EX_MF_SEPARATOR, 0, nullptr);
    Ex_MenuAppend(m_menu, EX_MF_STRING, RemoveSelectedCommand, u"删除选中");
    Ex_MenuAppend(m_menu, EX_MF_STRING, BackUpListCommand, u"备份列表");
    Ex_MenuAppend(m_menu, EX_MF_STRING, ClearListCommand, u"清空列表");
}

void CopyPage::CreateSecondLine(ExHandle panel) {
    m_freeSpace.Create({.parent = panel,
                        .id = FreeSpaceId,
                        .x = Margin,
                        .y = 56,
                        .width = StatusWidth,
                        .height = 20,
                        .text = "磁盘可用空间：0 MB",
                        .textColour = Black});
    m_listSize.Create({.parent = panel,
                       .id = ListSizeId,
                       .x = Margin,
                       .y = 78,
                       .width = StatusWidth,
                       .height = 20,
                       .text = "列表占用空间：0 MB",
                       .textColour = Black});
    m_sameNameCaption.Create({.parent = panel,
                              .id = SameNameCaptionId,
                              .x = SameNameLeft,
                              .y = 62,
                              .width = SameNameCaptionWidth,
                              .height = 28,
                              .text = std::string(SameNameCaption),
                              .textColour = Black});
    m_sameName.Create({.parent = panel,
                       .id = SameNameId,
                       .x = SameNameLeft + SameNameCaptionWidth,
                       .y = 62,
                       .width = SameNameWidth,
                       .height = 28,
                       .editable = false,
                       .textColour = Black});
    m_sameName.AddItems({std::string(SameNameSkipText), std::string(SameNameKeepBothText)});
    ShowSameNameRule(core::SameNameRule::Skip);

    // What the marks before the result rows mean, drawn as they are drawn.
    int x = LegendLeft;
    for (std::size_t i = 0; i < m_legendSquares.size(); ++i) {
        m_legendSquares[i].Create({.parent = panel,
                                   .id = LegendId,
                                   .x = x,
                                   .y = 62 + (28 - LegendSquare) / 2,
                                   .width = LegendSquare,
                                   .height = LegendSquare});
        m_legendSquares[i].SetBackground(MarkerColours[i]);
        x += LegendSquare + 5;
        const std::string_view word = MarkLegendTexts[i];
        const int width =
            static_cast<int>(platform::NarrowToUtf16(word).size()) * PixelsPerCharacter;
        m_legendWords[i].Create({.parent = panel,
                                 .id = LegendId,
                                 .x = x,
                                 .y = 62,
                                 .width = width,
                                 .height = 28,
                                 .text = std::string(word),
                                 .textColour = Black});
        x += width + LegendGap;
    }
}

void CopyPage::ShowSameNameRule(core::SameNameRule rule) const {
    m_sameName.SelectItem(rule == core::SameNameRule::KeepBoth ? 2 : 1);
}

void CopyPage::AttachHandlers() {
    BindEvent<&CopyPage::OnBrowseClick>(m_browse, EX_NM_CLICK, *this);
    BindEvent<&CopyPage::OnOpenBackupClick>(m_openBackup, EX_NM_CLICK, *this);
    BindEvent<&CopyPage::OnCopyClick>(m_copy, EX_NM_CLICK, *this);
    BindEvent<&CopyPage::OnSameNameChosen>(m_sameName, EX_CBN_SELCHANGE, *this);
}

void CopyPage::ShowStatus(const std::string& freeSpace, const std::string& listSize) {
    if (freeSpace != m_freeSpaceText) {
        m_freeSpace.SetText(freeSpace);
        m_freeSpaceText = freeSpace;
    }
    if (listSize != m_listSizeText) {
        m_listSize.SetText(listSize);
        m_listSizeText = listSize;
    }
}

intptr_t CopyPage::OnBrowseClick(const ControlEvent& /*event*/) {
    m_window.BrowseForTarget();
    return 0;
}

intptr_t CopyPage::OnOpenBackupClick(const ControlEvent& /*event*/) {
    m_window.RestoreBackup();
    return 0;
}

intptr_t CopyPage::OnCopyClick(const ControlEvent& /*event*/) {
    m_window.StartCopyJob();
    return 0;
}

intptr_t CopyPage::OnSameNameChosen(const ControlEvent& /*event*/) {
    m_window.SetSameNameRule(m_sameName.CurrentItem() == 2 ? core::SameNameRule::KeepBoth
                                                           : core::SameNameRule::Skip);
    return 0;
}

void CopyPage::FitListToWindow(int width, int height) const {
    m_copyList.Update();
    m_copyList.Move({}, {}, width - ListWidthMargin, height - ListHeightMargin);
    m_copyList.SetColumnWidth(3, width - PathColumnMargin);
}

void CopyPage::LayOut(int width, int height, bool pageShown) {
    if (pageShown) {
        m_copyList.Move({}, {}, width - ListWidthMargin, height - ListHeightMargin);
        m_copyList.SetColumnWidth(3, width - PathColumnMargin);
    }
    m_panel.Move({}, height - PanelHeightMargin, width, {});
    const int copyLeft = width - Margin - BigButtonWidth;
    const int backupLeft = copyLeft - Gap - BigButtonWidth;
    const int browseLeft = backupLeft - Gap - BrowseWidth;
    m_copy.Move(copyLeft, {});
    m_openBackup.Move(backupLeft, {});
    m_browse.Move(browseLeft, {});
    m_target.Move({}, {}, std::max(browseLeft - Gap - TargetLeft, 100), {});
}

}  // namespace cj::ui
