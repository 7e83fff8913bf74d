// The system's drag session, dragging data out of the program. UI thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "backend/data_format.h"
#include "backend/native_view.h"

namespace exdui::backend {

// Drags formats out of source as the left button is held and returns when
// the drag ends: the EX_DROPEFFECT_* the target took, EX_DROPEFFECT_NONE when
// it was cancelled or refused. effects (EX_DROPEFFECT_* bits, at least one)
// are those the source allows; copying is preferred when allowed. Runs events
// while the drag lasts.
int32_t RunDrag(NativeView* source, const std::vector<DataFormat>& formats, uint32_t effects);

}  // namespace exdui::backend
