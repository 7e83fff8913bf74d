#include "platform/profile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "temp_dir.h"

namespace cj::platform {
namespace {

const std::error_code Ok;
const std::error_code Refused = std::make_error_code(std::errc::invalid_argument);

// A file as a person might leave it after editing it by hand in Notepad:
// a byte-order mark, odd spacing and case, comments, quotes, a duplicate
// section and key, LF and CR LF line ends mixed, no line end at the very end.
const std::string HandEdited =
    "\xEF\xBB\xBF; settings of the search tool\r\n"
    "\r\n"
    "  [ SYML ]  \r\n"
    "  Shop A  =  /srv/a*/*/srv/b*/*  \r\n"
    "; old list, kept for reference\n"
    "warehouse=\"/srv/w*/*\"\n"
    "quoted = 'x' \r\n"
    "half = \"x\r\n"
    "novalue\r\n"
    "shop a = second copy loses\r\n"
    "\r\n"
    "[xcs]\r\n"
    "MA=4\r\n"
    "[syml]\r\n"
    "late=never read\r\n"
    "[ckzt]\r\n"
    "zt=2";

class Profile : public ::testing::Test {
  protected:
    std::string Path() const { return m_dir / "chengjing.ini"; }
    std::string Content() const { return m_dir.ReadFile("chengjing.ini"); }
    void Write(const std::string& text) const { m_dir.WriteFile("chengjing.ini", text); }

    test::TempDir m_dir;
};

TEST_F(Profile, ReadsAHandEditedFileAsWindowsDoes) {
    Write(HandEdited);
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"syml", "shop a", "/srv/a*/*/srv/b*/*"},  // Case, blanks around key and value.
        {"syml", "SHOP A", "/srv/a*/*/srv/b*/*"},
        {"syml", "warehouse", "/srv/w*/*"},  // Matching quotes go.
        {"syml", "quoted", "x"},
        {"syml", "half", "\"x"},  // An unmatched quote stays.
        {"syml", "novalue", ""},
        {"syml", "late", ""},  // The first section of a name wins.
        {"syml", "; old list, kept for reference", ""},
        {"xcs", "ma", "4"},
        {"ckzt", "zt", "2"},  // Last line without a line end.
        {"ckzt", "kd", ""},
        {"nosuch", "zt", ""},
        {"syml", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadProfileString(Path(), c.section, c.key), c.value)
            << c.section << "/" << c.key;
    }
    EXPECT_EQ(ReadProfileString(m_dir / "missing.ini", "xcs", "ma"), "");
    EXPECT_TRUE(ReadProfileSection(m_dir / "missing.ini", "syml").empty());
}

TEST_F(Profile, ReadSectionListsItemsInFileOrder) {
    Write(HandEdited);
    const auto items = ReadProfileSection(Path(), "Syml");
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0].key, "Shop A");
    EXPECT_EQ(items[0].value, "/srv/a*/*/srv/b*/*");
    EXPECT_EQ(items[1].key, "warehouse");
    EXPECT_EQ(items[1].value, "\"/srv/w*/*\"");
    EXPECT_EQ(items[4].key, "novalue");
    EXPECT_EQ(items[4].value, "");
    EXPECT_EQ(items[5].value, "second copy loses");
    EXPECT_TRUE(ReadProfileSection(Path(), "nosuch").empty());

    // An entry splits at its first "=": the rest is the value.
    Write("[syml]\r\nlist=a=b*/*\r\n");
    const auto split = ReadProfileSection(Path(), "syml");
    ASSERT_EQ(split.size(), 1u);
    EXPECT_EQ(split[0].key, "list");
    EXPECT_EQ(split[0].value, "a=b*/*");
    EXPECT_EQ(ReadProfileString(Path(), "syml", "list"), "a=b*/*");
}

