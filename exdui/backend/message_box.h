// The system's message box. UI thread only.
#pragma once

#include <cstdint>
#include <string_view>

#include "backend/native_view.h"

namespace exdui::backend {

// Shows a modal box over owner (null: over no window) with text, caption and
// the buttons and icon of type (EX_MB_* bits), and returns when it closes:
// EX_IDOK, EX_IDCANCEL, EX_IDYES or EX_IDNO. Closed without a choice, it
// answers EX_IDCANCEL for OK/Cancel, EX_IDNO for Yes/No and EX_IDOK for OK.
// Runs events while it is open.
int32_t ShowMessageBox(NativeView* owner, std::u16string_view text, std::u16string_view caption,
                       uint32_t type);

}  // namespace exdui::backend
