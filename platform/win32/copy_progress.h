// The progress routine CopyFileExA calls for CopyFileExclusive, apart so that
// a test can drive it directly: Wine's CopyFileExA never calls it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/file_copy.h"

namespace cj::platform::win32 {

// One copy's state, shared between CopyFileExclusive and the routine on the
// copying thread.
struct CopyProgressState {
    const CopyProgress* progress = nullptr;  // May be null or empty: nothing is told.
    std::uint64_t total = 0;                 // The size to copy, as the system last reported it.
    std::uint64_t reported = 0;              // The last transferred count told to progress.
    bool stopped = false;                    // Progress returned false.
    // The target this copy created, taken from the handle the system hands
    // the routine, so that only that file is ever removed.
    bool targetKnown = false;
    std::uint64_t targetVolume = 0;
    std::uint64_t targetIndex = 0;
};

// Tells progress of every chunk the system reports (never the zero count again,
// which CopyFileExclusive tells before the copy starts), records the target's
// identity on the first call, and returns PROGRESS_CANCEL once progress
// returns false. data is a CopyProgressState.
DWORD CALLBACK CopyProgressRoutine(LARGE_INTEGER totalFileSize, LARGE_INTEGER totalTransferred,
                                   LARGE_INTEGER streamSize, LARGE_INTEGER streamTransferred,
                                   DWORD streamNumber, DWORD reason, HANDLE source,
                                   HANDLE destination, LPVOID data);

}  // namespace cj::platform::win32
