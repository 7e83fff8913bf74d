#include "ui/result_list.h"

#include <algorithm>

#include "ui/object_owners.h"

namespace cj::ui {
namespace {

// The rows each list draws. Never destroyed, so that a list that hears of
// its end while the process exits still finds the table.
ObjectOwners<ResultRows>& ListRows() {
    static auto* rows = new ObjectOwners<ResultRows>;
    return *rows;
}

ResultRows* RowsOf(ExHandle list) {
    return ListRows().Find(list);
}

constexpr int32_t SingleLineVCentre = EX_DT_SINGLELINE | EX_DT_VCENTER;  // 36
constexpr int32_t CutAtEnd = SingleLineVCentre | EX_DT_END_ELLIPSIS;
// The texts stop short of the row's right edge, and the name ends this far
// before the type-and-size text.
constexpr float RightMargin = 8;
constexpr float NameGap = 20;

void Fill(ExHandle canvas, ExHandle brush, ExArgb colour, float left, float top, float right,
          float bottom) {
    _brush_setcolor(brush, colour);
    _canvas_fillrect(canvas, brush, left, top, right, bottom);
}

float TextWidth(ExHandle font, const std::u16string& text, int32_t format = SingleLineVCentre,
                float room = 0) {
    float width = 0;
    float height = 0;
    _canvas_calctextsize(0, font, text.c_str(), static_cast<intptr_t>(text.size()), format, room, 0,
                         &width, &height);
    return width;
}

// Where a row's texts go, between textLeft and right. The name gives way to
// the type-and-size text: it is cut, ending in "…", so that the size is
// never lost; the path is cut at the row's end.
struct RowLayout {
    float textLeft = 0;
    float nameRight = 0;  // The name is drawn up to here.
    float sizeLeft = 0;   // Where the type-and-size text starts.
    float right = 0;      // Where every text ends.
    bool nameCut = false;
    bool pathCut = false;
};

RowLayout LayOutRow(ExHandle font, const RowTexts& texts, float textLeft, float rowRight) {
    RowLayout row;
    row.textLeft = textLeft;
    row.right = std::max(textLeft, rowRight - RightMargin);
    const float room = row.right - textLeft;
    const float nameWidth = TextWidth(font, texts.name);
    const float sizeWidth = TextWidth(font, texts.typeAndSize);
    row.nameCut = nameWidth + NameGap + sizeWidth > room;
    const float shownName = row.nameCut ? TextWidth(font, texts.name, CutAtEnd,
                                                    std::max(1.0F, room - NameGap - sizeWidth))
                                        : nameWidth;
    row.nameRight =
        textLeft + (row.nameCut ? std::max(1.0F, room - NameGap - sizeWidth) : nameWidth + 1);
    row.sizeLeft = textLeft + shownName + NameGap;
    row.pathCut = TextWidth(font, texts.path) > room;
    return row;
}

// The texts of a row start 15 pixels in, 15 more after a copy mark's marker.
float TextLeft(float rowLeft, search::CopyMark mark) {
    return rowLeft + (mark != search::CopyMark::None ? 15.0F : 0.0F) + 15;
}

void DrawText(ExHandle canvas, ExHandle font, ExArgb colour, const std::u16string& text, float left,
              float top, float right, float bottom) {
    _canvas_drawtext(canvas, font, colour, text.c_str(), static_cast<intptr_t>(text.size()),
                     CutAtEnd, left, top, right, bottom);
}

void DrawRow(ExHandle list, const ExListDraw& draw, const RowTexts& record, search::CopyMark mark) {
    const float left = static_cast<float>(draw.rect.left);
    const float top = static_cast<float>(draw.rect.top);
    const float right = static_cast<float>(draw.rect.right);
    const float bottom = static_cast<float>(draw.rect.bottom);
    const ExHandle canvas = draw.canvas;
    const ExHandle brush = _brush_create(OddRowColour);

    Fill(canvas, brush, draw.item % 2 == 1 ? OddRowColour : EvenRowColour, left, top, right,
         bottom);
    if (mark != search::CopyMark::None) {
        Fill(canvas, brush, MarkerColours[static_cast<int>(mark) - 1], 5, top + 2, 20, bottom - 2);
    }
    if ((draw.state & EX_LVIS_SELECTED) != 0) {
        Fill(canvas, brush, HighlightColour, left, top, right, bottom);
    } else if ((draw.state & EX_LVIS_HOT) != 0) {
        Fill(canvas, brush, HotColour, left, top, right, bottom);
    }
    _brush_destroy(brush);

    // The name and the type-and-size text share a line centred 20 pixels
    // below the row's top, the path a line centred 40 pixels below it.
    const ExHandle font = Ex_ObjGetFont(list);
    const RowLayout row = LayOutRow(font, record, TextLeft(left, mark), right);
    DrawText(canvas, font, NameColour, record.name, row.textLeft, top - 20, row.nameRight, bottom);
    DrawText(canvas, font, TypeAndSizeColour, record.typeAndSize, row.sizeLeft, top - 20, row.right,
             bottom);
    DrawText(canvas, font, PathColour, record.path, row.textLeft, top + 20, row.right, bottom);
}

// The tooltip of a row that shows its name or its path cut: both whole, one
// a line.
void WriteTip(ExHandle list, ExListTip& tip, const RowTexts& record, search::CopyMark mark) {
    const RowLayout row =
        LayOutRow(Ex_ObjGetFont(list), record, TextLeft(static_cast<float>(tip.rect.left), mark),
                  static_cast<float>(tip.rect.right));
    std::u16string text;
    if (row.nameCut || row.pathCut) {
        text = record.name + u"\n" + record.path;
    }
    if (tip.buffer == nullptr || tip.capacity <= 0) {
        return;
    }
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(tip.capacity) - 1);
    std::copy_n(text.begin(), n, tip.buffer);
    tip.buffer[n] = 0;
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
    if (notify.code == EX_LVN_GETINFOTIP) {
        auto& tip = *reinterpret_cast<ExListTip*>(notify.lParam);
        ResultRows* rows = RowsOf(list);
        const auto k = static_cast<std::size_t>(tip.item >= 1 ? tip.item : 0);
        if (const RowTexts* texts = rows != nullptr ? rows->Texts(k) : nullptr) {
            WriteTip(list, tip, *texts, rows->Records().Mark(k));
        }
        return 1;
    }
    return 0;
}

}  // namespace

ExHandle CreateResultList(ExHandle parent, int x, int y, int width, int height, ResultRows& rows) {
    const ExHandle list = Ex_ObjCreateEx(-1, u"ListView", nullptr, ResultListStyle, x, y, width,
                                         height, parent, 0, -1, 0, 0, ResultListProc);
    ListRows().Set(list, rows);
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
            ListRows().Forget(object);
            return 0;
        default:
            return 0;
    }
}

}  // namespace cj::ui
