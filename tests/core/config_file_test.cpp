#include "core/config_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/data_lock.h"
#include "core/data_paths.h"
#include "temp_dir.h"
#ifndef _WIN32
#include "thread_probe.h"
#endif

namespace cj::core {
namespace {

const std::error_code Ok;

TEST(DataPaths, SitBesideTheExecutable) {
#ifdef _WIN32
    EXPECT_EQ(ConfigPath("C:\\cj"), "C:\\cj\\data\\chengjing.ini");
    EXPECT_EQ(ShardPath("C:\\cj", 12), "C:\\cj\\data\\12.txt");
    EXPECT_EQ(BackupPath("D:\\门店\\cj"), "D:\\门店\\cj\\data\\Backup.txt");
#else
    EXPECT_EQ(ConfigPath("/opt/cj"), "/opt/cj/data/chengjing.ini");
    EXPECT_EQ(ShardPath("/opt/cj", 1), "/opt/cj/data/1.txt");
    EXPECT_EQ(ShardPath("/opt/cj", 12), "/opt/cj/data/12.txt");
    EXPECT_EQ(BackupPath("/opt/cj"), "/opt/cj/data/Backup.txt");
    EXPECT_EQ(ConfigPath("/"), "/data/chengjing.ini");
#endif
}

class Config : public ::testing::Test {
  protected:
    Config() : m_config(ConfigPath(m_dir.Path())) { m_dir.MakeDirs("data"); }

    test::TempDir m_dir;
    ConfigFile m_config;
};

// Two programs writing at once each read, change and replace the whole file:
// without a lock between them one program's change could be lost.
TEST_F(Config, WriteWaitsForAnotherProgramsWrite) {
    platform::FileLock other;  // Another program, half-way through its write.
    ASSERT_EQ(TryLockData(m_dir / "data", DataLock::Config, platform::LockMode::Exclusive,
                          platform::LockWait::No, other),
              Ok);
#ifndef _WIN32
    int tid = 0;
#endif
    std::atomic<bool> started{false};
    std::error_code written = std::make_error_code(std::errc::interrupted);
    std::thread writer([&] {
#ifndef _WIN32
        tid = test::CurrentThreadId();
#endif
        started = true;
        written = m_config.TryWriteItem("mbml", "ma", "/out");
    });
    while (!started) {
        std::this_thread::yield();
    }
#ifndef _WIN32
    EXPECT_TRUE(test::WaitUntilThreadWaitsForLock(tid));
#endif
    EXPECT_EQ(m_config.ReadItem("mbml", "ma"), "");
    other.Unlock();
    writer.join();
    EXPECT_EQ(written, Ok);
    EXPECT_EQ(m_config.ReadItem("mbml", "ma"), "/out");
}

}  // namespace
}  // namespace cj::core
