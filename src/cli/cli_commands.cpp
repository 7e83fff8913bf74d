#include "cli/cli_commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "core/config_file.h"
#include "core/data_paths.h"
#include "core/text_rules.h"
#include "index/refresh.h"
#include "index/shard_file.h"
#include "platform/files.h"
#include "search/keywords.h"
#include "search/search_run.h"
#include "shell/hit_text.h"

namespace cj::cli {
namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "chengjing-cli: %s\n", message.c_str());
    return 1;
}

// Checks the data folder and that the configuration file, when there is one,
// can be read. Returns an empty text when all is well.
std::string CheckDataFolder(const std::string& runDirectory) {
    const std::string data = core::DataDirectory(runDirectory);
    const platform::PathProbe probe = platform::ProbePath(data);
    if (!probe.exists || !probe.isDirectory) {
        return "no data folder " + data;
    }
    const std::string config = core::ConfigPath(runDirectory);
    if (platform::ProbePath(config).exists) {
        std::string bytes;
        if (const std::error_code ec = platform::ReadWholeFile(config, bytes)) {
            return "cannot read " + config + ": " + ec.message();
        }
    }
    return {};
}

// Writes stdout in large pieces; the hits of a common keyword run to hundreds
// of megabytes.
class Output {
  public:
    Output() { m_buffer.reserve(Capacity); }
    ~Output() { Flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void Line(std::string_view text) {
        if (m_buffer.size() + text.size() + 1 > Capacity) {
            Flush();
        }
        m_buffer.append(text).append(1, '\n');
    }
    // The three lines of a hit in the long form.
    void HitLines(std::string_view path, std::optional<std::uint64_t> size) {
        if (m_buffer.size() + path.size() * 2 + 128 > Capacity) {
            Flush();
        }
        shell::AppendHitLines(m_buffer, path, size);
    }
    bool Failed() const { return m_failed; }
    void Flush() {
        WriteAll(m_buffer);
        m_buffer.clear();
        if (!m_failed && std::fflush(stdout) != 0) {
            m_failed = true;
        }
    }

  private:
    static constexpr std::size_t Capacity = 1 << 20;

    void WriteAll(std::string_view text) {
        // A megabyte at a time goes past stdio's own buffer to the descriptor.
        if (!m_failed && !text.empty() &&
            std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
            m_failed = true;
        }
    }

    std::string m_buffer;
    bool m_failed = false;
};

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

int StoredThreadCount(const core::ConfigFile& config) {
    return core::ThreadCountFromText(config.ReadItem("xcs", "ma"));
}

}  // namespace

std::string RunDirectoryFor(const Options& options) {
    std::string dir =
        options.runDirectory.empty() ? platform::ExecutableDirectory() : options.runDirectory;
    while (dir.size() > 1 && dir.back() == platform::PathSeparator) {
        dir.pop_back();
    }
    return dir;
}

int RunRefresh(const Options& options, const std::string& runDirectory) {
    if (const std::string problem = CheckDataFolder(runDirectory); !problem.empty()) {
        return Fail(problem);
    }
    const core::ConfigFile config(core::ConfigPath(runDirectory));
    index::RefreshRequest request;
    request.runDirectory = runDirectory;

    if (options.folders.empty() || !options.filter) {
        const core::SectionItems lists = config.ReadSection("syml");
        std::string title;
        std::string folders;
        if (options.listTitle) {
            title = *options.listTitle;
            bool found = false;
            for (std::size_t i = 0; i < lists.keys.size() && !found; ++i) {
                found = lists.keys[i] == title;
                folders = found ? lists.values[i] : folders;
            }
            if (!found) {
                return Fail("no directory list \"" + title + "\" in " + config.Path());
            }
        } else if (!lists.keys.empty()) {
            title = lists.keys.front();
            folders = lists.values.front();
        } else if (options.folders.empty()) {
            return Fail("no directory list in " + config.Path() + " (use --folder DIR)");
        }
        request.folders = core::SplitFolderList(folders);
        request.filter = title.empty() ? std::string() : config.ReadItem("syml_a", title);
    }
    if (!options.folders.empty()) {
        request.folders = options.folders;
    }
    if (options.filter) {
        request.filter = *options.filter;
    }

    const int stored = StoredThreadCount(config);
    request.shardCount = options.threads > 0 ? options.threads : stored;
    if (request.shardCount != stored) {
        // Another shard count: forget the old index first and store the new
        // count, as the settings do, so that searches read exactly these
        // shards.
        index::ResetShards(runDirectory, stored, config);
        if (!config.WriteItem("xcs", "ma", std::to_string(request.shardCount))) {
            return Fail("cannot write " + config.Path());
        }
    }

    core::EngineActivity activity;
    index::Refresher refresher(activity, nullptr);
    index::RefreshReport report;
    refresher.Run(request, &report);
    if (!report.failedShards.empty()) {
        return Fail("cannot write index shard " +
                    core::ShardPath(runDirectory, report.failedShards.front()));
    }
    std::printf("%llu files indexed in %d shards\n",
                static_cast<unsigned long long>(report.records), report.shardCount);
    return 0;
}

int RunSearch(const Options& options, const std::string& runDirectory) {
    if (const std::string problem = CheckDataFolder(runDirectory); !problem.empty()) {
        return Fail(problem);
    }
    const core::ConfigFile config(core::ConfigPath(runDirectory));
    std::string keywordText;
    for (std::size_t i = 0; i < options.words.size(); ++i) {
        keywordText += i == 0 ? "" : " ";
        keywordText += options.words[i];
    }
    search::SearchRequest request;
    request.runDirectory = runDirectory;
    request.shardCount = options.threads > 0 ? options.threads : StoredThreadCount(config);
    request.detail = options.output == SearchOutput::Count  ? search::HitDetail::Count
                     : options.output == SearchOutput::Long ? search::HitDetail::Sizes
                                                            : search::HitDetail::Paths;
    const search::KeywordSet keywords(keywordText);
    const std::atomic<bool> never{false};
    // The output belongs to shard 1's worker until the search returns, then
    // to this thread.
    Output out;
    OutputSink firstShard(out);
    if (options.output == SearchOutput::Paths) {
        request.firstShardSink = &firstShard;
    }
    const std::vector<search::ShardHits> hits = search::SearchShards(request, keywords, never);

    if (options.output == SearchOutput::Count) {
        std::uint64_t total = 0;
        for (const search::ShardHits& shard : hits) {
            total += shard.count;
        }
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
        return Fail(std::string("cannot write the output: ") + std::strerror(errno));
    }
    return 0;
}

}  // namespace cj::cli
