// The clipboard on Win32. The file-drop type goes under CF_HDROP; plain text
// (the active code page) under CF_TEXT and, converted, CF_UNICODETEXT, so that
// a program reading either gets the same text; any other type under the
// registered clipboard format of its name.
#include "platform/desktop/clipboard.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/desktop/win32/desktop_thread.h"

namespace cj::desktop {
namespace {

// The shell's name for CF_HDROP's block (shell/clipboard_payload.h).
constexpr std::string_view FileDropType = "application/x-windows-hdrop";
constexpr std::string_view PlainTextType = "text/plain";
// What ReadClipboard names CF_UNICODETEXT: the same text as text/plain.
constexpr std::string_view WideTextType = "text/plain;charset=utf-16le";

struct Block {
    UINT format = 0;
    std::string bytes;
};

std::string WideBytes(std::string_view narrow) {
    const int count =
        MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(count, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), wide.data(),
                        count);
    wide.push_back(L'\0');
    return {reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t)};
}

// The blocks for formats; false for a format without a type.
bool ToBlocks(const std::vector<ClipboardFormat>& formats, std::vector<Block>& blocks) {
    const auto put = [&blocks](UINT format, std::string bytes) {
        std::erase_if(blocks, [format](const Block& b) { return b.format == format; });
        blocks.push_back({format, std::move(bytes)});
    };
    for (const ClipboardFormat& format : formats) {
        if (format.mimeType.empty()) {
            return false;
        }
        if (format.mimeType == FileDropType) {
            put(CF_HDROP, format.bytes);
        } else if (format.mimeType == PlainTextType) {
            put(CF_TEXT, format.bytes + '\0');
            put(CF_UNICODETEXT, WideBytes(format.bytes));
        } else if (const UINT registered = RegisterClipboardFormatA(format.mimeType.c_str())) {
            put(registered, format.bytes);
        } else {
            return false;
        }
    }
    return true;
}

// Opens the clipboard for the scope; another program may hold it for a
// moment, so a few tries are made.
class OpenedClipboard {
  public:
    OpenedClipboard() {
        HWND owner = detail::ServiceWindow();
        for (int attempt = 0; owner != nullptr && attempt < 10 && !m_open; ++attempt) {
            m_open = OpenClipboard(owner) != FALSE;
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

HGLOBAL ToGlobal(const std::string& bytes) {
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, std::max<size_t>(bytes.size(), 1));
    void* memory = global != nullptr ? GlobalLock(global) : nullptr;
    if (memory == nullptr) {
        if (global != nullptr) {
            GlobalFree(global);
        }
        return nullptr;
    }
    std::memcpy(memory, bytes.data(), bytes.size());
    GlobalUnlock(global);
    return global;
}

std::string GlobalBytes(HANDLE data) {
    const void* memory = data != nullptr ? GlobalLock(data) : nullptr;
    if (memory == nullptr) {
        return {};
    }
    std::string bytes(static_cast<const char*>(memory), GlobalSize(data));
    GlobalUnlock(data);
    return bytes;
}

// The name ReadClipboard gives format, with its bytes cut to the text for
// the text formats; "" for a format it does not name.
std::string TypeOf(UINT format, std::string& bytes) {
    switch (format) {
        case CF_HDROP:
            return std::string(FileDropType);
        case CF_TEXT:
            bytes.resize(std::min(bytes.size(), bytes.find('\0')));
            return std::string(PlainTextType);
        case CF_UNICODETEXT: {
            size_t end = 0;
            while (end + 1 < bytes.size() && (bytes[end] != '\0' || bytes[end + 1] != '\0')) {
                end += 2;
            }
            bytes.resize(std::min(end, bytes.size()));
            return std::string(WideTextType);
        }
        default: {
            char name[256] = {};
            const int length = GetClipboardFormatNameA(format, name, sizeof(name));
            return length > 0 ? std::string(name, static_cast<size_t>(length)) : std::string();
        }
    }
}

}  // namespace

bool TrySetClipboard(const std::vector<ClipboardFormat>& formats) {
    std::vector<Block> blocks;
    if (!detail::IsOnUiThread() || !ToBlocks(formats, blocks)) {
        return false;
    }
    OpenedClipboard clipboard;
    if (!clipboard || !EmptyClipboard()) {
        return false;
    }
    bool all = true;
    for (const Block& block : blocks) {
        HGLOBAL global = ToGlobal(block.bytes);
        if (global == nullptr || SetClipboardData(block.format, global) == nullptr) {
            if (global != nullptr) {
                GlobalFree(global);  // still ours
            }
            all = false;
        }
    }
    return all;
}

bool TrySetClipboardText(std::string_view text) {
    return TrySetClipboard({ClipboardFormat{std::string(PlainTextType), std::string(text)}});
}

bool TryClearClipboard() {
    return TrySetClipboard({});
}

std::vector<ClipboardFormat> ReadClipboard() {
    std::vector<ClipboardFormat> formats;
    if (!detail::IsOnUiThread()) {
        return formats;
    }
    OpenedClipboard clipboard;
    if (!clipboard) {
        return formats;
    }
    for (UINT format = EnumClipboardFormats(0); format != 0;
         format = EnumClipboardFormats(format)) {
        std::string bytes = GlobalBytes(GetClipboardData(format));
        std::string type = TypeOf(format, bytes);
        if (!type.empty()) {
            formats.push_back({std::move(type), std::move(bytes)});
        }
    }
    return formats;
}

}  // namespace cj::desktop
