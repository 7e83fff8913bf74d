// The library's key codes (EX_VK_*) and Qt's keys, both ways, from one table:
// the widgets turn Qt's keys into the codes their messages carry, and the
// input injection turns the codes a test names back into Qt's keys.
#pragma once

#include <cstdint>

namespace exdui {

// The EX_VK_* code of a Qt key (0 when it has none).
int32_t VirtualKey(int qtKey);
// The Qt key of an EX_VK_* code (0 when it has none). Both Enter keys are one
// code: it comes back as Qt::Key_Return.
int QtKey(int32_t virtualKey);

}  // namespace exdui
