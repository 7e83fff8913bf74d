#include "list_view_frame.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "backend/cursor.h"
#include "backend/tooltip.h"
#include "fonts.h"
#include "native_views.h"
#include "object.h"

namespace exdui {

namespace {

bool IsEmpty(const ExRect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

ExRect Intersection(const ExRect& a, const ExRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

bool Inside(const ExRect& r, ExPoint at) {
    return at.x >= r.left && at.x < r.right && at.y >= r.top && at.y < r.bottom;
}

constexpr std::int32_t HeldButtons = EX_MK_LBUTTON | EX_MK_RBUTTON;

}  // namespace

ListFrame::ListFrame(Object& obj, std::unique_ptr<ListViewCore> core)
    : m_obj(obj),
      m_core(std::move(core)),
      m_report(dynamic_cast<ReportListCore*>(m_core.get())),
      m_vertical(
          true, [this](std::int32_t value) { BarScrolled(true, value); },
          [this](const ExRect& r) { Invalidate(r); }),
      m_horizontal(
          false, [this](std::int32_t value) { BarScrolled(false, value); },
          [this](const ExRect& r) { Invalidate(r); }),
      m_allowHorizontal(m_report != nullptr) {
    m_core->SetSurface(this);
    FontChanged();
}

ListFrame::~ListFrame() {
    m_core->SetSurface(nullptr);
}

void ListFrame::Fit() {
    const RectF client = m_obj.ClientRect();
    m_size = {static_cast<std::int32_t>(std::lround(client.Width())),
              static_cast<std::int32_t>(std::lround(client.Height()))};
    PlaceParts();
    m_core->UpdateScrollRanges();
}

void ListFrame::ShowScrollBars(bool vertical, bool horizontal) {
    m_allowVertical = vertical;
    m_allowHorizontal = horizontal;
    Relayout();
}

void ListFrame::FontChanged() {
    if (m_report == nullptr) {
        return;
    }
    if (const FontRef font = FontFromHandle(m_obj.FontHandle())) {
        m_report->SetFont(font, static_cast<std::int32_t>(std::lround(font->Height())));
    }
    PlaceParts();
    m_core->UpdateScrollRanges();
}

ExPoint ListFrame::ToClient(ExPoint viewPos) const {
    return {viewPos.x, viewPos.y + HeaderHeight()};
}

std::int32_t ListFrame::HeaderHeight() const {
    return m_report != nullptr ? m_report->HeaderHeight() : 0;
}

ExRect ListFrame::ViewRect() const {
    const std::int32_t right = std::max(0, m_size.x - (m_showVertical ? ScrollBar::Extent : 0));
    const std::int32_t top = std::min(HeaderHeight(), m_size.y);
    const std::int32_t bottom =
        std::max(top, m_size.y - (m_showHorizontal ? ScrollBar::Extent : 0));
    return {0, top, right, bottom};
}

ExRect ListFrame::HeaderRect() const {
    const ExRect view = ViewRect();
    return {0, 0, view.right, view.top};
}

ListFrame::Zone ListFrame::ZoneAt(ExPoint at) const {
    if (m_showVertical && m_vertical.Contains(at)) {
        return Zone::Vertical;
    }
    if (m_showHorizontal && m_horizontal.Contains(at)) {
        return Zone::Horizontal;
    }
    if (m_report != nullptr && Inside(HeaderRect(), at)) {
        return Zone::Header;
    }
    return Inside(ViewRect(), at) ? Zone::Rows : Zone::None;
}

void ListFrame::PlaceParts() {
    const std::int32_t across = m_showVertical ? ScrollBar::Extent : 0;
    const std::int32_t down = m_showHorizontal ? ScrollBar::Extent : 0;
    // As in a scroll area: the vertical bar runs beside the header too, and
    // the corner between two bars is left empty.
    m_vertical.SetBounds(m_showVertical
                             ? ExRect{m_size.x - ScrollBar::Extent, 0, m_size.x, m_size.y - down}
                             : ExRect{});
    m_horizontal.SetBounds(
        m_showHorizontal ? ExRect{0, m_size.y - ScrollBar::Extent, m_size.x - across, m_size.y}
                         : ExRect{});
    Invalidate({0, 0, m_size.x, m_size.y});
}

void ListFrame::Relayout() {
    const bool vertical = m_allowVertical && m_core->Vertical().maximum > 0;
    const bool horizontal = m_allowHorizontal && m_core->Horizontal().maximum > 0;
    // A bar shown narrows the view and may call for the other, which may
    // call for hiding the first: a few rounds settle it or leave it be.
    constexpr int MaxRounds = 4;
    if ((vertical == m_showVertical && horizontal == m_showHorizontal) ||
        m_relayouts >= MaxRounds) {
        return;
    }
    ++m_relayouts;
    m_showVertical = vertical;
    m_showHorizontal = horizontal;
    PlaceParts();
    m_core->UpdateScrollRanges();
    --m_relayouts;
}

void ListFrame::Invalidate(const ExRect& client) {
    const ExRect r = Intersection(client, ExRect{0, 0, m_size.x, m_size.y});
    if (!IsEmpty(r)) {
        Ex_ObjInvalidateRect(m_obj.Handle(), &r);
    }
}

ExPoint ListFrame::ViewSize() const {
    const ExRect view = ViewRect();
    return {view.right - view.left, view.bottom - view.top};
}

void ListFrame::InvalidateView() {
    Invalidate(ViewRect());
}

void ListFrame::InvalidateRect(const ExRect& rect) {
    const std::int32_t top = HeaderHeight();
    const ExRect client{rect.left, rect.top + top, rect.right, rect.bottom + top};
    Invalidate(Intersection(client, ViewRect()));
}

void ListFrame::InvalidateHeader() {
    Invalidate(HeaderRect());
}

void ListFrame::ScrollRangeChanged() {
    Relayout();
    m_vertical.SetRange(m_core->Vertical());
    m_horizontal.SetRange(m_core->Horizontal());
    InvalidateHeader();
}

void ListFrame::BarScrolled(bool vertical, std::int32_t value) {
    if (vertical) {
        m_core->SetScrollValues(value, m_core->Horizontal().value);
    } else {
        m_core->SetScrollValues(m_core->Vertical().value, value);
        InvalidateHeader();
    }
}

void ListFrame::Paint(backend::Painter& painter) {
    const ExRect view = ViewRect();
    if (!IsEmpty(view)) {
        painter.Save();
        painter.ClipRect(RectFOf(view));
        painter.Translate(static_cast<float>(view.left), static_cast<float>(view.top));
        m_core->Paint(painter, ExRect{0, 0, Width(view), Height(view)});
        painter.Restore();
    }
    const ExRect header = HeaderRect();
    if (m_report != nullptr && !IsEmpty(header)) {
        painter.Save();
        painter.ClipRect(RectFOf(header));
        m_report->PaintHeader(painter, header);
        painter.Restore();
    }
    if (m_showVertical) {
        m_vertical.Paint(painter);
    }
    if (m_showHorizontal) {
        m_horizontal.Paint(painter);
    }
}

void ListFrame::SetSizeCursor(bool on) {
    if (on != m_sizeCursor) {
        m_sizeCursor = on;
        backend::SetCursorShape(NativeViewOf(m_obj), on ? backend::CursorShape::SizeColumn
                                                        : backend::CursorShape::Default);
    }
}

void ListFrame::RestartTipDelay(const ExPoint* at) {
    if (at == nullptr) {
        if (m_tipDelay) {
            m_tipDelay->Stop();
        }
        return;
    }
    m_restAt = *at;
    if (!m_tipDelay) {
        m_tipDelay = backend::MakeTimer([this] {
            if (m_hover == Zone::Rows && m_held == Zone::None) {
                // A row without a text of its own leaves whatever shows alone.
                ShowRowTip(m_restAt, backend::CursorPosition(), false);
            }
        });
    }
    m_tipDelay->Start(TipDelay, true);
}

void ListFrame::Leave(Zone zone) {
    switch (zone) {
        case Zone::Rows:
            RestartTipDelay(nullptr);
            m_core->MouseLeave();
            break;
        case Zone::Header:
            SetSizeCursor(false);
            break;
        case Zone::Vertical:
            m_vertical.MouseLeave();
            break;
        case Zone::Horizontal:
            m_horizontal.MouseLeave();
            break;
        case Zone::None:
            break;
    }
}

void ListFrame::MouseMove(ExPoint at, std::int32_t keys) {
    if ((keys & HeldButtons) == 0) {
        m_held = Zone::None;  // a button let go where the list did not hear it (a drag)
    }
    if (m_held == Zone::None) {
        const Zone zone = ZoneAt(at);
        if (zone != m_hover) {
            Leave(m_hover);
            m_hover = zone;
        }
    }
    switch (m_held != Zone::None ? m_held : m_hover) {
        case Zone::Rows:
            RestartTipDelay(m_held == Zone::None ? &at : nullptr);
            m_core->MouseMove(ToView(at), keys);
            break;
        case Zone::Header: {
            const bool resizing = m_report->HeaderResizing();
            const bool edge = m_report->HeaderMouseMove(at.x);
            if (!resizing) {
                SetSizeCursor(edge);
            }
            break;
        }
        case Zone::Vertical:
            m_vertical.MouseMove(at);
            break;
        case Zone::Horizontal:
            m_horizontal.MouseMove(at);
            break;
        case Zone::None:
            break;
    }
}

void ListFrame::MouseDown(std::int32_t button, ExPoint at, std::int32_t keys) {
    if (m_held == Zone::None || (keys & HeldButtons) == button) {
        m_held = ZoneAt(at);
        if (m_held != m_hover) {
            Leave(m_hover);
            m_hover = m_held;
        }
    }
    switch (m_held) {
        case Zone::Rows:
            RestartTipDelay(nullptr);
            m_core->MouseDown(button, ToView(at), keys);
            break;
        case Zone::Header:
            m_report->HeaderMouseDown(button == EX_MK_LBUTTON, at.x);
            break;
        case Zone::Vertical:
            if (button == EX_MK_LBUTTON) {
                m_vertical.MouseDown(at);
            }
            break;
        case Zone::Horizontal:
            if (button == EX_MK_LBUTTON) {
                m_horizontal.MouseDown(at);
            }
            break;
        case Zone::None:
            break;
    }
}

void ListFrame::MouseUp(std::int32_t button, ExPoint at, std::int32_t keys) {
    const Zone zone = m_held != Zone::None ? m_held : ZoneAt(at);
    if ((keys & HeldButtons) == 0) {
        m_held = Zone::None;
    }
    switch (zone) {
        case Zone::Rows:
            m_core->MouseUp(button, ToView(at), keys);
            break;
        case Zone::Header:
            m_report->HeaderMouseUp(button == EX_MK_LBUTTON, at.x);
            break;
        case Zone::Vertical:
            if (button == EX_MK_LBUTTON) {
                m_vertical.MouseUp();
            }
            break;
        case Zone::Horizontal:
            if (button == EX_MK_LBUTTON) {
                m_horizontal.MouseUp();
            }
            break;
        case Zone::None:
            break;
    }
    if (m_held == Zone::None) {
        // Let go elsewhere: the pointer has left the part that kept it.
        const Zone now = ZoneAt(at);
        if (now != m_hover) {
            Leave(m_hover);
            m_hover = now;
        }
    }
}

void ListFrame::DoubleClick(ExPoint at, std::int32_t keys) {
    if (m_held == Zone::None) {
        m_held = ZoneAt(at);
    }
    switch (m_held) {
        case Zone::Rows:
            m_core->MouseDoubleClick(ToView(at), keys);
            break;
        case Zone::Vertical:
        case Zone::Horizontal:
        case Zone::Header:
            // The header and the bars take the second press as a press.
            MouseDown(EX_MK_LBUTTON, at, keys);
            break;
        case Zone::None:
            break;
    }
}

void ListFrame::MouseLeave() {
    if (m_held == Zone::None) {
        Leave(m_hover);
        m_hover = Zone::None;
    }
}

bool ListFrame::Wheel(std::int32_t delta, std::int32_t keys) {
    ScrollRange range = m_core->Vertical();
    const std::int64_t page = std::max(1, range.pageStep);
    const double notches = static_cast<double>(delta) / WheelNotch;
    std::int64_t steps = 0;
    if ((keys & (EX_MK_CONTROL | EX_MK_SHIFT)) != 0) {
        // A page a notch.
        steps =
            std::clamp(static_cast<std::int64_t>(notches * static_cast<double>(page)), -page, page);
        m_wheelSteps = 0;
    } else {
        if (m_wheelSteps != 0 && (notches < 0) != (m_wheelSteps < 0)) {
            m_wheelSteps = 0;  // turned the other way
        }
        m_wheelSteps += WheelLines * notches * std::max(1, range.singleStep);
        steps = std::clamp(static_cast<std::int64_t>(m_wheelSteps), -page, page);
        m_wheelSteps -= std::trunc(m_wheelSteps);
        if (steps == 0) {
            // Less than a step: kept for the next turn, unless the rows are
            // at their end that way.
            if ((m_wheelSteps > 0 && range.value > 0) ||
                (m_wheelSteps < 0 && range.value < range.maximum)) {
                return true;
            }
            m_wheelSteps = 0;
            return false;
        }
    }
    // Away from the user scrolls up.
    if (!range.SetValue(static_cast<std::int32_t>(
            std::clamp<std::int64_t>(range.value - steps, 0, range.maximum)))) {
        m_wheelSteps = 0;
        return false;
    }
    m_core->SetScrollValues(range.value, m_core->Horizontal().value);
    m_vertical.SetRange(m_core->Vertical());
    return true;
}

bool ListFrame::KeyDown(std::int32_t key, std::int32_t modifiers) {
    if (m_core->KeyDown(key, modifiers)) {
        return true;
    }
    if (key != EX_VK_LEFT && key != EX_VK_RIGHT) {
        return false;
    }
    // Left and right scroll across, by a step; taken even at the end.
    ScrollRange range = m_core->Horizontal();
    const std::int32_t step = key == EX_VK_LEFT ? -range.singleStep : range.singleStep;
    if (range.SetValue(range.value + step)) {
        BarScrolled(false, range.value);
        m_horizontal.SetRange(m_core->Horizontal());
    }
    return true;
}

bool ListFrame::ShowTip(ExPoint at, ExPoint screen) {
    return ShowRowTip(at, screen, true);
}

bool ListFrame::ShowRowTip(ExPoint at, ExPoint screen, bool hideOtherwise) {
    if (ZoneAt(at) != Zone::Rows) {
        return false;
    }
    const ListTip tip = m_core->TipAt(ToView(at));
    if (tip.text.empty()) {
        if (hideOtherwise) {
            backend::HideTooltip();
        }
        return false;
    }
    // The area in the window's view, which the object is drawn in.
    const ExPoint origin = m_obj.Origin();
    const std::int32_t top = HeaderHeight() + origin.y;
    const ExRect area{tip.area.left + origin.x, tip.area.top + top, tip.area.right + origin.x,
                      tip.area.bottom + top};
    backend::ShowTooltip(NativeViewOf(m_obj), screen, tip.text, area);
    return true;
}

}  // namespace exdui
