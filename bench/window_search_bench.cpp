// The window's search at many hits, offscreen: from the Enter key in the
// keyword box to the end of the first paint of the result list's rows, N
// searches in one window that stays open, as a user searches again and again.
// Every measured search must end with the expected number of rows, in the
// rows, in the list and in the status line, or the benchmark fails.
//
// Beside the total it prints where the time went (medians of timestamps
// taken in the application's notify, from the Enter key on) and the engine
// timed alone in this process once the window has closed: started as the
// window starts it, run as its collector runs it, and counting only. Run
// from a release build:
//
//   window_search_bench RUN_DIR [KEYWORD [EXPECTED_HITS]]
//
// RUN_DIR (or CJ_RUN_DIR) holds data/chengjing.ini and the shards; KEYWORD
// defaults to "." (every file name holds one); without EXPECTED_HITS the
// hits are counted first as `chengjing-cli search --count` counts them. RUNS
// (default 20) searches are measured after 2 warm-ups. The window saves its
// settings into RUN_DIR when it closes, as it does for any user.
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/startup.h"
#include "core/engine_activity.h"
#include "core/settings_file.h"
#include "exdui/backend/qt/exdui_qt.h"
#include "exdui/exdui_inject.h"
#include "search/keywords.h"
#include "search/result_records.h"
#include "search/search_engine.h"
#include "search/search_run.h"
#include "ui/texts.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int WarmUps = 2;
// A search that has not painted its rows by then has gone wrong.
constexpr int TimeoutMs = 60'000;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The moments of one search, from the Enter key on.
struct SearchTimes {
    Clock::time_point enter;
    Clock::time_point started;  // The key handler has returned: workers run, busy label set.
    Clock::time_point woken;    // The UI thread takes the worker's report (library wake-up).
    Clock::time_point applied;  // ... and has applied it: rows, count, status, list shown.
    Clock::time_point paintBegin;
    Clock::time_point paintEnd;  // The list's rows are drawn: the clock stops.
    // Time the UI thread spent handling events between the key handler's
    // return and the report (painting the busy label, the band): the cores
    // it takes from the workers.
    Clock::duration uiWhileSearching{};
    bool sawWake = false;
    bool sawPaint = false;
};

cj::ui::MainWindow& Window() {
    return cj::app::CurrentProgram().window;
}

// Stamps the search under way in notify, around the handling of each event:
// an event filter sees a paint only before it is drawn. The list is drawn in
// the window's own widget, with everything else the window shows.
class TimedApplication : public QApplication {
  public:
    using QApplication::QApplication;

    QWidget* viewport = nullptr;
    SearchTimes* current = nullptr;  // Armed from the Enter key until the rows are drawn.
    QEventLoop* waiting = nullptr;

    bool notify(QObject* receiver, QEvent* event) override {
        SearchTimes* times = current;
        if (times == nullptr) {
            return QApplication::notify(receiver, event);
        }
        // Workers reach the UI thread through the library's queue, which an
        // event of the library's own registered type, posted to an object
        // that is no widget, wakes. The wake that brings the search's
        // report is the one after which the list is shown again (the Enter
        // key hid it behind the busy label); the rows it shows are checked
        // once they are painted.
        const bool wake = !times->sawWake && event->type() >= QEvent::User &&
                          event->type() <= QEvent::MaxUser && !receiver->isWidgetType();
        const bool paint = times->sawWake && receiver == viewport && event->type() == QEvent::Paint;
        const Clock::time_point before = Clock::now();
        ++m_depth;
        const bool result = QApplication::notify(receiver, event);
        --m_depth;
        const bool report = wake && viewport->isVisible();
        if (m_depth == 0 && !report && !times->sawWake && times->started != Clock::time_point{}) {
            times->uiWhileSearching += Clock::now() - before;
        }
        if (report) {
            times->woken = before;
            times->applied = Clock::now();
            times->sawWake = true;
        } else if (paint) {
            times->paintBegin = before;
            times->paintEnd = Clock::now();
            times->sawPaint = true;
            current = nullptr;
            waiting->quit();
        }
        return result;
    }

  private:
    int m_depth = 0;  // Nested notify calls: only the outermost one is timed.
};

