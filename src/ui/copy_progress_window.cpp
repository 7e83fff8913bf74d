#include "ui/copy_progress_window.h"

#include "ui/texts.h"

namespace cj::ui {
namespace {

constexpr ExArgb Grey = 0xFFABAEB4;
// The bar's part done is a solid blue that the white text on it, and on the
// dark part not done, reads against.
constexpr ExArgb BarTrack = 0x46000000;
constexpr ExArgb BarFill = 0xFF2F7FD8;
constexpr ExArgb BarTextColour = 0xFFFFFFFF;
constexpr ExArgb Background = 0xE6214161;
// Centred, movable by its background, no title bar and no close button: the
// stop button is the only way to end a job early.
constexpr std::int32_t Style = 0x60800;

enum CopyWindowId : int {
    CounterId = 1024,
    CurrentFileId = 1025,
    JobProgressId = 1026,
    StopId = 1027,
    BarTextId = 1028,
};

}  // namespace

bool CopyProgressWindow::Open(std::function<void()> onStop) {
    m_onStop = std::move(onStop);
    m_rate = {};
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
    m_counter.Create({.parent = m_surface,
                      .id = CounterId,
                      .x = 20,
                      .y = 40,
                      .width = 410,
                      .height = 20,
                      .text = CopyCounterText(0, 0),
                      .textColour = Grey});
    m_currentFile.Create({.parent = m_surface,
                          .id = CurrentFileId,
                          .x = 20,
                          .y = 80,
                          .width = 410,
                          .height = 20,
                          .text = "复制文件名",
                          .textColour = Grey});
    m_bar.Create({.parent = m_surface,
                  .id = JobProgressId,
                  .x = 20,
                  .y = 120,
                  .width = 410,
                  .height = 35,
                  .background = BarTrack,
                  .border = 0x00000000,
                  .fill = BarFill,
                  .maximum = 100,
                  .position = 0});
    m_barText.Create({.parent = m_surface,
                      .id = BarTextId,
                      .x = 20,
                      .y = 120,
                      .width = 410,
                      .height = 35,
                      .text = CopyProgressText(0, 0, {}, {}),
                      .textColour = BarTextColour,
                      .textFormat = EX_DT_CENTER | EX_DT_VCENTER | EX_DT_SINGLELINE});
    m_stop.Create({.parent = m_surface,
                   .id = StopId,
                   .title = "停止复制",
                   .textColour = Grey,
                   .normal = 0x500060C0,
                   .hover = 0x960060C0,
                   .pressed = 0x320060C0,
                   .radius = 3,
                   .x = 290,
                   .y = 170,
                   .width = 120,
                   .height = 50});
    BindEvent<&CopyProgressWindow::OnStopClick>(m_stop, EX_NM_CLICK, *this);
}

void CopyProgressWindow::ShowProgress(const copylist::CopyProgressReport& report) {
    m_counter.SetText(CopyCounterText(report.fileCount, report.fileNumber));
    m_currentFile.SetText(report.source);
    m_bar.SetPosition(JobPercent(report));
    m_rate.Add(copylist::TransferRate::Clock::now(), report.bytesCopied);
    const std::uint64_t left =
        report.bytesTotal > report.bytesDone ? report.bytesTotal - report.bytesDone : 0;
    m_barText.SetText(CopyProgressText(report.bytesDone, report.bytesTotal, m_rate.BytesPerSecond(),
                                       m_rate.SecondsLeft(left)));
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
