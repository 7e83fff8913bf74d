// Popup menus as the library keeps them: plain data (items with identifiers,
// separators, submenus) that any thread may build; a menu is resolved into
// the entries the back end shows each time it is shown.
#pragma once

#include <vector>

#include "backend/popup_menu.h"
#include "exdui.h"

namespace exdui {

// Submenus deeper than this show empty: a menu that holds itself would never
// end.
inline constexpr int MaxMenuDepth = 8;

// The items of menu with every submenu's items filled in, as they are now.
// A submenu whose handle is not a live menu, or lies deeper than MaxMenuDepth,
// has no items. Empty for a handle that is not a menu. Any thread.
std::vector<backend::MenuEntry> ResolveMenu(ExHandle menu);

}  // namespace exdui
