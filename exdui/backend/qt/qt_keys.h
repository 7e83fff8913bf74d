// The library's key codes (EX_VK_*) and Qt's keys, both ways, from one table:
// the widgets turn Qt's keys into the codes their messages carry, and the
// input injection turns the codes a test names back into Qt's keys. Likewise
// the EX_MK_* bits of the buttons held and the modifiers.
#pragma once

#include <Qt>
#include <cstdint>

namespace exdui {

// The EX_VK_* code of a Qt key (0 when it has none).
int32_t VirtualKey(int qtKey);
// The Qt key of an EX_VK_* code (0 when it has none). Both Enter keys are one
// code: it comes back as Qt::Key_Return.
int QtKey(int32_t virtualKey);
// EX_MK_* bits of the buttons and modifiers held.
intptr_t MouseKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
// The Qt modifiers and buttons of EX_MK_* bits.
Qt::KeyboardModifiers QtModifiers(uint32_t keys);
Qt::MouseButtons QtButtons(uint32_t keys);

}  // namespace exdui
