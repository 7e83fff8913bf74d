#include "core/event_log.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <string>

#include "temp_dir.h"

namespace cj::core {
namespace {

class EventLog : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.MakeDirs("data");
        SetLogRunDirectory(dir.Path());
    }
    void TearDown() override { SetLogRunDirectory(""); }
    std::string Log() const { return dir.ReadFile("data/chengjing.log"); }

    test::TempDir dir;
};

TEST_F(EventLog, WritesOneLinePerFailureWithTheSystemReason) {
    LogFailure("备份列表失败 /x/Backup.txt", std::make_error_code(std::errc::no_space_on_device));
    LogFailure("a name with\na line break");
    const std::string log = Log();
    EXPECT_NE(log.find(" 备份列表失败 /x/Backup.txt: " +
                       std::make_error_code(std::errc::no_space_on_device).message()),
              std::string::npos);
    EXPECT_NE(log.find("a name with a line break"), std::string::npos);
    std::size_t lines = 0;
    for (char c : log) {
        lines += c == '\n' ? 1 : 0;
    }
    EXPECT_EQ(lines, 2U);
    EXPECT_TRUE(log.starts_with("20")) << log;  // The year of the local time.
}

TEST_F(EventLog, DropsTheOldestLinesToStayBounded) {
    const std::string filler(200, 'x');
    for (int i = 0; i < 3000; ++i) {
        LogFailure("failure " + std::to_string(i) + " " + filler);
    }
    const std::string log = Log();
    EXPECT_LE(log.size(), MaxLogBytes);
    EXPECT_EQ(log.find("failure 0 "), std::string::npos);
    EXPECT_NE(log.find("failure 2999 "), std::string::npos);
    EXPECT_EQ(log.find("\n20"), log.find('\n'));  // Starts and goes on at whole lines.
}

TEST_F(EventLog, LogsNothingWithoutARunDirectory) {
    SetLogRunDirectory("");
    LogFailure("nowhere");
    EXPECT_FALSE(std::filesystem::exists(dir / "data/chengjing.log"));
}

#ifndef _WIN32
TEST_F(EventLog, NeverWritesThroughAPlantedLinkOrIntoAFifo) {
    const std::string victim = dir / "victim.txt";
    dir.WriteFile("victim.txt", "keep");
    ASSERT_EQ(::symlink(victim.c_str(), (dir / "data/chengjing.log").c_str()), 0);
    LogFailure("planted link");
    EXPECT_EQ(dir.ReadFile("victim.txt"), "keep");

    ASSERT_EQ(::unlink((dir / "data/chengjing.log").c_str()), 0);
    ASSERT_EQ(::mkfifo((dir / "data/chengjing.log").c_str(), 0600), 0);
    LogFailure("planted FIFO");  // Returns rather than blocking on the FIFO.
}
#endif

}  // namespace
}  // namespace cj::core
