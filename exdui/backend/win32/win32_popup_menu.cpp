// The popup menu on Win32: TrackPopupMenuEx over the owner's top-level window
// (a hidden one of our own when there is none). The items carry their
// position in a flat list as their command, so any id the library uses comes
// back whole.
#include <windows.h>

#include <string>

#include "backend/popup_menu.h"
#include "backend/win32/win32_owner.h"

namespace exdui::backend {
namespace {

// Makes the menu of entries; each chosen item's entry is ids[command - 1].
HMENU Build(const std::vector<MenuEntry>& entries, std::vector<intptr_t>& ids) {
    HMENU menu = CreatePopupMenu();
    for (const MenuEntry& entry : entries) {
        const std::wstring text(entry.text.begin(), entry.text.end());
        if ((entry.flags & EX_MF_SEPARATOR) != 0) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else if ((entry.flags & EX_MF_POPUP) != 0) {
            HMENU submenu = Build(entry.submenu, ids);
            AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu),
                        text.c_str());
        } else {
            ids.push_back(entry.id);
            UINT flags = MF_STRING;
            if ((entry.flags & (EX_MF_GRAYED | EX_MF_DISABLED)) != 0) {
                flags |= MF_GRAYED;
            }
            if ((entry.flags & EX_MF_CHECKED) != 0) {
                flags |= MF_CHECKED;
            }
            AppendMenuW(menu, flags, ids.size(), text.c_str());
        }
    }
    return menu;
}

}  // namespace

std::optional<intptr_t> ShowPopupMenu(NativeView* owner, const std::vector<MenuEntry>& entries,
                                      ExPoint at) {
    std::vector<intptr_t> ids;
    HMENU menu = Build(entries, ids);
    HWND window = win32::OwnerOf(owner);
    HWND hidden = nullptr;
    if (window == nullptr) {
        hidden = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        window = hidden;
    }
    // The menu closes on a click elsewhere only while its window is in front.
    SetForegroundWindow(window);
    const BOOL command = TrackPopupMenuEx(
        menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x,
        at.y, window, nullptr);
    PostMessageW(window, WM_NULL, 0, 0);
    DestroyMenu(menu);  // its submenus with it
    if (hidden != nullptr) {
        DestroyWindow(hidden);
    }
    if (command <= 0 || static_cast<size_t>(command) > ids.size()) {
        return std::nullopt;
    }
    return ids[static_cast<size_t>(command) - 1];
}

}  // namespace exdui::backend
