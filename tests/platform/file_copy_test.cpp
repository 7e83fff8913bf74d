#include "platform/file_copy.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/copy_progress.h"
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "file_size_limit.h"
#include "ordinary_user.h"
#include "platform/files.h"
#endif

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "temp_dir.h"

namespace cj::platform {
namespace {

namespace fs = std::filesystem;

// Bytes that differ from one position to the next, so that a chunk written
// twice or skipped shows.
std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t x = 2463534242u;
    for (char& c : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    return bytes;
}

// More than two of the copy's chunks, so that a stop after the first one
// still has a chunk ahead of it.
constexpr std::size_t LargeSize = (std::size_t{17} << 20) + 12345;

#ifdef _WIN32
bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Wine's CopyFileExA never calls its progress routine: the copy is told of
// before and after, not chunk by chunk.
bool IsWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
#else
bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}
#endif

// The names of the copy's temporaries in dir.
std::vector<std::string> Temporaries(const test::TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        if (IsCopyTemporaryName(entry.path().filename().string())) {
            names.push_back(entry.path().filename().string());
        }
    }
    return names;
}

using Calls = std::vector<std::pair<std::uint64_t, std::uint64_t>>;

CopyProgress Recorder(Calls& calls) {
    return [&calls](std::uint64_t total, std::uint64_t transferred) {
        calls.emplace_back(total, transferred);
        return true;
    };
}

TEST(FileCopy, CopiesEveryByteAndReportsEachChunk) {
    test::TempDir dir;
    const std::string data = Pattern(LargeSize);
    dir.WriteFile("src.bin", data);
    Calls calls;
    ASSERT_FALSE(CopyFileExclusive(dir / "src.bin", dir / "dst.bin", Recorder(calls)));
    EXPECT_EQ(dir.ReadFile("dst.bin"), data);

#ifdef _WIN32
    ASSERT_GE(calls.size(), IsWine() ? 2u : 3u);
#else
    ASSERT_GE(calls.size(), 3u);
#endif
    EXPECT_EQ(calls.front(), std::make_pair(std::uint64_t{LargeSize}, std::uint64_t{0}));
    EXPECT_EQ(calls.back(), std::make_pair(std::uint64_t{LargeSize}, std::uint64_t{LargeSize}));
    for (std::size_t i = 1; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].first, LargeSize);
        EXPECT_GT(calls[i].second, calls[i - 1].second) << "call " << i;
    }
}

TEST(FileCopy, CopiesEmptyAndSmallFilesWithAndWithoutProgress) {
    test::TempDir dir;
    dir.WriteFile("empty", "");
    dir.WriteFile("small", "SF1400000000001");
    Calls calls;
    ASSERT_FALSE(CopyFileExclusive(dir / "empty", dir / "empty.copy", Recorder(calls)));
    EXPECT_EQ(dir.ReadFile("empty.copy"), "");
    EXPECT_EQ(calls, (Calls{{0, 0}}));

    ASSERT_FALSE(CopyFileExclusive(dir / "small", dir / "small.copy"));
    EXPECT_EQ(dir.ReadFile("small.copy"), "SF1400000000001");
}

