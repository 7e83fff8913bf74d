// What the desktop-service tests share: one QApplication on the offscreen
// platform for the whole run and a private session bus (so that no file
// manager of the machine answers).
#pragma once

#include <string>

#include "desktop_stand_ins.h"

namespace cj::desktop::test {

// The private bus's address; empty when dbus-daemon could not be started,
// and the session bus then is not connected at all.
const std::string& PrivateBusAddress();

}  // namespace cj::desktop::test
