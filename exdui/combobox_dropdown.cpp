#include "combobox_dropdown.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <optional>
#include <utility>

#include "backend/screens.h"
#include "class_registry.h"
#include "object.h"
#include "window.h"

namespace exdui {
namespace {

constexpr const char16_t* ListClass = u"ComboBoxList";
constexpr int32_t Border = 1;
constexpr int32_t MinRowHeight = 18;
constexpr float TextInset = 4;
constexpr float ThumbWidth = 6;
constexpr int32_t WheelRows = 3;  // a notch of the wheel
constexpr ExArgb BorderColor = 0xFFB8B8B8;
constexpr ExArgb HotColor = 0xFF308CC6;
constexpr ExArgb HotTextColor = 0xFFFFFFFF;
constexpr ExArgb TextColor = 0xFF000000;
constexpr ExArgb ThumbColor = 0xFFC2C2C2;

struct ListState : ClassState {
    ExHandle box = 0;
    std::vector<std::u16string> items;
    int32_t hot = 0;  // numbered from 1; 0 for none
    int32_t top = 0;  // the first row shown, from 0
    int32_t rows = 1;
    int32_t rowHeight = MinRowHeight;
    bool pressed = false;  // the left button went down on a row
    DropDownChoice choose;

    auto Count() const { return static_cast<int32_t>(items.size()); }
};

// The open list: its window's surface and its object, both 0 when none.
struct OpenList {
    ExHandle surface = 0;
    ExHandle list = 0;
    ExHandle box = 0;
};
OpenList g_open;  // UI thread.

void CloseOpenList() {
    Window* window = WindowFromSurface(g_open.surface);
    g_open = {};
    if (window != nullptr && !window->IsDestroying()) {
        window->Destroy();
    }
}

// The item at a client point, numbered from 1; 0 for none.
int32_t ItemAt(const ListState& st, intptr_t lParam) {
    const int32_t y = PointY(lParam) - Border;
    if (y < 0 || y >= st.rows * st.rowHeight) {
        return 0;
    }
    const int32_t item = st.top + y / st.rowHeight + 1;
    return item <= st.Count() ? item : 0;
}

void ScrollTo(Object& obj, ListState& st, int32_t top) {
    top = std::clamp(top, 0, std::max(0, st.Count() - st.rows));
    if (top != st.top) {
        st.top = top;
        obj.Invalidate();
    }
}

void SetHot(Object& obj, ListState& st, int32_t item) {
    if (item == st.hot) {
        return;
    }
    st.hot = item;
    if (item > 0 && item - 1 < st.top) {
        st.top = item - 1;
    } else if (item > st.top + st.rows) {
        st.top = item - st.rows;
    }
    obj.Invalidate();
}

void Choose(ListState& st, int32_t item) {
    DropDownChoice choose = std::move(st.choose);
    CloseOpenList();
    if (choose) {
        choose(item);
    }
}

bool Key(Object& obj, ListState& st, intptr_t key) {
    const int32_t last = st.Count();
    switch (key) {
        case EX_VK_UP:
            SetHot(obj, st, std::clamp(st.hot - 1, 1, last));
            return true;
        case EX_VK_DOWN:
            SetHot(obj, st, std::clamp(st.hot + 1, 1, last));
            return true;
        case EX_VK_PRIOR:
            SetHot(obj, st, std::clamp(st.hot - st.rows, 1, last));
            return true;
        case EX_VK_NEXT:
            SetHot(obj, st, std::clamp(st.hot + st.rows, 1, last));
            return true;
        case EX_VK_HOME:
            SetHot(obj, st, 1);
            return true;
        case EX_VK_END:
            SetHot(obj, st, last);
            return true;
        case EX_VK_RETURN:
            if (st.hot > 0) {
                Choose(st, st.hot);
            }
            return true;
        case EX_VK_ESCAPE:
            CloseOpenList();
            return true;
        default:
            return false;
    }
}

void Paint(const Object& obj, const ListState& st, backend::Painter& p) {
    const Object* box = ObjectFromHandle(st.box);
    if (box == nullptr) {
        return;
    }
    const RectF r = obj.ClientRect();
    const bool scrolls = st.Count() > st.rows;
    const float textRight = r.right - TextInset - (scrolls ? ThumbWidth : 0);
    const int32_t end = std::min(st.Count(), st.top + st.rows);
    for (int32_t i = st.top; i < end; ++i) {
        const auto y = static_cast<float>(Border + (i - st.top) * st.rowHeight);
        const bool hot = i + 1 == st.hot;
        if (hot) {
            p.FillRect({Border, y, r.right - Border, y + static_cast<float>(st.rowHeight)},
                       HotColor);
        }
        p.DrawFormattedText(box->Font(), hot ? HotTextColor : TextColor,
                            st.items[static_cast<size_t>(i)],
                            EX_DT_VCENTER | EX_DT_SINGLELINE | EX_DT_END_ELLIPSIS,
                            {TextInset, y, textRight, y + static_cast<float>(st.rowHeight)});
    }
    if (scrolls) {
        // A thumb the wheel and the keys move: the rows shown of them all.
        const float track = r.bottom - 2 * Border;
        const float length =
            std::max(12.0F, track * static_cast<float>(st.rows) / static_cast<float>(st.Count()));
        const float at = Border + (track - length) * static_cast<float>(st.top) /
                                      static_cast<float>(st.Count() - st.rows);
        p.FillRect({r.right - Border - ThumbWidth, at, r.right - Border, at + length}, ThumbColor);
    }
    p.StrokeRect({r.left + 0.5F, r.top + 0.5F, r.right - 0.5F, r.bottom - 0.5F}, BorderColor,
                 Border);
}

intptr_t ListProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                  intptr_t lParam) {
    Object* obj = ObjectFromHandle(object);
    auto* st = obj != nullptr ? obj->StateAs<ListState>() : nullptr;
    if (st == nullptr) {
        return Ex_ObjDefProc(window, object, message, wParam, lParam);
    }
    switch (message) {
        case EX_WM_PAINT:
            if (obj->Painter() != nullptr) {
                Paint(*obj, *st, *obj->Painter());
            }
            return 0;
        case EX_WM_MOUSEMOVE:
            if (const int32_t item = ItemAt(*st, lParam); item > 0) {
                SetHot(*obj, *st, item);
            }
            break;
        case EX_WM_LBUTTONDOWN:
            st->pressed = ItemAt(*st, lParam) > 0;
            break;
        case EX_WM_LBUTTONUP: {
            const int32_t item = st->pressed ? ItemAt(*st, lParam) : 0;
            st->pressed = false;
            if (item > 0) {
                Choose(*st, item);
                return 0;
            }
            break;
        }
        case EX_WM_MOUSEWHEEL: {
            const int32_t notches = static_cast<int16_t>((wParam >> 16) & 0xFFFF) / 120;
            ScrollTo(*obj, *st, st->top - notches * WheelRows);
            return 1;
        }
        case EX_WM_KEYDOWN:
            if (Key(*obj, *st, wParam)) {
                return 1;
            }
            break;
        case EX_WM_DESTROY:
            if (g_open.list == object) {
                g_open = {};
            }
            break;
        default:
            break;
    }
    return Ex_ObjDefProc(window, object, message, wParam, lParam);
}

void InitList(Object& obj) {
    obj.SetClassState(std::make_unique<ListState>());
}

// The box's rectangle on the screen.
ExRect ScreenRectOf(const Object& box) {
    const ExRect window = box.OwnerWindow().Native()->Rect();
    ExPoint at{window.left, window.top};
    ExRect r{};
    for (ExHandle h = box.Handle(); Ex_ObjGetRect(h, &r) != 0; h = Ex_ObjGetParent(h)) {
        at.x += r.left;
        at.y += r.top;
    }
    const RectF client = box.ClientRect();
    return {at.x, at.y, at.x + static_cast<int32_t>(client.Width()),
            at.y + static_cast<int32_t>(client.Height())};
}

}  // namespace

