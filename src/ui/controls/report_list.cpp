#include "ui/controls/report_list.h"

#include <algorithm>
#include <climits>
#include <map>
#include <string>
#include <vector>

#include "platform/code_page.h"

namespace cj::ui {
namespace {

constexpr int IconPixels[] = {16, 32, 48, 256};

// What a list's row icons need: the icon size class chosen at creation and
// the icons already in its image list, by file extension. Every file of one
// type shows the same icon, so a list of thousands of rows holds one image per
// type instead of one per row. UI thread only; keyed by the list's handle,
// which the library never reuses.
struct ListIcons {
    std::int32_t sizeClass = 0;
    std::map<std::string, int> byExtension;
};

std::map<ExHandle, ListIcons>& IconsOfLists() {
    static std::map<ExHandle, ListIcons> lists;
    return lists;
}

// The lower-case extension of the file name in path, with its dot; "" when
// the name has none.
std::string ExtensionOf(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos || dot == 0) {
        return {};
    }
    std::string extension(name.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return extension;
}

}  // namespace

bool ReportList::Create(const ReportListDescription& d) {
    std::int32_t style = EX_OS_VISIBLE | HorizontalScrollStyle | d.styleBits;
    if (d.verticalScrollBar) {
        style |= EX_OS_VSCROLL;
    }
    Attach(CreateObject(-1, u"ReportListView", {}, style, d.x, d.y, d.width, d.height, d.parent,
                        d.id));
    Ex_ObjSetColor(Handle(), EX_COLOR_BACKGROUND, d.background, 0);
    Ex_ObjSetColor(Handle(), EX_COLOR_BORDER, d.border, 0);
    Ex_ObjSetColor(Handle(), EX_COLOR_LIST_HEADER, d.header, 0);
    Send(EX_LVM_SETROWHEIGHT, 0, d.rowHeight);
    if (Handle() != 0 && d.iconSize >= 1 && d.iconSize <= 4) {
        const int pixels = IconPixels[d.iconSize - 1];
        IconsOfLists()[Handle()].sizeClass = d.iconSize - 1;
        Send(EX_LVM_SETIMAGELIST, 0, _imglist_create(pixels, pixels));
    }
    return Handle() != 0;
}

int ReportList::AddColumn(std::string_view title, int width, std::int32_t textFormat,
                          ExArgb textColour) const {
    const std::u16string wide = platform::NarrowToUtf16(title);
    ExReportColumn column{wide.c_str(), width, textFormat, textColour, 0};
    return static_cast<int>(Send(EX_LVM_INSERTCOLUMN, 0, reinterpret_cast<intptr_t>(&column)));
}

void ReportList::SetColumnWidth(int column, int width) const {
    Send(EX_LVM_SETCOLUMNWIDTH, column, width);
}

int ReportList::InsertRow(int insertAt) const {
    ExReportRow row{insertAt, 0};
    return static_cast<int>(Send(EX_LVM_INSERTITEM, 0, reinterpret_cast<intptr_t>(&row)));
}

int ReportList::IconIndex(std::string_view path) const {
    const auto images = static_cast<ExHandle>(Send(EX_LVM_GETIMAGELIST));
    if (images == 0) {
        return 0;
    }
    const std::string extension = ExtensionOf(path);
    ListIcons& icons = IconsOfLists()[Handle()];
    auto& cached = icons.byExtension;
    if (auto it = cached.find(extension); it != cached.end()) {
        return it->second;
    }
    // A type without an icon is remembered too (as 0): on a desktop with no
    // icon theme every lookup fails, at about 7 us each, and a list of
    // 100,000 rows would pay it for every row. Files without an extension
    // share one icon, the first one's, though the desktop might tell them
    // apart by their content: reading each one to find out costs far more.
    const std::u16string widePath = platform::NarrowToUtf16(path);
    const ExHandle icon = _img_createfromfileicon(widePath.c_str(), icons.sizeClass);
    int imageIndex = 0;
    if (icon != 0) {
        imageIndex = _imglist_addimage(images, 0, icon);
        _img_destroy(icon);
    }
    cached[extension] = imageIndex;
    return imageIndex;
}

int ReportList::InsertRowWithIcon(std::string_view path, int insertAt) const {
    ExReportRow row{insertAt, IconIndex(path)};
    return static_cast<int>(Send(EX_LVM_INSERTITEM, 0, reinterpret_cast<intptr_t>(&row)));
}

int ReportList::AppendRows(std::span<const ReportRowTexts> rows) const {
    if (rows.empty()) {
        return 0;
    }
    // The texts stay alive until the library has copied them, within Send.
    std::vector<std::u16string> texts;
    std::vector<const char16_t*> cells;
    std::size_t cellCount = 0;
    for (const ReportRowTexts& row : rows) {
        cellCount += row.cells.size();
    }
    texts.reserve(cellCount);
    cells.reserve(cellCount);
    std::vector<ExReportRowCells> records;
    records.reserve(rows.size());
    for (const ReportRowTexts& row : rows) {
        const std::size_t first = cells.size();
        for (const std::string& cell : row.cells) {
            texts.push_back(platform::NarrowToUtf16(cell));
            cells.push_back(texts.back().c_str());
        }
        records.push_back({row.iconPath.empty() ? 0 : IconIndex(row.iconPath),
                           static_cast<std::int32_t>(row.cells.size()), nullptr, row.textColour});
        records.back().cells = cells.data() + first;
    }
    return static_cast<int>(Send(EX_LVM_INSERTITEMS, static_cast<intptr_t>(records.size()),
                                 reinterpret_cast<intptr_t>(records.data())));
}

void ReportList::SetSortMark(int column, bool ascending) const {
    Send(EX_LVM_SETSORTMARK, column, ascending ? 1 : -1);
}

bool ReportList::SetCell(int row, int column, std::string_view text) const {
    const std::u16string wide = platform::NarrowToUtf16(text);
    ExReportCell cell{row, column, wide.c_str(), nullptr, 0};
    return Send(EX_LVM_SETITEM, 0, reinterpret_cast<intptr_t>(&cell)) != 0;
}

std::string ReportList::CellText(int row, int column) const {
    ExReportCell cell{row, column, nullptr, nullptr, 0};
    const intptr_t length = Send(EX_LVM_GETITEMTEXT, row, reinterpret_cast<intptr_t>(&cell));
    if (length <= 0) {
        return {};
    }
    std::u16string wide(static_cast<std::size_t>(length) + 1, u'\0');
    cell.buffer = wide.data();
    cell.capacity = static_cast<std::int32_t>(wide.size());
    const intptr_t again = Send(EX_LVM_GETITEMTEXT, row, reinterpret_cast<intptr_t>(&cell));
    // The cell may have changed between the two reads; keep what was copied.
    wide.resize(static_cast<std::size_t>(std::clamp<intptr_t>(again, 0, length)));
    return platform::Utf16ToNarrow(wide);
}

bool ReportList::DeleteRow(int row) const {
    return Send(EX_LVM_DELETEITEM, 1, row) != 0;
}

int ReportList::DeleteRows(std::span<const std::size_t> rows) const {
    std::vector<std::int32_t> numbers;
    numbers.reserve(rows.size());
    for (const std::size_t row : rows) {
        // A number the library cannot hold is past any row it has.
        if (row > static_cast<std::size_t>(INT32_MAX)) {
            break;
        }
        numbers.push_back(static_cast<std::int32_t>(row));
    }
    if (numbers.empty()) {
        return 0;
    }
    return static_cast<int>(Send(EX_LVM_DELETEITEMS, static_cast<intptr_t>(numbers.size()),
                                 reinterpret_cast<intptr_t>(numbers.data())));
}

void ReportList::DeleteAllRows() const {
    Send(EX_LVM_DELETEALLITEMS);
}

int ReportList::RowCount() const {
    return static_cast<int>(Send(EX_LVM_GETITEMCOUNT));
}

void ReportList::Update() const {
    Send(EX_LVM_UPDATE);
}

int ReportList::SelectedRow() const {
    return static_cast<int>(Send(EX_LVM_GETSELECTIONMARK));
}

void ReportList::SelectRow(int row) const {
    Send(EX_LVM_SETSELECTIONMARK, 1, row);
}

bool ReportList::IsRowSelected(int row) const {
    return (Send(EX_LVM_GETITEMSTATE, row) & EX_LVIS_SELECTED) != 0;
}

}  // namespace cj::ui
