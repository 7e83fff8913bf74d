#include "private_bus.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace cj::test {
namespace {

// A bus that activates nothing and lets everyone talk to everyone: only what
// the tests register on it answers.
constexpr const char* BusConfig = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

}  // namespace

PrivateBus::PrivateBus() {
    m_dir.WriteFile("bus.conf", BusConfig);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return;
    }
    const std::string configArgument = "--config-file=" + (m_dir / "bus.conf");
    m_pid = fork();
    if (m_pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);  // Never outlive a crashed test.
        dup2(fds[1], STDOUT_FILENO);
        // Its complaints (an fd limit it may not raise) are no test's concern.
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDERR_FILENO);
        }
        execlp("dbus-daemon", "dbus-daemon", configArgument.c_str(), "--nofork",
               "--print-address=1", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char c = 0;
    while (m_pid > 0 && read(fds[0], &c, 1) == 1 && c != '\n') {
        m_address += c;
    }
    close(fds[0]);
}

PrivateBus::~PrivateBus() {
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
}

}  // namespace cj::test
