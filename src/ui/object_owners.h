// ObjectOwners: the owner of an object (or a window's surface) for a
// procedure that the library calls with the handle alone. The library's one
// user slot (EX_OL_USERDATA, EX_DUI_USERDATA) is left to whoever makes the
// object: two parts of the program storing their own pointer there would
// each read the other's as theirs. Each part keeps its own table instead,
// typed by what its procedures need, so no two parts share an entry.
//
// A procedure forgets its object when it hears EX_WM_DESTROY. The library
// never hands out a handle twice in one run, so an entry left behind would
// only hold memory, never mislead. UI thread only, like the procedures.
#pragma once

#include <unordered_map>

#include "exdui/exdui.h"

namespace cj::ui {

template <class T>
class ObjectOwners {
  public:
    // owner serves object from now on, in place of any earlier owner; it must
    // outlive the object's messages or be forgotten first. An object that was
    // never made (handle 0) gets none.
    void Set(ExHandle object, T& owner) {
        if (object != 0) {
            m_owners.insert_or_assign(object, &owner);
        }
    }
    // object's owner; null when it has none or was forgotten.
    T* Find(ExHandle object) const {
        const auto found = m_owners.find(object);
        return found != m_owners.end() ? found->second : nullptr;
    }
    void Forget(ExHandle object) { m_owners.erase(object); }

  private:
    std::unordered_map<ExHandle, T*> m_owners;
};

}  // namespace cj::ui
