#include "backend/qt/qt_keys.h"

#include <Qt>
#include <array>
#include <utility>

#include "exdui.h"

namespace exdui {
namespace {

// Keys whose codes are not ranges of both (letters, digits, F keys). Where a
// code has two Qt keys, the first one listed is the one it maps back to.
constexpr std::array<std::pair<int, int32_t>, 19> NamedKeys{{
    {Qt::Key_Backspace, EX_VK_BACK}, {Qt::Key_Tab, EX_VK_TAB},
    {Qt::Key_Return, EX_VK_RETURN},  {Qt::Key_Enter, EX_VK_RETURN},
    {Qt::Key_Shift, EX_VK_SHIFT},    {Qt::Key_Control, EX_VK_CONTROL},
    {Qt::Key_Alt, EX_VK_MENU},       {Qt::Key_Escape, EX_VK_ESCAPE},
    {Qt::Key_Space, EX_VK_SPACE},    {Qt::Key_PageUp, EX_VK_PRIOR},
    {Qt::Key_PageDown, EX_VK_NEXT},  {Qt::Key_End, EX_VK_END},
    {Qt::Key_Home, EX_VK_HOME},      {Qt::Key_Left, EX_VK_LEFT},
    {Qt::Key_Up, EX_VK_UP},          {Qt::Key_Right, EX_VK_RIGHT},
    {Qt::Key_Down, EX_VK_DOWN},      {Qt::Key_Insert, EX_VK_INSERT},
    {Qt::Key_Delete, EX_VK_DELETE},
}};

constexpr int32_t LastFunctionKey = EX_VK_F1 + (Qt::Key_F24 - Qt::Key_F1);

bool IsLetterOrDigit(int code) {
    return (code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9');
}

}  // namespace

int32_t VirtualKey(int qtKey) {
    if (IsLetterOrDigit(qtKey)) {
        return qtKey;  // Qt uses the ASCII codes for these, as the codes do
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        return EX_VK_F1 + (qtKey - Qt::Key_F1);
    }
    for (const auto& [key, code] : NamedKeys) {
        if (key == qtKey) {
            return code;
        }
    }
    return 0;
}

int QtKey(int32_t virtualKey) {
    if (IsLetterOrDigit(virtualKey)) {
        return virtualKey;
    }
    if (virtualKey >= EX_VK_F1 && virtualKey <= LastFunctionKey) {
        return Qt::Key_F1 + (virtualKey - EX_VK_F1);
    }
    for (const auto& [key, code] : NamedKeys) {
        if (code == virtualKey) {
            return key;
        }
    }
    return 0;
}

intptr_t MouseKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    intptr_t keys = 0;
    if (buttons & Qt::LeftButton)
        keys |= EX_MK_LBUTTON;
    if (buttons & Qt::RightButton)
        keys |= EX_MK_RBUTTON;
    if (modifiers & Qt::ShiftModifier)
        keys |= EX_MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        keys |= EX_MK_CONTROL;
    return keys;
}

Qt::KeyboardModifiers QtModifiers(uint32_t keys) {
    Qt::KeyboardModifiers modifiers;
    if ((keys & EX_MK_SHIFT) != 0) {
        modifiers |= Qt::ShiftModifier;
    }
    if ((keys & EX_MK_CONTROL) != 0) {
        modifiers |= Qt::ControlModifier;
    }
    return modifiers;
}

Qt::MouseButtons QtButtons(uint32_t keys) {
    Qt::MouseButtons buttons;
    if ((keys & EX_MK_LBUTTON) != 0) {
        buttons |= Qt::LeftButton;
    }
    if ((keys & EX_MK_RBUTTON) != 0) {
        buttons |= Qt::RightButton;
    }
    return buttons;
}

}  // namespace exdui