TEST_F(Profile, RewriteChangesOnlyTheItemWritten) {
    Write(HandEdited);
    ASSERT_EQ(TryWriteProfileString(Path(), "XCS", "Ma", "8"), Ok);
    std::string expected = HandEdited;
    expected.replace(expected.find("MA=4"), 4, "MA=8");
    EXPECT_EQ(Content(), expected);

    // A new key lands after the last item of its section, before the blank
    // line and the next header; the last line gains a line end.
    ASSERT_EQ(TryWriteProfileString(Path(), "syml", "new", "/srv/n*/*"), Ok);
    ASSERT_EQ(TryWriteProfileString(Path(), "ckzt", "kd", "1000"), Ok);
    expected.replace(expected.find("shop a = second copy loses\r\n") + 28, 0, "new=/srv/n*/*\r\n");
    expected += "\r\nkd=1000\r\n";
    EXPECT_EQ(Content(), expected);

    // A new section goes at the end, set off by a blank line.
    ASSERT_EQ(TryWriteProfileString(Path(), "mbml", "ma", "/home/out"), Ok);
    expected += "\r\n[mbml]\r\nma=/home/out\r\n";
    EXPECT_EQ(Content(), expected);
    EXPECT_EQ(ReadProfileString(Path(), "mbml", "ma"), "/home/out");
}

TEST_F(Profile, CreatesTheFileWithCrLf) {
    ASSERT_EQ(TryWriteProfileString(Path(), "xcs", "ma", "2"), Ok);
    ASSERT_EQ(TryWriteProfileString(Path(), "syjs", "1", "3"), Ok);
    ASSERT_EQ(TryWriteProfileString(Path(), "syjs", "2", "2"), Ok);
    EXPECT_EQ(Content(), "[xcs]\r\nma=2\r\n\r\n[syjs]\r\n1=3\r\n2=2\r\n");
}

TEST_F(Profile, DeletesKeysAndSections) {
    Write(HandEdited);
    ASSERT_EQ(TryDeleteProfileKey(Path(), "SYML", "shop a"), Ok);
    // Both copies go, so the duplicate cannot surface in place of the first.
    EXPECT_EQ(ReadProfileString(Path(), "syml", "Shop A"), "");
    EXPECT_EQ(ReadProfileString(Path(), "syml", "warehouse"), "/srv/w*/*");
    EXPECT_NE(Content().find("; old list, kept for reference\n"), std::string::npos);

    ASSERT_EQ(TryDeleteProfileSection(Path(), "syml"), Ok);
    EXPECT_TRUE(ReadProfileSection(Path(), "syml").empty());
    EXPECT_EQ(ReadProfileString(Path(), "syml", "late"), "") << "every section of the name goes";
    EXPECT_EQ(ReadProfileString(Path(), "xcs", "ma"), "4");
    EXPECT_EQ(ReadProfileString(Path(), "ckzt", "zt"), "2");
    EXPECT_EQ(Content().rfind("\xEF\xBB\xBF; settings of the search tool\r\n", 0), 0u);

    // Deleting what is not there succeeds and creates nothing.
    EXPECT_EQ(TryDeleteProfileSection(m_dir / "none.ini", "syjs"), Ok);
    EXPECT_EQ(TryDeleteProfileKey(m_dir / "none.ini", "syjs", "1"), Ok);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "none.ini"));
}

TEST_F(Profile, RefusesTextTheFormatCannotHold) {
    Write("[syml]\r\na=1\r\n");
    const std::string before = Content();
    EXPECT_EQ(TryWriteProfileString(Path(), "syml", "a", "1\r\n[evil]\r\nx=1"), Refused);
    EXPECT_EQ(TryWriteProfileString(Path(), "syml", "a", "line\nbreak"), Refused);
    EXPECT_EQ(TryWriteProfileString(Path(), "syml", "a", std::string("nul\0byte", 8)), Refused);
    EXPECT_EQ(TryWriteProfileString(Path(), "syml", "two\nlines", "v"), Refused);
    EXPECT_EQ(TryWriteProfileString(Path(), "syml", "a=b", "v"), Refused);
    EXPECT_EQ(TryWriteProfileString(Path(), "syml", "[title]", "v"), Refused);
    EXPECT_EQ(TryWriteProfileString(Path(), "syml", ";title", "v"), Refused);
    EXPECT_EQ(TryWriteProfileString(Path(), "syml", "  ", "v"), Refused);
    EXPECT_EQ(TryWriteProfileString(Path(), "syml", "", "v"), Refused);
    EXPECT_EQ(TryWriteProfileString(Path(), "sy]ml", "a", "v"), Refused);
    EXPECT_EQ(TryWriteProfileString(Path(), "", "a", "v"), Refused);
    EXPECT_EQ(Content(), before);
}

