// QStrings from the C API's UTF-16 texts, for the parts of the library still
// built on Qt widgets (editors, lists' cells, menus, message boxes).
#pragma once

#include <QString>
#include <cstdint>

namespace exdui {

// A null text is empty; a negative length reads up to the terminating 0.
inline QString FromUtf16(const char16_t* text, intptr_t length = -1) {
    if (text == nullptr) {
        return {};
    }
    if (length < 0) {
        return QString::fromUtf16(text);
    }
    return QString::fromUtf16(text, static_cast<qsizetype>(length));
}

}  // namespace exdui
