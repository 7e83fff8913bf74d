#include "platform/file_size_reader.h"

#include <gtest/gtest.h>

#include <filesystem>

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
    std::filesystem::create_symlink(dir / "a/two.jpg", dir / "b/link.jpg");
    std::filesystem::create_directory_symlink(dir / "a", dir / "viaLink");
    const std::vector<std::string> paths = {
        dir / "a/one.jpg",    dir / "a/two.jpg",       dir / "b/one.jpg",  dir / "b/empty.jpg",
        dir / "b/folder.jpg", dir / "b/link.jpg",      dir / "b/gone.jpg", dir / "gone/x.jpg",
        dir / "a/one.jpg",    dir / "viaLink/two.jpg", dir / "b/",         "relative-missing",
        dir / "b/one.jpg"};
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
}

}  // namespace
}  // namespace cj::platform
