// Painting the window's objects: each shown object over its parent, in the
// order made, cut to its own rectangle and its ancestors', as its background
// (EX_WM_ERASEBKGND) and then its content (EX_WM_PAINT).
#include "backend/painter.h"
#include "core/ex_rect.h"
#include "handle_table.h"
#include "object.h"
#include "window.h"

namespace exdui {

void Window::PaintObject(backend::Painter& painter, Object& obj, const ExRect& dirty,
                         const ExRect& clip, ExPoint parentOrigin) {
    if (obj.destroyed || !obj.Visible()) {
        return;
    }
    const ExRect rect = Offset(obj.Rect(), parentOrigin.x, parentOrigin.y);
    const ExRect area = Intersect(rect, clip);
    if (IsEmpty(area) || IsEmpty(Intersect(area, dirty))) {
        return;  // nor its children, which it cuts
    }
    const ExHandle handle = obj.Handle();
    const auto left = static_cast<float>(rect.left);
    const auto top = static_cast<float>(rect.top);
    painter.Save();
    painter.Translate(left, top);
    painter.ClipRect({static_cast<float>(area.left) - left, static_cast<float>(area.top) - top,
                      static_cast<float>(area.right) - left,
                      static_cast<float>(area.bottom) - top});
    obj.BeginPaint(&painter);
    obj.Send(EX_WM_ERASEBKGND, obj.CanvasHandle(), 0);
    // A procedure may have destroyed the object while painting.
    if (handles::IsLive(handle, Kind::Object)) {
        painter.Save();
        obj.Send(EX_WM_PAINT, 0, 0);
        painter.Restore();
    }
    obj.EndPaint();
    painter.Restore();
    if (!handles::IsLive(handle, Kind::Object)) {
        return;
    }
    const std::vector<Object*> children = obj.Children();
    for (Object* child : children) {
        if (!handles::IsLive(handle, Kind::Object)) {
            return;
        }
        PaintObject(painter, *child, dirty, area, {rect.left, rect.top});
    }
}

void Window::InvalidateClient(const ExRect& area) {
    if (m_native != nullptr && !IsEmpty(area)) {
        m_native->Invalidate(&area);
    }
}

}  // namespace exdui
