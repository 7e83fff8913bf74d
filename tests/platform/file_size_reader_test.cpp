#include "platform/file_size_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "temp_dir.h"

namespace cj::platform {
namespace {

// The reader keeps a folder handle between calls; whatever the sequence of
// paths, it must answer exactly as the plain stat of the whole path does.
TEST(FileSizeReader, AnswersAsRegularFileSizeWhateverTheOrderOfPaths) {
    test::TempDir dir;
    dir.WriteFile("a/one.jpg", std::string(10, 'x'));
    dir.WriteFile("a/two.jpg", std::string(20, 'x'));
    dir.WriteFile("b/one.jpg", std::string(30, 'x'));
    dir.WriteFile("b/empty.jpg", "");
    dir.MakeDirs("b/folder.jpg");
#ifndef _WIN32
    // Windows makes links only for the privileged or in developer mode.
    std::filesystem::create_symlink(dir / "a/two.jpg", dir / "b/link.jpg");
    std::filesystem::create_directory_symlink(dir / "a", dir / "viaLink");
#endif
    const std::vector<std::string> paths = {
        dir / "a/one.jpg",
        dir / "a/two.jpg",
        dir / "b/one.jpg",
        dir / "b/empty.jpg",
        dir / "b/folder.jpg",
        dir / "b/link.jpg",
        dir / "b/gone.jpg",
        dir / "gone/x.jpg",
        dir / "a/one.jpg",
        dir / "viaLink/two.jpg",
        dir / "b/",
        "relative-missing",
        dir / "b/one.jpg",
#ifdef _WIN32
        "NUL",
        dir.Path() + "/a/two.jpg",
        "C:\\",
#endif
    };
    FileSizeReader reader;
    for (const std::string& path : paths) {
        std::uint64_t expected = 0;
        std::uint64_t size = 0;
        const std::error_code plain = RegularFileSize(path, expected);
        const std::error_code cached = reader.RegularFileSize(path, size);
        EXPECT_EQ(static_cast<bool>(cached), static_cast<bool>(plain)) << path;
        if (!plain) {
            EXPECT_EQ(size, expected) << path;
        }
    }
    std::uint64_t size = 0;
    EXPECT_FALSE(reader.RegularFileSize(dir / "a/two.jpg", size));
    EXPECT_EQ(size, 20U);
    EXPECT_EQ(reader.RegularFileSize(dir / "b/folder.jpg", size), std::errc::invalid_argument);
    EXPECT_EQ(reader.RegularFileSize(dir / "b/gone.jpg", size),
              std::errc::no_such_file_or_directory);
}

}  // namespace
}  // namespace cj::platform
