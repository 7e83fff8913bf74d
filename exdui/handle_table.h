// The one table behind every handle. Handles are never reused within a run,
// so a stale handle can only miss. The table itself is safe from any thread;
// what a handle points at is not: objects, windows and canvases are used on
// the UI thread only, shared resources (brushes, fonts, images, image lists,
// menus) are reference counted so that a lookup keeps them alive while used.
#pragma once

#include <cstdint>
#include <memory>

#include "exdui.h"

namespace exdui {

enum class Kind : uint8_t {
    Window,
    Surface,
    Object,
    Canvas,
    Brush,
    Font,
    Image,
    ImageList,
    Menu,
    Easing,
    Drop
};

namespace handles {

// Registers a UI-thread item (window, surface, object, canvas, easing).
ExHandle AddRaw(Kind kind, void* item);
// Registers a shared resource.
ExHandle AddShared(Kind kind, std::shared_ptr<void> item);
void Remove(ExHandle handle);
bool IsLive(ExHandle handle, Kind kind);
// The kind of a live handle, false when unknown.
bool KindOf(ExHandle handle, Kind* kind);
void* Raw(ExHandle handle, Kind kind);
std::shared_ptr<void> Shared(ExHandle handle, Kind kind);
// Drops every entry (Ex_UnInit).
void Clear();

template <class T>
T* RawAs(ExHandle handle, Kind kind) {
    return static_cast<T*>(Raw(handle, kind));
}
template <class T>
std::shared_ptr<T> SharedAs(ExHandle handle, Kind kind) {
    return std::static_pointer_cast<T>(Shared(handle, kind));
}

}  // namespace handles
}  // namespace exdui
