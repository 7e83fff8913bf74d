#include "backend/win32/win32_text_lines.h"

namespace exdui::backend::win32 {
namespace {

bool IsPairAt(std::u16string_view text, size_t at) {
    return at + 1 < text.size() && text[at] == u'\r' && text[at + 1] == u'\n';
}

}  // namespace

std::u16string ToCrLf(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) {
            out.push_back(u'\r');
        }
        out.push_back(text[i]);
    }
    return out;
}

std::u16string ToLf(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (!IsPairAt(text, i)) {
            out.push_back(text[i]);
        }
    }
    return out;
}

int32_t ToCrLfPosition(std::u16string_view crLfText, int32_t lfPosition) {
    size_t native = 0;
    for (int32_t left = lfPosition; left > 0 && native < crLfText.size(); --left) {
        native += IsPairAt(crLfText, native) ? 2U : 1U;
    }
    return static_cast<int32_t>(native);
}

int32_t ToLfPosition(std::u16string_view crLfText, int32_t crLfPosition) {
    int32_t position = 0;
    for (size_t native = 0; native < crLfText.size() && static_cast<int32_t>(native) < crLfPosition;
         native += IsPairAt(crLfText, native) ? 2U : 1U) {
        if (IsPairAt(crLfText, native) && static_cast<int32_t>(native) + 1 == crLfPosition) {
            break;  // between the CR and its LF
        }
        ++position;
    }
    return position;
}

}  // namespace exdui::backend::win32
