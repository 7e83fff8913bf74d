// chengjing-cli: refresh and search the index, and copy files out, from the
// command line, over the same engine and data folder as the window program.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "core/event_log.h"
#include "core/version.h"

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        std::string error;
        const std::optional<cj::cli::Options> options = cj::cli::ParseOptions(args, error);
        if (!options) {
            std::fprintf(stderr, "chengjing-cli: %s\n", error.c_str());
            return 2;
        }
        if (options->command == cj::cli::Command::Help) {
            std::fputs(cj::cli::UsageText, stdout);
            return cj::cli::FinishOutput();
        }
        if (options->command == cj::cli::Command::Version) {
            std::printf("chengjing-cli %s\n", cj::Version);
            return cj::cli::FinishOutput();
        }
        const std::string runDirectory = cj::cli::RunDirectoryFor(*options);
        cj::core::SetLogRunDirectory(runDirectory);
        switch (options->command) {
            case cj::cli::Command::Refresh:
                return cj::cli::RunRefresh(*options, runDirectory);
            case cj::cli::Command::Copy:
                return cj::cli::RunCopy(*options, runDirectory);
            default:
                return options->batchFile ? cj::cli::RunBatchSearch(*options, runDirectory)
                                          : cj::cli::RunSearch(*options, runDirectory);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "chengjing-cli: %s\n", e.what());
        return 1;
    }
}
