// The index refresh: walks the folders of a directory list and replaces the
// index shards with what it found.
//
// The refresh never touches the window itself: it reports through
// RefreshView, which the window implements (and tests record).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "index/engine_activity.h"
#include "index/shard_file.h"

namespace cj::index {

inline constexpr std::string_view RefreshBusyText = "刷新索引中，请耐心等待...";
// The busy label's resting text: the one a search shows.
inline constexpr std::string_view SearchBusyText = "搜索中，请耐心等待...";

// What a refresh hands to the window. ShowSearchPage is called on the thread
// that starts the refresh; the others on the refresh's own thread (or the
// caller's, for Refresher::Run). Texts are narrow (the platform encoding).
class RefreshView {
  public:
    // Switches the main area to the search page.
    virtual void ShowSearchPage() = 0;
    // Hides the result list and shows the busy label with text.
    virtual void ShowBusy(std::string_view text) = 0;
    // Hides the busy label, shows the result list and sets the busy label's
    // text to busyText for its next appearance.
    virtual void ShowResultList(std::string_view busyText) = 0;
    virtual void HideUpdateCacheButton() = 0;

  protected:
    ~RefreshView() = default;
};

struct RefreshRequest {
    std::string runDirectory;          // No trailing separator.
    std::vector<std::string> folders;  // The directory list's folders, in display order.
    std::string filter;                // The type-filter text ("mp3|.flac").
    int shardCount = 0;                // The thread count; outside 1..12 means the default.
    int walkThreads = 0;               // Threads that list folders; 0 means one per core.
};

struct RefreshReport {
    std::uint64_t records = 0;  // Records written to the shards.
    int shardCount = 0;         // The shard count used.
    // Shards whose file or count could not be written, with the path and reason.
    std::vector<ShardFailure> failedShards;
};

// Runs one refresh at a time; a refresh also refuses to start while a search
// runs (both through the shared EngineActivity).
class Refresher {
  public:
    Refresher(EngineActivity& activity, RefreshView& view) : m_activity(activity), m_view(view) {}
    // Waits for a refresh that is still running.
    ~Refresher();
    Refresher(const Refresher&) = delete;
    Refresher& operator=(const Refresher&) = delete;

    // Starts the refresh on a thread of its own and returns at once. Refused,
    // with nothing shown or changed, when a refresh or a search runs. Call from
    // one thread (the window's).
    StartOutcome Start(RefreshRequest request);

    // The same refresh on the calling thread, for the command line; report
    // (optional) receives the figures.
    StartOutcome Run(const RefreshRequest& request, RefreshReport* report = nullptr);

    // Waits until the refresh started by Start has finished. For the command
    // line and tests: the window never waits on a worker.
    void Wait();

  private:
    // The refresh itself, between TryBeginRefresh and EndRefresh.
    void Work(const RefreshRequest& request, RefreshReport& report);

    EngineActivity& m_activity;
    RefreshView& m_view;
    std::thread m_thread;  // The last refresh started by Start. Used by the starting thread only.
};

}  // namespace cj::index
