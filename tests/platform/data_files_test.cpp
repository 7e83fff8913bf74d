// Files in a data folder that another account may write: what such an account
// plants under a data file's name must never make us write elsewhere or read
// without end.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/mapped_file.h"
#include "temp_dir.h"

namespace cj::platform {
namespace {

namespace fs = std::filesystem;

// The refresh removed data/1.txt.new, then opened it again with O_TRUNC,
// following links: a link planted in between had it overwrite the file the
// link led to. The lock file and the settings' atomic write followed links
// the same way. Every writer must leave the victim as it was, or uncreated
// when the link dangles.
TEST(DataFiles, PlantedLinksNeverLeadAWriteElsewhere) {
    constexpr uid_t Nobody = 65534;
    struct Writer {
        const char* name;
        std::function<std::error_code(const std::string&)> write;
        bool succeeds;  // Writes a file of its own in the link's place.
    };
    const std::vector<Writer> writers = {
        {"1.txt.new", [](const std::string& path) { return WriteFileAndSync(path, "shard"); },
         true},
        {"2.txt.new",
         [](const std::string& path) {
             SyncedFileWriter writer;
             std::error_code ec = writer.TryCreate(path);
             return ec ? ec : writer.TrySyncAndClose();
         },
         true},
        {".chengjing.lock",
         [](const std::string& path) {
             FileLock lock;
             return lock.TryLock(path, 0, LockMode::Exclusive, LockWait::No);
         },
         false},
        {"chengjing.log",
         [](const std::string& path) {
             std::uint64_t size = 0;
             return AppendToFile(path, "line\n", size);
         },
         false},
        // The settings and the backup follow the user's own links (a file
        // kept in a synced folder), so the planted one is another account's.
        {"Backup.txt", [](const std::string& path) { return WriteWholeFileAtomic(path, "list"); },
         false},
    };
    for (const bool dangling : {false, true}) {
        for (const Writer& writer : writers) {
            SCOPED_TRACE(std::string(writer.name) + (dangling ? ", dangling link" : ""));
            test::TempDir dir;
            dir.MakeDirs("data");
            if (!dangling) {
                dir.WriteFile("victim", "victim");
            }
            const std::string link = dir / ("data/" + std::string(writer.name));
            ASSERT_EQ(::symlink((dir / "victim").c_str(), link.c_str()), 0);
            if (::lchown(link.c_str(), Nobody, Nobody) != 0) {
                GTEST_SKIP() << "making another account's link needs root";
            }
            const std::error_code ec = writer.write(link);
            if (writer.succeeds) {
                EXPECT_FALSE(ec) << ec.message();
                EXPECT_FALSE(fs::is_symlink(link));
            } else {
                EXPECT_EQ(ec, std::errc::too_many_symbolic_link_levels);
                EXPECT_TRUE(fs::is_symlink(link));
            }
            if (dangling) {
                EXPECT_FALSE(fs::exists(dir / "victim"));
            } else {
                EXPECT_EQ(dir.ReadFile("victim"), "victim");
            }
        }
    }
}

// A backup that was a link to /dev/zero was read until memory ran out, and a
// FIFO held the reader for good. Each reader runs in a child that an alarm
// ends, so that a reader that waits fails the test in seconds.
TEST(DataFiles, ReadersRefuseWhatIsNoRegularFile) {
    test::TempDir dir;
    dir.MakeDirs("data/folder");
    ASSERT_EQ(::mkfifo((dir / "data/fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", (dir / "data/zero").c_str()), 0);
    const std::vector<std::pair<const char*, std::errc>> planted = {
        {"fifo", std::errc::invalid_argument},
        {"zero", std::errc::invalid_argument},
        {"folder", std::errc::is_a_directory},
    };
    const std::vector<std::pair<const char*, std::function<std::error_code(const std::string&)>>>
        readers = {
            {"ReadWholeFile",
             [](const std::string& path) {
                 std::string bytes;
                 return ReadWholeFile(path, bytes);
             }},
            {"MappedFile", [](const std::string& path) { return MappedFile().Open(path); }},
        };
    for (const auto& [reader, read] : readers) {
        for (const auto& [name, expected] : planted) {
            SCOPED_TRACE(std::string(reader) + " of " + name);
            const std::string path = dir / ("data/" + std::string(name));
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                ::alarm(5);
                ::_exit(read(path) == expected ? 0 : 1);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        }
    }
}

}  // namespace
}  // namespace cj::platform
#endif  // _WIN32