#ifndef _WIN32
// The copy's bits were put back to the source's after creation, so a umask of
// 077 still gave everyone else read access to a clerk's copies.
TEST(FileCopy, KeepsModificationTimeAndPermissionBitsUnderTheUmask) {
    const struct {
        mode_t source;
        mode_t umask;
        mode_t copy;
    } cases[] = {
        {0666, 022, 0644},
        {0666, 077, 0600},
        {0644, 000, 0644},
        {0755, 027, 0750},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        dir.WriteFile("src", "data");
        const std::string src = dir / "src";
        ASSERT_EQ(::chmod(src.c_str(), c.source), 0);
        const struct timespec times[2] = {{1000000000, 0}, {1234567890, 123456789}};
        ASSERT_EQ(::utimensat(AT_FDCWD, src.c_str(), times, 0), 0);

        const mode_t oldMask = ::umask(c.umask);
        const std::error_code ec = CopyFileExclusive(src, dir / "dst");
        ::umask(oldMask);
        ASSERT_FALSE(ec) << ec.message();

        struct stat st {};
        ASSERT_EQ(::stat((dir / "dst").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.copy) << std::oct << c.source << " " << c.umask;
        EXPECT_EQ(st.st_mtim.tv_sec, 1234567890);
        EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
    }
}

TEST(FileCopy, DropsSetUserAndSetGroupBits) {
    test::TempDir dir;
    dir.WriteFile("tool", "#!/bin/sh\n");
    ASSERT_EQ(::chmod((dir / "tool").c_str(), 06755), 0);
    ASSERT_FALSE(CopyFileExclusive(dir / "tool", dir / "tool.copy"));
    struct stat st {};
    ASSERT_EQ(::stat((dir / "tool.copy").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
}

TEST(FileCopy, ReadOnlySourceIsCopiedAndStaysReadOnlyInTheCopy) {
    test::TempDir dir;
    const std::string data = Pattern(100000);
    dir.WriteFile("ro", data);
    ASSERT_EQ(::chmod((dir / "ro").c_str(), 0444), 0);
    ASSERT_FALSE(CopyFileExclusive(dir / "ro", dir / "ro.copy"));
    EXPECT_EQ(dir.ReadFile("ro.copy"), data);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "ro.copy").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
}

#endif  // !_WIN32

// -- Nothing that exists at the target is replaced or written.

TEST(FileCopy, NeverReplacesAnExistingFile) {
    test::TempDir dir;
    dir.WriteFile("src", "new");
    dir.WriteFile("dst", "the user's own file");
    EXPECT_EQ(CopyFileExclusive(dir / "src", dir / "dst"), std::errc::file_exists);
    EXPECT_EQ(dir.ReadFile("dst"), "the user's own file");
}

#ifndef _WIN32
TEST(FileCopy, NeverWritesThroughALinkAtTheTarget) {
    test::TempDir dir;
    dir.WriteFile("src", "new");
    dir.WriteFile("behind", "kept");
    fs::create_symlink(dir / "behind", dir / "link");
    fs::create_symlink(dir / "nowhere", dir / "dangling");

    EXPECT_EQ(CopyFileExclusive(dir / "src", dir / "link"), std::errc::file_exists);
    EXPECT_EQ(dir.ReadFile("behind"), "kept");
    EXPECT_EQ(CopyFileExclusive(dir / "src", dir / "dangling"), std::errc::file_exists);
    EXPECT_FALSE(Exists(dir / "nowhere")) << "a dangling link must not create its target";
    EXPECT_TRUE(fs::is_symlink(dir / "dangling"));
}

#endif  // !_WIN32

TEST(FileCopy, NeverReplacesAFolder) {
    test::TempDir dir;
    dir.WriteFile("src", "new");
    dir.WriteFile("dst/inside", "kept");
    EXPECT_EQ(CopyFileExclusive(dir / "src", dir / "dst"), std::errc::file_exists);
    EXPECT_EQ(dir.ReadFile("dst/inside"), "kept");
}

#ifndef _WIN32
TEST(FileCopy, FollowsALinkAtTheSource) {
    test::TempDir dir;
    dir.WriteFile("real.jpg", "photo");
    fs::create_symlink(dir / "real.jpg", dir / "alias.jpg");
    ASSERT_FALSE(CopyFileExclusive(dir / "alias.jpg", dir / "copy.jpg"));
    EXPECT_FALSE(fs::is_symlink(dir / "copy.jpg"));
    EXPECT_EQ(dir.ReadFile("copy.jpg"), "photo");
}

#endif  // !_WIN32

// -- Sources that are not regular files, or not there.

#ifndef _WIN32
TEST(FileCopy, FifoSourceIsRefusedWithoutBlocking) {
    test::TempDir dir;
    const std::string fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    // The copy runs in a child with an alarm, so that a copy that blocks on
    // the FIFO (which has no writer) fails this test instead of hanging it.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(20);
        const std::error_code ec = CopyFileExclusive(fifo, dir / "out");
        ::_exit(ec == CopyError::NotRegularFile ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the copy blocked on the FIFO";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(Exists(dir / "out"));
}

#endif  // !_WIN32

// A folder or a device was refused as "Invalid argument", which told the
// clerk nothing; it is now its own reason.
TEST(FileCopy, FolderAndDeviceSourcesAreRefused) {
    test::TempDir dir;
    dir.MakeDirs("folder");
    EXPECT_EQ(CopyFileExclusive(dir / "folder", dir / "a"), CopyError::NotRegularFile);
#ifdef _WIN32
    EXPECT_EQ(CopyFileExclusive("NUL", dir / "b"), CopyError::NotRegularFile);
#else
    EXPECT_EQ(CopyFileExclusive("/dev/null", dir / "b"), CopyError::NotRegularFile);
#endif
    EXPECT_FALSE(Exists(dir / "a"));
    EXPECT_FALSE(Exists(dir / "b"));
}

TEST(FileCopy, MissingSourceOrTargetFolderCreatesNothing) {
    test::TempDir dir;
    dir.WriteFile("src", "x");
    EXPECT_EQ(CopyFileExclusive(dir / "missing", dir / "dst"),
              std::errc::no_such_file_or_directory);
    EXPECT_FALSE(Exists(dir / "dst"));
    EXPECT_EQ(CopyFileExclusive(dir / "src", dir / "no/such/dst"),
              std::errc::no_such_file_or_directory);
    EXPECT_FALSE(Exists(dir / "no"));
}

#ifndef _WIN32
TEST(FileCopy, UnreadableSourceFailsForAnOrdinaryUser) {
    test::TempDir dir;
    dir.WriteFile("secret", "x");
    ASSERT_EQ(::chmod((dir / "secret").c_str(), 0600), 0);
    dir.MakeDirs("out");
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0777), 0);
    ASSERT_EQ(::chmod((dir / "out").c_str(), 0777), 0);
    const bool root = ::geteuid() == 0;
    const int result = test::RunAsOrdinaryUser([&] {
        const std::error_code ec = CopyFileExclusive(dir / "secret", dir / "out/secret");
        if (root && ec != std::errc::permission_denied) {
            return 1;
        }
        return Exists(dir / "out/secret") == !ec ? 0 : 2;
    });
    EXPECT_EQ(result, 0);
}

TEST(FileCopy, ReadsFilesWhoseFileSystemReportsNoSize) {
    // procfs reports 0 bytes for files that hold text; copy_file_range
    // copies nothing from them.
    test::TempDir dir;
    std::string expected;
    ASSERT_FALSE(ReadWholeFile("/proc/version", expected));
    ASSERT_NE(expected, "");
    ASSERT_FALSE(CopyFileExclusive("/proc/version", dir / "version"));
    EXPECT_EQ(dir.ReadFile("version"), expected);
}

TEST(FileCopy, CopiesAcrossFileSystems) {
    // /dev/shm is a tmpfs: copy_file_range refuses to cross to it, and the
    // copy goes through read and write.
    test::TempDir dir;
    struct stat shm {};
    struct stat tmp {};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(dir.Path().c_str(), &tmp) != 0 ||
        shm.st_dev == tmp.st_dev) {
        GTEST_SKIP() << "no second file system at /dev/shm";
    }
    const std::string data = Pattern(LargeSize);
    dir.WriteFile("src", data);
    const std::string target = "/dev/shm/cj-file-copy-" + std::to_string(::getpid());
    ::unlink(target.c_str());
    Calls calls;
    const std::error_code ec = CopyFileExclusive(dir / "src", target, Recorder(calls));
    std::string copied;
    static_cast<void>(ReadWholeFile(target, copied));
    ::unlink(target.c_str());
    ASSERT_FALSE(ec) << ec.message();
    EXPECT_EQ(copied, data);
    EXPECT_EQ(calls.back().second, LargeSize);
}

