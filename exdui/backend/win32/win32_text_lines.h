// A multi-line EDIT control breaks its lines with CR LF, the library with LF
// alone: the texts and the positions in them, turned from one to the other.
// Pure functions, any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace exdui::backend::win32 {

// Each LF not already after a CR becomes CR LF.
std::u16string ToCrLf(std::u16string_view text);
// Each CR LF becomes LF; a CR alone stays.
std::u16string ToLf(std::u16string_view text);

// A position in ToLf(crLfText) as the position in crLfText, and back; a
// position between a CR and its LF counts as before the pair.
int32_t ToCrLfPosition(std::u16string_view crLfText, int32_t lfPosition);
int32_t ToLfPosition(std::u16string_view crLfText, int32_t crLfPosition);

}  // namespace exdui::backend::win32
