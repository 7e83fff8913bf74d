// The built-in class "ListView": owner-data rows drawn by the owner through
// the -97 and -12 notifications (see the list section of exdui.h). This file
// also holds the hook that registers both list classes.
#include <algorithm>
#include <climits>
#include <memory>

#include "list_view_class.h"

namespace exdui {

namespace {

void InitListView(Object& obj) {
    InitListObject(obj, std::make_unique<ListViewCore>());
}

intptr_t ListViewProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                      intptr_t lParam) {
    ListState* state = ListStateOf(object);
    if (state == nullptr) {
        return Ex_ObjDefProc(window, object, message, wParam, lParam);
    }
    intptr_t result = 0;
    if (message == EX_LVM_SETITEMCOUNT) {
        // Counts past the int range are cut to it rather than wrapping negative.
        state->List().SetRowCount(static_cast<int32_t>(std::clamp<intptr_t>(wParam, 0, INT32_MAX)));
        return 1;
    }
    if (HandleCommonListMessage(*state, message, wParam, lParam, &result)) {
        return result;
    }
    return Ex_ObjDefProc(window, object, message, wParam, lParam);
}

}  // namespace

void RegisterListClasses() {
    BuiltinClass cls;
    cls.name = u"ListView";
    cls.style = EX_OS_VISIBLE | EX_OS_VSCROLL | EX_LVS_MULTISELECT;
    cls.styleEx = 0;
    cls.textFormat = EX_DT_SINGLELINE | EX_DT_VCENTER;
    cls.proc = ListViewProc;
    cls.init = InitListView;
    cls.traits = TraitFocusable;
    cls.colors = {
        {EX_COLOR_BORDER, 0x2C000000},
        {EX_COLOR_TEXT, 0xFF000000},
        {EX_COLOR_LIST_SELECTED, 0x600078D7},
        {EX_COLOR_LIST_HOT, 0x280078D7},
    };
    RegisterBuiltinClass(cls);
    RegisterReportListClass();
}

}  // namespace exdui
