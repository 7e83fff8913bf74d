// The owner-data list at a million rows, offscreen, through the C API with an
// owner that draws each row as the result list does (a fill and three texts):
// setting the row count and painting the first screen, and one scroll step.
// QListView with a model of the same size runs beside it as the yardstick.
// The list is painted by the window's event loop, as on screen: it repaints
// what the list invalidated. The rows the owner drew are counted, so that a
// step that painted nothing fails.
#include <benchmark/benchmark.h>

#include <QAbstractListModel>
#include <QApplication>
#include <QListView>
#include <cstdlib>
#include <string>

#include "exdui.h"
#include "exdui_inject.h"

namespace {

constexpr int32_t Rows = 1'000'000;

const std::u16string Name = u"SF1400000000001_扫描件";
const std::u16string TypeAndSize = u"文件类型：jpg   文件大小：1.50 MB";
const std::u16string Path = u"/srv/仓库/2026/12/SF1400000000001_扫描件.jpg";

void Text(ExHandle canvas, ExHandle font, ExArgb colour, const std::u16string& text, float left,
          float top, float right, float bottom) {
    _canvas_drawtext(canvas, font, colour, text.c_str(), -1, 36, left, top, right, bottom);
}

std::int64_t g_rowsDrawn = 0;

intptr_t RowPainter(ExHandle /*window*/, ExHandle object, int32_t message, intptr_t /*wParam*/,
                    intptr_t lParam, intptr_t* result) {
    if (message != EX_WM_NOTIFY) {
        return 0;
    }
    const auto* nm = reinterpret_cast<const ExNotify*>(lParam);
    if (nm->from != object) {
        return 0;
    }
    if (nm->code == EX_NM_CALCSIZE) {
        reinterpret_cast<ExListSize*>(nm->lParam)->height = 60;
        return 1;
    }
    if (nm->code != EX_NM_CUSTOMDRAW) {
        return 0;
    }
    const auto* draw = reinterpret_cast<const ExListDraw*>(nm->lParam);
    ++g_rowsDrawn;
    const auto left = static_cast<float>(draw->rect.left);
    const auto top = static_cast<float>(draw->rect.top);
    const auto right = static_cast<float>(draw->rect.right);
    const auto bottom = static_cast<float>(draw->rect.bottom);
    const ExHandle brush = _brush_create(draw->item % 2 == 1 ? 0xFFDCDCDC : 0xFFD3D3D3);
    _canvas_fillrect(draw->canvas, brush, left, top, right, bottom);
    if ((draw->state & 0x82) != 0) {
        _brush_setcolor(brush, 0xE8FFFF00);
        _canvas_fillrect(draw->canvas, brush, left, top, right, bottom);
    }
    _brush_destroy(brush);
    const ExHandle font = Ex_ObjGetFont(object);
    float width = 0;
    float height = 0;
    _canvas_calctextsize(draw->canvas, font, Name.c_str(), -1, 36, right, bottom, &width, &height);
    Text(draw->canvas, font, 0xFF0000FF, Name, left + 15, top - 20, right, bottom);
    Text(draw->canvas, font, 0xE8FF0000, TypeAndSize, left + width + 35, top - 20, right, bottom);
    Text(draw->canvas, font, 0xFF808080, Path, left + 15, top + 20, right, bottom);
    *result = 1;
    return 1;
}

// One window with the result list's size, made once for all benchmarks.
struct Fixture {
    Fixture() {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("XDG_RUNTIME_DIR", "/tmp", 0);
        Ex_Init(nullptr, 0, 0, nullptr, nullptr, 0, nullptr, 0);
        window = Ex_WndCreate(0, nullptr, u"bench", 0, 0, 1000, 720, 0, 0);
        surface = Ex_DUIBindWindowEx(window, nullptr, 0, 0, nullptr);
        Ex_DUIShowWindow(surface, EX_SW_SHOW, 0, 0, 0);
        list = Ex_ObjCreateEx(-1, u"ListView", nullptr, 0x50000008, 0, 60, 1000, 660, surface, 0,
                              -1, 0, 0, RowPainter);
        QApplication::processEvents();
    }

