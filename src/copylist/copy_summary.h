// What a copy run did, reported when it ends: by the copy job, the direct
// copy and the command line alike.
#pragma once

#include <cstddef>
#include <string>
#include <system_error>
#include <vector>

namespace cj::copylist {

// A file that was not copied, and why: std::errc::file_exists when its target
// was already there (skipped, nothing touched), std::errc::operation_canceled
// when a stop came before it or cut its copy short (nothing of it was left),
// otherwise the failure.
struct NotCopied {
    std::string source;
    std::string target;
    std::error_code error;
};

// A file copied under another name because its own was taken (see
// core::SameNameRule::KeepBoth).
struct CopiedAs {
    std::string source;
    std::string target;
};

struct CopySummary {
    std::size_t copied = 0;           // Renamed ones included.
    std::size_t skippedExisting = 0;  // The target existed and was left as it was.
    std::size_t failed = 0;           // Any other reason.
    // The entries never tried because the run was stopped, and the one whose
    // copy a stop cut short (nothing of it was left).
    std::size_t notTried = 0;
    bool stopped = false;
    // The files copied under a numbered name, in list order.
    std::vector<CopiedAs> renamed;
    // Every file not copied (skipped, failed or not tried), in list order.
    std::vector<NotCopied> notCopied;
    // The target folder could not be made (or is no folder), and this is why:
    // no file was tried, and each is failed with this error.
    std::string targetFolder;
    std::error_code folderError;
    // The copies could not be put on the device at the end: they may be lost
    // if the stick is pulled now.
    std::error_code flushError;
};

}  // namespace cj::copylist
