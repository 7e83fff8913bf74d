#include "ui/copy_progress_window.h"

#include "ui/texts.h"

namespace cj::ui {
namespace {

constexpr ExArgb Grey = 0xFFABAEB4;
constexpr ExArgb Background = 0xE6214161;
// Centred, movable by its background, no title bar and no close button: the
// stop button is the only way to end a job early.
constexpr std::int32_t Style = 0x60800;

enum CopyWindowId : int {
    CounterId = 1024,
    CurrentFileId = 1025,
    JobProgressId = 1026,
    StopId = 1027,
};

}  // namespace

bool CopyProgressWindow::Open(std::function<void()> onStop) {
    m_onStop = std::move(onStop);
    FrameWindowDescription d;
    d.embedded = true;
    d.title = CopyWindowTitle;
    d.width = CopyWindowWidth;
    d.height = CopyWindowHeight;
    d.background = Background;
    d.style = Style;
    d.blur = 1;
    d.outSurface = &m_surface;
    d.content = [this] { CreateControls(); };
    m_open = m_frame.Create(d);
    if (m_open) {
        m_frame.SetTopmost(1);
    }
    return m_open;
}

void CopyProgressWindow::CreateControls() {
    m_counter.Create({.parent = m_surface, .id = CounterId, .x = 20, .y = 40, .width = 410,
                      .height = 20, .text = CopyCounterText(0, 0), .textColour = Grey});
    m_currentFile.Create({.parent = m_surface, .id = CurrentFileId, .x = 20, .y = 80,
                          .width = 410, .height = 20, .text = "复制文件名", .textColour = Grey});
    m_bar.Create({.parent = m_surface, .id = JobProgressId, .x = 20, .y = 120, .width = 410,
                  .height = 35, .background = 0x32000000, .border = 0x00000000,
                  .fill = 0x50000000, .maximum = 100, .position = 50});
    m_stop.Create({.parent = m_surface, .id = StopId, .title = "停止复制", .textColour = Grey,
                   .normal = 0x500060C0, .hover = 0x960060C0, .pressed = 0x320060C0,
                   .radius = 3, .x = 290, .y = 170, .width = 120, .height = 50});
    BindEvent<&CopyProgressWindow::OnStopClick>(m_stop, EX_NM_CLICK, *this);
}

void CopyProgressWindow::ShowProgress(const copylist::CopyProgressReport& report) const {
    m_counter.SetText(CopyCounterText(report.fileCount, report.fileNumber));
    m_currentFile.SetText(report.source);
    m_bar.SetPosition(report.percent);
}

void CopyProgressWindow::Close() {
    if (m_open) {
        m_frame.Close();
        m_open = false;
    }
}

intptr_t CopyProgressWindow::OnStopClick(const ControlEvent& /*event*/) {
    m_stop.SetText(StoppingText);
    if (m_onStop) {
        m_onStop();
    }
    return 0;
}

}  // namespace cj::ui
