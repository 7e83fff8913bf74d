// The pointer on Win32. The shape a view asks for is kept as a property of
// its window handle, which answers WM_SETCURSOR with it (win32_cursor.h).
#include "backend/win32/win32_cursor.h"

#include <windows.h>

#include "backend/cursor.h"
#include "backend/win32/win32_native_view.h"

namespace exdui::backend {
namespace win32 {
namespace {

constexpr wchar_t ShapeProperty[] = L"ExduiCursorShape";

}  // namespace

HCURSOR ViewCursor(HWND hwnd) {
    const bool column = GetPropW(hwnd, ShapeProperty) != nullptr;
    return LoadCursorW(nullptr, column ? IDC_SIZEWE : IDC_ARROW);
}

void ForgetViewCursor(HWND hwnd) {
    RemovePropW(hwnd, ShapeProperty);
}

}  // namespace win32

ExPoint CursorPosition() {
    POINT p{};
    GetCursorPos(&p);
    return ExPoint{p.x, p.y};
}

int32_t DragDistance() {
    return GetSystemMetrics(SM_CXDRAG);
}

int32_t DoubleClickTime() {
    return static_cast<int32_t>(GetDoubleClickTime());
}

void SetCursorShape(NativeView* view, CursorShape shape) {
    HWND hwnd = win32::ToHwnd(view);
    if (hwnd == nullptr) {
        return;
    }
    if (shape == CursorShape::SizeColumn) {
        SetPropW(hwnd, win32::ShapeProperty, reinterpret_cast<HANDLE>(1));
    } else {
        win32::ForgetViewCursor(hwnd);
    }
    // The pointer over the view takes the shape now, not at its next move.
    POINT p{};
    if (GetCursorPos(&p) && WindowFromPoint(p) == hwnd) {
        SetCursor(win32::ViewCursor(hwnd));
    }
}

}  // namespace exdui::backend
