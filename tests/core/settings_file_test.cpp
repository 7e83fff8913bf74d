#include "core/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "core/text_rules.h"
#include "temp_dir.h"

namespace cj::core {
namespace {

const std::error_code Ok;
const std::error_code Refused = std::make_error_code(std::errc::invalid_argument);

class SettingsFileTest : public ::testing::Test {
  protected:
    SettingsFileTest() : m_settings(SettingsFile::InRunDirectory(m_dir.Path())) {
        m_dir.MakeDirs("data");
    }

    std::string Content() const { return m_dir.ReadFile("data/chengjing.ini"); }
    void Write(std::string_view text) const { m_dir.WriteFile("data/chengjing.ini", text); }

    test::TempDir m_dir;
    SettingsFile m_settings;
};

using Folders = std::vector<std::string>;

TEST_F(SettingsFileTest, LivesInTheDataFolder) {
    EXPECT_EQ(m_settings.Path(), m_dir / "data/chengjing.ini");
}

TEST_F(SettingsFileTest, FreshInstallationReadsTheDefaults) {
    const Settings s = m_settings.ReadAll();
    EXPECT_TRUE(s.directoryLists.empty());
    EXPECT_EQ(s.window.option, WindowSizeOption::Default);
    EXPECT_EQ(s.doubleClick, DoubleClickAction::AddToCopyList);
    EXPECT_EQ(s.threadCount.text, "");
    EXPECT_EQ(s.threadCount.count, DefaultThreadCount());
    EXPECT_EQ(s.copyTarget, "");
    EXPECT_FALSE(s.ignoreCaseAndWidth) << "the exact match is the default";
    EXPECT_EQ(m_settings.ReadShardCount(1), 0u);
    EXPECT_FALSE(std::filesystem::exists(m_settings.Path())) << "reading creates nothing";
}

// A file as a person might leave it after editing it by hand: odd case and
// spacing, quotes, garbage and missing numbers, a nameless item and a
// duplicate list.
TEST_F(SettingsFileTest, ReadsAHandEditedFile) {
    Write(
        "[CKZT]\r\n zt = 2 \r\nkd = abc\r\ngd = \"720\"\r\n"
        "[sjms]\r\nma = x1\r\n"
        "[xcs]\r\nMA = '6'\r\n"
        "[mbml]\r\nma = \"/home/shop/出库\"\r\n"
        "[syml]\r\n门店 = \"/srv/a*/*/srv/b*/*\"\r\n仓库=/srv/w*/*\r\n=/srv/orphan*/*\r\n"
        "门店=/srv/duplicate*/*\r\nempty\r\n"
        "[syml_a]\r\n门店 = 'jpg|png'\r\n"
        "[syml_p]\r\n仓库 = 1\r\n门店 = yes\r\n");
    const Settings s = m_settings.ReadAll();
    EXPECT_EQ(s.window.option, WindowSizeOption::Remembered);
    EXPECT_EQ(s.window.width, 0) << "garbage reads as 0";
    EXPECT_EQ(s.window.height, 720);
    EXPECT_EQ(s.doubleClick, DoubleClickAction::AddToCopyList);
    EXPECT_EQ(s.threadCount.text, "6");
    EXPECT_EQ(s.threadCount.count, 6);
    EXPECT_EQ(s.copyTarget, "/home/shop/出库");

    ASSERT_EQ(s.directoryLists.size(), 3u) << "no nameless list, no second 门店";
    EXPECT_EQ(s.directoryLists[0].title, "门店");
    EXPECT_EQ(s.directoryLists[0].folders, (Folders{"/srv/a", "/srv/b"}));
    EXPECT_EQ(s.directoryLists[0].filter, "jpg|png");
    EXPECT_FALSE(s.directoryLists[0].created);
    EXPECT_EQ(s.directoryLists[1].title, "仓库");
    EXPECT_EQ(s.directoryLists[1].folders, Folders{"/srv/w"});
    EXPECT_EQ(s.directoryLists[1].filter, "");
    EXPECT_TRUE(s.directoryLists[1].created);
    EXPECT_EQ(s.directoryLists[2].title, "empty");
    EXPECT_TRUE(s.directoryLists[2].folders.empty());
}

TEST_F(SettingsFileTest, WindowSizesOutsideTheIntRangeAreClamped) {
    Write("[ckzt]\r\nzt=2\r\nkd=99999999999\r\ngd=-5\r\n");
    const WindowState state = m_settings.ReadWindowState();
    EXPECT_EQ(state.width, std::numeric_limits<int>::max());
    EXPECT_EQ(state.height, 0);
}

// The window checks an option only for 0..2; a number it does not know must
// survive a run in which the user never touched the option.
TEST_F(SettingsFileTest, UnknownOptionNumbersAreKeptUntilTheUserChooses) {
    Write("[ckzt]\r\nzt=5\r\nkd=800\r\n[sjms]\r\nma=7\r\n");
    const Settings s = m_settings.ReadAll();
    EXPECT_EQ(s.window.option, std::nullopt);
    EXPECT_EQ(s.doubleClick, std::nullopt);

    ShutdownSettings save;
    save.window = s.window;
    save.window.width = 1000;
    save.doubleClick = s.doubleClick;
    ASSERT_EQ(m_settings.TrySaveShutdownSettings(save), Ok);
    EXPECT_EQ(Content(), "[ckzt]\r\nzt=5\r\nkd=800\r\n[sjms]\r\nma=7\r\n");

    save.doubleClick = DoubleClickAction::CopyDirectly;
    save.window.option = WindowSizeOption::Maximised;
    ASSERT_EQ(m_settings.TrySaveShutdownSettings(save), Ok);
    EXPECT_EQ(Content(), "[ckzt]\r\nzt=1\r\nkd=800\r\n[sjms]\r\nma=2\r\n");
}

TEST(SettingsOptions, NumbersZeroToTwoAreTheOptions) {
    EXPECT_EQ(WindowSizeOptionFromNumber(0), WindowSizeOption::Default);
    EXPECT_EQ(WindowSizeOptionFromNumber(2), WindowSizeOption::Remembered);
    EXPECT_EQ(WindowSizeOptionFromNumber(3), std::nullopt);
    EXPECT_EQ(WindowSizeOptionFromNumber(-1), std::nullopt);
    EXPECT_EQ(DoubleClickActionFromNumber(1), DoubleClickAction::OpenFile);
    EXPECT_EQ(DoubleClickActionFromNumber(3), std::nullopt);
    EXPECT_EQ(DoubleClickActionFromNumber(std::numeric_limits<std::int64_t>::min()), std::nullopt);
}

TEST_F(SettingsFileTest, ShutdownSaveWritesTheItemsInOrder) {
    ShutdownSettings s;
    s.window = {WindowSizeOption::Remembered, 1000, 720};
    s.doubleClick = DoubleClickAction::CopyDirectly;
    s.copyTarget = "/home/shop/出库";
    EXPECT_EQ(m_settings.TrySaveShutdownSettings(s), Ok);
    EXPECT_EQ(Content(),
              "[ckzt]\r\nzt=2\r\nkd=1000\r\ngd=720\r\n\r\n[sjms]\r\nma=2\r\n\r\n"
              "[mbml]\r\nma=/home/shop/出库\r\n");
    const Settings read = m_settings.ReadAll();
    EXPECT_EQ(read.window.width, 1000);
    EXPECT_EQ(read.doubleClick, DoubleClickAction::CopyDirectly);
    EXPECT_EQ(read.copyTarget, "/home/shop/出库");
}

TEST_F(SettingsFileTest, ShutdownSaveKeepsWhatItHasNoNewValueFor) {
    ASSERT_EQ(m_settings.TrySaveWindowState({WindowSizeOption::Remembered, 1300, 800}), Ok);
    ASSERT_EQ(m_settings.TrySaveThreadCount("6"), Ok);
    ASSERT_EQ(m_settings.TrySaveCopyTarget("/out"), Ok);
    ShutdownSettings s;
    s.window = {WindowSizeOption::Maximised, 999, 999};
    EXPECT_EQ(m_settings.TrySaveShutdownSettings(s), Ok);
    EXPECT_EQ(Content(),
              "[ckzt]\r\nzt=1\r\nkd=1300\r\ngd=800\r\n\r\n[xcs]\r\nma=6\r\n\r\n"
              "[mbml]\r\nma=/out\r\n\r\n[sjms]\r\nma=0\r\n")
        << "sizes are saved for option 2 only, the thread count never";
}

TEST_F(SettingsFileTest, ShutdownSaveKeepsTheItemsItCouldWriteAndReturnsTheFailure) {
    ShutdownSettings s;
    s.copyTarget = "/out\r\n[evil]";
    EXPECT_EQ(m_settings.TrySaveShutdownSettings(s), Refused);
    EXPECT_EQ(Content(), "[ckzt]\r\nzt=0\r\n\r\n[sjms]\r\nma=0\r\n");
}

TEST_F(SettingsFileTest, WritesWithoutTheDataFolderFailWithTheReason) {
    std::filesystem::remove_all(m_dir / "data");
    ShutdownSettings s;
    s.copyTarget = "/out";
    EXPECT_EQ(m_settings.TrySaveShutdownSettings(s), std::errc::no_such_file_or_directory);
    EXPECT_EQ(m_settings.TrySaveDirectoryList({"门店", {"/srv/a"}, "", true}),
              std::errc::no_such_file_or_directory);
    const std::uint64_t counts[] = {3};
    EXPECT_EQ(m_settings.TryWriteIndexCounts(counts, 1), std::errc::no_such_file_or_directory);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "data"));
}

