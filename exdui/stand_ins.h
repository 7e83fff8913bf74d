// The stand-ins a test sets through exdui_inject.h for what would wait on the
// user outside the window. Ex_MessageBox, Ex_TrackPopupMenu and
// Ex_ObjDoDragDrop ask them, on the UI thread, before they show anything;
// an empty function means the system's own is shown. UI thread only.
#pragma once

#include "exdui_inject.h"

namespace exdui {

const inject::MessageBoxAnswer& MessageBoxStandIn();
const inject::PopupMenuAnswer& PopupMenuStandIn();
const inject::DragOutAnswer& DragOutStandIn();

}  // namespace exdui
