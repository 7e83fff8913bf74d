#include "cli/cli_commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <system_error>

#include "cli/cli_output.h"
#include "core/data_paths.h"
#include "core/settings_file.h"
#include "index/index_commit.h"
#include "index/refresh.h"
#include "index/shard_file.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/run_directory.h"
#include "search/keywords.h"
#include "search/search_run.h"
#include "shell/hit_text.h"

namespace cj::cli {
namespace {

// Writes shard 1's hits as its worker finds them.
class OutputSink final : public search::HitSink {
  public:
    explicit OutputSink(Output& out) : m_out(out) {}
    bool OnHit(std::string_view record) override {
        m_out.Line(record);
        return !m_out.Failed();
    }

  private:
    Output& m_out;
};

// Prints every failure of a shard write; returns the exit code.
int FailShards(std::string_view action, const std::vector<index::ShardFailure>& failures) {
    for (const index::ShardFailure& failure : failures) {
        Fail(CannotText(action, failure.path, failure.error));
    }
    return 1;
}

// After an exact search that found nothing: what -i would find, on standard
// error, so that stdout stays what scripts read.
void NoteFilesIgnoringCase(const search::SearchRequest& request,
                           std::vector<search::ShardHits>& shards, const std::string& keywordText) {
    const std::atomic<bool> never{false};
    const std::uint64_t files = search::CountIgnoringCase(request, shards, keywordText, never);
    if (files > 0) {
        std::fprintf(stderr,
                     "chengjing-cli: nothing found; ignoring case and width (-i) finds %llu\n",
                     static_cast<unsigned long long>(files));
    }
}

}  // namespace

std::string CheckDataFolder(const std::string& runDirectory) {
    const std::string data = core::DataDirectory(runDirectory);
    const platform::PathProbe probe = platform::ProbePath(data);
    if (!probe.exists || !probe.isDirectory) {
        const std::error_code ec =
            probe.exists ? std::make_error_code(std::errc::not_a_directory) : probe.error;
        return CannotText("use the data folder", data, ec);
    }
    const std::string config = core::ConfigPath(runDirectory);
    if (platform::ProbePath(config).exists) {
        std::string bytes;
        if (const std::error_code ec = platform::ReadWholeFile(config, bytes); ec) {
            return CannotText("read", config, ec);
        }
    }
    return {};
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "chengjing-cli: %s\n", message.c_str());
    return 1;
}

std::string CannotText(std::string_view action, std::string_view path, std::error_code ec) {
    return "cannot " + std::string(action) + " " + std::string(path) + ": " + ec.message();
}

std::error_code ReadStandardInput(std::string& text) {
    char buffer[1 << 16];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, stdin);
        text.append(buffer, n);
        if (n < sizeof buffer) {
            if (std::ferror(stdin) != 0) {
                return {errno != 0 ? errno : EIO, std::generic_category()};
            }
            return {};
        }
    }
}

int FailNoIndex(const std::string& runDirectory) {
    return Fail("no index in " + core::DataDirectory(runDirectory) +
                ": run \"chengjing-cli refresh --folder DIR\" or refresh the index in the window");
}

int FinishOutput() {
    // A text longer than the stream's buffer was partly written while it was
    // put, and that write's reason is in errno now: the flush below fails
    // without setting it again.
    const int earlier = std::ferror(stdout) != 0 ? errno : 0;
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        const int reason = errno != 0 ? errno : earlier != 0 ? earlier : EIO;
        return Fail(std::string("cannot write the output: ") +
                    std::generic_category().message(reason));
    }
    return 0;
}

std::string RunDirectoryFor(const Options& options) {
    // Without --run-dir, the folder the window program uses too.
    std::string dir = options.runDirectory.empty()
                          ? platform::ChooseRunDirectory(platform::ExecutableDirectory())
                          : options.runDirectory;
    while (dir.size() > 1 && platform::EndsWithSeparator(dir)) {
        dir.pop_back();
    }
    return dir;
}

