#include "scroll_bar.h"

#include <algorithm>
#include <array>
#include <utility>

namespace exdui {

namespace {

// The bar's greys across its thickness, from the edge that faces the
// content: the track, and the face of the arrows and the thumb (a light
// gradient) with the lines that close them.
using Across = std::array<std::uint8_t, ScrollBar::Extent>;
constexpr Across TrackGreys = {0xBC, 0xDD, 0xE6, 0xE6, 0xE6, 0xE6, 0xE6,
                               0xE6, 0xE6, 0xE6, 0xE6, 0xE6, 0xE3, 0xE1};
constexpr Across FaceGreys = {0xBC, 0xFD, 0xFC, 0xFB, 0xFA, 0xF9, 0xF8,
                              0xF7, 0xF6, 0xF5, 0xF4, 0xF3, 0xF2, 0xF3};
// Under the pointer the face is flatter and a little darker; held, flat.
constexpr Across HotFaceGreys = {0xBC, 0xFB, 0xF9, 0xF9, 0xF9, 0xF8, 0xF8,
                                 0xF8, 0xF7, 0xF7, 0xF7, 0xF6, 0xF6, 0xF7};
constexpr Across HeldArrowGreys = {0xBC, 0xF3, 0xF1, 0xF1, 0xF1, 0xF1, 0xF1,
                                   0xF1, 0xF1, 0xF1, 0xF1, 0xF1, 0xF1, 0xF3};
constexpr Across HeldThumbGreys = {0xC1, 0xF7, 0xF6, 0xF6, 0xF6, 0xF6, 0xF6,
                                   0xF6, 0xF6, 0xF6, 0xF6, 0xF6, 0xF6, 0xF7};
constexpr Across SubLineGreys = {0xB3, 0xC3, 0xC3, 0xC3, 0xC3, 0xC2, 0xC2,
                                 0xC2, 0xC1, 0xC1, 0xC1, 0xC0, 0xC0, 0xC0};
constexpr Across AddLineGreys = {0xB0, 0xC3, 0xC3, 0xC3, 0xC3, 0xC2, 0xC2,
                                 0xC2, 0xC1, 0xC1, 0xC1, 0xC0, 0xC0, 0xC0};
constexpr Across ThumbLineGreys = {0xB0, 0xBA, 0xBD, 0xBD, 0xBD, 0xBD, 0xBD,
                                   0xBD, 0xBD, 0xBD, 0xBD, 0xBD, 0xBC, 0xBB};
// The thumb's side that faces the content, plain and under the pointer.
constexpr std::uint8_t ThumbEdgeGrey = 0xC4;
constexpr std::uint8_t HotThumbEdgeGrey = 0xC3;
constexpr ExArgb ArrowColour = 0xFF5C5C5C;

ExArgb Grey(std::uint8_t level) {
    return 0xFF000000u | (ExArgb{level} << 16) | (ExArgb{level} << 8) | level;
}

std::int32_t Along(bool vertical, ExPoint at, const ExRect& bounds) {
    return vertical ? at.y - bounds.top : at.x - bounds.left;
}

}  // namespace

bool ScrollRange::SetValue(std::int32_t to) {
    const std::int32_t clamped = std::clamp(to, 0, std::max(0, maximum));
    if (clamped == value) {
        return false;
    }
    value = clamped;
    return true;
}

ScrollBar::ScrollBar(bool vertical, std::function<void(std::int32_t)> onScroll,
                     std::function<void(const ExRect&)> invalidate)
    : m_vertical(vertical), m_onScroll(std::move(onScroll)), m_invalidate(std::move(invalidate)) {}

ScrollBar::~ScrollBar() = default;

void ScrollBar::SetBounds(const ExRect& bounds) {
    const ExRect old = m_bounds;
    if (old.left == bounds.left && old.top == bounds.top && old.right == bounds.right &&
        old.bottom == bounds.bottom) {
        return;
    }
    m_bounds = bounds;
    if (Length() <= 0) {
        MouseUp();
    }
    m_invalidate(old);
    m_invalidate(m_bounds);
}

bool ScrollBar::Contains(ExPoint at) const {
    return at.x >= m_bounds.left && at.x < m_bounds.right && at.y >= m_bounds.top &&
           at.y < m_bounds.bottom;
}

void ScrollBar::SetRange(const ScrollRange& range) {
    const bool moved = range.maximum != m_range.maximum || range.value != m_range.value ||
                       range.pageStep != m_range.pageStep;
    m_range = range;
    if (moved) {
        m_invalidate(m_bounds);
    }
}

std::int32_t ScrollBar::Length() const {
    return m_vertical ? m_bounds.bottom - m_bounds.top : m_bounds.right - m_bounds.left;
}

std::int32_t ScrollBar::TrackStart() const {
    // Arrows share a bar too short for both at full size.
    return std::min(Extent, std::max(0, Length()) / 2);
}

std::int32_t ScrollBar::TrackLength() const {
    return std::max(0, Length() - 2 * TrackStart());
}

std::int32_t ScrollBar::ThumbLength() const {
    const std::int64_t track = TrackLength();
    if (m_range.maximum <= 0) {
        return static_cast<std::int32_t>(track);
    }
    const std::int64_t page = std::max(1, m_range.pageStep);
    const std::int64_t length = page * track / (std::int64_t{m_range.maximum} + page);
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(track, std::max<std::int64_t>(length, MinThumb)));
}