    // Lets the window repaint what the list invalidated.
    static void Paint(benchmark::State& state) {
        const std::int64_t before = g_rowsDrawn;
        QApplication::processEvents();
        if (g_rowsDrawn == before) {
            state.SkipWithError("no row was painted");
        }
    }

    ExHandle window = 0;
    ExHandle surface = 0;
    ExHandle list = 0;
};

Fixture& Lists() {
    static Fixture fixture;
    return fixture;
}

void BM_ListView_SetMillionRowsAndPaint(benchmark::State& state) {
    Fixture& f = Lists();
    for (auto _ : state) {
        state.PauseTiming();
        Ex_ObjSendMessage(f.list, 0x102F, 0, 0);
        QApplication::processEvents();  // the empty list, no rows to paint
        state.ResumeTiming();
        Ex_ObjSendMessage(f.list, 0x102F, Rows, Rows);
        Ex_ObjSendMessage(f.list, 0x1043, 1, 1);
        Fixture::Paint(state);
    }
}
BENCHMARK(BM_ListView_SetMillionRowsAndPaint)->Unit(benchmark::kMillisecond);

// The list's own part: the row count and the scroll bar, no painting.
void BM_ListView_SetMillionRowsOnly(benchmark::State& state) {
    Fixture& f = Lists();
    for (auto _ : state) {
        Ex_ObjSendMessage(f.list, 0x102F, 0, 0);
        Ex_ObjSendMessage(f.list, 0x102F, Rows, Rows);
    }
}
BENCHMARK(BM_ListView_SetMillionRowsOnly)->Unit(benchmark::kMicrosecond);

void BM_ListView_ScrollStepAtMillionRows(benchmark::State& state) {
    Fixture& f = Lists();
    Ex_ObjSendMessage(f.list, 0x102F, Rows, Rows);
    Ex_ObjSendMessage(f.list, 0x1043, 1, Rows / 2);
    const ExPoint centre = exdui::inject::CenterOf(f.list);
    int notch = -120;  // three rows down, then back up
    for (auto _ : state) {
        const std::int64_t before = g_rowsDrawn;
        exdui::inject::Wheel(f.window, centre, notch);  // handled, then repainted
        if (g_rowsDrawn == before) {
            state.SkipWithError("no row was painted");
        }
        notch = -notch;
    }
}
BENCHMARK(BM_ListView_ScrollStepAtMillionRows)->Unit(benchmark::kMillisecond);

void BM_ListView_SelectAllRowByRow(benchmark::State& state) {
    Fixture& f = Lists();
    Ex_ObjSendMessage(f.list, 0x102F, Rows, Rows);
    for (auto _ : state) {
        for (int32_t row = 1; row <= Rows; ++row) {
            Ex_ObjSendMessage(f.list, EX_LVM_SETITEMSTATE, row, 2);
        }
        Fixture::Paint(state);
        state.PauseTiming();
        Ex_ObjSendMessage(f.list, EX_LVM_SETITEMSTATE, -1, 0);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ListView_SelectAllRowByRow)->Unit(benchmark::kMillisecond);

// The yardstick: Qt's own list view over a model that only reports a count.
class CountModel : public QAbstractListModel {
  public:
    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : m_rows; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole) {
            return {};
        }
        return QString::fromStdU16String(Path) + QString::number(index.row());
    }
    void SetRows(int rows) {
        beginResetModel();
        m_rows = rows;
        endResetModel();
    }

  private:
    int m_rows = 0;
};

void BM_QListView_SetMillionRowsAndPaint(benchmark::State& state) {
    Lists();
    QListView view;
    CountModel model;
    view.setUniformItemSizes(true);
    view.setModel(&model);
    view.resize(1000, 660);
    view.show();
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        model.SetRows(0);
        view.viewport()->repaint();
        state.ResumeTiming();
        model.SetRows(Rows);
        view.setCurrentIndex(model.index(0));
        view.viewport()->repaint();
    }
}
BENCHMARK(BM_QListView_SetMillionRowsAndPaint)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
