#include "platform/file_lock.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ordinary_user.h"
#endif

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "temp_dir.h"

namespace cj::platform {
namespace {

const std::error_code Busy = std::make_error_code(std::errc::resource_unavailable_try_again);

class FileLockTest : public ::testing::Test {
  protected:
    std::error_code Try(FileLock& lock, std::uint32_t slot, LockMode mode,
                        LockWait wait = LockWait::No) const {
        return lock.TryLock(m_path, slot, mode, wait);
    }

    test::TempDir m_dir;
    std::string m_path = m_dir / "x.lock";
};

TEST_F(FileLockTest, ExclusiveExcludesEveryOtherHolderOfItsByteOnly) {
    FileLock first;
    ASSERT_FALSE(Try(first, 0, LockMode::Exclusive));
    EXPECT_TRUE(first.IsHeld());
    EXPECT_TRUE(std::filesystem::is_regular_file(m_path)) << "created on first use";

    // Another lock of this very process conflicts like another program's.
    FileLock second;
    EXPECT_EQ(Try(second, 0, LockMode::Exclusive), Busy);
    EXPECT_EQ(Try(second, 0, LockMode::Shared), Busy);
    EXPECT_FALSE(second.IsHeld());
    EXPECT_FALSE(Try(second, 1, LockMode::Exclusive)) << "another byte is another lock";

    // Moving keeps the lock; releasing the moved-from object releases nothing.
    FileLock moved = std::move(first);
    first.Unlock();
    FileLock third;
    EXPECT_EQ(Try(third, 0, LockMode::Shared), Busy);
    moved.Unlock();
    EXPECT_FALSE(Try(third, 0, LockMode::Shared));
}

TEST_F(FileLockTest, SharedHoldersKeepOutOnlyTheExclusive) {
    FileLock a;
    FileLock b;
    ASSERT_FALSE(Try(a, 1, LockMode::Shared));
    ASSERT_FALSE(Try(b, 1, LockMode::Shared));
    FileLock writer;
    EXPECT_EQ(Try(writer, 1, LockMode::Exclusive), Busy);
    a.Unlock();
    EXPECT_EQ(Try(writer, 1, LockMode::Exclusive), Busy) << "one reader still holds it";
    { FileLock gone = std::move(b); }
    EXPECT_FALSE(Try(writer, 1, LockMode::Exclusive)) << "the destructor released it";
}

TEST_F(FileLockTest, WaitingLockIsTakenOnceTheHolderLetsGo) {
    FileLock holder;
    ASSERT_FALSE(Try(holder, 2, LockMode::Exclusive));
    std::error_code waited = Busy;
    std::thread waiter([&] {
        FileLock lock;
        waited = Try(lock, 2, LockMode::Exclusive, LockWait::Yes);
    });
    holder.Unlock();
    waiter.join();
    EXPECT_FALSE(waited);
}

#ifndef _WIN32
TEST_F(FileLockTest, LockDiesWithItsProcess) {
    int ready[2];
    int done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FileLock lock;
        const char ok = lock.TryLock(m_path, 0, LockMode::Exclusive, LockWait::No) ? 'n' : 'y';
        static_cast<void>(::write(ready[1], &ok, 1));
        char end = 0;
        static_cast<void>(::read(done[0], &end, 1));  // Held until the parent says.
        ::_exit(0);  // No release of our own: the process ending must do it.
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');
    FileLock lock;
    EXPECT_EQ(Try(lock, 0, LockMode::Shared), Busy);
    ASSERT_EQ(::write(done[1], "x", 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_FALSE(Try(lock, 0, LockMode::Exclusive));
    for (const int fd : {ready[0], ready[1], done[0], done[1]}) {
        ::close(fd);
    }
}

#endif

TEST_F(FileLockTest, MissingFolderFailsAndCreatesNothing) {
    FileLock lock;
    EXPECT_EQ(lock.TryLock(m_dir / "data/x.lock", 0, LockMode::Shared, LockWait::Yes),
              std::errc::no_such_file_or_directory);
    EXPECT_FALSE(lock.IsHeld());
    EXPECT_FALSE(std::filesystem::exists(m_dir / "data"));
}

#ifndef _WIN32
TEST_F(FileLockTest, ReadOnlyLockFileGivesSharedLocksOnly) {
    FileLock first;
    ASSERT_FALSE(Try(first, 0, LockMode::Shared));
    first.Unlock();
    ASSERT_EQ(::chmod(m_path.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(m_dir.Path().c_str(), 0755), 0);
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(m_path.c_str(), 0444), 0);
    }
    const std::string path = m_path;
    const int result = test::RunAsOrdinaryUser([&path] {
        FileLock lock;
        if (lock.TryLock(path, 0, LockMode::Shared, LockWait::No)) {
            return 1;
        }
        FileLock writer;
        return writer.TryLock(path, 1, LockMode::Exclusive, LockWait::No) ==
                       std::errc::permission_denied
                   ? 0
                   : 2;
    });
    EXPECT_EQ(result, 0) << "1: no shared lock, 2: an exclusive one was not refused";
}

#endif  // !_WIN32

#ifdef _WIN32
// The read-only attribute, which Windows honours for every user: a lock file
// that may be read but not written gives shared locks only.
TEST_F(FileLockTest, ReadOnlyLockFileGivesSharedLocksOnly) {
    FileLock first;
    ASSERT_FALSE(Try(first, 0, LockMode::Shared));
    first.Unlock();
    ASSERT_TRUE(SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE probe = CreateFileA(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        // Wine keeps the attribute as the Unix mode, which root ignores.
        CloseHandle(probe);
        SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
        GTEST_SKIP() << "this system writes read-only files (Wine as root)";
    }
    FileLock reader;
    FileLock writer;
    EXPECT_FALSE(Try(reader, 0, LockMode::Shared));
    EXPECT_EQ(Try(writer, 1, LockMode::Exclusive), std::errc::permission_denied);
    EXPECT_FALSE(writer.IsHeld());
    // The shared lock through the read-only open still keeps a writer out.
    SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Try(writer, 0, LockMode::Exclusive), Busy);
}

// The child of LockDiesWithItsProcess: this test program run again with the
// lock file's path in the environment. It takes the lock, says so, and waits
// to be ended.
constexpr const char* ChildPathVariable = "CJ_FILE_LOCK_CHILD_PATH";

TEST(FileLockChild, HoldsALockUntilEnded) {
    const char* path = std::getenv(ChildPathVariable);
    if (path == nullptr) {
        GTEST_SKIP() << "runs only as the child of LockDiesWithItsProcess";
    }
    FileLock lock;
    const bool held = !lock.TryLock(path, 0, LockMode::Exclusive, LockWait::No);
    std::fputs(held ? "\ncj-lock-held\n" : "\ncj-lock-failed\n", stdout);
    std::fflush(stdout);
    char byte = 0;
    DWORD read = 0;
    // Until the parent ends this process; the input never brings anything.
    ReadFile(GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &read, nullptr);
}

TEST_F(FileLockTest, LockDiesWithItsProcess) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outRead = nullptr;
    HANDLE outWrite = nullptr;
    HANDLE inRead = nullptr;
    HANDLE inWrite = nullptr;
    ASSERT_TRUE(CreatePipe(&outRead, &outWrite, &inherit, 0));
    ASSERT_TRUE(CreatePipe(&inRead, &inWrite, &inherit, 0));
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);

