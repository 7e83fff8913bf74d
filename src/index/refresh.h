// The index refresh: walks the folders of a directory list and replaces the
// index shards with what it found.
//
// The refresh never touches the window. Start runs on the window's thread and
// says at once whether the refresh started, with its generation; the refresh
// thread reports its end once through RefreshListener, and the window applies
// it on its own thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/engine_activity.h"
#include "core/job_generation.h"
#include "index/dir_walk.h"
#include "index/shard_file.h"

namespace cj::index {

struct RefreshRequest {
    std::string runDirectory;          // No trailing separator.
    std::vector<std::string> folders;  // The directory list's folders, in display order.
    std::string filter;                // The type-filter text ("mp3|.flac").
    // The shard count to build, which the commit stores as the thread count.
    // Outside 1..12: the stored count, read once this refresh holds the
    // Refresh lock (no other commit can change it from then on).
    int shardCount = 0;
    int walkThreads = 0;  // Threads that list folders; 0 means WalkFolders' default.
};

// How a refresh ended.
enum class RefreshEnd {
    Written,             // The new index is in place (WalkReport may list what it left out).
    FoldersMissing,      // A listed folder could not be opened: nothing written.
    AnotherRefreshRuns,  // Another process refreshes this data folder: nothing written.
    WriteFailed,         // The new index could not be written: the previous one stays.
};

struct RefreshReport {
    RefreshEnd end = RefreshEnd::Written;
    WalkReport walk;
    std::uint64_t records = 0;  // Records written to the shards.
    int shardCount = 0;         // The shard count used.
    // WriteFailed: what could not be written, with the path and reason (see
    // TryCommitShards); the previous index stays.
    std::vector<ShardFailure> failedShards;
};

class RefreshListener {
  public:
    // Called once per refresh started by Refresher::Start, on the refresh's
    // thread, after the engine has become idle again. Must not block on the
    // window's thread.
    virtual void OnRefreshFinished(core::JobGeneration generation, RefreshReport report) = 0;

  protected:
    ~RefreshListener() = default;
};

// Runs one refresh at a time; a refresh also refuses to start while a search
// runs (both through the shared EngineActivity). Across programs, a refresh
// holds the data folder's Refresh lock (index/index_commit.h) and ends at once
// with AnotherRefreshRuns while another program's refresh holds it.
class Refresher {
  public:
    // listener receives the end of every refresh started by Start; it may be
    // null for a caller that only uses Run.
    Refresher(core::EngineActivity& activity, RefreshListener* listener)
        : m_activity(activity), m_listener(listener) {}
    // Waits for a refresh that is still running.
    ~Refresher();
    Refresher(const Refresher&) = delete;
    Refresher& operator=(const Refresher&) = delete;

    // Starts the refresh on a thread of its own and returns at once. Refused,
    // with nothing changed, when a refresh or a search runs. When no thread
    // can be made the refresh ends at once, its end reported (on the calling
    // thread) with every shard failed. Call from one thread (the window's).
    core::JobStart Start(RefreshRequest request);

    // The same refresh on the calling thread, for the command line and tests;
    // report (optional) receives the figures. No listener call.
    core::StartOutcome Run(const RefreshRequest& request, RefreshReport* report = nullptr);

    // Waits until the refresh started by Start has finished. For the command
    // line and tests: the window never waits on a worker.
    void Wait();

  private:
    // The refresh itself, between TryBeginRefresh and EndRefresh.
    void Work(const RefreshRequest& request, RefreshReport& report);

    core::EngineActivity& m_activity;
    RefreshListener* m_listener;
    core::GenerationCounter m_generations;
    std::thread m_thread;  // The last refresh started by Start. Used by the starting thread only.
};

}  // namespace cj::index
