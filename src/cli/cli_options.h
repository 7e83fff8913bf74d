// The command line of chengjing-cli, parsed.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cj::cli {

enum class Command { None, Help, Version, Refresh, Search, Copy };

enum class SearchOutput { Paths, Long, Count, Missing };

struct Options {
    Command command = Command::None;
    std::string runDirectory;              // --run-dir; empty means the executable's folder.
    std::optional<std::string> listTitle;  // --list
    std::vector<std::string> folders;      // --folder, repeatable
    std::optional<std::string> filter;     // --filter
    int threads = 0;                       // --threads; 0 means the stored thread count.
    SearchOutput output = SearchOutput::Paths;
    bool verbose = false;                  // -v, --verbose: refresh lists what it left out.
    std::vector<std::string> words;        // search WORD...
    std::optional<std::string> copyTo;     // copy --to
    bool fromBackup = false;               // copy --backup: the paths of data/Backup.txt.
    bool keepBoth = false;                 // copy --keep-both: a taken name gets the next "(n)".
    std::optional<std::string> batchFile;  // search --batch FILE; "-" is standard input.
    bool ignoreCase = false;  // -i, --ignore-case: search ignoring case and full-width forms.
};

// Parses argv[1..]. Options may stand before or after the subcommand, as
// "--name value" or "--name=value"; "--" ends the options, so that a word may
// begin with "-". On a mistake returns nothing and sets error to a one-line
// message.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

extern const char* const UsageText;

}  // namespace cj::cli
