#include "core/settings_save.h"

#include <gtest/gtest.h>

#include "core/data_paths.h"
#include "temp_dir.h"

namespace cj::core {
namespace {

TEST(SettingsSave, WritesTheItemsInOrder) {
    test::TempDir dir;
    dir.MakeDirs("data");
    const ConfigFile config(ConfigPath(dir.Path()));
    ShutdownSettings s;
    s.windowStateOption = 2;
    s.windowWidth = 1000;
    s.windowHeight = 720;
    s.doubleClickAction = 2;
    s.threadCountText = "4";
    s.copyTarget = "/home/shop/出库";
    EXPECT_TRUE(SaveShutdownSettings(config, s));
    EXPECT_EQ(dir.ReadFile("data/chengjing.ini"),
              "[ckzt]\r\nzt=2\r\nkd=1000\r\ngd=720\r\n\r\n[sjms]\r\nma=2\r\n\r\n"
              "[xcs]\r\nma=4\r\n\r\n[mbml]\r\nma=/home/shop/出库\r\n");
}

TEST(SettingsSave, KeepsWhatItHasNoNewValueFor) {
    test::TempDir dir;
    dir.MakeDirs("data");
    const ConfigFile config(ConfigPath(dir.Path()));
    config.WriteItem("ckzt", "kd", "1300");
    config.WriteItem("xcs", "ma", "6");
    config.WriteItem("mbml", "ma", "/out");
    ShutdownSettings s;
    s.windowStateOption = 1;
    s.windowWidth = 999;
    EXPECT_TRUE(SaveShutdownSettings(config, s));
    EXPECT_EQ(config.ReadItem("ckzt", "zt"), "1");
    EXPECT_EQ(config.ReadItem("ckzt", "kd"), "1300") << "sizes are saved for option 2 only";
    EXPECT_EQ(config.ReadItem("xcs", "ma"), "6") << "no selector, no new thread count";
    EXPECT_EQ(config.ReadItem("mbml", "ma"), "/out");
}

TEST(SettingsSave, FailedWritesAreReportedNotFatal) {
    test::TempDir dir;  // No data folder.
    ShutdownSettings s;
    s.copyTarget = "/out";
    EXPECT_FALSE(SaveShutdownSettings(ConfigFile(ConfigPath(dir.Path())), s));
}

}  // namespace
}  // namespace cj::core