DropDownPlace PlaceDropDown(const ExRect& box, int32_t rows, int32_t rowHeight,
                            const ExRect& area) {
    rows = std::max(1, rows);
    const int32_t below = (area.bottom - box.bottom - 2 * Border) / rowHeight;
    const int32_t above = (box.top - area.top - 2 * Border) / rowHeight;
    const bool up = below < rows && above > below;
    const int32_t shown = std::clamp(up ? above : below, 1, rows);
    const int32_t width = box.right - box.left;
    const int32_t height = shown * rowHeight + 2 * Border;
    const int32_t left = std::max(std::min(box.left, area.right - width), area.left);
    const int32_t top = up ? box.top - height : box.bottom;
    return {{left, top, left + width, top + height}, shown};
}

void OpenDropDown(Object& box, const std::vector<std::u16string>& items, int32_t current,
                  DropDownChoice choose) {
    CloseOpenList();
    Window& owner = box.OwnerWindow();
    if (items.empty() || owner.Native() == nullptr) {
        return;
    }
    const ExRect boxRect = ScreenRectOf(box);
    const int32_t rowHeight =
        std::max(MinRowHeight, static_cast<int32_t>(std::ceil(box.Font().Height())) + 2);
    // Without a screen the list goes under the box, as long as it is.
    const ExRect area = backend::WorkArea(&boxRect).value_or(
        ExRect{INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2});
    const DropDownPlace place = PlaceDropDown(
        boxRect, std::min(static_cast<int32_t>(items.size()), DropDownMaxRows), rowHeight, area);
    auto* window = new Window(u"", place.rect, &owner, true);
    if (window->Native() == nullptr) {
        delete window;
        return;
    }
    window->Bind(0, nullptr);
    window->SetLong(EX_DUI_BACKGROUND, 0xFFFFFFFF);
    const ExHandle list =
        Ex_ObjCreateEx(-1, ListClass, u"", EX_OS_VISIBLE, 0, 0, place.rect.right - place.rect.left,
                       place.rect.bottom - place.rect.top, window->Surface(), 0, -1, 0, 0, nullptr);
    Object* obj = ObjectFromHandle(list);
    auto* st = obj != nullptr ? obj->StateAs<ListState>() : nullptr;
    if (st == nullptr) {
        window->Destroy();
        return;
    }
    st->box = box.Handle();
    st->items = items;
    st->rows = place.rows;
    st->rowHeight = rowHeight;
    st->choose = std::move(choose);
    st->hot = std::clamp(current, 0, st->Count());
    st->top = std::clamp(st->hot - 1, 0, std::max(0, st->Count() - st->rows));
    g_open = {window->Surface(), list, box.Handle()};
    window->Native()->Show(EX_SW_SHOWNOACTIVATE);
    Ex_ObjSetFocus(list);
}

void CloseDropDown(const Object& box) {
    if (g_open.box == box.Handle()) {
        CloseOpenList();
    }
}

void RegisterDropDownClass() {
    RegisterBuiltinClass(BuiltinClass{ListClass,
                                      EX_OS_VISIBLE,
                                      0,
                                      0,
                                      &ListProc,
                                      &InitList,
                                      TraitFocusable,
                                      {{EX_COLOR_BACKGROUND, 0xFFFFFFFF}}});
}

}  // namespace exdui
