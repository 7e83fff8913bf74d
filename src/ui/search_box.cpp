#include "ui/search_box.h"

namespace cj::ui {

intptr_t SearchBoxPainter(ExHandle /*window*/, ExHandle object, int32_t message, intptr_t wParam,
                          intptr_t /*lParam*/, intptr_t* result) {
    if (message != EX_WM_ERASEBKGND) {
        return 0;
    }
    const auto canvas = static_cast<ExHandle>(wParam);
    ExRect client{};
    Ex_ObjGetClientRect(object, &client);
    const auto right = static_cast<float>(client.right);
    const auto bottom = static_cast<float>(client.bottom);
    _canvas_setantialias(canvas, 1);
    const ExHandle brush = _brush_create(0xFFFFFFFF);
    _canvas_fillroundedrect(canvas, brush, 0, 0, right, bottom, 15, 15);
    _brush_destroy(brush);
    if (Ex_ObjGetTextLength(object) == 0) {
        _canvas_drawtext(canvas, Ex_ObjGetFont(object), 0xFF000000, SearchPlaceholder, -1,
                         EX_DT_VCENTER, 18, 0, right, bottom);
    }
    if (result != nullptr) {
        *result = 1;
    }
    return 1;
}

void NarrowSearchBoxText(const EditBox& box) {
    auto* record = reinterpret_cast<ExEditRecord*>(Ex_ObjGetLong(box.Handle(), EX_OL_CLASSDATA));
    if (record != nullptr) {
        record->textRect.left = 15;
        record->textRect.right = 250;
    }
}

}  // namespace cj::ui
