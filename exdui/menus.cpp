// Popup menus and message boxes: the C API over the menu model and the back
// end's native dialogs.
#include "menus.h"

#include <mutex>
#include <optional>
#include <string>

#include "backend/message_box.h"
#include "handle_table.h"
#include "marshal.h"
#include "native_views.h"
#include "stand_ins.h"
#include "window.h"

namespace exdui {
namespace {

struct MenuItem {
    uint32_t flags;
    intptr_t id;  // the submenu's handle for EX_MF_POPUP
    std::u16string text;
};

struct Menu {
    std::mutex mu;
    std::vector<MenuItem> items;  // Under mu.
};

std::vector<backend::MenuEntry> Resolve(ExHandle handle, int depth) {
    auto menu = handles::SharedAs<Menu>(handle, Kind::Menu);
    if (!menu || depth > MaxMenuDepth) {
        return {};
    }
    std::vector<MenuItem> items;
    {
        std::lock_guard lock(menu->mu);
        items = menu->items;
    }
    std::vector<backend::MenuEntry> entries;
    entries.reserve(items.size());
    for (MenuItem& item : items) {
        backend::MenuEntry entry{item.flags, item.id, std::move(item.text), {}};
        if ((item.flags & (EX_MF_POPUP | EX_MF_SEPARATOR)) == EX_MF_POPUP) {
            entry.submenu = Resolve(static_cast<ExHandle>(item.id), depth + 1);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

// The items as the stand-in sees them: a submenu's items follow its entry.
void Flatten(const std::vector<backend::MenuEntry>& entries, std::vector<inject::MenuItem>& out) {
    for (const backend::MenuEntry& entry : entries) {
        out.push_back({entry.id, entry.text, entry.flags});
        Flatten(entry.submenu, out);
    }
}

// The stand-in's choice, as far as a user could make it: an enabled item's
// identifier; none for anything else.
std::optional<intptr_t> StandInChoice(const std::vector<backend::MenuEntry>& entries,
                                      ExHandle owner) {
    std::vector<inject::MenuItem> items;
    Flatten(entries, items);
    const intptr_t id = PopupMenuStandIn()(owner, items);
    constexpr uint32_t Unchoosable = EX_MF_GRAYED | EX_MF_DISABLED | EX_MF_POPUP | EX_MF_SEPARATOR;
    for (const inject::MenuItem& item : items) {
        if (item.id == id && (item.flags & Unchoosable) == 0) {
            return id;
        }
    }
    return std::nullopt;
}

backend::NativeView* OwnerView(ExHandle owner) {
    Window* w = WindowFromAny(owner);
    return w != nullptr ? NativeViewOf(*w) : nullptr;
}

}  // namespace

std::vector<backend::MenuEntry> ResolveMenu(ExHandle menu) {
    return Resolve(menu, 0);
}

}  // namespace exdui

using namespace exdui;

extern "C" {

EXDUI_API ExHandle Ex_MenuCreatePopup(void) {
    try {
        return handles::AddShared(Kind::Menu, std::make_shared<Menu>());
    } catch (...) {
        return 0;
    }
}

EXDUI_API int Ex_MenuAppend(ExHandle menu, uint32_t flags, intptr_t id, const char16_t* text) {
    auto m = handles::SharedAs<Menu>(menu, Kind::Menu);
    if (!m || ((flags & EX_MF_SEPARATOR) == 0 && text == nullptr)) {
        return 0;
    }
    try {
        std::lock_guard lock(m->mu);
        m->items.push_back(MenuItem{flags, id, text != nullptr ? std::u16string(text) : u""});
        return 1;
    } catch (...) {
        return 0;
    }
}

EXDUI_API int Ex_MenuGetItemCount(ExHandle menu) {
    auto m = handles::SharedAs<Menu>(menu, Kind::Menu);
    if (!m) {
        return 0;
    }
    std::lock_guard lock(m->mu);
    return static_cast<int>(m->items.size());
}

EXDUI_API int Ex_MenuDestroy(ExHandle menu) {
    if (!handles::IsLive(menu, Kind::Menu)) {
        return 0;
    }
    handles::Remove(menu);
    return 1;
}

EXDUI_API intptr_t Ex_TrackPopupMenu(ExHandle menu, uint32_t flags, int32_t x, int32_t y,
                                     int32_t reserved, ExHandle owner, const ExRect* rect,
                                     void* callback, uint32_t menuFlags) {
    (void)reserved, (void)rect, (void)callback, (void)menuFlags;
    if (!handles::IsLive(menu, Kind::Menu)) {
        return 0;
    }
    try {
        return marshal::Call(
            [&]() -> intptr_t {
                const std::vector<backend::MenuEntry> entries = ResolveMenu(menu);
                const std::optional<intptr_t> chosen =
                    PopupMenuStandIn()
                        ? StandInChoice(entries, owner)
                        : backend::ShowPopupMenu(OwnerView(owner), entries, ExPoint{x, y});
                if (!chosen) {
                    return 0;
                }
                if ((flags & EX_TPM_RETURNCMD) != 0) {
                    return *chosen;
                }
                // The owner may have gone while the menu was open.
                if (Window* w = WindowFromAny(owner); w != nullptr && !w->IsDestroying()) {
                    w->Send(EX_WM_COMMAND, *chosen, owner);
                }
                return 1;
            },
            intptr_t{0});
    } catch (...) {
        return 0;
    }
}

EXDUI_API int32_t Ex_MessageBox(ExHandle owner, const char16_t* text, const char16_t* caption,
                                uint32_t type, uint32_t flags) {
    (void)flags;
    try {
        const std::u16string body = text != nullptr ? text : u"";
        const std::u16string title = caption != nullptr ? caption : u"";
        return marshal::Call(
            [&]() -> int32_t {
                if (const inject::MessageBoxAnswer& answer = MessageBoxStandIn()) {
                    return answer(owner, body, title, type);
                }
                return backend::ShowMessageBox(OwnerView(owner), body, title, type);
            },
            int32_t{0});
    } catch (...) {
        return 0;
    }
}

}  // extern "C"
