// The copy list at 100,000 entries through the window, offscreen: from the
// "选中添加列表" command on 100,000 selected hits to the copy list's rows
// painted, and from "删除选中" on 50,000 of them (every other row) to the rows
// painted again. Every round must end with the expected number of entries and
// rows, or the benchmark fails. Run from a release build:
//
//   window_copy_list_bench [FILES]
//
// FILES (default 100000) small files named like waybill scans are made in a
// temporary folder, indexed and searched once a round; RUNS (default 5)
// rounds follow one warm-up. Prints each figure's median and the targets
// (1 s to add, 0.5 s to remove).
#include <malloc.h>
#include <stdlib.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/program.h"
#include "app/startup.h"
#include "core/settings_file.h"
#include "exdui/exdui_inject.h"
#include "index/refresh.h"
#include "ui/control_ids.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The run directory with its tree of files, made once and removed at exit.
struct RunDirectory {
    explicit RunDirectory(std::size_t files) {
        std::string pattern = (fs::temp_directory_path() / "cj-window-copy-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        root = pattern;
        fs::create_directories(root + "/data");
        for (std::size_t i = 0; i < files; ++i) {
            const std::string folder = root + "/仓库/2026/" + std::to_string(i / 1000);
            if (i % 1000 == 0) {
                fs::create_directories(folder);
            }
            char name[64];
            std::snprintf(name, sizeof name, "/SF14%011zu_扫描件.jpg", i);
            std::ofstream(folder + name, std::ios::binary) << std::string(i % 4096, 'x');
        }
        const auto settings = cj::core::SettingsFile::InRunDirectory(root);
        if (settings.TrySaveDirectoryList({"仓库", {root + "/仓库"}, "", true}) ||
            settings.TrySaveThreadCount("2")) {
            std::fputs("cannot write the settings\n", stderr);
            std::exit(1);
        }
        cj::core::EngineActivity activity;
        cj::index::Refresher refresher(activity, nullptr);
        cj::index::RefreshRequest request;
        request.runDirectory = root;
        request.folders = {root + "/仓库"};
        request.shardCount = 2;
        if (refresher.Run(request) != cj::core::StartOutcome::Started) {
            std::fputs("cannot index the tree\n", stderr);
            std::exit(1);
        }
    }
    ~RunDirectory() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    std::string root;
};

cj::ui::MainWindow& Window() {
    return cj::app::CurrentProgram().window;
}

void Fail(const char* what) {
    std::fprintf(stderr, "window_copy_list_bench: %s\n", what);
    std::quick_exit(1);
}

// Paints the window now, the copy list's rows with it.
void PaintWindow() {
    if (exdui::inject::Grab(Window().Frame().WindowHandle()).pixels.empty()) {
        Fail("the window could not be painted");
    }
}

void Command(intptr_t command) {
    Ex_WndSendMessage(Window().Frame().WindowHandle(), EX_WM_COMMAND, command, 0);
}

struct Round {
    double addCommand = 0;  // The command handled: entries made, rows appended.
    double addPaint = 0;    // The copy list's rows painted.
    double removeCommand = 0;
    double removePaint = 0;
    // Heap that the additions kept, per entry: the model's entry and the
    // list's row (its three texts), as glibc's allocator counts it.
    double bytesPerEntry = 0;
};

Round MeasureRound(std::size_t files) {
    Round round;
    // "清空列表" asks first; the round's answer is yes.
    Window().Dialogs().askYesNo = [](std::string_view, std::string_view) { return true; };
    Command(cj::ui::ClearListCommand);
    // Fresh hits: a new search gives every row its "not taken" mark.
    Window().Search().SearchBox().SetText("");
    Window().StartSearch();
    if (!QTest::qWaitFor(
            [&] {
                return cj::app::CurrentProgram().activity.IsIdle() &&
                       Window().Rows().Count() == files;
            },
            60000)) {
        Fail("the search did not find every file");
    }
    Command(cj::ui::SelectAllCommand);
    Window().Search().SelectPage(cj::ui::Page::Copy);
    Window().OnCopyPageShown();
    QApplication::processEvents();

    const std::size_t heapBefore = ::mallinfo2().uordblks;
    const Clock::time_point add = Clock::now();
    Command(cj::ui::AddSelectedCommand);
    const Clock::time_point added = Clock::now();
    const std::size_t heapAfter = ::mallinfo2().uordblks;
    PaintWindow();
    const Clock::time_point addPainted = Clock::now();
    if (Window().CopyEntries().Count() != files ||
        Window().Copy().CopyList().RowCount() != static_cast<int>(files)) {
        Fail("not every hit was added");
    }

    const ExHandle list = Window().Copy().CopyList().Handle();
    for (std::size_t row = 1; row <= files; row += 2) {
        Ex_ObjSendMessage(list, EX_LVM_SETITEMSTATE, static_cast<intptr_t>(row), EX_LVIS_SELECTED);
    }
    const Clock::time_point remove = Clock::now();
    Command(cj::ui::RemoveSelectedCommand);
    const Clock::time_point removed = Clock::now();
    PaintWindow();
    const Clock::time_point removePainted = Clock::now();
    if (Window().CopyEntries().Count() != files / 2 ||
        Window().Copy().CopyList().RowCount() != static_cast<int>(files / 2)) {
        Fail("not every selected row was removed");
    }
    Window().Search().SelectPage(cj::ui::Page::Search);
    round.bytesPerEntry = (static_cast<double>(heapAfter) - static_cast<double>(heapBefore)) /
                          static_cast<double>(files);
    round.addCommand = Ms(added - add);
    round.addPaint = Ms(addPainted - added);
    round.removeCommand = Ms(removed - remove);
    round.removePaint = Ms(removePainted - removed);
    return round;
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t files = argc > 1 ? std::stoul(argv[1]) : 100000;
    const int runs = std::getenv("RUNS") != nullptr ? std::atoi(std::getenv("RUNS")) : 5;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    const Clock::time_point made = Clock::now();
    RunDirectory run(files);
    std::printf("tree of %zu files made and indexed in %.0f ms\n", files, Ms(Clock::now() - made));

    QApplication app(argc, argv);
    std::vector<Round> rounds;
    QTimer::singleShot(0, [&] {
        MeasureRound(files);  // Warm-up: the page cache, the icons, the allocator.
        for (int i = 0; i < runs; ++i) {
            rounds.push_back(MeasureRound(files));
        }
        Window().Frame().Close();
    });
    cj::app::RunProgram(run.root);

    const auto median = [&](double Round::*field) {
        std::vector<double> values;
        for (const Round& round : rounds) {
            values.push_back(round.*field);
        }
        return Median(values);
    };
    const double add = median(&Round::addCommand) + median(&Round::addPaint);
    const double remove = median(&Round::removeCommand) + median(&Round::removePaint);
    std::printf("medians of %d rounds after one warm-up:\n", runs);
    std::printf(
        "  add %zu selected hits:  %8.1f ms (command %.1f, paint %.1f)  target <= 1000 ms %s\n",
        files, add, median(&Round::addCommand), median(&Round::addPaint),
        add <= 1000 ? "met" : "NOT MET");
    std::printf(
        "  remove %zu of them:     %8.1f ms (command %.1f, paint %.1f)  target <= 500 ms %s\n",
        files / 2, remove, median(&Round::removeCommand), median(&Round::removePaint),
        remove <= 500 ? "met" : "NOT MET");
    const double bytes = median(&Round::bytesPerEntry);
    std::printf("  heap per entry (model and list row): %.0f bytes  target <= 1024 %s\n", bytes,
                bytes <= 1024 ? "met" : "NOT MET");
    return 0;
}
