#include "desktop_env.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <memory>

#include "private_bus.h"
#include "temp_dir.h"

namespace cj::desktop::test {
namespace {

std::string g_busAddress;

class DesktopEnvironment final : public ::testing::Environment {
  public:
    void SetUp() override {
        m_dir = std::make_unique<cj::test::TempDir>();
        m_bus = std::make_unique<cj::test::PrivateBus>();
        g_busAddress = m_bus->Address();
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
        m_bus.reset();
        m_dir.reset();
    }

  private:
    int m_argc = 1;
    char m_name[13] = "desktop_test";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<cj::test::TempDir> m_dir;
    std::unique_ptr<cj::test::PrivateBus> m_bus;
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new DesktopEnvironment);

}  // namespace

const std::string& PrivateBusAddress() {
    return g_busAddress;
}

}  // namespace cj::desktop::test
