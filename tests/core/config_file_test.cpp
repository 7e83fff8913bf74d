#include "core/config_file.h"

#include <gtest/gtest.h>

#include "core/data_paths.h"
#include "core/text_rules.h"
#include "temp_dir.h"

namespace cj::core {
namespace {

const std::error_code Ok;

TEST(DataPaths, SitBesideTheExecutable) {
    EXPECT_EQ(ConfigPath("/opt/cj"), "/opt/cj/data/chengjing.ini");
    EXPECT_EQ(ShardPath("/opt/cj", 1), "/opt/cj/data/1.txt");
    EXPECT_EQ(ShardPath("/opt/cj", 12), "/opt/cj/data/12.txt");
    EXPECT_EQ(BackupPath("/opt/cj"), "/opt/cj/data/Backup.txt");
    EXPECT_EQ(ConfigPath("/"), "/data/chengjing.ini");
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

}  // namespace
}  // namespace cj::core
