// The search page's result list at a million hits, offscreen, with the
// program's own row painter: from the collector's last step (the row count
// set, row 1 selected) to the first painted frame of rows, and one scroll
// step. The list is painted by the window's event loop, as on screen (the list
// benchmark checks that this paints the rows). Run from a release build.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "exdui/exdui.h"
#include "exdui/exdui_inject.h"
#include "search/result_records.h"
#include "ui/result_list.h"
#include "ui/result_rows.h"

namespace {

constexpr int Rows = 1'000'000;

struct Fixture {
    Fixture() {
        Ex_Init(nullptr, 0, 0, nullptr, nullptr, 0, nullptr, 0);
        window = Ex_WndCreate(0, nullptr, u"bench", 0, 0, 1000, 720, 0, 0);
        const ExHandle surface = Ex_DUIBindWindowEx(window, nullptr, 0, 0, nullptr);
        Ex_DUIShowWindow(surface, EX_SW_SHOW, 0, 0, 0);
        paths.reserve(Rows);
        cj::search::ShardHits hits;
        for (int i = 0; i < Rows; ++i) {
            paths.push_back("/srv/仓库A/2026/12/圆通/SF1400000" + std::to_string(i) + ".jpg");
        }
        for (const std::string& path : paths) {
            hits.paths.push_back(path);
        }
        std::vector<cj::search::ShardHits> shards;
        shards.push_back(std::move(hits));
        rows.Replace(std::make_unique<cj::search::ResultsArray>(std::move(shards)));
        list = cj::ui::CreateResultList(surface, 0, 60, 1000, 660, rows);
        QApplication::processEvents();
    }

    // Lets the window repaint what the list invalidated.
    static void Paint() { QApplication::processEvents(); }

    std::vector<std::string> paths;  // What the rows point into, as a mapped shard would be.
    cj::ui::ResultRows rows;
    ExHandle window = 0;
    ExHandle list = 0;
};

Fixture& List() {
    static Fixture fixture;
    return fixture;
}

void BM_ResultList_MillionHitsToFirstFrame(benchmark::State& state) {
    Fixture& f = List();
    for (auto _ : state) {
        state.PauseTiming();
        Ex_ObjSendMessage(f.list, EX_LVM_SETITEMCOUNT, 0, 0);
        f.Paint();
        state.ResumeTiming();
        Ex_ObjSendMessage(f.list, EX_LVM_SETITEMCOUNT, Rows, Rows);
        Ex_ObjSendMessage(f.list, EX_LVM_SETSELECTIONMARK, 1, 1);
        f.Paint();
    }
}
BENCHMARK(BM_ResultList_MillionHitsToFirstFrame)->Unit(benchmark::kMillisecond);

void BM_ResultList_ScrollStepAtMillionRows(benchmark::State& state) {
    Fixture& f = List();
    Ex_ObjSendMessage(f.list, EX_LVM_SETITEMCOUNT, Rows, Rows);
    Ex_ObjSendMessage(f.list, EX_LVM_SETSELECTIONMARK, 1, Rows / 2);
    const ExPoint centre = exdui::inject::CenterOf(f.list);
    int notch = -120;  // One wheel notch: three rows down, then back up.
    for (auto _ : state) {
        exdui::inject::Wheel(f.window, centre, notch);  // handled, then repainted
        notch = -notch;
    }
}
BENCHMARK(BM_ResultList_ScrollStepAtMillionRows)->Unit(benchmark::kMillisecond);

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
