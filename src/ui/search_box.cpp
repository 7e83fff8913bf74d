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
        // A narrow box cuts the placeholder short of the search button.
        _canvas_drawtext(canvas, Ex_ObjGetFont(object), 0xFF000000, SearchPlaceholder, -1,
                         EX_DT_VCENTER | EX_DT_SINGLELINE | EX_DT_END_ELLIPSIS, 18, 0,
                         right - SearchButtonRoom + 6, bottom);
    }
    if (result != nullptr) {
        *result = 1;
    }
    return 1;
}

void NarrowSearchBoxText(const EditBox& box, int boxWidth) {
    auto* record = reinterpret_cast<ExEditRecord*>(Ex_ObjGetLong(box.Handle(), EX_OL_CLASSDATA));
    if (record != nullptr) {
        record->textRect.left = 15;
        record->textRect.right = boxWidth - SearchButtonRoom;
    }
}

}  // namespace cj::ui
