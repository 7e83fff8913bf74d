// The copy progress window: a small window above the disabled main window
// while the copy job runs, with the job's counter, the file being copied, the
// whole job's progress (a bar with its percentage, bytes, speed and time left
// written on it) and "停止复制". Made anew for every job and closed at
// its end. UI thread only.
#pragma once

#include <functional>

#include "copylist/copy_job.h"
#include "copylist/transfer_rate.h"
#include "ui/controls/basic_controls.h"
#include "ui/controls/drawn_button.h"
#include "ui/frame_window.h"

namespace cj::ui {

inline constexpr char CopyWindowTitle[] = "复制";
inline constexpr int CopyWindowWidth = 450;
inline constexpr int CopyWindowHeight = 255;

class CopyProgressWindow {
  public:
    // Creates and shows the window in the running UI library, topmost;
    // onStop runs on the UI thread when "停止复制" is clicked (after the button
    // reads "正在停止..."). Returns whether a window could be made.
    bool Open(std::function<void()> onStop);
    // The counter, the file's path and the job's progress, the speed measured
    // from the moments the reports are shown.
    void ShowProgress(const copylist::CopyProgressReport& report);
    // Closes the window; the controls' wrappers then hold handles the
    // library no longer knows, and every call on them does nothing.
    void Close();
    bool IsOpen() const { return m_open; }

    const FrameWindow& Frame() const { return m_frame; }
    const Label& Counter() const { return m_counter; }
    const Label& CurrentFile() const { return m_currentFile; }
    const ProgressBar& Bar() const { return m_bar; }
    const Label& BarText() const { return m_barText; }
    const DrawnButton& StopButton() const { return m_stop; }

  private:
    void CreateControls();
    intptr_t OnStopClick(const ControlEvent& event);

    FrameWindow m_frame;
    ExHandle m_surface = 0;
    Label m_counter;
    Label m_currentFile;
    ProgressBar m_bar;
    Label m_barText;  // Over the bar.
    DrawnButton m_stop;
    copylist::TransferRate m_rate;  // Of the job shown; new for every job.
    std::function<void()> m_onStop;
    bool m_open = false;
};

}  // namespace cj::ui
