// Start-up to the first painted frame of the main window, offscreen: the
// program-wide state built, the library started, every control created, the
// settings loaded and the window shown and painted once. The process start
// and the loading of the libraries come on top (about what any Qt program
// pays). Run from a release build.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "app/program.h"
#include "app/startup.h"
#include "exdui/backend/qt/exdui_qt.h"

namespace {

using Clock = std::chrono::steady_clock;

// Stops the clock at the first paint of the main window and closes it.
class FirstPaint : public QObject {
  public:
    Clock::time_point painted;
    bool seen = false;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen && event->type() == QEvent::Paint && cj::app::HasProgram()) {
            QWidget* main = ExQtWidget(cj::app::CurrentProgram().window.Frame().WindowHandle());
            if (main != nullptr && watched == main) {
                seen = true;
                painted = Clock::now();
                cj::app::CurrentProgram().window.Frame().Close();
            }
        }
        return false;
    }
};

void BM_StartupToFirstFrame(benchmark::State& state) {
    const std::filesystem::path run = std::filesystem::temp_directory_path() / "cj-startup-bench";
    std::filesystem::create_directories(run / "data");
    FirstPaint filter;
    qApp->installEventFilter(&filter);
    for (auto _ : state) {
        filter.seen = false;
        const auto start = Clock::now();
        cj::app::RunProgram(run.string());
        state.SetIterationTime(std::chrono::duration<double>(filter.painted - start).count());
    }
    qApp->removeEventFilter(&filter);
    std::filesystem::remove_all(run);
}
BENCHMARK(BM_StartupToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("XDG_RUNTIME_DIR", "/tmp", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