TEST_F(SettingsFileTest, DirectoryListsAreSavedReadAndDeletedOneByOne) {
    ASSERT_EQ(m_settings.TrySaveDirectoryList({"门店", {"/srv/a", "/srv/b"}, "jpg|png", true}), Ok);
    EXPECT_EQ(Content(),
              "[syml]\r\n门店=/srv/a*/*/srv/b*/*\r\n\r\n[syml_p]\r\n门店=1\r\n\r\n"
              "[syml_a]\r\n门店=jpg|png\r\n");
    ASSERT_EQ(m_settings.TrySaveDirectoryList({"Warehouse", {"/srv/w"}, "", false}), Ok);

    // Saving a list again replaces it in its place; an empty filter and a
    // cleared created mark remove their keys.
    ASSERT_EQ(m_settings.TrySaveDirectoryList({"门店", {"/srv/c"}, "", false}), Ok);
    const std::vector<DirectoryList> lists = m_settings.ReadDirectoryLists();
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0].title, "门店");
    EXPECT_EQ(lists[0].folders, Folders{"/srv/c"});
    EXPECT_EQ(lists[0].filter, "");
    EXPECT_FALSE(lists[0].created);
    EXPECT_EQ(lists[1].title, "Warehouse");

    const std::optional<DirectoryList> one = m_settings.ReadDirectoryList("WAREHOUSE");
    ASSERT_TRUE(one);
    EXPECT_EQ(one->title, "Warehouse");
    EXPECT_EQ(one->folders, Folders{"/srv/w"});
    EXPECT_FALSE(m_settings.ReadDirectoryList("nosuch"));

    ASSERT_EQ(m_settings.TryDeleteDirectoryList("门店"), Ok);
    EXPECT_EQ(Content(), "[syml]\r\nWarehouse=/srv/w*/*\r\n\r\n[syml_p]\r\n\r\n[syml_a]\r\n");
    const std::string before = Content();
    EXPECT_EQ(m_settings.TryDeleteDirectoryList("nosuch"), Ok);
    EXPECT_EQ(Content(), before);
}

