// chengjing-cli copy: the copy list's copy for scripts, with the same rules as
// the window's copy job (copylist/copy_job.h).
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/path_input.h"
#include "copylist/copy_job.h"
#include "copylist/copy_report.h"
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
    SIGINT,
    SIGTERM,
#ifdef SIGHUP
    SIGHUP,
#endif
#ifdef SIGBREAK
    SIGBREAK,
#endif
};

// Why a line of the input is no path to copy, named by its number.
std::string RefusalText(const PathLine& line) {
    if (line.problem == LineProblem::NulByte) {
        return "line " + std::to_string(line.number) +
               " refused (it holds a NUL byte): " + VisibleText(line.path);
    }
    return "line " + std::to_string(line.number) + " refused (longer than " +
           std::to_string(MaxPathLine) + " bytes): " + VisibleText(line.path) + "...";
}

// Says why each file of notCopied from `from` on was not copied.
void ReportNotCopied(const copylist::CopySummary& summary, std::size_t from = 0) {
    for (std::size_t i = from; i < summary.notCopied.size(); ++i) {
        const copylist::NotCopied& file = summary.notCopied[i];
        if (file.error == std::errc::file_exists) {
            std::fprintf(stderr, "chengjing-cli: skipped %s: %s exists\n",
                         VisibleText(file.source).c_str(), VisibleText(file.target).c_str());
        } else if (file.error == std::errc::operation_canceled) {
            std::fprintf(stderr, "chengjing-cli: not copied (interrupted): %s\n",
                         VisibleText(file.source).c_str());
        } else {
            Fail(CannotText("copy", VisibleText(file.source), file.error));
        }
    }
}

// Copies the paths of standard input as they come, a group of those read at
// a time, so that the memory the input takes stays bounded whatever its
// length. A line that is no path is refused with its number and the others
// are copied all the same: copying never replaces anything, and the refusal
// makes the run a failure that a script sees. One session for the whole
// input: the folder is made ready and flushed once, not once a group.
copylist::CopySummary CopyStandardInput(const std::string& target, core::SameNameRule rule,
                                        std::error_code& readError) {
    copylist::CopySession session(target, &g_stop, rule);
    PathInput input(stdin);
    std::vector<PathLine> lines;
    while (!g_stop.load() && input.Take(lines, g_stop)) {
        std::vector<std::string> paths;
        for (PathLine& line : lines) {
            if (line.problem == LineProblem::None) {
                paths.push_back(std::move(line.path));
                continue;
            }
            Fail(RefusalText(line));
            session.Refuse(VisibleText(line.path),
                           std::make_error_code(line.problem == LineProblem::NulByte
                                                    ? std::errc::illegal_byte_sequence
                                                    : std::errc::filename_too_long));
        }
        lines.clear();
        if (!paths.empty()) {
            const std::size_t reported = session.Summary().notCopied.size();
            session.Copy(paths);
            ReportNotCopied(session.Summary(), reported);
        }
    }
    copylist::CopySummary total = session.Finish();
    if (g_stop.load()) {
        // The lines read but not taken; what was never read is not counted.
        total.stopped = true;
        total.notTried += input.Abandon();
    } else {
        readError = input.Error();
    }
    return total;
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
    }
    for (const int signal : StopSignals) {
        std::signal(signal, RequestStop);
    }
    const core::SameNameRule rule =
        options.keepBoth ? core::SameNameRule::KeepBoth : core::SameNameRule::Skip;
    copylist::CopySummary summary;
    std::error_code readError;
    if (options.fromBackup) {
        summary = copylist::CopyFiles(sources, *options.copyTo, &g_stop, rule);
        ReportNotCopied(summary);
    } else {
        summary = CopyStandardInput(*options.copyTo, rule, readError);
    }
    for (const int signal : StopSignals) {
        std::signal(signal, SIG_DFL);
    }

    if (readError) {
        Fail("cannot read the standard input: " + readError.message());
    }
    // The same report the window writes. The files are copied all the same
    // when it cannot be written (a program folder without data/), so that
    // changes nothing of the outcome; it is only said.
    if (const std::error_code ec = copylist::TryWriteCopyReport(runDirectory, summary); ec) {
        std::fprintf(stderr, "chengjing-cli: the report was not written: %s\n",
                     CannotText("write", core::CopyReportPath(runDirectory), ec).c_str());
    }
    if (summary.stopped) {
        Fail("interrupted: " + std::to_string(summary.notTried) + " files not copied");
    }
    if (summary.flushError) {
        Fail(CannotText("flush the copies in", *options.copyTo, summary.flushError));
    }
    std::printf("copied %zu, skipped %zu (target exists), failed %zu", summary.copied,
                summary.skippedExisting, summary.failed);
    // Only with --keep-both, so that the line scripts read stays as it was.
    if (options.keepBoth) {
        std::printf(", renamed %zu", summary.renamed.size());
    }
    std::printf("\n");
    const int output = FinishOutput();
    return summary.failed > 0 || summary.stopped || summary.flushError || readError ? 1 : output;
}

}  // namespace cj::cli
