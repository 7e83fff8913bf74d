// The data folder's lock file, data/.chengjing.lock: one byte per lock, so
// that every program sharing the folder (the window, chengjing-cli, a second
// window) agrees on who writes the index and the configuration file. The file
// is created by the first lock and never removed; it holds no data.
//
//   byte  lock     held exclusively by                 held shared by
//   0     Refresh  a refresh, for its whole run;        -
//                  a clean-up of leftovers, briefly
//   1     Index    a commit or roll-forward of the      a search while it reads the
//                  index (renames and counts), briefly  counts and opens its shards
//   2     Config   every write of the configuration     -
//                  file (its read-modify-write whole)
//   3     Cleanup  a clean-up of leftovers, around      a refresh while it takes
//                  its Refresh lock                     its Refresh lock
//
// Order: Cleanup, Refresh, Index, Config; a holder of one only ever waits for
// those after it, so no two holders wait for each other. A search waits for a
// commit, never for a whole refresh; a refresh never waits for another (it is
// refused) and waits for a clean-up only while that runs, so that a clean-up
// is never taken for a refresh.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/file_lock.h"

namespace cj::core {

enum class DataLock : std::uint32_t { Refresh = 0, Index = 1, Config = 2, Cleanup = 3 };

// folder/.chengjing.lock; folder is the data folder (no trailing separator).
std::string LockFilePath(std::string_view folder);

// Takes lock `which` of the lock file in folder into out; see
// platform::FileLock::TryLock for the failures (another holder with
// LockWait::No is std::errc::resource_unavailable_try_again).
std::error_code TryLockData(std::string_view folder, DataLock which, platform::LockMode mode,
                            platform::LockWait wait, platform::FileLock& out);

}  // namespace cj::core
