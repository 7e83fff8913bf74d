// chengjing-cli copy: the copy list's copy for scripts, with the same rules as
// the window's copy job (copylist/copy_job.h).
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "copylist/copy_job.h"
#include "copylist/list_backup.h"
#include "core/data_paths.h"

namespace cj::cli {
namespace {

// Set by the signals that ask a console program to end (Ctrl+C, a kill, a
// closed terminal, Ctrl+Break on Windows): the copy stops between chunks and
// removes the file it was writing, instead of dying with half a file on disk.
std::atomic<bool> g_stop{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler stores to it");

extern "C" void RequestStop(int) {
    g_stop.store(true);
}

constexpr int StopSignals[] = {
    SIGINT, SIGTERM,
#ifdef SIGHUP
    SIGHUP,
#endif
#ifdef SIGBREAK
    SIGBREAK,
#endif
};

// The paths of text: one a line, LF or CR LF, empty lines left out.
std::vector<std::string> PathLines(std::string_view text) {
    std::vector<std::string> paths;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (!line.empty()) {
            paths.emplace_back(line);
        }
    }
    return paths;
}

}  // namespace

int RunCopy(const Options& options, const std::string& runDirectory) {
    std::vector<std::string> sources;
    if (options.fromBackup) {
        // Every piece of the backup, as the copy list would hold it after a
        // restore, so that both copy the same files.
        const std::string backup = core::BackupPath(runDirectory);
        if (const std::error_code ec = copylist::TryReadBackupFile(backup, sources); ec) {
            return Fail(CannotText("read", backup, ec));
        }
    } else {
        std::string text;
        if (const std::error_code ec = ReadStandardInput(text); ec) {
            return Fail(std::string("cannot read the standard input: ") + ec.message());
        }
        sources = PathLines(text);
    }

    for (const int signal : StopSignals) {
        std::signal(signal, RequestStop);
    }
    const copylist::CopySummary summary = copylist::CopyFiles(sources, *options.copyTo, &g_stop);
    for (const int signal : StopSignals) {
        std::signal(signal, SIG_DFL);
    }

    for (const copylist::NotCopied& file : summary.notCopied) {
        if (file.error == std::errc::file_exists) {
            std::fprintf(stderr, "chengjing-cli: skipped %s: %s exists\n",
                         VisibleText(file.source).c_str(), VisibleText(file.target).c_str());
        } else {
            Fail(CannotText("copy", VisibleText(file.source), file.error));
        }
    }
    if (summary.stopped) {
        Fail("interrupted: " + std::to_string(summary.notTried) + " files not copied");
    }
    std::printf("copied %zu, skipped %zu (target exists), failed %zu\n", summary.copied,
                summary.skippedExisting, summary.failed);
    const int output = FinishOutput();
    return summary.failed > 0 || summary.stopped ? 1 : output;
}

}  // namespace cj::cli
