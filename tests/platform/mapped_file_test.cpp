#include "platform/mapped_file.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <string>

#include "platform/files.h"
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

#ifdef _WIN32
// A shard name taken by a pipe or a device used to be read from until it
// ended, which a pipe may never do.
TEST(MappedFile, RefusesPipesAndDevices) {
    const std::string pipe =
        "\\\\.\\pipe\\cj-mapped-file-test-" + std::to_string(GetCurrentProcessId());
    const HANDLE server = CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_OUTBOUND,
                                           PIPE_TYPE_BYTE | PIPE_WAIT, 1, 1 << 16, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    MappedFile file;
    EXPECT_EQ(file.Open(pipe), std::errc::invalid_argument);
    EXPECT_EQ(file.Open("NUL"), std::errc::invalid_argument);
    EXPECT_TRUE(file.Bytes().empty());
    CloseHandle(server);
}
#endif

// A search maps the shards while a refresh in another process renames new
// ones over them: the rename must go through, the view must keep the old
// bytes whole, and the next open must see the new file.
TEST(MappedFile, StaysReadableWhileANewFileIsRenamedOverIt) {
    test::TempDir dir;
    const std::string old = std::string(150000, 'o') + "end";
    dir.WriteFile("1.txt", old);
    MappedFile file;
    ASSERT_FALSE(file.Open(dir / "1.txt"));
    ASSERT_TRUE(file.IsMapped());

    ASSERT_FALSE(WriteFileAndSync(dir / "1.txt.new", "new shard"));
    ASSERT_FALSE(RenameFile(dir / "1.txt.new", dir / "1.txt"));
    EXPECT_EQ(file.Bytes(), old);
    ASSERT_FALSE(WriteWholeFileAtomic(dir / "1.txt", "newer shard"));
    EXPECT_EQ(file.Bytes(), old);

    MappedFile next;
    ASSERT_FALSE(next.Open(dir / "1.txt"));
    EXPECT_EQ(next.Bytes(), "newer shard");
    EXPECT_EQ(file.Bytes(), old);
}

}  // namespace
}  // namespace cj::platform
