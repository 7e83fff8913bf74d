// chengjing-cli search --batch: many waybill numbers at once, with the
// window's batch search (search/batch_search.h).
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_output.h"
#include "index/index_commit.h"
#include "platform/files.h"
#include "search/batch_scan.h"
#include "search/batch_search.h"

namespace cj::cli {
namespace {

// The list's text: the file, or standard input for "-"; at most one byte
// past the largest list taken, which is enough to refuse it.
std::error_code ReadList(const std::string& path, std::string& text) {
    std::FILE* in = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        return {errno != 0 ? errno : ENOENT, std::generic_category()};
    }
    std::error_code ec;
    char buffer[1 << 16];
    while (text.size() <= search::MaxBatchListBytes) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, in);
        text.append(buffer, n);
        if (n < sizeof buffer) {
            if (std::ferror(in) != 0) {
                ec = {errno != 0 ? errno : EIO, std::generic_category()};
            }
            break;
        }
    }
    if (in != stdin) {
        std::fclose(in);
    }
    return ec;
}

std::string ListName(const Options& options) {
    return *options.batchFile == "-" ? "standard input" : *options.batchFile;
}

void PrintHits(const Options& options, const std::vector<std::string>& numbers,
               const std::vector<std::vector<std::string_view>>& hits, Output& out) {
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        switch (options.output) {
            case SearchOutput::Count:
                out.TabbedLine(numbers[i], std::to_string(hits[i].size()));
                break;
            case SearchOutput::Missing:
                if (hits[i].empty()) {
                    out.Line(numbers[i]);
                }
                break;
            default:
                if (hits[i].empty()) {
                    out.TabbedLine(numbers[i], {});
                }
                for (const std::string_view path : hits[i]) {
                    out.TabbedLine(numbers[i], path);
                }
                break;
        }
    }
}

// The numbers no file holds but -i would find, on standard error, so that
// stdout stays what scripts read.
void NoteMissingIgnoringCase(const search::BatchScan& scan,
                             const std::vector<std::string>& numbers) {
    const std::vector<std::uint64_t> files = search::MissingFilesIgnoringCase(scan, numbers.size());
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (files[i] > 0) {
            std::fprintf(stderr,
                         "chengjing-cli: %s: no file; ignoring case and width (-i) finds %llu\n",
                         numbers[i].c_str(), static_cast<unsigned long long>(files[i]));
        }
    }
}

}  // namespace

int RunBatchSearch(const Options& options, const std::string& runDirectory) {
    if (const std::string problem = CheckDataFolder(runDirectory); !problem.empty()) {
        return Fail(problem);
    }
    std::string text;
    if (const std::error_code ec = ReadList(*options.batchFile, text); ec) {
        return Fail(CannotText("read", ListName(options), ec));
    }
    if (text.size() > search::MaxBatchListBytes) {
        std::fprintf(stderr,
                     "chengjing-cli: the list %s is larger than %zu MiB: split it into smaller "
                     "lists\n",
                     ListName(options).c_str(), search::MaxBatchListBytes >> 20);
        return 2;
    }
    const std::vector<std::string> numbers = search::SplitBatchNumbers(text);
    if (numbers.empty()) {
        std::fprintf(stderr, "chengjing-cli: no numbers in %s (nothing to search)\n",
                     ListName(options).c_str());
        return 2;
    }
    text = std::string();

    // As the single search: finish a commit a killed refresh left, then read
    // every shard; an unreadable one would make its numbers look missing.
    static_cast<void>(index::RecoverIndex(runDirectory));
    search::SearchRequest request;
    request.runDirectory = runDirectory;
    request.shardCount = options.threads;
    std::vector<search::ShardHits> shards = search::OpenShards(request);
    if (shards.empty()) {
        return FailNoIndex(runDirectory);
    }
    for (const search::ShardHits& shard : shards) {
        if (shard.error) {
            return Fail(CannotText("read", shard.path, shard.error));
        }
    }
    const std::atomic<bool> never{false};
    request.match =
        options.ignoreCase ? search::MatchRule::IgnoreCaseAndWidth : search::MatchRule::Exact;
    const platform::CodePage codePage = platform::ActiveCodePage();
    const search::BatchScan scan =
        search::ScanBatch(std::move(shards), numbers, never, codePage, {}, request.match);
    if (scan.incomplete) {
        return Fail("the batch could not be searched to its end (out of memory)");
    }
    Output out;
    const std::vector<std::vector<std::string_view>> hits =
        search::HitsByNumber(scan, numbers.size());
    PrintHits(options, numbers, hits, out);
    out.Flush();
    if (!options.ignoreCase) {
        NoteMissingIgnoringCase(scan, numbers);
    }
    if (out.Failed()) {
        return Fail(std::string("cannot write the output: ") +
                    std::generic_category().message(out.Error()));
    }
    return 0;
}

}  // namespace cj::cli
