#include "ui/controls/page_selector.h"

#include <cstddef>

#include "ui/controls/drawn_parts.h"

namespace cj::ui {
namespace {

constexpr std::int32_t ContainerExtraBytes = 52;
constexpr std::int32_t ItemExtraBytes = 40;
constexpr ExArgb TransparentWhite = 0x00FFFFFF;
constexpr std::uint32_t AnimationMode =
    EX_ES_SINGLE | EX_ES_DISPATCHNOTIFY | EX_ES_RELEASE | EX_ES_NOTHREAD;  // 0x189
constexpr std::int32_t AnimationStepMs = 10;

using Slot = PageSelector::Slot;
using ItemSlot = PageSelector::ItemSlot;

// Owned by the container (index 7) and freed with it, so that any copy of the
// wrapper and the class procedures reach the same pages.
struct SelectorRecord {
    std::vector<ExHandle> items;
    std::vector<ExHandle> pages;
    ExHandle animation = 0;  // The running animation, or 0.
};

struct Curve {
    std::int32_t curve;
    std::int32_t durationMs;
};
// Animation kinds 1 to 3; curve numbers are the library's easing table.
constexpr Curve Curves[] = {{6, 100}, {33, 200}, {27, 200}};

SelectorRecord* RecordOf(ExHandle container) {
    return reinterpret_cast<SelectorRecord*>(Ex_ObjGetLong(container, Slot::Record));
}

intptr_t Get(ExHandle object, std::int32_t index) {
    return Ex_ObjGetLong(object, index);
}

void StopAnimation(SelectorRecord& record) {
    if (record.animation != 0) {
        _easing_destroy(record.animation);
        record.animation = 0;
    }
}

void ShowOnly(const SelectorRecord& record, int index) {
    for (std::size_t i = 0; i < record.pages.size(); ++i) {
        Ex_ObjShow(record.pages[i], static_cast<int>(i) + 1 == index ? 1 : 0);
    }
}

// Where the bar sits on item index: the item's left, or its top when stacked.
int TargetOf(ExHandle container, ExHandle item) {
    ExRect rect{};
    Ex_ObjGetRect(item, &rect);
    return Get(container, Slot::Vertical) == 1 ? rect.top : rect.left;
}

void PlaceBar(ExHandle container, int position) {
    Ex_ObjSetLong(container, Slot::BarPosition, position);
    Ex_ObjInvalidateRect(container, nullptr);
    Ex_ObjSetLong(container, Slot::Idle, 1);
}

void SelectByClick(ExHandle container, int index) {
    SelectorRecord* record = RecordOf(container);
    if (record == nullptr || Get(container, Slot::Idle) != 1 || index < 1 ||
        static_cast<std::size_t>(index) > record->items.size()) {
        return;
    }
    ShowOnly(*record, index);
    Ex_ObjSetLong(container, Slot::Selected, index);
    const int target = TargetOf(container, record->items[static_cast<std::size_t>(index) - 1]);
    const intptr_t kind = Get(container, Slot::Animation);
    if (kind < 1 || kind > 3) {
        PlaceBar(container, target);
        return;
    }
    const auto current = static_cast<int>(Get(container, Slot::BarPosition));
    if (current == target) {
        return;
    }
    const Curve& curve = Curves[kind - 1];
    // Busy from the start, not from the first step 10 ms later, so that a
    // second click right after the first is ignored too.
    Ex_ObjSetLong(container, Slot::Idle, 0);
    record->animation =
        _easing_create(curve.curve, nullptr, AnimationMode, container, curve.durationMs,
                       AnimationStepMs, 0, current, target, 0, 0, 0, 0);
    if (record->animation == 0) {
        PlaceBar(container, target);  // No animation to wait for.
    }
}

void OnAnimationStep(ExHandle container, const ExEasingInfo& info) {
    const bool done = info.progress >= 1.0;
    Ex_ObjSetLong(container, Slot::BarPosition, static_cast<intptr_t>(info.current));
    Ex_ObjSetLong(container, Slot::Idle, done ? 1 : 0);
    if (done) {
        if (SelectorRecord* record = RecordOf(container)) {
            record->animation = 0;  // Released by the library after this step.
        }
    }
    Ex_ObjInvalidateRect(container, nullptr);
}

void FillRect(ExHandle canvas, ExHandle brush, ExArgb colour, int left, int top, int right,
              int bottom) {
    _brush_setcolor(brush, colour);
    _canvas_fillrect(canvas, brush, static_cast<float>(left), static_cast<float>(top),
                     static_cast<float>(right), static_cast<float>(bottom));
}

void PaintContainer(ExHandle container) {
    ExPaint paint{};
    if (Ex_ObjBeginPaint(container, &paint) == 0) {
        return;
    }
    const auto t = static_cast<int>(Get(container, Slot::BarThickness));
    const auto p = static_cast<int>(Get(container, Slot::BarPosition));
    const auto w = static_cast<int>(Get(container, Slot::ItemWidth));
    const auto h = static_cast<int>(Get(container, Slot::ItemHeight));
    const int W = paint.width;
    const int H = paint.height;
    const auto bar = static_cast<ExArgb>(Get(container, Slot::BarColour));
    const auto cell = static_cast<ExArgb>(Get(container, Slot::SelectedFill));
    const bool vertical = Get(container, Slot::Vertical) == 1;
    const bool far = Get(container, Slot::FarEdge) == 1;
    const ExHandle brush = _brush_create(bar);
    const ExHandle c = paint.canvas;
    if (vertical && !far) {
        FillRect(c, brush, bar, 0, p, t, p + h);
        FillRect(c, brush, cell, t, p, W, p + h);
    } else if (vertical) {
        FillRect(c, brush, bar, W - t, p, W, p + h);
        FillRect(c, brush, cell, 0, p, W - t, p + h);
    } else if (!far) {
        FillRect(c, brush, bar, p, 0, p + w, t);
        FillRect(c, brush, cell, p, t, p + w, H);
    } else {
        FillRect(c, brush, bar, p, H - t, p + w, H);
        FillRect(c, brush, cell, p, 0, p + w, H - t);
    }
    _brush_destroy(brush);
    Ex_ObjEndPaint(container, &paint);
}

void PaintItem(ExHandle item) {
    ExPaint paint{};
    if (Ex_ObjBeginPaint(item, &paint) == 0) {
        return;
    }
    _canvas_setantialias(paint.canvas, 1);
    _canvas_setimageantialias(paint.canvas, 1);
    // Pressing alone changes nothing: only the hover shows.
    const ExArgb fill = (paint.state & EX_STATE_HOVER) != 0
                            ? static_cast<ExArgb>(Get(item, ItemSlot::HoverFill))
                            : TransparentWhite;
    const ExHandle brush = _brush_create(fill);
    _canvas_fillrect(paint.canvas, brush, 0, 0, static_cast<float>(paint.width),
                     static_cast<float>(paint.height));
    ImageAndTitle content;
    content.image = static_cast<ExHandle>(Get(item, ItemSlot::Image));
    content.title = ObjectWideText(item);
    content.colour = static_cast<ExArgb>(Get(item, ItemSlot::TitleColour));
    content.imageAbove = Get(item, ItemSlot::ImageAbove) == 1;
    content.gapAbove = 5;
    content.gapLeft = 5;
    PaintImageAndTitle(item, paint, content);
    _brush_destroy(brush);
    Ex_ObjEndPaint(item, &paint);
}

intptr_t ContainerProc(ExHandle window, ExHandle object, std::int32_t message, intptr_t wParam,
                       intptr_t lParam) {
    switch (message) {
        case EX_WM_PAINT:
            PaintContainer(object);
            return 0;
        case EX_WM_NOTIFY: {
            const auto* notify = reinterpret_cast<const ExNotify*>(lParam);
            if (notify != nullptr && notify->from == object && notify->code == EX_NM_EASING &&
                notify->lParam != 0) {
                OnAnimationStep(object, *reinterpret_cast<const ExEasingInfo*>(notify->lParam));
            }
            break;
        }
        case EX_WM_DESTROY:
            if (SelectorRecord* record = RecordOf(object)) {
                StopAnimation(*record);
                Ex_ObjSetLong(object, Slot::Record, 0);
                delete record;
            }
            break;
        default:
            break;
    }
    return Ex_ObjDefProc(window, object, message, wParam, lParam);
}

intptr_t ItemProc(ExHandle window, ExHandle object, std::int32_t message, intptr_t wParam,
                  intptr_t lParam) {
    TrackPointerState(object, message);
    switch (message) {
        case EX_WM_PAINT:
            try {  // Nothing may unwind into the library.
                PaintItem(object);
            } catch (...) {
            }
            return 0;
        case EX_WM_NOTIFY: {
            const auto* notify = reinterpret_cast<const ExNotify*>(lParam);
            if (notify != nullptr && notify->from == object && notify->code == EX_NM_CLICK) {
                SelectByClick(static_cast<ExHandle>(Get(object, ItemSlot::Container)),
                              static_cast<int>(Get(object, ItemSlot::Number)));
            }
            break;
        }
        case EX_WM_DESTROY:
            _img_destroy(static_cast<ExHandle>(Get(object, ItemSlot::Image)));
            Ex_ObjSetLong(object, ItemSlot::Image, 0);
            break;
        default:
            break;
    }
    return Ex_ObjDefProc(window, object, message, wParam, lParam);
}

}  // namespace

bool PageSelector::Create(const PageSelectorDescription& d) {
    Attach(0);
    m_items.clear();
    m_pages.clear();
    if (!EnsureClassRegistered(PageSelectorClass, ContainerExtraBytes, ContainerProc) ||
        !EnsureClassRegistered(PageSelectorItemClass, ItemExtraBytes, ItemProc)) {
        return false;
    }
    const auto count = static_cast<int>(d.titles.size());
    const int width = d.vertical ? d.itemWidth : d.itemWidth * count;
    const int height = d.vertical ? d.itemHeight * count : d.itemHeight;
    const ExHandle container =
        CreateObject(-1, PageSelectorClass, {}, -1, d.x, d.y, width, height, d.parent, 0);
    if (container == 0) {
        return false;
    }
    Attach(container);
    auto* record = new SelectorRecord;
    Ex_ObjSetLong(container, Slot::Record, reinterpret_cast<intptr_t>(record));
    Ex_ObjSetLong(container, Slot::SelectedFill, d.selectedFill);
    Ex_ObjSetLong(container, Slot::BarColour, d.barColour);
    Ex_ObjSetLong(container, Slot::ItemWidth, d.itemWidth);
    Ex_ObjSetLong(container, Slot::ItemHeight, d.itemHeight);
    Ex_ObjSetLong(container, Slot::Vertical, d.vertical ? 1 : 0);
    Ex_ObjSetLong(container, Slot::Idle, 1);
    Ex_ObjSetLong(container, Slot::BarPosition, 0);
    Ex_ObjSetLong(container, Slot::ItemCount, count);
    Ex_ObjSetLong(container, Slot::Animation, d.animation);
    Ex_ObjSetLong(container, Slot::FarEdge, d.farEdge ? 1 : 0);
    Ex_ObjSetLong(container, Slot::BarThickness, d.barThickness);

    for (int i = 1; i <= count; ++i) {
        const int itemX = d.vertical ? 0 : (i - 1) * d.itemWidth;
        const int itemY = d.vertical ? (i - 1) * d.itemHeight : 0;
        const ExHandle item =
            CreateObject(-1, PageSelectorItemClass, d.titles[static_cast<std::size_t>(i) - 1], -1,
                         itemX, itemY, d.itemWidth, d.itemHeight, container, 0);
        if (item != 0) {
            const auto imageIndex = static_cast<std::size_t>(i) - 1;
            Ex_ObjSetLong(item, ItemSlot::TitleColour, d.titleColour);
            Ex_ObjSetLong(item, ItemSlot::Container, container);
            Ex_ObjSetLong(item, ItemSlot::Number, i);
            Ex_ObjSetLong(item, ItemSlot::Image,
                          imageIndex < d.images.size() ? ImageFromBytes(d.images[imageIndex]) : 0);
            Ex_ObjSetLong(item, ItemSlot::ImageAbove, d.imageAbove ? 1 : 0);
            Ex_ObjSetLong(item, ItemSlot::HoverFill, d.itemHoverFill);
        }
        record->items.push_back(item);
    }
    const std::int32_t pageExStyle = d.pageExStyle ? 0x8000000 : -1;
    for (int i = 1; i <= count; ++i) {
        const ExHandle page = CreateObject(pageExStyle, u"STATIC", {}, -1, d.pageX, d.pageY,
                                           d.pageWidth, d.pageHeight, d.parent, 0);
        Ex_ObjSetColor(page, EX_COLOR_BACKGROUND, d.pageBackground, 0);
        record->pages.push_back(page);
    }
    m_items = record->items;
    m_pages = record->pages;
    Select(1);
    return true;
}

void PageSelector::Select(int index) const {
    const ExHandle container = Handle();
    SelectorRecord* record = RecordOf(container);
    if (record == nullptr || index < 1 || static_cast<std::size_t>(index) > record->items.size()) {
        return;
    }
    StopAnimation(*record);
    ShowOnly(*record, index);
    Ex_ObjSetLong(container, Slot::Selected, index);
    PlaceBar(container, TargetOf(container, record->items[static_cast<std::size_t>(index) - 1]));
}

ExHandle PageSelector::RunningAnimation() const {
    const SelectorRecord* record = RecordOf(Handle());
    return record != nullptr ? record->animation : 0;
}

int PageSelector::SelectedIndex() const {
    return static_cast<int>(Ex_ObjGetLong(Handle(), Slot::Selected));
}

ExHandle PageSelector::ItemHandle(int index) const {
    if (index < 1 || static_cast<std::size_t>(index) > m_items.size()) {
        return 0;
    }
    return m_items[static_cast<std::size_t>(index) - 1];
}

ExHandle PageSelector::PageHandle(int index) const {
    if (index < 1 || static_cast<std::size_t>(index) > m_pages.size()) {
        return 0;
    }
    return m_pages[static_cast<std::size_t>(index) - 1];
}

void PageSelector::OnItemEvent(int index, ExEventProc handler, std::int32_t code) const {
    Ex_ObjHandleEvent(ItemHandle(index), code, handler);
}

}  // namespace cj::ui