std::int32_t ScrollBar::ThumbStart() const {
    const std::int64_t span = TrackLength() - ThumbLength();
    if (m_range.maximum <= 0 || span <= 0) {
        return TrackStart();
    }
    const std::int64_t maximum = m_range.maximum;
    return TrackStart() + static_cast<std::int32_t>((span * m_range.value + maximum / 2) / maximum);
}

ExRect ScrollBar::Span(std::int32_t from, std::int32_t to) const {
    if (m_vertical) {
        return {m_bounds.left, m_bounds.top + from, m_bounds.right, m_bounds.top + to};
    }
    return {m_bounds.left + from, m_bounds.top, m_bounds.left + to, m_bounds.bottom};
}

ExRect ScrollBar::PartRect(Part part) const {
    const std::int32_t track = TrackStart();
    const std::int32_t thumb = ThumbStart();
    const std::int32_t thumbEnd = thumb + ThumbLength();
    switch (part) {
        case Part::SubLine:
            return Span(0, track);
        case Part::AddLine:
            return Span(track + TrackLength(), Length());
        case Part::SubPage:
            return Span(track, thumb);
        case Part::AddPage:
            return Span(thumbEnd, track + TrackLength());
        case Part::Thumb:
            return Span(thumb, thumbEnd);
        case Part::None:
            break;
    }
    return {};
}

ScrollBar::Part ScrollBar::PartAt(ExPoint at) const {
    if (!Contains(at)) {
        return Part::None;
    }
    const std::int32_t along = Along(m_vertical, at, m_bounds);
    if (along < TrackStart()) {
        return Part::SubLine;
    }
    if (along >= TrackStart() + TrackLength()) {
        return Part::AddLine;
    }
    if (along < ThumbStart()) {
        return Part::SubPage;
    }
    return along < ThumbStart() + ThumbLength() ? Part::Thumb : Part::AddPage;
}

void ScrollBar::Paint(backend::Painter& painter) const {
    if (Length() <= 0) {
        return;
    }
    // The pixels at i across the bar, over [from, to) along it.
    const auto fill = [&](std::size_t i, std::int32_t from, std::int32_t to, ExArgb colour) {
        const auto across = static_cast<float>(i);
        const auto start = static_cast<float>(from);
        const auto end = static_cast<float>(to);
        const auto left = static_cast<float>(m_bounds.left);
        const auto top = static_cast<float>(m_bounds.top);
        painter.FillRect(m_vertical
                             ? RectF{left + across, top + start, left + across + 1, top + end}
                             : RectF{left + start, top + across, left + end, top + across + 1},
                         colour);
    };
    // Greys across the bar, each a strip over [from, to) along it.
    const auto strips = [&](const Across& greys, std::int32_t from, std::int32_t to) {
        if (to <= from) {
            return;
        }
        for (std::size_t i = 0; i < greys.size(); ++i) {
            fill(i, from, to, Grey(greys[i]));
        }
    };
    const auto arrowFace = [&](Part part) -> const Across& {
        if (m_pressed == part) {
            return HeldArrowGreys;
        }
        return m_hot == part && m_pressed == Part::None ? HotFaceGreys : FaceGreys;
    };

    const std::int32_t length = Length();
    const std::int32_t button = TrackStart();
    strips(TrackGreys, button, length - button);

    // The thumb: the arrows' face, its content side a shade darker, closed by
    // a line just outside each end; the arrows' own lines cover those lines
    // at the ends of the track.
    const std::int32_t thumb = ThumbStart();
    const std::int32_t thumbEnd = thumb + ThumbLength();
    if (thumbEnd > thumb && m_range.maximum > 0) {
        Across face = HeldThumbGreys;
        if (m_pressed != Part::Thumb) {
            const bool hot = m_hot == Part::Thumb && m_pressed == Part::None;
            face = hot ? HotFaceGreys : FaceGreys;
            face[0] = hot ? HotThumbEdgeGrey : ThumbEdgeGrey;
        }
        strips(face, thumb, thumbEnd);
        strips(ThumbLineGreys, thumb - 1, thumb);
        strips(ThumbLineGreys, thumbEnd, thumbEnd + 1);
    }

    // The arrows: a face closed by a line on the track's side, and a small
    // triangle pointing out of the bar.
    strips(arrowFace(Part::SubLine), 0, button - 1);
    strips(arrowFace(Part::AddLine), length - button + 1, length);
    if (button > 0) {
        strips(SubLineGreys, button - 1, button);
        strips(AddLineGreys, length - button, length - button + 1);
    }
    if (button == Extent) {
        const auto point = [&](float along, float across) {
            return m_vertical ? PointF{static_cast<float>(m_bounds.left) + across,
                                       static_cast<float>(m_bounds.top) + along}
                              : PointF{static_cast<float>(m_bounds.left) + along,
                                       static_cast<float>(m_bounds.top) + across};
        };
        const auto end = static_cast<float>(length);
        const std::array<PointF, 3> sub = {point(4, 7), point(8, 3), point(8, 11)};
        const std::array<PointF, 3> add = {point(end - 5, 7), point(end - 9, 3),
                                           point(end - 9, 11)};
        painter.Save();
        painter.SetAntialias(true);
        painter.FillPolygon(sub, ArrowColour);
        painter.FillPolygon(add, ArrowColour);
        painter.Restore();
    }
}