#endif  // !_WIN32

// -- A copy that does not finish leaves nothing behind.

#ifndef _WIN32
TEST(FileCopy, FullDiskLeavesNoPartialFile) {
    test::TempDir dir;
    dir.WriteFile("src", Pattern(1 << 20));
    dir.WriteFile("small", Pattern(1000));
    std::error_code big;
    std::error_code small;
    {
        const test::FileSizeLimit limit(64 * 1024);
        ASSERT_TRUE(limit.IsSet());
        big = CopyFileExclusive(dir / "src", dir / "dst");
        small = CopyFileExclusive(dir / "small", dir / "small.copy");
    }
    EXPECT_EQ(big, std::errc::file_too_large);
    EXPECT_FALSE(Exists(dir / "dst"));
    EXPECT_FALSE(small) << "a file that fits is still copied";
}

#endif  // !_WIN32

TEST(FileCopy, StopFromProgressRemovesThePartialFile) {
    test::TempDir dir;
    dir.WriteFile("src", Pattern(LargeSize));
    std::uint64_t stoppedAt = 0;
    const std::error_code ec =
        CopyFileExclusive(dir / "src", dir / "dst", [&](std::uint64_t, std::uint64_t done) {
            stoppedAt = done;
            return done == 0;  // The first chunk is written, then the copy stops.
        });
    EXPECT_EQ(ec, std::errc::operation_canceled);
    EXPECT_GT(stoppedAt, 0u);
    EXPECT_FALSE(Exists(dir / "dst"));
    EXPECT_TRUE(Temporaries(dir).empty());

    EXPECT_EQ(CopyFileExclusive(dir / "src", dir / "dst",
                                [](std::uint64_t, std::uint64_t) { return false; }),
              std::errc::operation_canceled);
    EXPECT_FALSE(Exists(dir / "dst"));
}

