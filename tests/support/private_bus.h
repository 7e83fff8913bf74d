// A D-Bus session bus of the test's own (dbus-daemon), on which only what the
// test registers answers: no file manager or other service of the machine.
#pragma once

#include <sys/types.h>

#include <string>

#include "temp_dir.h"

namespace cj::test {

class PrivateBus {
  public:
    // Starts dbus-daemon; Address() is empty when that failed (no dbus-daemon).
    PrivateBus();
    ~PrivateBus();  // Ends the daemon.
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    const std::string& Address() const { return m_address; }

  private:
    TempDir m_dir;  // The bus's configuration.
    pid_t m_pid = -1;
    std::string m_address;
};

}  // namespace cj::test
