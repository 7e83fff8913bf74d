#include "cli/cli_options.h"

#include <string_view>
#include <utility>

#include "core/text_rules.h"

namespace cj::cli {

const char* const UsageText =
    "Usage: chengjing-cli [OPTIONS] refresh\n"
    "       chengjing-cli [OPTIONS] search [-i] [WORD...]\n"
    "       chengjing-cli [OPTIONS] search [-i] --batch FILE [--missing | --count]\n"
    "       chengjing-cli [OPTIONS] copy --to DIR [--backup] [--keep-both] [< PATHS]\n"
    "\n"
    "Refreshes or searches the index of the file-name search tool, in the same data\n"
    "folder as the window program (RUN_DIR/data), and copies files out as its copy\n"
    "list does.\n"
    "\n"
    "  refresh          walk the folders of a directory list and rewrite the index\n"
    "  search WORD...   print the indexed files whose name holds every WORD (the\n"
    "                   words joined by single spaces are the keyword text; no\n"
    "                   words lists every file), one full path a line, in row order\n"
    "  search --batch FILE\n"
    "                   search many waybill numbers at once: the numbers of FILE\n"
    "                   (\"-\": standard input), split at line breaks, tabs,\n"
    "                   blanks, commas, semicolons, the full-width \"，\" \"、\"\n"
    "                   \"；\", the ideographic and the zero-width space, a\n"
    "                   repeated number kept once; each matched as one WORD is.\n"
    "                   FILE may be saved as UTF-16 (\"Unicode\") with its byte\n"
    "                   order mark, and holds at most 32 MiB. Prints, per\n"
    "                   number in list order, each file whose name holds it\n"
    "                   as \"NUMBER<TAB>PATH\", or \"NUMBER<TAB>\" when there\n"
    "                   is none\n"
    "  copy             copy the files named on standard input, one path a line,\n"
    "                   into DIR, never replacing a file that is there (it is\n"
    "                   skipped) and never leaving a partial copy; DIR is created\n"
    "                   when its parent exists. Lines are copied as they come; a\n"
    "                   line holding a NUL byte or longer than 65536 bytes is\n"
    "                   refused with its number, and the others are copied.\n"
    "                   Writes the window's report, RUN_DIR/data/CopyReport.txt\n"
    "\n"
    "Options (before or after the subcommand; \"--\" ends them):\n"
    "  --run-dir DIR    program folder (default: this executable's folder when its\n"
    "                   data/ is there or can be made there, else the user's\n"
    "                   data home: $XDG_DATA_HOME/chengjing, ~/.local/share/\n"
    "                   chengjing on Linux, %LOCALAPPDATA%\\chengjing on Windows)\n"
    "  --list TITLE     refresh: the directory list to walk (default: the first one)\n"
    "  --folder DIR     refresh: walk DIR instead of the list's folders (repeatable)\n"
    "  --filter TEXT    refresh: type filter instead of the list's, e.g. \"jpg|pdf\"\n"
    "  --threads N      shard count 1..12 (default: the stored thread count); a\n"
    "                   refresh with another count stores it, as the settings do\n"
    "  --long           search: print name, type and size, and path of each hit\n"
    "  --count          search: print only the number of hits; with --batch\n"
    "                   \"NUMBER<TAB>FILES\" for every number\n"
    "  --missing        search --batch: print only the numbers no file holds, one\n"
    "                   a line\n"
    "  -i, --ignore-case\n"
    "                   search: ASCII letters match in either case and full-width\n"
    "                   forms (\"ＳＦ１４\") their ASCII twins; without it a search\n"
    "                   that finds nothing, or a batch number with no file, says\n"
    "                   on standard error how many files -i would find\n"
    "  -v, --verbose    refresh: list every path the index left out, one a line,\n"
    "                   on standard error\n"
    "  --to DIR         copy: the folder to copy into (required)\n"
    "  --backup         copy: the paths of the copy list's backup (RUN_DIR/data/\n"
    "                   Backup.txt) instead of standard input\n"

