// The system's popup menu, shown from the library's menu model. UI thread only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "backend/native_view.h"
#include "exdui.h"

namespace exdui::backend {

// One item of a menu as it is shown.
struct MenuEntry {
    uint32_t flags = 0;  // EX_MF_*: a separator, a submenu, grayed, checked
    intptr_t id = 0;     // what choosing it returns; for a submenu its menu's handle
    std::u16string text;
    std::vector<MenuEntry> submenu;  // EX_MF_POPUP: its items, resolved

    bool operator==(const MenuEntry&) const = default;
};

// Shows entries as a popup menu at the screen point at, over owner, and
// returns when it closes: the id of the item chosen, or nothing when the menu
// was dismissed. Grayed and disabled items cannot be chosen. Runs events
// while it is open.
std::optional<intptr_t> ShowPopupMenu(NativeView* owner, const std::vector<MenuEntry>& entries,
                                      ExPoint at);

}  // namespace exdui::backend
