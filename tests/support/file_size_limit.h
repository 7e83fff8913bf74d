// A full disk, as far as one process can stand in for it: while the object
// lives, writes that would make a file larger than the limit fail with
// EFBIG (SIGXFSZ is ignored meanwhile, so the process is not ended).
#pragma once

#include <sys/resource.h>

#include <csignal>
#include <cstdint>

namespace cj::test {

class FileSizeLimit {
  public:
    explicit FileSizeLimit(std::uint64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    // Whether the limit could be set; a test that relies on it asserts this.
    bool IsSet() const { return m_set; }

  private:
    struct rlimit m_saved {};
    void (*m_oldHandler)(int) = SIG_DFL;
    bool m_set = false;
};

}  // namespace cj::test