TimedApplication* App() {
    return static_cast<TimedApplication*>(qApp);
}

// Types text into the focused keyword box: Latin-1 through QTest, anything
// else one key event per character with its text (QTest::keyClicks aborts on
// non-Latin-1 text in Qt 6.4).
void TypeKeyword(ExHandle window, ExPoint box, const std::string& keyword) {
    exdui::inject::Click(window, box);
    QWidget* focus = QApplication::focusWidget();
    const QString text = QString::fromStdString(keyword);
    bool latin1 = true;
    for (const QChar c : text) {
        latin1 = latin1 && c.unicode() < 0x100;
    }
    if (latin1) {
        QTest::keyClicks(focus, text);
        return;
    }
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(focus, &press);
    }
}

struct Run {
    std::string keyword;
    std::size_t expectedRows = 0;
    int measured = 20;
    std::vector<SearchTimes> times;  // Measured searches only.
    double firstMs = 0;              // The first search after the window opened (a warm-up).
    std::string failure;             // Empty when every search came out right.
    int threadCount = 0;             // What the window searched with.
};

// One search from the Enter key to the painted rows, checked.
bool SearchOnce(Run& run, SearchTimes& times) {
    cj::ui::SearchPage& page = Window().Search();
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr ||
        exdui::inject::FocusedObject(Window().Frame().WindowHandle()) !=
            page.SearchBox().Handle() ||
        page.KeywordText() != run.keyword) {
        run.failure = "the keyword box lost its focus or its text";
        return false;
    }
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    App()->waiting = &loop;
    App()->current = &times;
    times.enter = Clock::now();
    QTest::keyClick(focus, Qt::Key_Return);
    times.started = Clock::now();  // Events handled from here on count as the UI's share.
    if (App()->current != nullptr) {
        timeout.start(TimeoutMs);
        loop.exec();
    }
    App()->current = nullptr;
    App()->waiting = nullptr;
    // What the user sees must be the whole search, not a part of it.
    const std::size_t listRows =
        static_cast<std::size_t>(Ex_ObjSendMessage(page.ResultList(), EX_LVM_GETITEMCOUNT, 0, 0));
    if (!times.sawPaint || !times.sawWake) {
        run.failure = "no painted rows within " + std::to_string(TimeoutMs / 1000) + " s";
    } else if (Window().Rows().Count() != run.expectedRows || listRows != run.expectedRows) {
        run.failure = "the window shows " + std::to_string(Window().Rows().Count()) +
                      " rows (list " + std::to_string(listRows) + "), expected " +
                      std::to_string(run.expectedRows);
    } else if (page.Status().GetText() != cj::ui::FoundText(run.expectedRows)) {
        run.failure = "the status line says \"" + page.Status().GetText() + "\"";
    }
    // Whatever the window still has to do after the rows (the band's
    // repaint) is done before the next Enter, as between a user's searches.
    QApplication::processEvents();
    return run.failure.empty();
}

