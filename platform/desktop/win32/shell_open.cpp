// Opening files through the Windows shell: ShellExecuteExA with the default
// verb, and Explorer's window with the file selected.
#include "platform/desktop/shell_open.h"

#include <windows.h>
// After windows.h.
#include <shellapi.h>
#include <shlobj.h>

#include "platform/desktop/win32/desktop_thread.h"
#include "platform/win32/path_text.h"

namespace cj::desktop {
namespace {

bool Open(const std::string& path) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    // No error box of the shell's: the UI words the failure.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = GetActiveWindow();
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&info) != FALSE;
}

}  // namespace

bool TryOpenWithDefaultProgram(const std::string& path) {
    if (!detail::IsOnUiThread() || !detail::IsAbsolutePath(path) ||
        path.find('\0') != std::string::npos) {
        return false;
    }
    return Open(path);
}

bool TryShowInFolder(const std::string& path) {
    if (!detail::IsOnUiThread() || !detail::IsAbsolutePath(path) ||
        path.find('\0') != std::string::npos) {
        return false;
    }
    if (const std::optional<std::wstring> wide = detail::ToWide(path)) {
        PIDLIST_ABSOLUTE item = nullptr;
        if (SUCCEEDED(SHParseDisplayName(wide->c_str(), nullptr, &item, 0, nullptr))) {
            // The item's own full name with no children: its folder opens with
            // it selected.
            const HRESULT shown = SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
            CoTaskMemFree(item);
            if (SUCCEEDED(shown)) {
                return true;
            }
        }
    }
    // Explorer could not be asked (the file is gone, the name does not
    // convert): the folder itself opens.
    return Open(std::string(platform::win32::ParentText(path)));
}

}  // namespace cj::desktop