TEST_F(SettingsFileTest, ListsTheFileCannotHoldAreRefusedWholly) {
    ASSERT_EQ(m_settings.TrySaveDirectoryList({"门店", {"/srv/a"}, "jpg", true}), Ok);
    const std::string before = Content();
    const std::vector<DirectoryList> refused = {
        {"a=b", {"/srv/a"}, "", true},
        {"[a", {"/srv/a"}, "", true},
        {"a]", {"/srv/a"}, "", true},
        {";a", {"/srv/a"}, "", true},
        {"   ", {"/srv/a"}, "", true},
        {"", {"/srv/a"}, "", true},
        {" a", {"/srv/a"}, "", true},
        {"a\r\nb", {"/srv/a"}, "", true},
        {"门店", {"/srv/a*/*/srv/b"}, "", true},  // Would read back as two folders.
        {"门店", {"/srv/x*/"}, "", true},         // Runs into the separator.
        {"门店", {""}, "", true},
        {"门店", {"/srv/a\n"}, "", true},
        {"门店", {"/srv/a"}, "jpg\r\n[evil]", true},
    };
    for (const DirectoryList& list : refused) {
        EXPECT_EQ(m_settings.TrySaveDirectoryList(list), Refused) << list.title;
        EXPECT_FALSE(IsStorableListTitle(list.title) && list.title != "门店") << list.title;
    }
    EXPECT_EQ(Content(), before);
    EXPECT_TRUE(IsStorableListTitle("门店 A"));
    EXPECT_TRUE(IsStorableListTitle("a;b"));
}

