// The built-in class "ReportListView": rows of text cells under columns, row
// images from an image list (see the list section of exdui.h).
#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "handle_table.h"
#include "list_view_class.h"
#include "report_list_core.h"

namespace exdui {

namespace {

constexpr int32_t DefaultColumnFormat = EX_DT_SINGLELINE | EX_DT_VCENTER;

void InitReportList(Object& obj) {
    InitListObject(obj, std::make_unique<ReportListCore>());
}

// A null text is empty.
std::u16string TextOf(const char16_t* text) {
    return text != nullptr ? std::u16string(text) : std::u16string();
}

std::int32_t ColumnIndex(intptr_t column) {
    return RowIndex(column);  // same numbering
}

intptr_t InsertColumn(ReportListCore& report, const ExReportColumn* record) {
    if (record == nullptr) {
        return 0;
    }
    ReportColumn column;
    column.title = TextOf(record->title);
    column.width = record->width;
    column.textFormat = static_cast<std::uint32_t>(record->textFormat == -1 ? DefaultColumnFormat
                                                                            : record->textFormat);
    column.textColour = record->textColor;
    const std::int32_t before = record->insertAt > 0 ? record->insertAt - 1 : report.ColumnCount();
    return report.InsertColumn(before, std::move(column)) + 1;
}

intptr_t InsertRow(ReportListCore& report, const ExReportRow* record) {
    std::int32_t before = report.RowCount();
    std::int32_t image = ReportListCore::NoImage;
    if (record != nullptr) {
        if (record->insertAt > 0) {
            before = record->insertAt - 1;
        }
        if (record->image > 0) {
            image = record->image - 1;
        }
    }
    return report.InsertRow(before, image) + 1;
}

intptr_t AppendRows(ReportListCore& report, intptr_t count, const ExReportRowCells* records) {
    if (records == nullptr || count <= 0) {
        return 0;
    }
    std::vector<ReportRow> rows(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ExReportRowCells& record = records[i];
        ReportRow& row = rows[i];
        row.image = record.image > 0 ? record.image - 1 : ReportListCore::NoImage;
        row.textColour = record.textColor;
        if (record.cells != nullptr && record.cellCount > 0) {
            row.cells.reserve(static_cast<std::size_t>(record.cellCount));
            for (int32_t column = 0; column < record.cellCount; ++column) {
                const char16_t* text = record.cells[column];
                row.cells.push_back(TextOf(text));
            }
        }
    }
    return report.AppendRows(std::move(rows)) + 1;
}

intptr_t ReadCell(const ReportListCore& report, intptr_t row, ExReportCell* cell) {
    if (cell == nullptr) {
        return 0;
    }
    const std::u16string* text =
        report.Cell(RowIndex(row != 0 ? row : cell->row), ColumnIndex(cell->column));
    const auto length =
        static_cast<int32_t>(std::min<std::size_t>(text != nullptr ? text->size() : 0, INT32_MAX));
    if (cell->buffer != nullptr && cell->capacity > 0) {
        const int32_t copied = std::min(length, cell->capacity - 1);
        if (copied > 0) {
            std::memcpy(cell->buffer, text->data(), static_cast<size_t>(copied) * sizeof(char16_t));
        }
        cell->buffer[copied] = u'\0';
    }
    return length;
}

intptr_t ReportListProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                        intptr_t lParam) {
    ListState* state = ListStateOf(object);
    ReportListCore* report = state != nullptr ? state->Report() : nullptr;
    if (report == nullptr) {
        return Ex_ObjDefProc(window, object, message, wParam, lParam);
    }
    switch (message) {
        case EX_LVM_INSERTCOLUMN:
            return InsertColumn(*report, reinterpret_cast<const ExReportColumn*>(lParam));
        case EX_LVM_GETCOLUMNCOUNT:
            return report->ColumnCount();
        case EX_LVM_SETSORTMARK:
            return report->SetSortMark(ColumnIndex(wParam), lParam >= 0) ? 1 : 0;
        case EX_LVM_SETCOLUMNWIDTH:
            return report->SetColumnWidth(ColumnIndex(wParam),
                                          static_cast<int32_t>(std::clamp<intptr_t>(
                                              lParam, 0, ReportListCore::MaxColumnWidth)))
                       ? 1
                       : 0;
        case EX_LVM_INSERTITEM:
            return InsertRow(*report, reinterpret_cast<const ExReportRow*>(lParam));
        case EX_LVM_SETITEM: {
            const auto* cell = reinterpret_cast<const ExReportCell*>(lParam);
            if (cell == nullptr) {
                return 0;
            }
            return report->SetCell(RowIndex(cell->row), ColumnIndex(cell->column),
                                   TextOf(cell->text))
                       ? 1
                       : 0;
        }
        case EX_LVM_GETITEMTEXT:
            return ReadCell(*report, wParam, reinterpret_cast<ExReportCell*>(lParam));
        case EX_LVM_DELETEITEM:
            return report->RemoveRow(RowIndex(lParam)) ? 1 : 0;
        case EX_LVM_INSERTITEMS:
            return AppendRows(*report, wParam, reinterpret_cast<const ExReportRowCells*>(lParam));
        case EX_LVM_DELETEITEMS: {
            const auto* rows = reinterpret_cast<const int32_t*>(lParam);
            if (rows == nullptr || wParam <= 0) {
                return 0;
            }
            // Row numbers from 1 to the widget's from 0; 0 and negative
            // numbers fall out of range and are ignored there.
            std::vector<std::int32_t> indexes(rows, rows + wParam);
            for (std::int32_t& row : indexes) {
                row = row >= 1 ? row - 1 : -1;
            }
            return report->RemoveRows(indexes);
        }
        case EX_LVM_DELETEALLITEMS:
            report->RemoveAllRows();
            return 1;
        case EX_LVM_GETIMAGELIST:
            return state->Host().ImageList();
        case EX_LVM_SETIMAGELIST: {
            const ExHandle previous = state->Host().ImageList();
            const auto list = static_cast<ExHandle>(lParam);
            if (list != 0 && !handles::IsLive(list, Kind::ImageList)) {
                return 0;
            }
            state->Host().SetImageList(list);
            report->RepaintAll();
            return previous;
        }
        default:
            break;
    }
    intptr_t result = 0;
    if (HandleCommonListMessage(*state, message, wParam, lParam, &result)) {
        return result;
    }
    return Ex_ObjDefProc(window, object, message, wParam, lParam);
}

}  // namespace

void RegisterReportListClass() {
    BuiltinClass cls;
    cls.name = u"ReportListView";
    cls.style = EX_OS_VISIBLE | EX_OS_VSCROLL | ListStyleHScroll | EX_LVS_MULTISELECT;
    cls.styleEx = 0;
    cls.textFormat = DefaultColumnFormat;
    cls.proc = ReportListProc;
    cls.init = InitReportList;
    cls.traits = TraitFocusable;
    cls.colors = {
        {EX_COLOR_BORDER, 0x2C000000},      {EX_COLOR_TEXT, 0xFF000000},
        {EX_COLOR_LIST_HEADER, 0x14000000}, {EX_COLOR_LIST_SELECTED, 0x600078D7},
        {EX_COLOR_LIST_HOT, 0x280078D7},
    };
    RegisterBuiltinClass(cls);
}

}  // namespace exdui
