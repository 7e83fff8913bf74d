#include "ui/controls/extended_list_box.h"

#include <vector>

#include "platform/code_page.h"
#include "ui/controls/drawn_parts.h"

namespace cj::ui {
namespace {

constexpr std::int32_t ExtraBytes = 40;
constexpr std::int32_t RowTextFormat = EX_DT_SINGLELINE | EX_DT_VCENTER;  // 36
constexpr int ImageInset = 10;        // From the row's left edge to the image.
constexpr int ImageTextGap = 10;      // From the image to the text.
constexpr int TextInsetNoImage = 10;  // Text of a row without an image.

using Slot = ExtendedListBox::Slot;

struct Row {
    std::u16string text;
    ExHandle image = 0;  // Owned.
};
using RowArray = std::vector<Row>;

// Set when the class is registered; the library's classes and procedures
// live for one run of the library.
ExClassProc listViewProc = nullptr;

RowArray* RowsOf(ExHandle object) {
    return reinterpret_cast<RowArray*>(Ex_ObjGetLong(object, Slot::Rows));
}

void ReportCount(ExHandle object, const RowArray& rows) {
    Ex_ObjSendMessage(object, EX_LVM_SETITEMCOUNT, static_cast<intptr_t>(rows.size()), 0);
}

void DrawRow(ExHandle object, const ExListDraw& draw, const Row& row) {
    auto slot = [object](std::int32_t index) {
        return static_cast<ExArgb>(Ex_ObjGetLong(object, index));
    };
    const ExRect& r = draw.rect;
    const auto left = static_cast<float>(r.left);
    const auto top = static_cast<float>(r.top);
    const auto right = static_cast<float>(r.right);
    const auto bottom = static_cast<float>(r.bottom);
    const ExHandle brush =
        _brush_create(draw.item % 2 != 0 ? slot(Slot::OddRow) : slot(Slot::EvenRow));
    _canvas_fillrect(draw.canvas, brush, left, top, right, bottom);
    if ((draw.state & EX_LVIS_SELECTED) != 0) {
        _brush_setcolor(brush, slot(Slot::Selected));
        _canvas_fillrect(draw.canvas, brush, left, top, right, bottom);
    } else if ((draw.state & EX_LVIS_HOT) != 0) {
        _brush_setcolor(brush, slot(Slot::Hover));
        _canvas_fillrect(draw.canvas, brush, left, top, right, bottom);
    }
    _brush_destroy(brush);

    float textLeft = left + TextInsetNoImage;
    std::int32_t iw = 0;
    std::int32_t ih = 0;
    if (row.image != 0 && _img_getsize(row.image, &iw, &ih) != 0) {
        const int y = r.top + (r.bottom - r.top - ih) / 2;
        _canvas_drawimage(draw.canvas, row.image, left + ImageInset, static_cast<float>(y), 255);
        textLeft = left + static_cast<float>(iw + ImageInset + ImageTextGap);
    }
    _canvas_drawtext(draw.canvas, Ex_ObjGetFont(object), slot(Slot::TextColour), row.text.c_str(),
                     -1, RowTextFormat, textLeft, top, right, bottom);
}

// The list's notifications to itself; true when answered here.
bool OnNotify(ExHandle object, const ExNotify& notify) {
    if (notify.from != object || notify.lParam == 0) {
        return false;
    }
    if (notify.code == EX_NM_CALCSIZE) {
        const auto height = static_cast<std::int32_t>(Ex_ObjGetLong(object, Slot::RowHeight));
        if (height > 0) {
            reinterpret_cast<ExListSize*>(notify.lParam)->height = height;
            return true;
        }
        return false;
    }
    if (notify.code == EX_NM_CUSTOMDRAW) {
        const auto& draw = *reinterpret_cast<const ExListDraw*>(notify.lParam);
        const RowArray* rows = RowsOf(object);
        if (rows == nullptr || draw.item < 1 ||
            static_cast<std::size_t>(draw.item) > rows->size()) {
            return false;  // Left to the list view.
        }
        DrawRow(object, draw, (*rows)[static_cast<std::size_t>(draw.item) - 1]);
        return true;
    }
    return false;
}

void FreeRows(ExHandle object) {
    RowArray* rows = RowsOf(object);
    if (rows == nullptr) {
        return;
    }
    for (const Row& row : *rows) {
        _img_destroy(row.image);
    }
    Ex_ObjSetLong(object, Slot::Rows, 0);
    delete rows;
}

intptr_t ExtendedListBoxProc(ExHandle window, ExHandle object, std::int32_t message,
                             intptr_t wParam, intptr_t lParam) {
    bool answered = false;
    if (message == EX_WM_NOTIFY && lParam != 0) {
        answered = OnNotify(object, *reinterpret_cast<const ExNotify*>(lParam));
    }
    const intptr_t result =
        listViewProc != nullptr
            ? Ex_ObjCallProc(listViewProc, window, object, message, wParam, lParam)
            : Ex_ObjDefProc(window, object, message, wParam, lParam);
    if (message == EX_WM_DESTROY) {
        FreeRows(object);
    }
    return answered ? 1 : result;
}

bool EnsureRegistered() {
    ExClassInfo mine{};
    if (Ex_ObjGetClassInfoEx(ExtendedListBoxClass, &mine) != 0) {
        return listViewProc != nullptr;
    }
    ExClassInfo base{};
    if (Ex_ObjGetClassInfoEx(u"ListView", &base) == 0 || base.proc == nullptr) {
        return false;
    }
    listViewProc = base.proc;
    return Ex_ObjRegister(ExtendedListBoxClass, base.style, base.styleEx, base.textFormat,
                          ExtraBytes, base.cursor, base.flags, ExtendedListBoxProc) != 0;
}

int AppendRow(ExHandle object, std::string_view text, ExHandle image) {
    RowArray* rows = RowsOf(object);
    if (rows == nullptr) {
        _img_destroy(image);
        return 0;
    }
    rows->push_back(Row{platform::NarrowToUtf16(text), image});
    ReportCount(object, *rows);
    return static_cast<int>(rows->size());
}

}  // namespace

ExClassProc ListViewClassProc() {
    return listViewProc;
}

bool ExtendedListBox::Create(const ExtendedListBoxDescription& d) {
    Attach(0);
    if (!EnsureRegistered()) {
        return false;
    }
    const std::int32_t style = EX_OS_VISIBLE | EX_OS_VSCROLL | HorizontalScrollStyle |
                               (d.multiSelect ? EX_LVS_MULTISELECT : 0);
    const std::int32_t exStyle = d.acceptFiles ? EX_OS_EX_DRAGDROP | EX_OS_EX_ACCEPTFILES : -1;
    const ExHandle object = CreateObject(exStyle, ExtendedListBoxClass, {}, style, d.x, d.y,
                                         d.width, d.height, d.parent, d.id, -1, d.procedure);
    if (object == 0) {
        return false;
    }
    Attach(object);
    Ex_ObjSetLong(object, Rows, reinterpret_cast<intptr_t>(new RowArray));
    Ex_ObjSetLong(object, Hover, d.hover);
    Ex_ObjSetLong(object, Selected, d.selected);
    Ex_ObjSetLong(object, TextColour, d.textColour);
    Ex_ObjSetLong(object, OddRow, d.oddRow);
    Ex_ObjSetLong(object, EvenRow, d.evenRow);
    // The rows paint their own selected and hot fills; the list's plain
    // highlight under them would tint the colours the caller chose.
    Ex_ObjSetColor(object, EX_COLOR_LIST_SELECTED, 0, 0);
    Ex_ObjSetColor(object, EX_COLOR_LIST_HOT, 0, 0);
    Ex_ObjSetColor(object, EX_COLOR_BACKGROUND, d.background, 0);
    if (d.fontSize) {
        SetFont(d.fontFamily, d.fontSize);
    }
    SetRowHeight(d.rowHeight);
    return true;
}

int ExtendedListBox::AddRow(std::string_view text, std::span<const std::uint8_t> image) const {
    if (RowsOf(Handle()) == nullptr) {
        return 0;
    }
    return AppendRow(Handle(), text, ImageFromBytes(image));
}

int ExtendedListBox::AddRowWithFileIcon(std::string_view text, std::string_view path,
                                        int sizeClass) const {
    if (RowsOf(Handle()) == nullptr) {
        return 0;
    }
    const std::u16string widePath = platform::NarrowToUtf16(path);
    const int effectiveClass = sizeClass >= 0 && sizeClass <= 3 ? sizeClass : 1;
    return AppendRow(Handle(), text, _img_createfromfileicon(widePath.c_str(), effectiveClass));
}

bool ExtendedListBox::RemoveRow(int row) const {
    RowArray* rows = RowsOf(Handle());
    if (rows == nullptr || row < 1 || static_cast<std::size_t>(row) > rows->size()) {
        return false;
    }
    const auto at = rows->begin() + (row - 1);
    _img_destroy(at->image);
    rows->erase(at);
    ReportCount(Handle(), *rows);
    return true;
}

void ExtendedListBox::ClearRows() const {
    RowArray* rows = RowsOf(Handle());
    if (rows == nullptr) {
        return;
    }
    for (const Row& row : *rows) {
        _img_destroy(row.image);
    }
    rows->clear();
    ReportCount(Handle(), *rows);
}

int ExtendedListBox::RowCount() const {
    const RowArray* rows = RowsOf(Handle());
    return rows == nullptr ? 0 : static_cast<int>(rows->size());
}

std::string ExtendedListBox::RowText(int row) const {
    const RowArray* rows = RowsOf(Handle());
    if (rows == nullptr || row < 1 || static_cast<std::size_t>(row) > rows->size()) {
        return {};
    }
    return platform::Utf16ToNarrow((*rows)[static_cast<std::size_t>(row) - 1].text);
}

bool ExtendedListBox::SetRowText(int row, std::string_view text) const {
    RowArray* rows = RowsOf(Handle());
    if (rows == nullptr || row < 1 || static_cast<std::size_t>(row) > rows->size()) {
        return false;
    }
    (*rows)[static_cast<std::size_t>(row) - 1].text = platform::NarrowToUtf16(text);
    Redraw();
    return true;
}

void ExtendedListBox::SetRowHeight(int pixels) const {
    Ex_ObjSetLong(Handle(), RowHeight, pixels);
    // A size message makes the list ask for the row height again; it carries
    // the list's own size, so nothing else changes.
    ExRect client{};
    Ex_ObjGetClientRect(Handle(), &client);
    const auto size = static_cast<std::uint32_t>(client.right & 0xFFFF) |
                      static_cast<std::uint32_t>(client.bottom & 0xFFFF) << 16;
    Send(EX_WM_SIZE, 0, static_cast<intptr_t>(size));
}

int ExtendedListBox::SelectedRow() const {
    return static_cast<int>(Send(EX_LVM_GETSELECTIONMARK));
}

void ExtendedListBox::SelectRow(int row) const {
    Send(EX_LVM_SETSELECTIONMARK, 1, row);
}

void ExtendedListBox::Redraw() const {
    Send(EX_LVM_UPDATE);
}

}  // namespace cj::ui
