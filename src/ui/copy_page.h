// The copy page: the copy list with its file name, size and path columns,
// and the panel below it: on its first line the target folder, "浏览",
// "打开备份" and "复制"; on its second the free-space and list-size texts,
// the choice for same-name files and the legend of the result rows' marks.
// UI thread only.
#pragma once

#include <array>
#include <string>

#include "core/same_name_rule.h"
#include "ui/controls/basic_controls.h"
#include "ui/controls/drawn_button.h"
#include "ui/controls/report_list.h"

namespace cj::ui {

class MainWindow;

class CopyPage {
  public:
    explicit CopyPage(MainWindow& window) : m_window(window) {}

    // Creates the page's controls on page, and the copy list's context menu.
    void Create(ExHandle page);
    // Attaches "浏览", "打开备份", "复制" and the same-name choice to the
    // window's actions.
    void AttachHandlers();
    void LayOut(int width, int height, bool pageShown);
    // The copy list is sized to the window when its page is chosen, not at
    // every resize while it is hidden.
    void FitListToWindow(int width, int height) const;

    std::string TargetText() const { return m_target.GetText(); }
    void SetTargetText(const std::string& text) const { m_target.SetText(text); }
    bool Exists() const { return m_target.Handle() != 0; }
    // Shows rule in the same-name choice, without telling the window.
    void ShowSameNameRule(core::SameNameRule rule) const;
    // Rewrites the free-space and list-size texts when they changed.
    void ShowStatus(const std::string& freeSpace, const std::string& listSize);

    const ReportList& CopyList() const { return m_copyList; }
    const Label& Panel() const { return m_panel; }
    const EditBox& Target() const { return m_target; }
    const DrawnButton& Browse() const { return m_browse; }
    const DrawnButton& OpenBackup() const { return m_openBackup; }
    const DrawnButton& CopyButton() const { return m_copy; }
    const Label& FreeSpace() const { return m_freeSpace; }
    const Label& ListSize() const { return m_listSize; }
    const ComboBox& SameName() const { return m_sameName; }
    // The legend's coloured squares and their words, in mark order.
    const std::array<Label, 3>& LegendSquares() const { return m_legendSquares; }
    const std::array<Label, 3>& LegendWords() const { return m_legendWords; }
    ExHandle Menu() const { return m_menu; }

  private:
    intptr_t OnBrowseClick(const ControlEvent& event);
    intptr_t OnOpenBackupClick(const ControlEvent& event);
    intptr_t OnCopyClick(const ControlEvent& event);
    intptr_t OnSameNameChosen(const ControlEvent& event);
    void CreateSecondLine(ExHandle panel);

    MainWindow& m_window;
    ReportList m_copyList;
    Label m_panel;
    Label m_targetCaption;
    EditBox m_target;
    DrawnButton m_browse;
    DrawnButton m_openBackup;
    DrawnButton m_copy;
    Label m_freeSpace;
    Label m_listSize;
    Label m_sameNameCaption;
    ComboBox m_sameName;
    std::array<Label, 3> m_legendSquares;
    std::array<Label, 3> m_legendWords;
    ExHandle m_menu = 0;  // The copy list's context menu.
    // The status texts last written, so that the timer repaints only changes.
    std::string m_freeSpaceText;
    std::string m_listSizeText;
};

// The blue drawn button the copy and settings pages use.
DrawnButtonDescription BlueButton(ExHandle parent, int id, std::string title, int x, int y,
                                  int width, int height);

}  // namespace cj::ui