    "  -h, --help       show this text\n"
    "  --version        show the program's version\n"
    "\n"
    "A refresh says on standard error how many paths it left out (folders it could\n"
    "not read, paths too long, names the index cannot hold); it still succeeds.\n"
    "A copy names on standard error every file it skipped or could not copy, and\n"
    "ends with the line \"copied N, skipped M (target exists), failed K\" (and\n"
    "\", renamed R\" with --keep-both); an interrupt removes the file being copied\n"
    "and stops.\n"
    "\n"
    "Exit status: 0 on success; 1 when a file cannot be read or written (the\n"
    "message names the file and the system's reason), when a search finds no\n"
    "index (never refreshed, or the wrong --run-dir), when a listed folder cannot\n"
    "be opened (the index is then left as it was), when another refresh runs, or\n"
    "when a copy failed, refused a line or was interrupted (a file skipped because\n"
    "its target exists is no failure); 2 for a mistake in the command line, or a\n"
    "--batch list that holds no number or is larger than 32 MiB.\n";

namespace {

// The subcommands an option belongs to.
enum Commands : unsigned { ForRefresh = 1, ForSearch = 2, ForCopy = 4, ForAll = 7 };

struct KnownOption {
    std::string_view name;       // "--name"
    std::string_view shortName;  // "-x", or empty
    bool takesValue;
    unsigned commands;
    // Stores the option; returns a message on a mistake, else nothing.
    std::optional<std::string> (*apply)(Options& options, const std::string& value);
};

std::optional<std::string> SetOutput(Options& options, SearchOutput output) {
    if (options.output != SearchOutput::Paths && options.output != output) {
        return "--long, --count and --missing exclude each other";
    }
    options.output = output;
    return std::nullopt;
}

const KnownOption OptionTable[] = {
    {"--run-dir", "", true, ForAll,
     [](Options& o, const std::string& v) -> std::optional<std::string> {
         o.runDirectory = v;
         return std::nullopt;
     }},
    {"--list", "", true, ForRefresh,
     [](Options& o, const std::string& v) -> std::optional<std::string> {
         o.listTitle = v;
         return std::nullopt;
     }},
    {"--folder", "", true, ForRefresh,
     [](Options& o, const std::string& v) -> std::optional<std::string> {
         o.folders.push_back(v);
         return std::nullopt;
     }},
    {"--filter", "", true, ForRefresh,
     [](Options& o, const std::string& v) -> std::optional<std::string> {
         o.filter = v;
         return std::nullopt;
     }},
    {"--threads", "", true, ForRefresh | ForSearch,
     [](Options& o, const std::string& v) -> std::optional<std::string> {
         const std::int64_t threads = core::TextToInt(v);
         if (v.empty() || v.find_first_not_of("0123456789") != std::string::npos || threads < 1 ||
             threads > core::MaxThreadCount) {
             return "--threads needs a number from 1 to " + std::to_string(core::MaxThreadCount) +
                    ", not \"" + v + "\"";
         }
         o.threads = static_cast<int>(threads);
         return std::nullopt;
     }},
    {"--verbose", "-v", false, ForRefresh,
     [](Options& o, const std::string&) -> std::optional<std::string> {
         o.verbose = true;
         return std::nullopt;
     }},
    {"--long", "", false, ForSearch,
     [](Options& o, const std::string&) { return SetOutput(o, SearchOutput::Long); }},
    {"--count", "", false, ForSearch,
     [](Options& o, const std::string&) { return SetOutput(o, SearchOutput::Count); }},
    {"--missing", "", false, ForSearch,
     [](Options& o, const std::string&) { return SetOutput(o, SearchOutput::Missing); }},
    {"--ignore-case", "-i", false, ForSearch,
     [](Options& o, const std::string&) -> std::optional<std::string> {
         o.ignoreCase = true;
         return std::nullopt;
     }},
    {"--batch", "", true, ForSearch,
     [](Options& o, const std::string& v) -> std::optional<std::string> {
         if (v.empty()) {
             return "--batch needs a file (\"-\" for standard input)";
         }
         o.batchFile = v;
         return std::nullopt;
     }},
    {"--to", "", true, ForCopy,
     [](Options& o, const std::string& v) -> std::optional<std::string> {
         if (v.empty()) {
             // An empty folder would be wherever the command happens to run.
             return "--to needs a folder";
         }
         o.copyTo = v;
         return std::nullopt;
     }},
    {"--backup", "", false, ForCopy,
     [](Options& o, const std::string&) -> std::optional<std::string> {
         o.fromBackup = true;
         return std::nullopt;
     }},
    {"--keep-both", "", false, ForCopy,
     [](Options& o, const std::string&) -> std::optional<std::string> {
         o.keepBoth = true;
         return std::nullopt;
     }},
};

const KnownOption* FindOption(std::string_view name) {
    for (const KnownOption& known : OptionTable) {
        if (name == known.name || (!known.shortName.empty() && name == known.shortName)) {
            return &known;
        }
    }
    return nullptr;
}

std::string CommandNames(unsigned commands) {
    std::string names;
    for (const auto& [bit, name] : {std::pair{ForRefresh, "refresh"},
                                    std::pair{ForSearch, "search"}, std::pair{ForCopy, "copy"}}) {
        if ((commands & bit) != 0) {
            names += names.empty() ? name : std::string(" and ") + name;
        }
    }
    return names;
}

// What a search's options cannot mean together.
std::optional<std::string> SearchMistake(const Options& options) {
    if (options.batchFile && !options.words.empty()) {
        return "search --batch takes its numbers from the file, not \"" + options.words.front() +
               "\"";
    }
    if (options.batchFile && options.output == SearchOutput::Long) {
        return "--long does not go with --batch";
    }
    if (!options.batchFile && options.output == SearchOutput::Missing) {
        return "--missing belongs to search --batch";
    }
    return std::nullopt;
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    Options options;
    std::vector<std::string> positional;
    std::vector<std::pair<const KnownOption*, std::string>> given;  // The option and its name.
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            options.command = Command::Help;
            return options;
        }
        if (arg == "--version") {
            options.command = Command::Version;
            return options;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const std::size_t eq = arg.find('=');
            eq != std::string::npos && arg.starts_with("--")) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        const KnownOption* known = FindOption(name);
        if (known == nullptr) {
            error = "unknown option " + name + " (see --help)";
            return std::nullopt;
        }
        if (known->takesValue && !value) {
            if (i + 1 >= args.size()) {
                error = "option " + name + " needs a value";
                return std::nullopt;
            }
            value = args[++i];
        } else if (!known->takesValue && value) {
            error = "option " + name + " takes no value";
            return std::nullopt;
        }
        if (std::optional<std::string> mistake = known->apply(options, value.value_or(""))) {
            error = std::move(*mistake);
            return std::nullopt;
        }
        given.emplace_back(known, name);
    }

