#include "list_view_class.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <utility>
#include <vector>

#include "canvas.h"
#include "images.h"
#include "object_access.h"

namespace exdui {

ListObjectHost::ListObjectHost(Object& obj) : m_obj(obj), m_canvas(CreateCanvas()) {}

ListObjectHost::~ListObjectHost() {
    DestroyCanvas(m_canvas);
    // As a Windows list view does, the list owns the image list it was given.
    if (m_imageList != 0 && (m_obj.Style() & EX_LVS_SHAREIMAGELISTS) == 0) {
        _imglist_destroy(m_imageList);
    }
}

std::int32_t ListObjectHost::MeasureRowHeight(std::int32_t width, std::int32_t height) {
    if (m_obj.destroying || m_obj.destroyed) {
        return height;
    }
    ExListSize size{width, height};
    m_obj.Notify(EX_NM_CALCSIZE, 0, reinterpret_cast<intptr_t>(&size));
    return size.height;
}

void ListObjectHost::BeginDraw(backend::Painter& painter) {
    BindCanvas(m_canvas, &painter);
}

void ListObjectHost::EndDraw(backend::Painter& /*painter*/) {
    BindCanvas(m_canvas, nullptr);
}

void ListObjectHost::DrawRow(backend::Painter& /*painter*/, const ListRowPaint& row) {
    // A procedure may destroy the list while its rows are painted; its state
    // goes later with the object, its owner hears nothing more.
    if (m_obj.destroying || m_obj.destroyed) {
        return;
    }
    ExListDraw draw{};
    draw.canvas = m_canvas;
    draw.state = row.state;
    draw.rect = row.rect;
    draw.item = row.row + 1;
    draw.style = m_obj.Style();
    m_obj.Notify(EX_NM_CUSTOMDRAW, 0, reinterpret_cast<intptr_t>(&draw));
}

void ListObjectHost::RowEvent(ListRowEvent what, std::int32_t row, ExPoint pos) {
    if (m_obj.destroying || m_obj.destroyed) {
        return;
    }
    int32_t code = EX_NM_CLICK;
    switch (what) {
        case ListRowEvent::Click:
            code = EX_NM_CLICK;
            break;
        case ListRowEvent::DoubleClick:
            code = EX_NM_DBLCLK;
            break;
        case ListRowEvent::RightClick:
            code = EX_NM_RCLICK;
            break;
        case ListRowEvent::BeginDrag:
            code = EX_LVN_BEGINDRAG;
            break;
    }
    // pos is in the rows' view; handlers get object client coordinates.
    ExPoint client = pos;
    if (const ListState* state = m_obj.StateAs<ListState>(); state != nullptr) {
        client = state->Frame().ToClient(pos);
    }
    m_obj.Notify(code, row < 0 ? 0 : row + 1, PackPoint(client.x, client.y));
}

void ListObjectHost::ColumnClick(std::int32_t column) {
    if (!m_obj.destroying && !m_obj.destroyed) {
        m_obj.Notify(EX_LVN_COLUMNCLICK, column + 1, 0);
    }
}

std::shared_ptr<const backend::Image> ListObjectHost::RowImage(std::int32_t index) {
    return ImageListImage(m_imageList, index + 1);
}

bool ListObjectHost::MultiSelect(bool /*fallback*/) {
    return (m_obj.Style() & EX_LVS_MULTISELECT) != 0;
}

ListColours ListObjectHost::Colours(const ListColours& fallback) {
    ListColours colours = fallback;
    colours.background = 0;  // The object's own background shows through.
    colours.lines = m_obj.Color(EX_COLOR_BORDER);
    colours.text = m_obj.Color(EX_COLOR_TEXT);
    colours.headerText = colours.text;
    colours.headerBackground = m_obj.Color(EX_COLOR_LIST_HEADER);
    colours.selected = m_obj.Color(EX_COLOR_LIST_SELECTED);
    colours.hot = m_obj.Color(EX_COLOR_LIST_HOT);
    return colours;
}

std::u16string ListObjectHost::RowTip(std::int32_t row, const ListTip& tip) {
    if (m_obj.destroying || m_obj.destroyed) {
        return {};
    }
    // Room for a name and a long path; a longer text of the list's own gets
    // room for itself.
    constexpr std::size_t TipCapacity = 8192;
    std::vector<char16_t> buffer(std::max(TipCapacity, tip.text.size() + 1));
    std::copy(tip.text.begin(), tip.text.end(), buffer.begin());
    ExPoint topLeft{tip.area.left, tip.area.top};
    if (const ListState* state = m_obj.StateAs<ListState>(); state != nullptr) {
        topLeft = state->Frame().ToClient(topLeft);
    }
    ExListTip record{};
    record.item = row + 1;
    record.column = tip.column + 1;
    record.rect =
        ExRect{topLeft.x, topLeft.y, topLeft.x + Width(tip.area), topLeft.y + Height(tip.area)};
    record.buffer = buffer.data();
    record.capacity = static_cast<int32_t>(buffer.size());
    m_obj.Notify(EX_LVN_GETINFOTIP, 0, reinterpret_cast<intptr_t>(&record));
    buffer.back() = 0;  // An owner that filled it all still ends it.
    return std::u16string(buffer.data());
}

ListState::ListState(Object& obj, std::unique_ptr<ListViewCore> core)
    : m_obj(obj), m_host(obj), m_frame(std::make_unique<ListFrame>(obj, std::move(core))) {
    m_frame->Core().SetHost(&m_host);
}

ListState::~ListState() {
    m_frame->Core().SetHost(nullptr);
}

void ListState::Fit() {
    m_frame->Fit();
}

void ListState::ApplyStyle() {
    const int32_t style = m_obj.Style();
    ReportListCore* report = Report();
    m_frame->ShowScrollBars((style & EX_OS_VSCROLL) != 0,
                            report != nullptr && (style & ListStyleHScroll) != 0);
    if (report != nullptr) {
        report->SetGridLines((style & EX_RLVS_HLINES) != 0, (style & EX_RLVS_VLINES) != 0);
    }
}

void InitListObject(Object& obj, std::unique_ptr<ListViewCore> core) {
    auto state = std::make_unique<ListState>(obj, std::move(core));
    ListState& ref = *state;
    obj.SetClassState(std::move(state));
    ref.ApplyStyle();
    ref.Fit();
}

ListState* ListStateOf(ExHandle object) {
    Object* obj = ObjectFromHandle(object);
    return obj != nullptr ? obj->StateAs<ListState>() : nullptr;
}

std::int32_t RowIndex(intptr_t row) {
    if (row < 1 || row > INT32_MAX) {
        return -1;
    }
    return static_cast<std::int32_t>(row - 1);
}

bool HandleCommonListMessage(ListState& state, int32_t message, intptr_t wParam, intptr_t lParam,
                             intptr_t* result) {
    ListViewCore& list = state.List();
    ListFrame& frame = state.Frame();
    const ExPoint at{PointX(lParam), PointY(lParam)};
    const auto keys = static_cast<std::int32_t>(wParam & 0xFFFF);
    switch (message) {
        case EX_WM_PAINT:
            if (backend::Painter* painter = state.Owner().Painter()) {
                frame.Paint(*painter);
            }
            return true;
        case EX_WM_MOUSEMOVE:
            frame.MouseMove(at, keys);
            return true;
        // The list raises its own click notifications: the default's stay out.
        case EX_WM_LBUTTONDOWN:
            frame.MouseDown(EX_MK_LBUTTON, at, keys);
            return true;
        case EX_WM_RBUTTONDOWN:
            frame.MouseDown(EX_MK_RBUTTON, at, keys);
            return true;
        case EX_WM_LBUTTONUP:
            frame.MouseUp(EX_MK_LBUTTON, at, keys);
            return true;
        case EX_WM_RBUTTONUP:
            frame.MouseUp(EX_MK_RBUTTON, at, keys);
            return true;
        case EX_WM_LBUTTONDBLCLK:
            frame.DoubleClick(at, keys);
            return true;
        case EX_WM_MOUSELEAVE:
            frame.MouseLeave();
            return false;
        case EX_WM_MOUSEWHEEL:
            *result = frame.Wheel(static_cast<int16_t>((wParam >> 16) & 0xFFFF), keys) ? 1 : 0;
            return true;
        case EX_WM_KEYDOWN:
            if (frame.KeyDown(static_cast<std::int32_t>(wParam),
                              static_cast<std::int32_t>(lParam))) {
                *result = 1;
                return true;
            }
            return false;
        case MsgPointerRest:
            *result = frame.ShowTip(at, ExPoint{PointX(wParam), PointY(wParam)}) ? 1 : 0;
            return true;
        case MsgFontChanged:
            frame.FontChanged();
            return false;
        case EX_WM_SIZE:
            // Also sent with no size by owners that changed their row height.
            state.ApplyStyle();
            state.Fit();
            list.RemeasureRowHeight();
            return false;
        case MsgColorChanged:
            list.RepaintAll();
            return false;
        case EX_LVM_GETITEMCOUNT:
            *result = list.RowCount();
            return true;
        case EX_LVM_GETTOPINDEX:
            *result = list.RowCount() == 0
                          ? 0
                          : static_cast<intptr_t>(list.ScrollOffset() / list.RowHeight()) + 1;
            return true;
        case EX_LVM_ENSUREVISIBLE:
            list.EnsureVisible(RowIndex(wParam));
            *result = list.Selection().IsValid(RowIndex(wParam)) ? 1 : 0;
            return true;
        case EX_LVM_UPDATE:
            list.RepaintAll();
            *result = 1;
            return true;
        case EX_LVM_SETITEMSTATE:
            if (wParam == -1) {
                list.SetAllSelected((lParam & EX_LVIS_SELECTED) != 0);
                *result = 1;
            } else {
                *result =
                    list.SetRowState(RowIndex(wParam), static_cast<std::uint32_t>(lParam)) ? 1 : 0;
            }
            return true;
        case EX_LVM_GETITEMSTATE:
            *result = static_cast<intptr_t>(list.RowState(RowIndex(wParam)));
            return true;
        case EX_LVM_GETSELECTEDCOUNT:
            *result = list.Selection().SelectedCount();
            return true;
        case EX_LVM_GETSELECTIONMARK:
            *result = list.SelectionMark() + 1;
            return true;
        case EX_LVM_SETSELECTIONMARK:
            *result = list.SelectionMark() + 1;
            list.SetSelectionMark(RowIndex(lParam), wParam != 0);
            return true;
        case EX_LVM_SETROWHEIGHT: {
            const intptr_t height = lParam != 0 ? lParam : wParam;
            list.SetRowHeight(static_cast<std::int32_t>(
                std::clamp<intptr_t>(height, 1, ListViewCore::MaxRowHeight)));
            *result = 1;
            return true;
        }
        default:
            return false;
    }
}

}  // namespace exdui
