// The copy page: the copy list with its file name, size and path columns,
// and the panel below it with the target folder, "浏览", "打开备份", "复制"
// and the free-space and list-size texts. UI thread only.
#pragma once

#include <string>

#include "ui/controls/basic_controls.h"
#include "ui/controls/drawn_button.h"
#include "ui/controls/report_list.h"

namespace cj::ui {

class CopyPage {
  public:
    // Creates the page's controls on page, and the copy list's context menu.
    void Create(ExHandle page);
    void LayOut(int width, int height, bool pageShown);
    // The copy list is sized to the window when its page is chosen, not at
    // every resize while it is hidden.
    void FitListToWindow(int width, int height) const;

    std::string TargetText() const { return m_target.GetText(); }
    void SetTargetText(const std::string& text) const { m_target.SetText(text); }
    bool Exists() const { return m_target.Handle() != 0; }

    const ReportList& CopyList() const { return m_copyList; }
    const Label& Panel() const { return m_panel; }
    const EditBox& Target() const { return m_target; }

  private:
    ReportList m_copyList;
    Label m_panel;
    Label m_targetCaption;
    EditBox m_target;
    DrawnButton m_browse;
    DrawnButton m_openBackup;
    DrawnButton m_copy;
    Label m_freeSpace;
    Label m_listSize;
    ExHandle m_menu = 0;  // The copy list's context menu.
};

// The blue drawn button the copy and settings pages use.
DrawnButtonDescription BlueButton(ExHandle parent, int id, std::string title, int x, int y,
                                  int width, int height);

}  // namespace cj::ui
