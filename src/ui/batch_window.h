// The batch box: a small window beside the main window where the user pastes
// or types a list of waybill numbers and starts one search for all of them,
// and where the last batch's numbers are listed with the files found for
// each; the missing ones can be copied from there. It is opened from the
// band's "批量" button or by pasting a list into the search box, stays open
// while the user works in the main window, and is made anew each time it is
// opened (the main window keeps the last batch's numbers). UI thread only.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "search/batch_search.h"
#include "ui/batch_table.h"
#include "ui/controls/basic_controls.h"
#include "ui/controls/drawn_button.h"
#include "ui/controls/report_list.h"
#include "ui/frame_window.h"

namespace cj::ui {

inline constexpr int BatchWindowWidth = 720;
inline constexpr int BatchWindowHeight = 500;

// The missing numbers of a batch for the clipboard: one a line, every line
// ended with the platform's line end (LF here, CR LF on Windows).
std::string MissingNumbersText(const std::vector<search::BatchNumber>& numbers);

class BatchWindow {
  public:
    // What the box's buttons and keys ask of the main window.
    struct Actions {
        std::function<void(const std::string& text)> search;  // "搜索" and Ctrl+Enter.
        std::function<void()> copyMissing;                    // "复制缺少单号".
        // A new list was pasted: the last batch's numbers are no more the
        // ones the box is about.
        std::function<void()> newList;
    };

    explicit BatchWindow(Actions actions) : m_actions(std::move(actions)) {}
    BatchWindow(const BatchWindow&) = delete;
    BatchWindow& operator=(const BatchWindow&) = delete;

    // Opens the box kept above owner (a window handle), or brings it forward
    // when it is open; the input box then holds text and has the focus, and
    // the last batch's table is cleared as for a paste when there is text.
    // Returns whether the box is open.
    bool Open(ExHandle owner, std::string_view text);
    // Closes the box (it goes at the next turn of the message loop).
    void Close();
    bool IsOpen() const { return m_open; }

    // Fills the table with a batch's numbers, in list order or in the order
    // the user chose by clicking a column's title; complete false marks the
    // numbers without files as unsure instead of missing.
    void ShowNumbers(const std::vector<search::BatchNumber>& numbers, bool complete);
    // The line under the table: the counts of the last batch.
    void ShowSummary(std::string_view text) const { m_summary.SetText(text); }
    // The box's notice line (empty clears it).
    void ShowNotice(std::string_view text) const { m_notice.SetText(text); }
    // Recounts the numbers in the input box when its text has changed.
    void UpdateCount();

    const FrameWindow& Frame() const { return m_frame; }
    const EditBox& Input() const { return m_input; }
    const Label& Count() const { return m_count; }
    const Label& Notice() const { return m_notice; }
    const Label& Summary() const { return m_summary; }
    const DrawnButton& SearchButton() const { return m_search; }
    const DrawnButton& CopyMissingButton() const { return m_copyMissing; }
    const ReportList& Table() const { return m_table; }

  private:
    static intptr_t Procedure(ExHandle window, ExHandle surface, int32_t message, intptr_t wParam,
                              intptr_t lParam, intptr_t* result);
    void CreateControls();
    intptr_t OnSearchClick(const ControlEvent& event);
    intptr_t OnInputKey(const ControlEvent& event);
    intptr_t OnCopyMissingClick(const ControlEvent& event);
    intptr_t OnCountTimer(const ControlEvent& event);
    intptr_t OnColumnClick(const ControlEvent& event);
    // The input's procedure: a paste clears the last batch's table.
    static intptr_t InputProcedure(ExHandle window, ExHandle object, int32_t message,
                                   intptr_t wParam, intptr_t lParam, intptr_t* result);
    // Empties the table and the line under it, and tells the window.
    void ForgetLastRun();
    void FillTable() const;

    Actions m_actions;
    FrameWindow m_frame;
    ExHandle m_surface = 0;
    Label m_title;
    Label m_inputCaption;
    EditBox m_input;
    Label m_count;
    Label m_tableCaption;
    ReportList m_table;
    Label m_summary;
    Label m_notice;
    DrawnButton m_search;
    DrawnButton m_copyMissing;
    std::string m_countedText;                   // The input's text when the count was made.
    std::vector<search::BatchNumber> m_numbers;  // As the table shows them, in list order.
    bool m_complete = false;
    BatchTableOrder m_order;  // Kept for the next batch, and while the box is closed.
    bool m_open = false;
};

}  // namespace cj::ui
