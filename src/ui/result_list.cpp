#include "ui/result_list.h"

namespace cj::ui {
namespace {

// The rows a list draws, kept in the list object's user value.
ResultRows* RowsOf(ExHandle list) {
    return reinterpret_cast<ResultRows*>(Ex_ObjGetLong(list, EX_OL_USERDATA));
}

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

void DrawRow(ExHandle list, const ExListDraw& draw, const RowTexts& record,
             search::CopyMark mark) {
    const float left = static_cast<float>(draw.rect.left);
    const float top = static_cast<float>(draw.rect.top);
    const float right = static_cast<float>(draw.rect.right);
    const float bottom = static_cast<float>(draw.rect.bottom);
    const ExHandle canvas = draw.canvas;
    const ExHandle brush = _brush_create(OddRowColour);

    Fill(canvas, brush, draw.item % 2 == 1 ? OddRowColour : EvenRowColour, left, top, right,
         bottom);
    float indent = 0;
    if (mark != search::CopyMark::None) {
        Fill(canvas, brush, MarkerColours[static_cast<int>(mark) - 1], 5, top + 2, 20,
             bottom - 2);
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
        ResultRows* rows = RowsOf(list);
        const auto k = static_cast<std::size_t>(draw.item >= 1 ? draw.item : 0);
        const RowTexts* texts = rows != nullptr ? rows->Texts(k) : nullptr;
        if (texts != nullptr) {
            DrawRow(list, draw, *texts, rows->Records().Mark(k));
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
                          ResultRows& rows) {
    const ExHandle list = Ex_ObjCreateEx(-1, u"ListView", nullptr, ResultListStyle, x, y, width,
                                         height, parent, 0, -1, 0, 0, ResultListProc);
    Ex_ObjSetLong(list, EX_OL_USERDATA, reinterpret_cast<intptr_t>(&rows));
    return list;
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
            if (ResultRows* rows = RowsOf(object)) {
                rows->Clear();
            }
            return 0;
        case EX_WM_DESTROY:
            // The rows belong to the window: the list only lets go of them.
            Ex_ObjSetLong(object, EX_OL_USERDATA, 0);
            return 0;
        default:
            return 0;
    }
}

}  // namespace cj::ui
