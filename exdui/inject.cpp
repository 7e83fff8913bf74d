// The parts of the input injection that every back end shares: where an
// object lies in its window (through the C API, as a test would ask), the
// wait for a condition, and the stand-ins' storage. The input itself is the
// back end's (backend/qt/qt_inject.cpp).
#include <chrono>
#include <utility>

#include "exdui_inject.h"
#include "stand_ins.h"

namespace exdui {
namespace {

// Set and read on the UI thread; the functions that ask them are marshalled
// there first.
inject::MessageBoxAnswer g_messageBox;
inject::PopupMenuAnswer g_popupMenu;
inject::DragOutAnswer g_dragOut;

}  // namespace

const inject::MessageBoxAnswer& MessageBoxStandIn() {
    return g_messageBox;
}
const inject::PopupMenuAnswer& PopupMenuStandIn() {
    return g_popupMenu;
}
const inject::DragOutAnswer& DragOutStandIn() {
    return g_dragOut;
}

}  // namespace exdui

namespace exdui::inject {

ExPoint PointIn(ExHandle object, int32_t x, int32_t y) {
    // Each object lies in its parent's client area; the surface's is the
    // window's, where the walk ends.
    ExPoint point{x, y};
    bool known = false;
    ExRect rect{};
    for (ExHandle at = object; Ex_ObjGetRect(at, &rect) != 0; at = Ex_ObjGetParent(at)) {
        point.x += rect.left;
        point.y += rect.top;
        known = true;
    }
    return known ? point : ExPoint{-1, -1};
}

ExPoint CenterOf(ExHandle object) {
    ExRect client{};
    if (Ex_ObjGetClientRect(object, &client) == 0) {
        return {-1, -1};
    }
    return PointIn(object, client.right / 2, client.bottom / 2);
}

bool RunEventsUntil(const std::function<bool()>& done, int32_t timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        RunEvents(2);
    }
    return true;
}

void SetMessageBoxAnswer(MessageBoxAnswer answer) {
    g_messageBox = std::move(answer);
}

void SetPopupMenuAnswer(PopupMenuAnswer answer) {
    g_popupMenu = std::move(answer);
}

void SetDragOutAnswer(DragOutAnswer answer) {
    g_dragOut = std::move(answer);
}

}  // namespace exdui::inject
