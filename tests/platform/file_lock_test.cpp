#include "platform/file_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "ordinary_user.h"
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

TEST_F(FileLockTest, MissingFolderFailsAndCreatesNothing) {
    FileLock lock;
    EXPECT_EQ(lock.TryLock(m_dir / "data/x.lock", 0, LockMode::Shared, LockWait::Yes),
              std::errc::no_such_file_or_directory);
    EXPECT_FALSE(lock.IsHeld());
    EXPECT_FALSE(std::filesystem::exists(m_dir / "data"));
}

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

}  // namespace
}  // namespace cj::platform
