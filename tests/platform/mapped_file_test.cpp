#include "platform/mapped_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

#include "temp_dir.h"

namespace cj::platform {
namespace {

TEST(MappedFile, ShowsTheWholeFile) {
    test::TempDir dir;
    const std::string content = std::string(100000, 'a') + "end";
    dir.WriteFile("f.txt", content);
    MappedFile file;
    ASSERT_FALSE(file.Open(dir / "f.txt"));
    EXPECT_TRUE(file.IsMapped());
    EXPECT_EQ(file.Bytes(), content);

    MappedFile moved(std::move(file));
    EXPECT_EQ(moved.Bytes(), content);
    EXPECT_TRUE(file.Bytes().empty());  // NOLINT(bugprone-use-after-move): the contract.
}

TEST(MappedFile, EmptyMissingAndFolders) {
    test::TempDir dir;
    dir.WriteFile("empty.txt", "");
    MappedFile file;
    ASSERT_FALSE(file.Open(dir / "empty.txt"));
    EXPECT_TRUE(file.Bytes().empty());
    EXPECT_EQ(file.Open(dir / "missing.txt"), std::errc::no_such_file_or_directory);
    EXPECT_TRUE(file.Bytes().empty());
    EXPECT_TRUE(file.Open(dir.Path()));  // A folder cannot be read as a file.
}

TEST(MappedFile, ReadsWhatCannotBeMapped) {
    test::TempDir dir;
    const std::string pipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::thread writer([&] {
        const int fd = ::open(pipe.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        const std::string text(70000, 'p');
        EXPECT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        ::close(fd);
    });
    MappedFile file;
    ASSERT_FALSE(file.Open(pipe));
    writer.join();
    EXPECT_FALSE(file.IsMapped());
    EXPECT_EQ(file.Bytes(), std::string(70000, 'p'));
    MappedFile moved;
    moved = std::move(file);
    EXPECT_EQ(moved.Bytes(), std::string(70000, 'p'));
}

}  // namespace
}  // namespace cj::platform
