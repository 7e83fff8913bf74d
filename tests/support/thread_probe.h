// Sees from outside whether a thread of this process waits for a file lock,
// so that a test can act while it is sure the thread waits instead of pausing
// for a while and hoping.
#pragma once

namespace cj::test {

// The calling thread's id, for WaitUntilThreadWaitsForLock.
int CurrentThreadId();

// Polls until the thread tid of this process sits in a waiting lock call
// (fcntl with F_OFD_SETLKW, the wait of platform::FileLock); false when it
// has not after 30 seconds, or the system does not show threads' calls.
bool WaitUntilThreadWaitsForLock(int tid);

}  // namespace cj::test
