#include "thread_probe.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

namespace cj::test {

int CurrentThreadId() {
    return static_cast<int>(::gettid());
}

bool WaitUntilThreadWaitsForLock(int tid) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    const std::string path = "/proc/self/task/" + std::to_string(tid) + "/syscall";
    while (std::chrono::steady_clock::now() < deadline) {
        // "<number> <arg1> <arg2> ..." while the thread is in a system call.
        std::ifstream in(path);
        long number = -1;
        std::string fd;
        std::string command;
        if (in >> number >> fd >> std::hex >> command && number == SYS_fcntl &&
            std::stol(command, nullptr, 16) == F_OFD_SETLKW) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

}  // namespace cj::test
