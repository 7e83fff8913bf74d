#include "platform/desktop/shell_open.h"

#include <gtest/gtest.h>

#include <QTest>
#include <thread>

#include "desktop_env.h"

namespace cj::desktop {
namespace {

using Paths = std::vector<std::string>;

TEST(OpenWithDefaultProgram, HandsOverTheFileAsAFileUrl) {
    test::OpenedUrls opened;
    // Characters that mean something in a URL stay part of the name.
    EXPECT_TRUE(TryOpenWithDefaultProgram("/srv/顺丰 单号/a#1%20?.jpg"));
    EXPECT_TRUE(TryOpenWithDefaultProgram("/srv/scans/"));
    EXPECT_EQ(opened.LocalPaths(), (Paths{"/srv/顺丰 单号/a#1%20?.jpg", "/srv/scans/"}));
}

TEST(OpenWithDefaultProgram, RefusesPathsItCannotNameExactly) {
    test::OpenedUrls opened;
    EXPECT_FALSE(TryOpenWithDefaultProgram(""));
    EXPECT_FALSE(TryOpenWithDefaultProgram("scans/a.jpg"));
    EXPECT_FALSE(TryOpenWithDefaultProgram("/srv/\xB5\xA5.jpg"));  // GBK, not UTF-8.
    EXPECT_FALSE(TryOpenWithDefaultProgram(std::string("/srv/a\0.jpg", 11)));

    bool fromWorker = true;
    std::thread([&] { fromWorker = TryOpenWithDefaultProgram("/srv/a.jpg"); }).join();
    EXPECT_FALSE(fromWorker);
    EXPECT_EQ(opened.LocalPaths(), Paths{});
}

// The test's session bus has no file manager on it (or there is no bus at
// all), so the folder is opened instead.
TEST(ShowInFolder, OpensTheFolderWhereNoFileManagerAnswers) {
    test::OpenedUrls opened;
    EXPECT_TRUE(TryShowInFolder("/srv/顺丰/单号.jpg"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !opened.LocalPaths().empty(); }, 10000));
    EXPECT_EQ(opened.LocalPaths(), Paths{"/srv/顺丰"});
}

TEST(ShowInFolder, RefusesPathsWithoutAFolder) {
    test::OpenedUrls opened;
    EXPECT_FALSE(TryShowInFolder(""));
    EXPECT_FALSE(TryShowInFolder("单号.jpg"));
    bool fromWorker = true;
    std::thread([&] { fromWorker = TryShowInFolder("/srv/a.jpg"); }).join();
    EXPECT_FALSE(fromWorker);
    EXPECT_EQ(opened.LocalPaths(), Paths{});
}

}  // namespace
}  // namespace cj::desktop
