// The search page's result list at a million hits, offscreen, with the
// program's own row painter: from the collector's last step (the row count
// set, row 1 selected) to the first painted frame of rows, and one scroll
// step. Run from a release build.
#include <benchmark/benchmark.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QScrollBar>
#include <cstdlib>
#include <string>

#include "exdui/exdui.h"
#include "exdui/exdui_qt.h"
#include "search/result_records.h"
#include "ui/result_list.h"

namespace {

constexpr int Rows = 1'000'000;

struct Fixture {
    Fixture() {
        Ex_Init(nullptr, 0, 0, nullptr, nullptr, 0, nullptr, 0);
        const ExHandle window = Ex_WndCreate(0, nullptr, u"bench", 0, 0, 1000, 720, 0, 0);
        const ExHandle surface = Ex_DUIBindWindowEx(window, nullptr, 0, 0, nullptr);
        Ex_DUIShowWindow(surface, EX_SW_SHOW, 0, 0, 0);
        std::vector<cj::search::ResultRecord> records(Rows);
        for (int i = 0; i < Rows; ++i) {
            const std::string digits = std::to_string(i);
            auto& r = records[static_cast<std::size_t>(i)];
            r.name = u"SF1400000" + std::u16string(digits.begin(), digits.end());
            r.typeAndSize = u"文件类型：jpg   文件大小：1.50 MB";
            r.path = u"/srv/仓库A/2026/12/圆通/" + r.name + u".jpg";
        }
        results.Append(std::move(records));
        list = cj::ui::CreateResultList(surface, 0, 60, 1000, 660, results);
        area = ExQtWidget(list)->findChild<QAbstractScrollArea*>(QString(),
                                                                 Qt::FindDirectChildrenOnly);
        QApplication::processEvents();
    }

    cj::search::ResultsArray results;
    ExHandle list = 0;
    QAbstractScrollArea* area = nullptr;
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
        f.area->viewport()->repaint();
        state.ResumeTiming();
        Ex_ObjSendMessage(f.list, EX_LVM_SETITEMCOUNT, Rows, Rows);
        Ex_ObjSendMessage(f.list, EX_LVM_SETSELECTIONMARK, 1, 1);
        f.area->viewport()->repaint();
    }
}
BENCHMARK(BM_ResultList_MillionHitsToFirstFrame)->Unit(benchmark::kMillisecond);

void BM_ResultList_ScrollStepAtMillionRows(benchmark::State& state) {
    Fixture& f = List();
    Ex_ObjSendMessage(f.list, EX_LVM_SETITEMCOUNT, Rows, Rows);
    Ex_ObjSendMessage(f.list, EX_LVM_SETSELECTIONMARK, 1, Rows / 2);
    QScrollBar* bar = f.area->verticalScrollBar();
    int step = 3 * 60;  // One wheel notch: three rows.
    for (auto _ : state) {
        bar->setValue(bar->value() + step);
        f.area->viewport()->repaint();
        step = -step;
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