#ifndef _WIN32
// A kill half-way through a file left the part written under the real name,
// and the next copy kept it as "already there". The copy is now written under
// a hidden temporary name, and the real name appears only when it is whole.
TEST(FileCopy, NothingAppearsUnderTheRealNameUntilTheCopyIsWhole) {
    test::TempDir dir;
    const std::string data = Pattern(LargeSize);
    dir.WriteFile("src", data);
    std::size_t midCopyCalls = 0;
    ASSERT_FALSE(CopyFileExclusive(dir / "src", dir / "dst", [&](std::uint64_t, std::uint64_t) {
        ++midCopyCalls;
        EXPECT_FALSE(Exists(dir / "dst"));
        EXPECT_EQ(Temporaries(dir).size(), 1u);
        return true;
    }));
    EXPECT_GE(midCopyCalls, 2u);
    EXPECT_EQ(dir.ReadFile("dst"), data);
    EXPECT_TRUE(Temporaries(dir).empty());
}

// A photo still being written (or cut) while it was copied was reported
// copied, with bytes of neither version.
TEST(FileCopy, SourceThatChangesSizeMidCopyFails) {
    for (const std::uint64_t newSize : {std::uint64_t{LargeSize + 4096}, std::uint64_t{1000}}) {
        test::TempDir dir;
        dir.WriteFile("src", Pattern(LargeSize));
        const std::error_code ec =
            CopyFileExclusive(dir / "src", dir / "dst", [&](std::uint64_t, std::uint64_t done) {
                if (done > 0) {
                    EXPECT_EQ(::truncate((dir / "src").c_str(), static_cast<off_t>(newSize)), 0);
                }
                return true;
            });
        EXPECT_EQ(ec, CopyError::SourceChanged) << newSize;
        EXPECT_FALSE(Exists(dir / "dst"));
        EXPECT_TRUE(Temporaries(dir).empty());
    }
}

#endif  // !_WIN32

// -- Temporaries of other copies.