TEST_F(SettingsFileTest, OneItemOfAListChangesAndTheOthersStay) {
    ASSERT_EQ(m_settings.TrySaveDirectoryList({"门店", {"/srv/a"}, "jpg", false}), Ok);

    // Creating a list that exists only in the folders' section empties its
    // folders and marks it; the filter stored under the title stays.
    ASSERT_EQ(m_settings.TryCreateDirectoryList("门店"), Ok);
    std::optional<DirectoryList> list = m_settings.ReadDirectoryList("门店");
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->folders.empty());
    EXPECT_TRUE(list->created);
    EXPECT_EQ(list->filter, "jpg");

    ASSERT_EQ(m_settings.TrySaveListFolders("门店", Folders{"/srv/b", "/srv/c"}), Ok);
    ASSERT_EQ(m_settings.TrySaveListFilter("门店", "png|tif"), Ok);
    list = m_settings.ReadDirectoryList("门店");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->folders, (Folders{"/srv/b", "/srv/c"}));
    EXPECT_EQ(list->filter, "png|tif");
    EXPECT_TRUE(list->created) << "the mark survives the folders' write";

    // Folders saved under a title nobody created make a list of their own.
    ASSERT_EQ(m_settings.TrySaveListFolders("仓库", Folders{"/srv/w"}), Ok);
    ASSERT_EQ(m_settings.ReadDirectoryLists().size(), 2u);
    EXPECT_FALSE(m_settings.ReadDirectoryList("仓库")->created);

    ASSERT_EQ(m_settings.TrySaveListFilter("门店", ""), Ok);
    ASSERT_EQ(m_settings.TrySaveListFolders("门店", Folders{}), Ok);
    EXPECT_EQ(Content(),
              "[syml]\r\n门店=\r\n仓库=/srv/w*/*\r\n\r\n[syml_a]\r\n\r\n"
              "[syml_p]\r\n门店=1\r\n");
}

TEST_F(SettingsFileTest, OneItemWritesRefuseWhatTheFileCannotHold) {
    ASSERT_EQ(m_settings.TrySaveDirectoryList({"门店", {"/srv/a"}, "jpg", true}), Ok);
    const std::string before = Content();
    EXPECT_EQ(m_settings.TryCreateDirectoryList("a]"), Refused);
    EXPECT_EQ(m_settings.TryCreateDirectoryList(" "), Refused);
    EXPECT_EQ(m_settings.TrySaveListFolders("a=b", Folders{"/srv/a"}), Refused);
    EXPECT_EQ(m_settings.TrySaveListFolders("门店", Folders{"/srv/a", "/srv/x*/"}), Refused);
    EXPECT_EQ(m_settings.TrySaveListFolders("门店", Folders{" /srv/a"}), Refused);
    EXPECT_EQ(m_settings.TrySaveListFilter("", "jpg"), Refused);
    EXPECT_EQ(Content(), before);

    EXPECT_TRUE(AreStorableFolders(Folders{"/srv/a*", "/*b", "/srv/门店 2"}));
    EXPECT_TRUE(AreStorableFolders(Folders{}));
    EXPECT_FALSE(AreStorableFolders(Folders{"/srv/a*/*/srv/b"}));
    EXPECT_FALSE(AreStorableFolders(Folders{"/srv/a", ""}));
}

