#include "ui/controls/scroll_panel.h"

#include <algorithm>

#include "ui/controls/drawn_parts.h"

namespace cj::ui {
namespace {

constexpr std::int32_t ExtraBytes = 40;  // Ten slots.
constexpr int MinThumbLength = 24;
constexpr float Inset = 2;  // Between the bar's edges and its track.
constexpr int WheelNotch = 120;

using Slot = ScrollPanel::Slot;

intptr_t Get(ExHandle bar, Slot slot) {
    return Ex_ObjGetLong(bar, slot);
}

int HeightOf(ExHandle object) {
    ExRect rect{};
    Ex_ObjGetClientRect(object, &rect);
    return rect.bottom - rect.top;
}

ExHandle ContentOf(ExHandle bar) {
    return static_cast<ExHandle>(Get(bar, Slot::Content));
}

// The bar of a content: its sibling on the viewport that names it. The bar
// already holds the link, so the content keeps no copy of its own.
ExHandle BarOf(ExHandle content) {
    const ExHandle viewport = Ex_ObjGetParent(content);
    for (ExHandle bar = Ex_ObjFind(viewport, 0, ScrollBarClass, nullptr); bar != 0;
         bar = Ex_ObjFind(viewport, bar, ScrollBarClass, nullptr)) {
        if (ContentOf(bar) == content) {
            return bar;
        }
    }
    return 0;
}

int ViewportHeight(ExHandle bar) {
    return HeightOf(Ex_ObjGetParent(ContentOf(bar)));
}

int MaxOffsetOf(ExHandle bar) {
    return std::max(0, static_cast<int>(Get(bar, Slot::ContentHeight)) - ViewportHeight(bar));
}

void ScrollBarTo(ExHandle bar, int offset) {
    offset = std::clamp(offset, 0, MaxOffsetOf(bar));
    if (offset == Get(bar, Slot::Scrolled)) {
        return;
    }
    Ex_ObjSetLong(bar, Slot::Scrolled, offset);
    Ex_ObjMove(ContentOf(bar), KeepValue, -offset, KeepValue, KeepValue, 1);
    Ex_ObjInvalidateRect(bar, nullptr);
}

// The thumb along the bar: its top and length in the bar's pixels, in the
// proportion of the viewport to the content.
struct ThumbSpan {
    int top = 0;
    int length = 0;
};

ThumbSpan ThumbOf(ExHandle bar) {
    const int track = HeightOf(bar);
    const auto content = static_cast<int>(Get(bar, Slot::ContentHeight));
    const int maxOffset = MaxOffsetOf(bar);
    if (maxOffset == 0 || content <= 0) {
        return {0, track};
    }
    const int length =
        std::min(track, std::max(MinThumbLength, track * ViewportHeight(bar) / content));
    const auto offset = static_cast<int>(Get(bar, Slot::Scrolled));
    return {(track - length) * offset / maxOffset, length};
}

// The offset that puts the thumb's top at top.
int OffsetForThumbTop(ExHandle bar, int top) {
    const ThumbSpan thumb = ThumbOf(bar);
    const int travel = HeightOf(bar) - thumb.length;
    if (travel <= 0) {
        return 0;
    }
    return std::clamp(top, 0, travel) * MaxOffsetOf(bar) / travel;
}

// A wheel turn over the content or the bar; false when there is nothing to
// scroll, so that the wheel goes on to the parent.
bool OnWheel(ExHandle bar, intptr_t wParam) {
    if (MaxOffsetOf(bar) == 0) {
        return false;
    }
    const auto delta = static_cast<std::int16_t>((wParam >> 16) & 0xFFFF);
    const auto step = static_cast<int>(Get(bar, Slot::WheelStep));
    ScrollBarTo(bar, static_cast<int>(Get(bar, Slot::Scrolled)) - delta * step / WheelNotch);
    return true;
}

void PaintBar(ExHandle bar) {
    ExPaint paint{};
    if (Ex_ObjBeginPaint(bar, &paint) == 0) {
        return;
    }
    _canvas_setantialias(paint.canvas, 1);
    const auto width = static_cast<float>(paint.width);
    const float radius = (width - 2 * Inset) / 2;
    const ExHandle brush = _brush_create(static_cast<ExArgb>(Get(bar, Slot::Track)));
    _canvas_fillroundedrect(paint.canvas, brush, Inset, Inset, width - Inset,
                            static_cast<float>(paint.height) - Inset, radius, radius);
    const bool active = (paint.state & EX_STATE_HOVER) != 0 || Get(bar, Slot::DragAnchor) >= 0;
    _brush_setcolor(brush, static_cast<ExArgb>(Get(bar, active ? Slot::ThumbActive : Slot::Thumb)));
    const ThumbSpan thumb = ThumbOf(bar);
    _canvas_fillroundedrect(paint.canvas, brush, Inset, static_cast<float>(thumb.top) + Inset,
                            width - Inset, static_cast<float>(thumb.top + thumb.length) - Inset,
                            radius, radius);
    _brush_destroy(brush);
    Ex_ObjEndPaint(bar, &paint);
}

int PointerY(intptr_t lParam) {
    return static_cast<std::int16_t>((lParam >> 16) & 0xFFFF);
}

intptr_t BarProc(ExHandle window, ExHandle object, std::int32_t message, intptr_t wParam,
                 intptr_t lParam) {
    TrackPointerState(object, message);
    switch (message) {
        case EX_WM_PAINT:
            PaintBar(object);
            return 0;
        case EX_WM_LBUTTONDOWN: {
            const int y = PointerY(lParam);
            const ThumbSpan thumb = ThumbOf(object);
            if (y >= thumb.top && y < thumb.top + thumb.length) {
                Ex_ObjSetLong(object, Slot::DragAnchor, y - thumb.top);
            } else {
                // A page, less a notch, so that a line of the last view stays in sight.
                const int page = std::max(
                    1, ViewportHeight(object) - static_cast<int>(Get(object, Slot::WheelStep)));
                ScrollBarTo(object, static_cast<int>(Get(object, Slot::Scrolled)) +
                                        (y < thumb.top ? -page : page));
            }
            break;
        }
        case EX_WM_MOUSEMOVE: {
            // The bar keeps the pointer while the button is down, also off its edges.
            const auto anchor = static_cast<int>(Get(object, Slot::DragAnchor));
            if (anchor >= 0 && (wParam & EX_MK_LBUTTON) != 0) {
                ScrollBarTo(object, OffsetForThumbTop(object, PointerY(lParam) - anchor));
            }
            break;
        }
        case EX_WM_LBUTTONUP:
            Ex_ObjSetLong(object, Slot::DragAnchor, -1);
            Ex_ObjInvalidateRect(object, nullptr);
            break;
        case EX_WM_MOUSEWHEEL:
            return OnWheel(object, wParam) ? 1 : 0;
        default:
            break;
    }
    return Ex_ObjDefProc(window, object, message, wParam, lParam);
}

// The content's own procedure: the wheel that its children left alone.
intptr_t ContentProc(ExHandle /*window*/, ExHandle object, std::int32_t message, intptr_t wParam,
                     intptr_t /*lParam*/, intptr_t* result) {
    if (message != EX_WM_MOUSEWHEEL) {
        return 0;
    }
    const ExHandle bar = BarOf(object);
    if (bar == 0 || !OnWheel(bar, wParam)) {
        return 0;
    }
    if (result != nullptr) {
        *result = 1;
    }
    return 1;
}

}  // namespace

bool ScrollPanel::Create(const ScrollPanelDescription& d) {
    Attach(0);
    m_bar = 0;
    if (!EnsureClassRegistered(ScrollBarClass, ExtraBytes, BarProc)) {
        return false;
    }
    ExRect viewport{};
    Ex_ObjGetClientRect(d.parent, &viewport);
    const ExHandle content = CreateObject(-1, u"STATIC", {}, -1, 0, 0, viewport.right,
                                          viewport.bottom, d.parent, 0, -1, ContentProc);
    if (content == 0) {
        return false;
    }
    // Made after the content, so that it lies above it.
    const ExHandle bar =
        CreateObject(-1, ScrollBarClass, {}, -1, viewport.right - d.barWidth - d.rightMargin, 0,
                     d.barWidth, viewport.bottom, d.parent, 0);
    if (bar == 0) {
        Ex_ObjDestroy(content);
        return false;
    }
    Attach(content);
    m_bar = bar;
    Ex_ObjSetLong(bar, Slot::Content, content);
    Ex_ObjSetLong(bar, Slot::Scrolled, 0);
    Ex_ObjSetLong(bar, Slot::ContentHeight, 0);
    Ex_ObjSetLong(bar, Slot::Track, d.track);
    Ex_ObjSetLong(bar, Slot::Thumb, d.thumb);
    Ex_ObjSetLong(bar, Slot::ThumbActive, d.thumbActive);
    Ex_ObjSetLong(bar, Slot::DragAnchor, -1);
    Ex_ObjSetLong(bar, Slot::WheelStep, d.wheelStep);
    Ex_ObjSetLong(bar, Slot::BottomMargin, d.bottomMargin);
    Ex_ObjSetLong(bar, Slot::RightMargin, d.rightMargin);
    Ex_ObjShow(bar, 0);
    return true;
}

void ScrollPanel::Fit() const {
    const ExHandle content = Handle();
    if (content == 0 || m_bar == 0) {
        return;
    }
    int lowest = 0;
    for (ExHandle child = Ex_ObjFind(content, 0, nullptr, nullptr); child != 0;
         child = Ex_ObjFind(content, child, nullptr, nullptr)) {
        ExRect rect{};
        if (Ex_ObjGetRect(child, &rect) != 0) {
            lowest = std::max(lowest, static_cast<int>(rect.bottom));
        }
    }
    const int contentHeight = lowest + static_cast<int>(Get(m_bar, Slot::BottomMargin));
    ExRect viewport{};
    Ex_ObjGetClientRect(Ex_ObjGetParent(content), &viewport);
    const int width = viewport.right - viewport.left;
    const int height = viewport.bottom - viewport.top;
    Ex_ObjSetLong(m_bar, Slot::ContentHeight, contentHeight);
    const int offset =
        std::clamp(static_cast<int>(Get(m_bar, Slot::Scrolled)), 0, MaxOffsetOf(m_bar));
    Ex_ObjSetLong(m_bar, Slot::Scrolled, offset);
    Ex_ObjMove(content, 0, -offset, width, std::max(contentHeight, height), 1);
    ExRect bar{};
    Ex_ObjGetRect(m_bar, &bar);
    const int barWidth = bar.right - bar.left;
    Ex_ObjMove(m_bar, width - barWidth - static_cast<int>(Get(m_bar, Slot::RightMargin)), 0,
               barWidth, height, 1);
    Ex_ObjShow(m_bar, MaxOffsetOf(m_bar) > 0 ? 1 : 0);
}

void ScrollPanel::ScrollTo(int offset) const {
    if (m_bar != 0) {
        ScrollBarTo(m_bar, offset);
    }
}

int ScrollPanel::Offset() const {
    return static_cast<int>(Get(m_bar, Slot::Scrolled));
}

int ScrollPanel::MaxOffset() const {
    return m_bar != 0 ? MaxOffsetOf(m_bar) : 0;
}

}  // namespace cj::ui