// A name holding a line break stays one line of the listing.
std::string VisibleText(std::string_view path) {
    std::string out;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (byte < 0x20) {
            static constexpr char Hex[] = "0123456789abcdef";
            out += "\\x";
            out += Hex[byte >> 4];
            out += Hex[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

// What the command line says of a refresh that ran, and its exit status.
int ReportRefresh(const Options& options, const index::RefreshRequest& request,
                  const index::RefreshReport& report) {
    switch (report.end) {
        case index::RefreshEnd::FoldersMissing:
            for (const std::string& folder : report.walk.missingFolders) {
                Fail("cannot open the listed folder " + folder);
            }
            return Fail("the index was left as it was (remove a folder from the list to drop it)");
        case index::RefreshEnd::AnotherRefreshRuns:
            return Fail("the refresh did not start: another refresh of " +
                        core::DataDirectory(request.runDirectory) + " runs");
        case index::RefreshEnd::WriteFailed:
            if (report.failedShards.empty()) {
                return Fail("the index could not be written; the previous one was kept");
            }
            return FailShards("write", report.failedShards);
        case index::RefreshEnd::Written:
            break;
    }
    const index::WalkReport& walk = report.walk;
    if (options.verbose) {
        for (const std::string& path : walk.leftOut) {
            std::fprintf(stderr, "left out: %s\n", VisibleText(path).c_str());
        }
    }
    if (walk.unreadableFolders + walk.tooLong + walk.unstorableNames > 0) {
        std::fprintf(stderr,
                     "chengjing-cli: left out %llu unreadable folders, %llu paths too long and "
                     "%llu names the index cannot hold%s\n",
                     static_cast<unsigned long long>(walk.unreadableFolders),
                     static_cast<unsigned long long>(walk.tooLong),
                     static_cast<unsigned long long>(walk.unstorableNames),
                     options.verbose ? "" : " (--verbose lists them)");
    }
    if (report.records == 0 && walk.filesSeen > 0 && !request.filter.empty()) {
        std::fprintf(stderr,
                     "chengjing-cli: the type filter \"%s\" matched none of the %llu files found\n",
                     request.filter.c_str(), static_cast<unsigned long long>(walk.filesSeen));
    }
    std::printf("%llu files indexed in %d shards\n",
                static_cast<unsigned long long>(report.records), report.shardCount);
    return FinishOutput();
}

int RunRefresh(const Options& options, const std::string& runDirectory) {
    if (const std::string problem = CheckDataFolder(runDirectory); !problem.empty()) {
        return Fail(problem);
    }
    const auto settings = core::SettingsFile::InRunDirectory(runDirectory);
    index::RefreshRequest request;
    request.runDirectory = runDirectory;

    if (options.folders.empty() || !options.filter) {
        std::optional<core::DirectoryList> list;
        if (options.listTitle) {
            list = settings.ReadDirectoryList(*options.listTitle);
            if (!list) {
                return Fail("no directory list \"" + *options.listTitle + "\" in " +
                            settings.Path());
            }
        } else if (std::vector<core::DirectoryList> lists = settings.ReadDirectoryLists();
                   !lists.empty()) {
            list = std::move(lists.front());
        } else if (options.folders.empty()) {
            return Fail("no directory list in " + settings.Path() + " (use --folder DIR)");
        }
        if (list) {
            request.folders = std::move(list->folders);
            request.filter = std::move(list->filter);
        }
    }
    if (!options.folders.empty()) {
        request.folders = options.folders;
    }
    if (options.filter) {
        request.filter = *options.filter;
    }

    // Another shard count is stored with the new index when it is committed,
    // and the old shards go only then. 0: the stored count, read under the
    // Refresh lock.
    request.shardCount = options.threads;

    core::EngineActivity activity;
    index::Refresher refresher(activity, nullptr);
    index::RefreshReport report;
    if (refresher.Run(request, &report) != core::StartOutcome::Started) {
        report.end = index::RefreshEnd::AnotherRefreshRuns;  // Only this process's own could.
    }
    return ReportRefresh(options, request, report);
}

int RunSearch(const Options& options, const std::string& runDirectory) {
    if (const std::string problem = CheckDataFolder(runDirectory); !problem.empty()) {
        return Fail(problem);
    }
    std::string keywordText;
    for (std::size_t i = 0; i < options.words.size(); ++i) {
        keywordText += i == 0 ? "" : " ";
        keywordText += options.words[i];
    }
    // Finishes a commit a killed refresh left and removes its leftovers; a
    // commit that cannot be finished is read through its record all the same.
    static_cast<void>(index::RecoverIndex(runDirectory));
    search::SearchRequest request;
    request.runDirectory = runDirectory;
    request.shardCount = options.threads;  // 0: the stored count, read with the counts.
    request.detail = options.output == SearchOutput::Count  ? search::HitDetail::Count
                     : options.output == SearchOutput::Long ? search::HitDetail::Sizes
                                                            : search::HitDetail::Paths;
    request.match =
        options.ignoreCase ? search::MatchRule::IgnoreCaseAndWidth : search::MatchRule::Exact;
    const search::KeywordSet keywords(keywordText, platform::ActiveCodePage(), request.match);
    const std::atomic<bool> never{false};
    // The output belongs to shard 1's worker until the search returns, then
    // to this thread.
    Output out;
    OutputSink firstShard(out);
    if (options.output == SearchOutput::Paths) {
        request.firstShardSink = &firstShard;
    }
    std::vector<search::ShardHits> hits = search::OpenShards(request);
    if (hits.empty()) {
        return FailNoIndex(runDirectory);
    }
    // An unreadable shard would read as empty and print too few hits: a
    // shard with records must be there.
    for (const search::ShardHits& shard : hits) {
        if (shard.error) {
            return Fail(CannotText("read", shard.path, shard.error));
        }
    }
    search::ScanShards(request, hits, keywords, never);
    std::uint64_t total = 0;
    for (const search::ShardHits& shard : hits) {
        total += shard.count;
    }
    if (total == 0 && !options.ignoreCase) {
        NoteFilesIgnoringCase(request, hits, keywordText);
    }

    if (options.output == SearchOutput::Count) {
        out.Line(std::to_string(total));
    } else {
        for (const search::ShardHits& shard : hits) {
            if (options.output == SearchOutput::Long) {
                for (std::size_t i = 0; i < shard.paths.size(); ++i) {
                    out.HitLines(shard.paths[i], shard.sizes[i]);
                }
                continue;
            }
            for (const std::string_view path : shard.paths) {
                out.Line(path);
            }
        }
    }
    out.Flush();
    if (out.Failed()) {
        return Fail(std::string("cannot write the output: ") +
                    std::generic_category().message(out.Error()));
    }
    return 0;
}

}  // namespace cj::cli