void DriveWindow(Run& run) {
    QWidget* main = ExQtWidget(Window().Frame().WindowHandle());
    main->activateWindow();
    if (!QTest::qWaitForWindowActive(main)) {
        run.failure = "the window did not become active";
        return;
    }
    App()->viewport = main;  // the list is drawn in the window's widget
    run.threadCount = Window().Settings().ReadThreadCount().count;
    TypeKeyword(Window().Frame().WindowHandle(),
                exdui::inject::CenterOf(Window().Search().SearchBox().Handle()), run.keyword);
    for (int i = 0; i < WarmUps + run.measured; ++i) {
        SearchTimes times;
        if (!SearchOnce(run, times)) {
            return;
        }
        if (i == 0) {
            run.firstMs = Ms(times.paintEnd - times.enter);
        }
        if (i >= WarmUps) {
            run.times.push_back(times);
        }
    }
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

template <class Field>
double MedianOf(const std::vector<SearchTimes>& times, Field field) {
    std::vector<double> values;
    for (const SearchTimes& t : times) {
        values.push_back(Ms(field(t) - t.enter));
    }
    return Median(values);
}

cj::search::SearchRequest EngineRequest(const std::string& runDir, cj::search::HitDetail detail) {
    const auto settings = cj::core::SettingsFile::InRunDirectory(runDir);
    return {runDir, settings.ReadThreadCount().count, detail, nullptr};
}

// The hits as `chengjing-cli search --count` counts them.
std::size_t CountHits(const std::string& runDir, const std::string& keyword) {
    const std::atomic<bool> never{false};
    std::uint64_t total = 0;
    for (const cj::search::ShardHits& shard :
         cj::search::SearchShards(EngineRequest(runDir, cj::search::HitDetail::Count),
                                  cj::search::KeywordSet(keyword), never)) {
        total += shard.count;
    }
    return static_cast<std::size_t>(total);
}

// The engine's part alone: what the window's collector does (the shards
// searched for paths, one thread each, and the rows built), then the rows
// released, as the next search releases them. With HitDetail::Count the same
// scan keeps nothing: the difference is the price of keeping the paths.
std::vector<double> TimeEngine(const std::string& runDir, const std::string& keyword,
                               cj::search::HitDetail detail, int runs) {
    const std::atomic<bool> never{false};
    std::vector<double> values;
    for (int i = 0; i < WarmUps + runs; ++i) {
        const auto start = Clock::now();
        {
            const cj::search::KeywordSet keywords(keyword);
            auto rows = std::make_unique<cj::search::ResultsArray>(
                cj::search::SearchShards(EngineRequest(runDir, detail), keywords, never));
        }
        if (i >= WarmUps) {
            values.push_back(Ms(Clock::now() - start));
        }
    }
    return values;
}

// The engine as the window starts it, without the window: SearchEngine's
// Start on this thread to its report on the collector's thread (the collector
// thread started, the shards searched, the rows built). The last rows are
// released before the clock starts, where the window releases them inside
// its Enter key handler. The window's own costs are what its search takes
// beyond this.
class ReportClock final : public cj::search::SearchListener {
  public:
    void OnSearchFinished(cj::core::JobGeneration /*generation*/,
                          cj::search::SearchOutcome outcome) override {
        reported = Clock::now();
        rows = outcome.results ? outcome.results->Count() : 0;
        results = std::move(outcome.results);
    }

    Clock::time_point reported;  // Written by the collector; read after Wait.
    std::size_t rows = 0;
    std::unique_ptr<cj::search::ResultsArray> results;
};

std::vector<double> TimeEngineStart(const std::string& runDir, const std::string& keyword,
                                    int threadCount, std::size_t expectedRows, int runs,
                                    std::string& failure) {
    cj::core::EngineActivity activity;
    ReportClock clock;
    cj::search::SearchEngine engine(activity, clock, runDir);
    std::vector<double> values;
    for (int i = 0; i < WarmUps + runs && failure.empty(); ++i) {
        clock.results.reset();  // As the window releases the last rows at Enter.
        const auto start = Clock::now();
        if (engine.Start(keyword, threadCount).outcome != cj::core::StartOutcome::Started) {
            failure = "the engine did not start a search";
            break;
        }
        engine.Wait();
        if (clock.rows != expectedRows) {
            failure = "the engine alone found " + std::to_string(clock.rows) + " rows";
        } else if (i >= WarmUps) {
            values.push_back(Ms(clock.reported - start));
        }
    }
    return values;
}

int RunBench(int argc, char** argv) {
    const char* envDir = std::getenv("CJ_RUN_DIR");
    std::string runDir = argc > 1 ? argv[1] : envDir != nullptr ? envDir : "";
    while (runDir.size() > 1 && runDir.back() == '/') {
        runDir.pop_back();
    }
    if (runDir.empty()) {
        std::fputs("usage: window_search_bench RUN_DIR [KEYWORD [EXPECTED_HITS]]\n", stderr);
        return 2;
    }
    Run run;
    run.keyword = argc > 2 ? argv[2] : ".";
    if (const char* runs = std::getenv("RUNS")) {
        run.measured = std::max(1, std::atoi(runs));
    }
    run.expectedRows = argc > 3 ? static_cast<std::size_t>(std::strtoull(argv[3], nullptr, 10))
                                : CountHits(runDir, run.keyword);
    if (run.expectedRows == 0) {
        std::fprintf(stderr, "window_search_bench: \"%s\" has no hits in %s\n", run.keyword.c_str(),
                     runDir.c_str());
        return 1;
    }

    TimedApplication app(argc, argv);
    QTimer::singleShot(0, [&run] {
        DriveWindow(run);
        Window().Frame().Close();
    });
    if (cj::app::RunProgram(runDir) != 0) {
        return 1;
    }
    if (!run.failure.empty()) {
        std::fprintf(stderr, "window_search_bench: %s\n", run.failure.c_str());
        return 1;
    }

    std::vector<double> total;
    for (const SearchTimes& t : run.times) {
        total.push_back(Ms(t.paintEnd - t.enter));
    }
    const std::vector<double> engine =
        TimeEngine(runDir, run.keyword, cj::search::HitDetail::Paths, run.measured);
    const std::vector<double> counting =
        TimeEngine(runDir, run.keyword, cj::search::HitDetail::Count, run.measured);
    std::string failure;
    const std::vector<double> started = TimeEngineStart(runDir, run.keyword, run.threadCount,
                                                        run.expectedRows, run.measured, failure);
    if (!failure.empty()) {
        std::fprintf(stderr, "window_search_bench: %s\n", failure.c_str());
        return 1;
    }
    std::printf(
        "window search: %s, keyword \"%s\", %zu hits, %d searches after %d warm-ups,"
        " thread count %d\n",
        runDir.c_str(), run.keyword.c_str(), run.expectedRows, run.measured, WarmUps,
        run.threadCount);
    std::printf("  Enter to the rows painted: median %.1f ms, min %.1f ms\n", Median(total),
                *std::min_element(total.begin(), total.end()));
    std::vector<double> sorted = total;
    std::sort(sorted.begin(), sorted.end());
    std::printf("  every search, sorted, ms:");
    for (const double ms : sorted) {
        std::printf(" %.1f", ms);
    }
    std::printf("\n");
    std::printf(
        "  medians from the Enter key, ms: search started %.2f, report taken %.1f,"
        " applied %.1f, list paint begins %.1f, ends %.1f\n",
        MedianOf(run.times, [](const SearchTimes& t) { return t.started; }),
        MedianOf(run.times, [](const SearchTimes& t) { return t.woken; }),
        MedianOf(run.times, [](const SearchTimes& t) { return t.applied; }),
        MedianOf(run.times, [](const SearchTimes& t) { return t.paintBegin; }),
        MedianOf(run.times, [](const SearchTimes& t) { return t.paintEnd; }));
    std::vector<double> ui;
    for (const SearchTimes& t : run.times) {
        ui.push_back(Ms(t.uiWhileSearching));
    }
    std::printf("  UI thread busy while the workers ran (events handled): median %.1f ms\n",
                Median(ui));
    std::printf("  the first search after the window opened (not counted): %.1f ms\n", run.firstMs);
    std::printf(
        "  engine alone (shards searched for paths, rows built and released):"
        " median %.1f ms, min %.1f ms\n",
        Median(engine), *std::min_element(engine.begin(), engine.end()));
    std::printf(
        "  engine alone through SearchEngine::Start to its report (collector included):"
        " median %.1f ms, min %.1f ms\n",
        Median(started), *std::min_element(started.begin(), started.end()));
    std::printf(
        "  engine alone, counting only (the same scan, nothing kept):"
        " median %.1f ms, min %.1f ms\n",
        Median(counting), *std::min_element(counting.begin(), counting.end()));
    // For scripts.
    std::printf("median_ms=%.2f min_ms=%.2f engine_median_ms=%.2f rows=%zu\n", Median(total),
                *std::min_element(total.begin(), total.end()), Median(engine), run.expectedRows);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Qt wants a runtime folder of the user's own (mode 0700) and warns on
    // every start about /tmp.
    char runtimeDir[] = "/tmp/cj-window-search-bench-XXXXXX";
    const bool ownRuntimeDir = std::getenv("XDG_RUNTIME_DIR") == nullptr && mkdtemp(runtimeDir);
    if (ownRuntimeDir) {
        setenv("XDG_RUNTIME_DIR", runtimeDir, 1);
    }
    const int status = RunBench(argc, argv);
    if (ownRuntimeDir) {
        rmdir(runtimeDir);
    }
    return status;
}
