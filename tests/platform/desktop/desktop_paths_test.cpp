#include "platform/desktop/qt/desktop_paths.h"

#include <gtest/gtest.h>

#include <QDir>

#include "temp_dir.h"

namespace cj::desktop::detail {
namespace {

TEST(DesktopPaths, ContainingFolder) {
    const struct {
        const char* path;
        const char* folder;
    } cases[] = {
        {"/srv/scans/a.jpg", "/srv/scans"},
        {"/srv/顺丰/单号.jpg", "/srv/顺丰"},
        {"/a.jpg", "/"},
        {"/", "/"},
        {"//", "/"},
        // A folder is shown in its parent.
        {"/srv/scans/", "/srv"},
        {"/srv//scans", "/srv"},
        {"//srv", "/"},
        // Not absolute: there is no folder to show.
        {"scans/a.jpg", ""},
        {"a.jpg", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ContainingFolder(c.path), c.folder) << c.path;
    }
}

TEST(DesktopPaths, TrimTrailingSeparatorsKeepsTheRoot) {
    EXPECT_EQ(TrimTrailingSeparators("/srv/scans/"), "/srv/scans");
    EXPECT_EQ(TrimTrailingSeparators("/srv/scans//"), "/srv/scans");
    EXPECT_EQ(TrimTrailingSeparators("/srv//scans"), "/srv//scans");
    EXPECT_EQ(TrimTrailingSeparators("/"), "/");
    EXPECT_EQ(TrimTrailingSeparators("///"), "/");
    EXPECT_EQ(TrimTrailingSeparators(""), "");
}

TEST(DesktopPaths, RefusesTextQtCannotNameExactly) {
    QString out = QStringLiteral("untouched");
    EXPECT_FALSE(TryFromUtf8("/srv/\xFF.jpg", out));          // Not UTF-8 at all.
    EXPECT_FALSE(TryFromUtf8("/srv/\xC0\xAF.jpg", out));      // An overlong "/".
    EXPECT_FALSE(TryFromUtf8("/srv/\xED\xA0\x80.jpg", out));  // A lone surrogate.
    EXPECT_FALSE(TryFromUtf8("/srv/\xE9\xA1", out));          // Cut inside a character.
    EXPECT_FALSE(TryFromUtf8(std::string_view("/srv/a\0b", 8), out));
    EXPECT_EQ(out.toStdString(), "untouched");

    ASSERT_TRUE(TryFromUtf8("/srv/顺丰/单号.jpg", out));
    EXPECT_EQ(out.toStdString(), "/srv/顺丰/单号.jpg");
    EXPECT_TRUE(TryFromUtf8("", out));

    EXPECT_FALSE(TryFromAbsolutePath("", out));
    EXPECT_FALSE(TryFromAbsolutePath("srv/a.jpg", out));
    EXPECT_FALSE(TryFromAbsolutePath("/srv/\xFF", out));
    EXPECT_TRUE(TryFromAbsolutePath("/srv/a.jpg", out));
}

TEST(DesktopPaths, PickerStartsInTheNearestExistingFolder) {
    const test::TempDir dir;
    dir.MakeDirs("顺丰 单号/inner");
    dir.WriteFile("顺丰 单号/a.jpg", "x");
    const std::string folder = dir / "顺丰 单号";
    const auto start = [](const std::string& requested) {
        return PickerStartFolder(requested).toStdString();
    };

    EXPECT_EQ(start(folder), folder);
    EXPECT_EQ(start(folder + "/"), folder);
    EXPECT_EQ(start(folder + "/gone/deeper"), folder);
    EXPECT_EQ(start(folder + "/a.jpg"), folder);
    EXPECT_EQ(start("/"), "/");

    const std::string home = QDir::homePath().toStdString();
    EXPECT_EQ(start(""), home);
    EXPECT_EQ(start("relative/folder"), home);
    EXPECT_EQ(start(dir / "\xFF"), home);
}

TEST(DesktopPaths, PickedFolderHasNoTrailingSeparator) {
    EXPECT_EQ(PickedFolderPath(QString::fromUtf8("/srv/顺丰/")), "/srv/顺丰");
    EXPECT_EQ(PickedFolderPath(QStringLiteral("/srv//scans")), "/srv/scans");
    EXPECT_EQ(PickedFolderPath(QStringLiteral("/")), "/");
    EXPECT_EQ(PickedFolderPath(QString()), "");
}

}  // namespace
}  // namespace cj::desktop::detail
