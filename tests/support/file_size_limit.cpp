#include "file_size_limit.h"

namespace cj::test {

FileSizeLimit::FileSizeLimit(std::uint64_t bytes) {
    if (::getrlimit(RLIMIT_FSIZE, &m_saved) != 0) {
        return;
    }
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = m_saved;
    small.rlim_cur = static_cast<rlim_t>(bytes);
    m_set = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
}

FileSizeLimit::~FileSizeLimit() {
    if (m_set) {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
    }
    std::signal(SIGXFSZ, m_oldHandler);
}

}  // namespace cj::test
