#include "ui/result_list.h"

namespace cj::ui {
namespace {

// The results array the list draws. One result list exists per program; the
// pointer is set at its creation and read on the UI thread only.
search::ResultsArray* g_results = nullptr;
ExHandle g_list = 0;

constexpr int32_t SingleLineVCentre = EX_DT_SINGLELINE | EX_DT_VCENTER;  // 36

void Fill(ExHandle canvas, ExHandle brush, ExArgb colour, float left, float top, float right,
          float bottom) {
    _brush_setcolor(brush, colour);
    _canvas_fillrect(canvas, brush, left, top, right, bottom);
}

void DrawText(ExHandle canvas, ExHandle font, ExArgb colour, const std::u16string& text,
              float left, float top, float right, float bottom) {
    _canvas_drawtext(canvas, font, colour, text.c_str(), static_cast<intptr_t>(text.size()),
                     SingleLineVCentre, left, top, right, bottom);
}

void DrawRow(ExHandle list, const ExListDraw& draw, const search::ResultRecord& record) {
    const float left = static_cast<float>(draw.rect.left);
    const float top = static_cast<float>(draw.rect.top);
    const float right = static_cast<float>(draw.rect.right);
    const float bottom = static_cast<float>(draw.rect.bottom);
    const ExHandle canvas = draw.canvas;
    const ExHandle brush = _brush_create(OddRowColour);

    Fill(canvas, brush, draw.item % 2 == 1 ? OddRowColour : EvenRowColour, left, top, right,
         bottom);
    float indent = 0;
    if (record.copyMark >= 1 && record.copyMark <= 3) {
        Fill(canvas, brush, MarkerColours[record.copyMark - 1], 5, top + 2, 20, bottom - 2);
        indent = 15;
    }
    if ((draw.state & (EX_LVIS_SELECTED | EX_LVIS_HOT)) != 0) {
        Fill(canvas, brush, HighlightColour, left, top, right, bottom);
    }
    _brush_destroy(brush);

    // The name and the type-and-size text share a line centred 20 pixels
    // below the row's top, the path a line centred 40 pixels below it.
    const ExHandle font = Ex_ObjGetFont(list);
    DrawText(canvas, font, NameColour, record.name, left + indent + 15, top - 20, right, bottom);
    float nameWidth = 0;
    float nameHeight = 0;
    _canvas_calctextsize(canvas, font, record.name.c_str(),
                         static_cast<intptr_t>(record.name.size()), SingleLineVCentre, right,
                         bottom, &nameWidth, &nameHeight);
    DrawText(canvas, font, TypeAndSizeColour, record.typeAndSize, left + indent + nameWidth + 35,
             top - 20, right, bottom);
    DrawText(canvas, font, PathColour, record.path, left + indent + 15, top + 20, right, bottom);
}

intptr_t OnNotify(ExHandle list, const ExNotify& notify, intptr_t* result) {
    if (notify.code == EX_NM_CALCSIZE) {
        reinterpret_cast<ExListSize*>(notify.lParam)->height = ResultRowHeight;
        return 1;
    }
    if (notify.code == EX_NM_CUSTOMDRAW) {
        const auto& draw = *reinterpret_cast<const ExListDraw*>(notify.lParam);
        const search::ResultRecord* record =
            g_results != nullptr && draw.item >= 1
                ? g_results->Row(static_cast<std::size_t>(draw.item))
                : nullptr;
        if (record != nullptr) {
            DrawRow(list, draw, *record);
        }
        // Rows beyond the array are still answered, so the list draws nothing
        // of its own there.
        if (result != nullptr) {
            *result = 1;
        }
        return 1;
    }
    return 0;
}

}  // namespace

ExHandle CreateResultList(ExHandle parent, int x, int y, int width, int height,
                          search::ResultsArray& results) {
    g_results = &results;
    g_list = Ex_ObjCreateEx(-1, u"ListView", nullptr, 0x50000008, x, y, width, height, parent, 0,
                            -1, 0, 0, ResultListProc);
    return g_list;
}

intptr_t ResultListProc(ExHandle /*window*/, ExHandle object, int32_t message, intptr_t /*wParam*/,
                        intptr_t lParam, intptr_t* result) {
    switch (message) {
        case EX_WM_NOTIFY: {
            const auto* notify = reinterpret_cast<const ExNotify*>(lParam);
            if (notify == nullptr || notify->from != object) {
                return 0;
            }
            return OnNotify(object, *notify, result);
        }
        case ResultListClearMessage:
            if (g_results != nullptr) {
                g_results->Clear();
            }
            return 0;
        case EX_WM_DESTROY:
            if (object == g_list) {
                // The records belong to the search engine, whose collector
                // may still be filling them when the window closes during a
                // search: the list only lets go of them.
                g_results = nullptr;
                g_list = 0;
            }
            return 0;
        default:
            return 0;
    }
}

}  // namespace cj::ui
