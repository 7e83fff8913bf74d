// The clipboard on Win32. The clipboard's owner is a message-only window of
// the UI thread: without one, SetClipboardData fails after EmptyClipboard.
#include <windows.h>

#include "backend/clipboard.h"
#include "backend/win32/win32_data_object.h"

namespace exdui::backend {
namespace {

HWND ClipboardOwner() {
    static HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    return owner;
}

// Opens the clipboard for the scope; others may hold it for a moment, so a
// few tries are made.
class OpenedClipboard {
  public:
    OpenedClipboard() {
        for (int attempt = 0; attempt < 10 && !m_open; ++attempt) {
            m_open = OpenClipboard(ClipboardOwner()) != FALSE;
            if (!m_open) {
                Sleep(5);
            }
        }
    }
    ~OpenedClipboard() {
        if (m_open) {
            CloseClipboard();
        }
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return m_open; }

  private:
    bool m_open = false;
};

void Replace(const std::vector<win32::ClipboardBlock>& blocks) {
    OpenedClipboard clipboard;
    if (!clipboard) {
        return;
    }
    EmptyClipboard();
    for (const win32::ClipboardBlock& block : blocks) {
        if (HGLOBAL global = win32::ToGlobal(block.bytes)) {
            if (SetClipboardData(block.format, global) == nullptr) {
                GlobalFree(global);  // still ours
            }
        }
    }
}

}  // namespace

std::u16string ClipboardText() {
    OpenedClipboard clipboard;
    if (!clipboard) {
        return {};
    }
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* text = data != nullptr ? static_cast<const char16_t*>(GlobalLock(data)) : nullptr;
    if (text == nullptr) {
        return {};
    }
    // The block may be larger than the text: it ends at the first NUL.
    const size_t capacity = GlobalSize(data) / sizeof(char16_t);
    size_t length = 0;
    while (length < capacity && text[length] != u'\0') {
        ++length;
    }
    std::u16string result(text, length);
    GlobalUnlock(data);
    return result;
}

void SetClipboardText(std::u16string_view text) {
    std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
    bytes.append(sizeof(char16_t), '\0');
    Replace({{CF_UNICODETEXT, std::move(bytes)}});
}

void SetClipboard(const std::vector<DataFormat>& formats) {
    Replace(win32::ToClipboardBlocks(formats));
}

}  // namespace exdui::backend