void ScrollBar::MouseDown(ExPoint at) {
    const Part part = PartAt(at);
    if (part == Part::None) {
        return;
    }
    m_pressed = part;
    m_pointer = at;
    m_hot = part;
    m_invalidate(m_bounds);
    if (part == Part::Thumb) {
        m_grabAt = Along(m_vertical, at, m_bounds) - ThumbStart();
        return;
    }
    Step();
    if (m_pressed == Part::None) {
        return;  // the owner let go while it scrolled
    }
    if (!m_repeat) {
        m_repeat = backend::MakeTimer([this] { Repeat(); });
    }
    m_repeat->Start(RepeatDelay, true);
}

void ScrollBar::MouseMove(ExPoint at) {
    m_pointer = at;
    SetHot(PartAt(at));
    if (m_pressed != Part::Thumb) {
        return;
    }
    const std::int64_t span = TrackLength() - ThumbLength();
    if (span <= 0) {
        return;
    }
    const std::int64_t offset = Along(m_vertical, at, m_bounds) - m_grabAt - TrackStart();
    const std::int64_t picked = (offset * m_range.maximum + span / 2) / span;
    Pick(static_cast<std::int32_t>(std::clamp<std::int64_t>(picked, 0, m_range.maximum)));
}

void ScrollBar::MouseUp() {
    if (m_repeat) {
        m_repeat->Stop();
    }
    if (m_pressed != Part::None) {
        m_pressed = Part::None;
        m_invalidate(m_bounds);
    }
}

void ScrollBar::MouseLeave() {
    SetHot(Part::None);
}

void ScrollBar::SetHot(Part part) {
    if (part != m_hot) {
        m_hot = part;
        m_invalidate(m_bounds);
    }
}

void ScrollBar::Repeat() {
    if (m_pressed == Part::None || m_pressed == Part::Thumb) {
        return;
    }
    Step();
    if (m_pressed != Part::None && m_repeat) {
        m_repeat->Start(RepeatInterval);
    }
}

void ScrollBar::Step() {
    // Only while the pointer stays on the part it pressed: a page step stops
    // once the thumb has come under the pointer.
    if (PartAt(m_pointer) != m_pressed) {
        return;
    }
    const std::int32_t line = std::max(1, m_range.singleStep);
    const std::int32_t page = std::max(1, m_range.pageStep);
    const std::int64_t value = m_range.value;
    switch (m_pressed) {
        case Part::SubLine:
            Pick(static_cast<std::int32_t>(std::max<std::int64_t>(0, value - line)));
            break;
        case Part::AddLine:
            Pick(static_cast<std::int32_t>(std::min<std::int64_t>(m_range.maximum, value + line)));
            break;
        case Part::SubPage:
            Pick(static_cast<std::int32_t>(std::max<std::int64_t>(0, value - page)));
            break;
        case Part::AddPage:
            Pick(static_cast<std::int32_t>(std::min<std::int64_t>(m_range.maximum, value + page)));
            break;
        case Part::Thumb:
        case Part::None:
            break;
    }
}

void ScrollBar::Pick(std::int32_t value) {
    ScrollRange range = m_range;
    if (!range.SetValue(value)) {
        return;
    }
    SetRange(range);
    m_onScroll(range.value);
}

}  // namespace exdui