TEST_F(Profile, WritesWithoutTheDataFolderFailWithTheReason) {
    const std::string path = m_dir / "data/chengjing.ini";
    EXPECT_EQ(TryWriteProfileString(path, "xcs", "ma", "2"), std::errc::no_such_file_or_directory);
    const ProfileEdit edit{"syjs", "1", "3"};
    EXPECT_EQ(TryEditProfile(path, std::span(&edit, 1)), std::errc::no_such_file_or_directory);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "data"));
    EXPECT_EQ(ReadProfileString(path, "xcs", "ma"), "");
}

TEST_F(Profile, FileThatCannotBeReadIsNeverReplaced) {
    m_dir.WriteFile("chengjing.ini/keep", "x");  // A folder where the file should be.
    EXPECT_EQ(TryWriteProfileString(Path(), "xcs", "ma", "2"), std::errc::is_a_directory);
    EXPECT_EQ(TryDeleteProfileSection(Path(), "syjs"), std::errc::is_a_directory);
    EXPECT_EQ(m_dir.ReadFile("chengjing.ini/keep"), "x");
}

TEST_F(Profile, BatchAppliesEveryEditInOneRewrite) {
    Write("[syml]\r\nold=/o*/*\r\n\r\n[syml_p]\r\nold=1\r\n");
    const std::vector<ProfileEdit> edits = {
        {"syml", "new", "/n*/*"},
        {"syml_a", "new", "jpg"},
        {"syml", "old", std::nullopt},
        {"syml_p", "old", std::nullopt},
    };
    ASSERT_EQ(TryEditProfile(Path(), edits), Ok);
    EXPECT_EQ(Content(), "[syml]\r\nnew=/n*/*\r\n\r\n[syml_p]\r\n\r\n[syml_a]\r\nnew=jpg\r\n");
}

TEST_F(Profile, BatchWithOneRefusedEditChangesNothing) {
    Write("[syml]\r\na=1\r\n");
    const std::vector<ProfileEdit> edits = {
        {"syml", "a", "2"},
        {"syml_a", "a", "jpg\r\n[evil]"},
    };
    EXPECT_EQ(TryEditProfile(Path(), edits), Refused);
    EXPECT_EQ(Content(), "[syml]\r\na=1\r\n");
}

// Long folder lists used to be read through a fixed buffer and cut at 10,239
// bytes; written back, the cut list lost folders for good.
TEST_F(Profile, LongValuesReadBackWhole) {
    std::string folders;
    for (int i = 0; folders.size() < 100000; ++i) {
        folders += "/srv/scans/shop-" + std::to_string(i) + "*/*";
    }
    ASSERT_EQ(TryWriteProfileString(Path(), "syml", "all shops", folders), Ok);
    EXPECT_EQ(ReadProfileString(Path(), "syml", "all shops"), folders);
    const auto items = ReadProfileSection(Path(), "syml");
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].value, folders);
}

// The refresh thread writes shard counts while search workers and the window
// read settings: no write may be lost and no reader may see a torn file.
TEST_F(Profile, ConcurrentReadersAndWritersLoseNothing) {
    ASSERT_EQ(TryWriteProfileString(Path(), "xcs", "ma", "4"), Ok);
    constexpr int Writers = 4;
    constexpr int KeysPerWriter = 25;
    std::atomic<bool> torn{false};
    std::vector<std::thread> threads;
    for (int w = 0; w < Writers; ++w) {
        threads.emplace_back([&, w] {
            for (int k = 0; k < KeysPerWriter; ++k) {
                const std::string key = std::to_string(w) + "-" + std::to_string(k);
                EXPECT_EQ(TryWriteProfileString(Path(), "syjs", key, std::to_string(k)), Ok);
            }
        });
    }
    for (int r = 0; r < 2; ++r) {
        threads.emplace_back([&] {
            for (int i = 0; i < 100; ++i) {
                if (ReadProfileString(Path(), "xcs", "ma") != "4") {
                    torn = true;
                }
                ReadProfileSection(Path(), "syjs");
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_FALSE(torn);
    EXPECT_EQ(ReadProfileSection(Path(), "syjs").size(),
              static_cast<std::size_t>(Writers * KeysPerWriter));
    for (int w = 0; w < Writers; ++w) {
        EXPECT_EQ(ReadProfileString(Path(), "syjs", std::to_string(w) + "-24"), "24");
    }
}

}  // namespace
}  // namespace cj::platform
