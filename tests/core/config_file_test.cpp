#include "core/config_file.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <atomic>
#include <filesystem>
#include <thread>

#include "core/data_lock.h"
#include "core/data_paths.h"
#include "core/text_rules.h"
#include "temp_dir.h"
#ifndef _WIN32
#include "ordinary_user.h"
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

TEST_F(Config, FreshInstallationReadsEmptyAndZero) {
    EXPECT_EQ(m_config.ReadItem("ckzt", "zt"), "");
    EXPECT_EQ(TextToInt(m_config.ReadItem("sjms", "ma")), 0);
    EXPECT_TRUE(m_config.ReadSection("syml").keys.empty());
}

TEST_F(Config, DirectoryListsKeepTheirOrder) {
    ASSERT_EQ(m_config.TryWriteItem("syml", "仓库", ""), Ok);
    ASSERT_EQ(m_config.TryWriteItem("syml_p", "仓库", "1"), Ok);
    ASSERT_EQ(m_config.TryWriteItem("syml", "门店 A", JoinFolderList({"/srv/a", "/srv/b"})), Ok);
    ASSERT_EQ(m_config.TryWriteItem("syml_a", "门店 A", "jpg|png"), Ok);
    ASSERT_EQ(m_config.TryWriteItem("syml", "仓库", JoinFolderList({"/srv/w"})), Ok);

    const SectionItems lists = m_config.ReadSection("syml");
    EXPECT_EQ(lists.keys, (std::vector<std::string>{"仓库", "门店 A"}));
    EXPECT_EQ(lists.values, (std::vector<std::string>{"/srv/w*/*", "/srv/a*/*/srv/b*/*"}));
    EXPECT_EQ(m_config.ReadItem("syml_a", "门店 A"), "jpg|png");
    EXPECT_EQ(m_config.ReadItem("syml_p", "仓库"), "1");

    ASSERT_EQ(m_config.TryDeleteItem("syml", "仓库"), Ok);
    EXPECT_EQ(m_config.ReadSection("syml").keys, std::vector<std::string>{"门店 A"});
    ASSERT_EQ(m_config.TryDeleteSection("syml"), Ok);
    EXPECT_TRUE(m_config.ReadSection("syml").keys.empty());
    EXPECT_EQ(m_config.ReadItem("syml_a", "门店 A"), "jpg|png");
}

TEST_F(Config, SplitsSectionEntriesAtTheFirstEquals) {
    m_dir.WriteFile("data/chengjing.ini", "[syml]\r\nlist=a=b*/*\r\nbare\r\n");
    const SectionItems items = m_config.ReadSection("syml");
    EXPECT_EQ(items.keys, (std::vector<std::string>{"list", "bare"}));
    EXPECT_EQ(items.values, (std::vector<std::string>{"a=b*/*", ""}));
}

TEST_F(Config, EmptyKeyReadsEmpty) {
    ASSERT_EQ(m_config.TryWriteItem("mbml", "ma", "/home/out"), Ok);
    EXPECT_EQ(m_config.ReadItem("mbml", ""), "");
    EXPECT_EQ(m_config.TryWriteItem("mbml", "", "x"), std::errc::invalid_argument);
}

#ifndef _WIN32
// The configuration file kept in a shared place behind a link: a write
// replaces the linked file and the link stays.
TEST_F(Config, WritesGoThroughASymbolicLink) {
    m_dir.WriteFile("shared/chengjing.ini", "[mbml]\r\nma=/old\r\n");
    ASSERT_EQ(::symlink("../shared/chengjing.ini", m_config.Path().c_str()), 0);
    ASSERT_EQ(m_config.TryWriteItem("mbml", "ma", "/new"), Ok);
    EXPECT_TRUE(std::filesystem::is_symlink(m_config.Path()));
    EXPECT_EQ(m_dir.ReadFile("shared/chengjing.ini"), "[mbml]\r\nma=/new\r\n");
    EXPECT_EQ(m_config.ReadItem("mbml", "ma"), "/new");
}

// A configuration file the user made read-only keeps its content, and the
// write says why, as on Windows.
TEST_F(Config, ReadOnlyFileIsNotReplaced) {
    m_dir.WriteFile("data/chengjing.ini", "[mbml]\r\nma=/kept\r\n");
    for (const char* path : {"", "data"}) {
        ASSERT_EQ(::chmod((m_dir / path).c_str(), 0777), 0);
    }
    ASSERT_EQ(::chmod(m_config.Path().c_str(), 0444), 0);
    const ConfigFile& config = m_config;
    const int result = test::RunAsOrdinaryUser([&config] {
        return config.TryWriteItem("mbml", "ma", "/new") == std::errc::permission_denied ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(m_config.ReadItem("mbml", "ma"), "/kept");
}
#else
TEST_F(Config, ReadOnlyFileIsNotReplaced) {
    m_dir.WriteFile("data/chengjing.ini", "[mbml]\r\nma=/kept\r\n");
    ASSERT_TRUE(SetFileAttributesA(m_config.Path().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(m_config.TryWriteItem("mbml", "ma", "/new"), std::errc::permission_denied);
    EXPECT_EQ(m_config.ReadItem("mbml", "ma"), "/kept");
    EXPECT_EQ(GetFileAttributesA(m_config.Path().c_str()) & FILE_ATTRIBUTE_READONLY,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}
#endif

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

TEST_F(Config, LeftoversOfKilledWritesGo) {
    m_dir.WriteFile("data/.chengjing.ini.tmp-Ab12Cd", "[half");
    m_dir.WriteFile("data/.Backup.txt.tmp-Ab12Cd", "not ours to remove");
    ASSERT_EQ(m_config.TryRemoveWriteLeftovers(), Ok);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "data/.chengjing.ini.tmp-Ab12Cd"));
    EXPECT_TRUE(std::filesystem::exists(m_dir / "data/.Backup.txt.tmp-Ab12Cd"));
}

}  // namespace
}  // namespace cj::core
