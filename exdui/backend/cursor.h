// The mouse pointer and the system's settings for it. UI thread only.
#pragma once

#include <cstdint>

#include "backend/native_view.h"
#include "exdui.h"

namespace exdui::backend {

// Where the pointer is, in screen pixels.
ExPoint CursorPosition();
// How far, in pixels, the pointer moves with a button held before a drag
// begins.
int32_t DragDistance();
// The longest time, in milliseconds, between the clicks of a double click.
int32_t DoubleClickTime();

// The pointer's shape while it is over view: the view's usual one, or the
// double arrow that says an edge can be dragged sideways (a column's width).
enum class CursorShape { Default, SizeColumn };
void SetCursorShape(NativeView* view, CursorShape shape);

}  // namespace exdui::backend