#ifdef _WIN32
// What a live copy holds on its temporary: a handle that shares no writing.
class WriterHold {
  public:
    explicit WriterHold(const std::string& path)
        : m_file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                             nullptr)) {}
    ~WriterHold() {
        if (IsHeld()) {
            CloseHandle(m_file);
        }
    }
    bool IsHeld() const { return m_file != INVALID_HANDLE_VALUE; }

  private:
    HANDLE m_file;
};
#else
// What a live copy holds on its temporary: a lock.
class WriterHold {
  public:
    explicit WriterHold(const std::string& path)
        : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        m_locked = m_fd >= 0 && ::flock(m_fd, LOCK_EX) == 0;
    }
    ~WriterHold() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    bool IsHeld() const { return m_locked; }

  private:
    int m_fd;
    bool m_locked = false;
};
#endif

// Someone's file takes the target's name while the copy runs (a second copy
// into the same folder): ours must neither replace it nor remove it.
TEST(FileCopy, FileThatTakesTheNameMeanwhileIsKept) {
    test::TempDir dir;
    dir.WriteFile("src", Pattern(LargeSize));
    const std::error_code ec =
        CopyFileExclusive(dir / "src", dir / "dst", [&](std::uint64_t, std::uint64_t done) {
            if (done > 0 && !Exists(dir / "dst")) {
                dir.WriteFile("dst", "someone else's");
            }
            return true;
        });
    EXPECT_EQ(ec, std::errc::file_exists);
    EXPECT_EQ(dir.ReadFile("dst"), "someone else's");
    EXPECT_TRUE(Temporaries(dir).empty());
}

// A killed copy's temporary stays behind; the next copy into the folder
// removes it, but never the temporary of a copy that is still writing (it
// holds it: a lock on Linux, an open handle on Windows; here a second open of
// the file holds it, as another process's would).
TEST(FileCopy, OrphanedTemporariesGoAndLiveOnesStay) {
    test::TempDir dir;
    const std::string orphan = ".cjcopy-0123456789abcdef.part";
    const std::string live = ".cjcopy-fedcba9876543210.part";
    const std::string lookalike = ".cjcopy-0123456789abcdeg.part";
    for (const std::string& name : {orphan, live, lookalike}) {
        dir.WriteFile(name, "part");
    }
    const WriterHold held(dir / live);
    ASSERT_TRUE(held.IsHeld());

    ASSERT_FALSE(RemoveOrphanedCopies(dir.Path()));
    EXPECT_FALSE(Exists(dir / orphan));
    EXPECT_TRUE(Exists(dir / live));
    EXPECT_TRUE(Exists(dir / lookalike));

    // A copy's own temporary, swept while it is written (under Wine, in the
    // last progress call, once the system has closed it).
    dir.WriteFile("src", Pattern(LargeSize));
    ASSERT_FALSE(CopyFileExclusive(dir / "src", dir / "dst", [&](std::uint64_t, std::uint64_t) {
        EXPECT_FALSE(RemoveOrphanedCopies(dir.Path()));
        return true;
    }));
    EXPECT_EQ(dir.ReadFile("dst"), Pattern(LargeSize));
    EXPECT_EQ(RemoveOrphanedCopies(dir / "missing"), std::error_code{});
}

#ifdef _WIN32
// -- Windows: attributes, times, and the progress routine.

FILETIME LastWriteTime(const std::string& path) {
    FILETIME written{};
    HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        GetFileTime(file, nullptr, nullptr, &written);
        CloseHandle(file);
    }
    return written;
}

TEST(FileCopy, KeepsModificationTimeAndTheReadOnlyAttribute) {
    test::TempDir dir;
    const std::string data = Pattern(100000);
    dir.WriteFile("ro.jpg", data);
    const std::string source = dir / "ro.jpg";
    const std::string target = dir / "ro.copy";
    // 2009-02-13 23:31:30.1234567 UTC, in 100 ns steps since 1601.
    const FILETIME stamp{0x6F6B1E27u, 0x01C98E33u};
    HANDLE file =
        CreateFileA(source.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &stamp));
    CloseHandle(file);
    ASSERT_TRUE(SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY));

    const std::error_code ec = CopyFileExclusive(source, target);
    const DWORD attributes = GetFileAttributesA(target.c_str());
    const FILETIME copied = LastWriteTime(target);
    SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_FALSE(ec) << ec.message();
    EXPECT_EQ(dir.ReadFile("ro.copy"), data);
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(attributes & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(copied.dwLowDateTime, stamp.dwLowDateTime);
    EXPECT_EQ(copied.dwHighDateTime, stamp.dwHighDateTime);
}