    if (positional.empty()) {
        error = "missing command: refresh, search or copy (see --help)";
        return std::nullopt;
    }
    const std::string& command = positional.front();
    unsigned commandBit = 0;
    if (command == "refresh") {
        options.command = Command::Refresh;
        commandBit = ForRefresh;
    } else if (command == "search") {
        options.command = Command::Search;
        commandBit = ForSearch;
    } else if (command == "copy") {
        options.command = Command::Copy;
        commandBit = ForCopy;
    } else {
        error = "unknown command \"" + command + "\": refresh, search or copy (see --help)";
        return std::nullopt;
    }
    for (const auto& [known, name] : given) {
        if ((known->commands & commandBit) == 0) {
            error = name + " belongs to " + CommandNames(known->commands);
            return std::nullopt;
        }
    }
    if (options.command == Command::Search) {
        options.words.assign(positional.begin() + 1, positional.end());
        if (std::optional<std::string> mistake = SearchMistake(options)) {
            error = std::move(*mistake);
            return std::nullopt;
        }
        return options;
    }
    if (positional.size() > 1) {
        error = options.command == Command::Copy
                    ? "copy reads its paths from standard input, not \"" + positional[1] + "\""
                    : "refresh takes no words: \"" + positional[1] + "\"";
        return std::nullopt;
    }
    if (options.command == Command::Copy && !options.copyTo) {
        error = "copy needs --to DIR";
        return std::nullopt;
    }
    return options;
}

}  // namespace cj::cli
