// The two commands of chengjing-cli. Each returns the process exit code:
// 0 on success, 1 when the data folder, the configuration or the index cannot
// be used (with a one-line message on stderr).
#pragma once

#include "cli/cli_options.h"

namespace cj::cli {

// The program folder the options name, or the executable's folder.
std::string RunDirectoryFor(const Options& options);

int RunRefresh(const Options& options, const std::string& runDirectory);
int RunSearch(const Options& options, const std::string& runDirectory);

}  // namespace cj::cli