TEST(FileCopy, NeverReplacesReadOnlyOrHiddenTargets) {
    test::TempDir dir;
    dir.WriteFile("src", "new");
    dir.WriteFile("ro", "kept");
    dir.WriteFile("hidden", "kept too");
    ASSERT_TRUE(SetFileAttributesA((dir / "ro").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA((dir / "hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
    Calls calls;
    EXPECT_EQ(CopyFileExclusive(dir / "src", dir / "ro", Recorder(calls)), std::errc::file_exists);
    EXPECT_EQ(CopyFileExclusive(dir / "src", dir / "hidden"), std::errc::file_exists);
    EXPECT_TRUE(calls.empty()) << "refused before the copy begins";
    SetFileAttributesA((dir / "ro").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(dir.ReadFile("ro"), "kept");
    EXPECT_EQ(dir.ReadFile("hidden"), "kept too");
}

// The routine CopyFileExA calls after each chunk, driven as the system would
// drive it (Wine's copy never calls it).
TEST(FileCopy, ProgressRoutineTellsEachCountOnceAndCancelsOnStop) {
    test::TempDir dir;
    dir.WriteFile("dst", "");
    HANDLE destination = CreateFileA((dir / "dst").c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(destination, INVALID_HANDLE_VALUE);
    BY_HANDLE_FILE_INFORMATION info{};
    ASSERT_TRUE(GetFileInformationByHandle(destination, &info));

    Calls calls;
    std::uint64_t stopFrom = ~std::uint64_t{0};
    const CopyProgress progress = [&](std::uint64_t total, std::uint64_t done) {
        calls.emplace_back(total, done);
        return done < stopFrom;
    };
    win32::CopyProgressState state;
    state.progress = &progress;
    const auto call = [&](std::int64_t total, std::int64_t done, DWORD reason) {
        LARGE_INTEGER size{};
        LARGE_INTEGER transferred{};
        size.QuadPart = total;
        transferred.QuadPart = done;
        return win32::CopyProgressRoutine(size, transferred, size, transferred, 1, reason, nullptr,
                                          destination, &state);
    };

    // The stream's start repeats the zero told before the copy began.
    EXPECT_EQ(call(3000, 0, CALLBACK_STREAM_SWITCH), DWORD{PROGRESS_CONTINUE});
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(state.targetKnown);
    EXPECT_EQ(state.targetVolume, info.dwVolumeSerialNumber);
    EXPECT_EQ(state.targetIndex, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow);
    EXPECT_EQ(call(3000, 1000, CALLBACK_CHUNK_FINISHED), DWORD{PROGRESS_CONTINUE});
    EXPECT_EQ(call(3000, 1000, CALLBACK_STREAM_SWITCH), DWORD{PROGRESS_CONTINUE});
    EXPECT_FALSE(state.stopped);
    stopFrom = 2000;
    EXPECT_EQ(call(3000, 2000, CALLBACK_CHUNK_FINISHED), DWORD{PROGRESS_CANCEL});
    EXPECT_TRUE(state.stopped);
    EXPECT_EQ(calls, (Calls{{3000, 1000}, {3000, 2000}}));
    EXPECT_EQ(state.reported, 2000u);

    // Without a progress function the copy simply goes on.
    win32::CopyProgressState silent;
    LARGE_INTEGER size{};
    size.QuadPart = 10;
    EXPECT_EQ(win32::CopyProgressRoutine(size, size, size, size, 1, CALLBACK_CHUNK_FINISHED,
                                         nullptr, nullptr, &silent),
              DWORD{PROGRESS_CONTINUE});
    EXPECT_FALSE(silent.targetKnown);
    CloseHandle(destination);
}
#endif  // _WIN32

}  // namespace
}  // namespace cj::platform