    char self[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    std::string command =
        std::string("\"") + self + "\" --gtest_filter=FileLockChild.HoldsALockUntilEnded";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead;
    startup.hStdOutput = outWrite;
    startup.hStdError = outWrite;
    PROCESS_INFORMATION child{};
    SetEnvironmentVariableA(ChildPathVariable, m_path.c_str());
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &child);
    SetEnvironmentVariableA(ChildPathVariable, nullptr);
    CloseHandle(outWrite);
    CloseHandle(inRead);
    ASSERT_TRUE(started) << GetLastError();

    std::string output;
    char buffer[512];
    DWORD got = 0;
    while (output.find("cj-lock-") == std::string::npos ||
           output.find('\n', output.find("cj-lock-")) == std::string::npos) {
        if (!ReadFile(outRead, buffer, sizeof buffer, &got, nullptr) || got == 0) {
            break;
        }
        output.append(buffer, got);
    }
    ASSERT_NE(output.find("cj-lock-held"), std::string::npos) << output;
    FileLock lock;
    EXPECT_EQ(Try(lock, 0, LockMode::Shared), Busy);

    // Ended from outside, as a crash ends it: no release of its own.
    TerminateProcess(child.hProcess, 3);
    WaitForSingleObject(child.hProcess, INFINITE);
    for (HANDLE handle : {child.hProcess, child.hThread, outRead, inWrite}) {
        CloseHandle(handle);
    }
    EXPECT_FALSE(Try(lock, 0, LockMode::Exclusive));
}
#endif  // _WIN32

}  // namespace
}  // namespace cj::platform