TEST_F(SettingsFileTest, ThreadCountKeepsItsTextAndGivesAUsableCount) {
    ASSERT_EQ(m_settings.TrySaveThreadCount("8"), Ok);
    EXPECT_EQ(m_settings.ReadThreadCount().count, 8);
    ASSERT_EQ(m_settings.TrySaveThreadCount("13"), Ok);
    EXPECT_EQ(m_settings.ReadThreadCount().text, "13");
    EXPECT_EQ(m_settings.ReadThreadCount().count, DefaultThreadCount());
    EXPECT_EQ(Content(), "[xcs]\r\nma=13\r\n");
}

TEST_F(SettingsFileTest, IgnoringCaseAndWidthIsOnOnlyForOne) {
    ASSERT_EQ(m_settings.TrySaveIgnoreCaseAndWidth(true), Ok);
    EXPECT_TRUE(m_settings.ReadAll().ignoreCaseAndWidth);
    EXPECT_EQ(Content(), "[ppms]\r\nma=1\r\n");
    ASSERT_EQ(m_settings.TrySaveIgnoreCaseAndWidth(false), Ok);
    EXPECT_FALSE(m_settings.ReadIgnoreCaseAndWidth());
    Write("[ppms]\r\nma=yes\r\n");
    EXPECT_FALSE(m_settings.ReadIgnoreCaseAndWidth());
}

TEST_F(SettingsFileTest, SameNameFilesAreSkippedUnlessTheFileSaysKeepBoth) {
    EXPECT_EQ(m_settings.ReadAll().sameName, SameNameRule::Skip) << "missing";
    ASSERT_EQ(m_settings.TrySaveSameNameRule(SameNameRule::KeepBoth), Ok);
    EXPECT_EQ(m_settings.ReadAll().sameName, SameNameRule::KeepBoth);
    EXPECT_EQ(Content(), "[tmwj]\r\nma=1\r\n");
    Write("[tmwj]\r\nma=2\r\n");
    EXPECT_EQ(m_settings.ReadSameNameRule(), SameNameRule::Skip);
}

TEST_F(SettingsFileTest, IndexCountsReplaceEveryShardCountInOneWrite) {
    ASSERT_EQ(m_settings.TrySaveCopyTarget("/out"), Ok);
    const std::uint64_t four[] = {3, 5'000'000'000, 2, 2};
    ASSERT_EQ(m_settings.TryWriteIndexCounts(four, 4), Ok);
    EXPECT_EQ(m_settings.ReadShardCount(2), 5'000'000'000u);
    EXPECT_EQ(m_settings.ReadShardCounts(5),
              (std::vector<std::uint64_t>{3, 5'000'000'000, 2, 2, 0}));
    EXPECT_EQ(m_settings.ReadThreadCount().text, "4");

    // Fewer shards: the counts past them go, hand-made keys too, and the
    // thread count stays unless given.
    Write(
        "[mbml]\r\nma=/out\r\n[syjs]\r\n1=3\r\n2=5\r\n3=2\r\n4=2\r\nx=1\r\n"
        "[xcs]\r\nma=4\r\n");
    const std::uint64_t two[] = {7, 6};
    ASSERT_EQ(m_settings.TryWriteIndexCounts(two, std::nullopt), Ok);
    EXPECT_EQ(Content(), "[mbml]\r\nma=/out\r\n[syjs]\r\n1=7\r\n2=6\r\n[xcs]\r\nma=4\r\n");
}

}  // namespace
}  // namespace cj::core
