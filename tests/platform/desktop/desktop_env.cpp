#include "desktop_env.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "temp_dir.h"

namespace cj::desktop::test {
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

std::string g_busAddress;

class DesktopEnvironment final : public ::testing::Environment {
  public:
    void SetUp() override {
        m_dir = std::make_unique<cj::test::TempDir>();
        m_dir->WriteFile("bus.conf", BusConfig);
        g_busAddress = StartBus(*m_dir / "bus.conf");
        // Before the application exists, which may already look for the bus.
        // The runtime folder must be private (mode 0700, as mkdtemp makes it)
        // or Qt warns about it.
        setenv("XDG_RUNTIME_DIR", m_dir->Path().c_str(), 1);
        setenv("DBUS_SESSION_BUS_ADDRESS",
               g_busAddress.empty() ? "unix:path=/nonexistent/bus" : g_busAddress.c_str(), 1);
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
    }

    void TearDown() override {
        m_app.reset();
        if (m_busPid > 0) {
            kill(m_busPid, SIGTERM);
            waitpid(m_busPid, nullptr, 0);
        }
        m_dir.reset();
    }

  private:
    // Starts dbus-daemon and reads the address it prints; empty on failure.
    std::string StartBus(const std::string& configPath) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) {
            return {};
        }
        const std::string configArgument = "--config-file=" + configPath;
        m_busPid = fork();
        if (m_busPid == 0) {
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
        std::string address;
        char c = 0;
        while (m_busPid > 0 && read(fds[0], &c, 1) == 1 && c != '\n') {
            address += c;
        }
        close(fds[0]);
        return address;
    }

    int m_argc = 1;
    char m_name[13] = "desktop_test";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<cj::test::TempDir> m_dir;
    std::unique_ptr<QApplication> m_app;
    pid_t m_busPid = -1;
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new DesktopEnvironment);

}  // namespace

const std::string& PrivateBusAddress() {
    return g_busAddress;
}

OpenedUrls::OpenedUrls() {
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open");
}

OpenedUrls::~OpenedUrls() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

std::vector<std::string> OpenedUrls::LocalPaths() const {
    std::vector<std::string> paths;
    for (const QUrl& url : m_urls) {
        paths.push_back(url.toLocalFile().toStdString());
    }
    return paths;
}

void OpenedUrls::Open(const QUrl& url) {
    m_urls.push_back(url);
}

}  // namespace cj::desktop::test
