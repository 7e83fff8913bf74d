// The commands of chengjing-cli. Each returns the process exit code:
// 0 on success, 1 on any failure: the data folder, the configuration or the
// index cannot be read or written, or the output cannot be written. Every
// failure prints a line "chengjing-cli: cannot <do what> <path>: <the
// system's message>" (or names what is missing) on stderr.
#pragma once

#include <string>
#include <string_view>
#include <system_error>

#include "cli/cli_options.h"

namespace cj::cli {

// The program folder the options name, or the executable's folder.
std::string RunDirectoryFor(const Options& options);

int RunRefresh(const Options& options, const std::string& runDirectory);
int RunSearch(const Options& options, const std::string& runDirectory);
// search --batch FILE: the numbers of FILE (or of standard input for "-"),
// each with its hits; 2 when the list holds no number or is larger than
// search::MaxBatchListBytes. A search or batch without an index fails.
int RunBatchSearch(const Options& options, const std::string& runDirectory);
// Copies the paths of standard input, or of the copy list's backup, into
// options.copyTo, and writes the copy report (data/CopyReport.txt); 1 when a
// file could not be copied, a line was refused or the copy was interrupted.
// A file skipped because its target exists is no failure.
int RunCopy(const Options& options, const std::string& runDirectory);

// Checks the data folder and that the configuration file, when there is one,
// can be read. Returns an empty text when all is well, else the message.
std::string CheckDataFolder(const std::string& runDirectory);

// Prints "chengjing-cli: <message>" on stderr and returns 1.
int Fail(const std::string& message);
// Fails, saying how to build an index, for a data folder that holds none.
int FailNoIndex(const std::string& runDirectory);
// "cannot <action> <path>: <the system's message>", the form of every failure
// that has a file and a reason.
std::string CannotText(std::string_view action, std::string_view path, std::error_code ec);
// path with the bytes a line cannot show written as escapes ("\n", "\x1a").
std::string VisibleText(std::string_view path);

// Reads standard input to its end.
std::error_code ReadStandardInput(std::string& text);

// Flushes stdout after text written with stdio: 0, or 1 with a message when
// any of it could not be written (a full disk, a closed pipe).
int FinishOutput();

}  // namespace cj::cli
