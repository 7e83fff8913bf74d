// The two commands of chengjing-cli. Each returns the process exit code:
// 0 on success, 1 on any failure: the data folder, the configuration or the
// index cannot be read or written, or the output cannot be written. Every
// failure prints a line "chengjing-cli: cannot <do what> <path>: <the
// system's message>" (or names what is missing) on stderr.
#pragma once

#include "cli/cli_options.h"

namespace cj::cli {

// The program folder the options name, or the executable's folder.
std::string RunDirectoryFor(const Options& options);

int RunRefresh(const Options& options, const std::string& runDirectory);
int RunSearch(const Options& options, const std::string& runDirectory);

// Flushes stdout after text written with stdio: 0, or 1 with a message when
// any of it could not be written (a full disk, a closed pipe).
int FinishOutput();

}  // namespace cj::cli
