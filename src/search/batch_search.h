// The batch search: many waybill numbers at once, pasted as a list, each
// matched by the single search's rule for one keyword, in one pass over the
// index. The result tells per number how many files hold it, and gives the
// rows grouped by number in list order.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine_activity.h"
#include "core/job_generation.h"
#include "platform/code_page.h"
#include "search/keywords.h"
#include "search/result_records.h"
#include "search/search_jobs.h"

namespace cj::search {

// The largest list the command line takes, in bytes: 2 million waybill
// numbers, far past any claim a shop answers. A batch holds at most about 17
// bytes of memory per byte of its list (the numbers, the matcher's grams and
// the hits' places), so this keeps it near half a gigabyte at the worst.
inline constexpr std::size_t MaxBatchListBytes = std::size_t{32} << 20;

// The numbers of a pasted text or a saved list: split at line breaks, tabs,
// blanks, commas and semicolons, at the full-width "，", "、" and "；", at the
// ideographic space and (in UTF-8) the zero-width space; each trimmed; empty
// pieces dropped; a repeated number kept once, at its first place. Bytes that
// are not valid text are kept as they are (matched byte for byte). A piece is
// trimmed of vertical tabs, form feeds and, in UTF-8, the no-break space and
// the byte order mark. Text in codePage, or UTF-16 behind its byte order mark
// (either order), which is turned into the active code page first; separators
// count only where a character starts.
std::vector<std::string> SplitBatchNumbers(
    std::string_view text, platform::CodePage codePage = platform::ActiveCodePage());

// What the batch found for one number.
struct BatchNumber {
    std::string number;
    // Files whose name holds the number (a file holding two numbers of the
    // batch counts for both).
    std::uint64_t files = 0;
    // Rows first..first+rows-1 (from 1) of the batch's ResultsArray are this
    // number's: the files that hold it and no number earlier in the list.
    std::size_t firstRow = 0;
    std::size_t rows = 0;
    // Set by an exact batch for a number with no files: the files whose name
    // holds it when case and width are ignored, so that a clerk does not send
    // a number back as missing because of how it was typed.
    std::uint64_t filesIgnoringCase = 0;
};

struct BatchOutcome {
    // The rows, grouped by number in list order, each file once (under the
    // first number of the list that it holds); null when nothing was found
    // or nothing could be kept.
    std::unique_ptr<ResultsArray> results;
    std::vector<BatchNumber> numbers;    // In list order.
    std::size_t found = 0;               // Numbers with at least one file.
    std::size_t missing = 0;             // Numbers with none.
    bool stopped = false;                // Asked to stop: what was found until then.
    bool incomplete = false;             // Could not run to its end (no thread, no memory).
    MatchRule match = MatchRule::Exact;  // The rule the numbers were matched by.
    // There is no index (never refreshed): every number is unknown, none
    // missing.
    bool noIndex = false;
};

class BatchListener {
  public:
    // Now and then while the batch runs, on a worker: the share of the
    // index's records scanned, 0 to 100. Must only post.
    virtual void OnBatchProgress(core::JobGeneration generation, int percent) = 0;
    // Once per started batch, on its collector thread, after the engine has
    // become idle again. Must only post.
    virtual void OnBatchFinished(core::JobGeneration generation, BatchOutcome outcome) = 0;

  protected:
    ~BatchListener() = default;
};

// Runs a batch on the calling thread (the command line, tests): one worker
// per shard, joined before it returns. numbers as SplitBatchNumbers gives
// them; shardCount as the single search takes it (below 1: the stored
// count). A shard with records that cannot be read makes the outcome
// incomplete: its numbers would otherwise read as missing. An exact batch
// counts its missing numbers' files under the other rule
// (BatchNumber::filesIgnoringCase).
BatchOutcome RunBatch(const std::string& runDirectory, const std::vector<std::string>& numbers,
                      int shardCount, const std::atomic<bool>& stop,
                      platform::CodePage codePage = platform::ActiveCodePage(),
                      MatchRule rule = MatchRule::Exact);

class BatchSearch {
  public:
    // activity is the one the single search and the refresh share: a batch
    // is a search for their rules (refused during a refresh, a start during
    // a search becomes a stop request).
    BatchSearch(core::EngineActivity& activity, BatchListener& listener, std::string runDirectory);
    // Asks a running batch to stop and waits for it (through m_jobs).
    BatchSearch(const BatchSearch&) = delete;
    BatchSearch& operator=(const BatchSearch&) = delete;

    // On the window's thread; returns at once. The rules of
    // SearchEngine::Start: refused during a refresh, a stop request during a
    // search or a batch. shardCount outside 1..12 means the index's own
    // count, as for SearchEngine::Start. The caller checks that numbers is
    // not empty; an empty list would run as a batch that reads nothing and
    // finds nothing.
    core::JobStart Start(std::vector<std::string> numbers, int shardCount,
                         MatchRule rule = MatchRule::Exact);
    // Tests only.
    void Wait() { m_jobs.Wait(); }

  private:
    void Collect(core::JobGeneration generation, const std::vector<std::string>& numbers,
                 int shardCount, MatchRule rule);

    core::EngineActivity& m_activity;
    BatchListener& m_listener;
    const std::string m_runDirectory;
    SearchJobs m_jobs;  // Last: its collector uses the members above until it is joined.
};

}  // namespace cj::search
