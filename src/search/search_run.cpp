#include "search/search_run.h"

#include <thread>

#include "core/data_paths.h"
#include "core/settings_file.h"
#include "index/shard_file.h"
#include "platform/file_size_reader.h"
#include "search/shard_scan.h"

namespace cj::search {
namespace {

class CountSink final : public HitSink {
  public:
    explicit CountSink(ShardHits& out) : m_out(out) {}
    bool OnHit(std::string_view /*record*/) override {
        ++m_out.count;
        return true;
    }

  private:
    ShardHits& m_out;
};

// Counts and hands each hit on at once.
class ForwardSink final : public HitSink {
  public:
    ForwardSink(ShardHits& out, HitSink& next) : m_out(out), m_next(next) {}
    bool OnHit(std::string_view record) override {
        ++m_out.count;
        return m_next.OnHit(record);
    }

  private:
    ShardHits& m_out;
    HitSink& m_next;
};

class PathSink final : public HitSink {
  public:
    explicit PathSink(ShardHits& out) : m_out(out) {}
    bool OnHit(std::string_view record) override {
        m_out.paths.push_back(record);
        ++m_out.count;
        return true;
    }

  private:
    ShardHits& m_out;
};

// The size lookup per hit can take long on a slow disk, so this sink tests
// the stop request before each hit as well.
class SizeSink final : public HitSink {
  public:
    SizeSink(ShardHits& out, const std::atomic<bool>& stop) : m_out(out), m_stop(stop) {}
    bool OnHit(std::string_view record) override {
        if (m_stop.load(std::memory_order_relaxed)) {
            return false;
        }
        std::uint64_t size = 0;
        const std::error_code error = m_sizes.RegularFileSize(record, size);
        m_out.paths.push_back(record);
        m_out.sizes.push_back(error ? std::nullopt : std::optional<std::uint64_t>(size));
        ++m_out.count;
        return true;
    }

  private:
    ShardHits& m_out;
    const std::atomic<bool>& m_stop;
    platform::FileSizeReader m_sizes;
};

void Scan(const SearchRequest& request, int n, std::uint64_t count, const KeywordSet& keywords,
          const std::atomic<bool>& stop, ShardHits& out) {
    const std::string_view bytes = out.shard.Bytes();
    switch (request.detail) {
        case HitDetail::Count: {
            CountSink sink(out);
            ScanShard(bytes, count, keywords, stop, sink);
            break;
        }
        case HitDetail::Paths: {
            if (n == 1 && request.firstShardSink != nullptr) {
                ForwardSink sink(out, *request.firstShardSink);
                ScanShard(bytes, count, keywords, stop, sink);
            } else {
                PathSink sink(out);
                ScanShard(bytes, count, keywords, stop, sink);
            }
            break;
        }
        case HitDetail::Sizes: {
            SizeSink sink(out, stop);
            ScanShard(bytes, count, keywords, stop, sink);
            break;
        }
    }
}

}  // namespace

void SearchShard(const SearchRequest& request, int n, const KeywordSet& keywords,
                 const std::atomic<bool>& stop, ShardHits& out) {
    try {
        // The configuration file serialises its own readers, so the workers of
        // one search need no lock of their own around the count.
        const auto settings = core::SettingsFile::InRunDirectory(request.runDirectory);
        const std::uint64_t count = settings.ReadShardCount(n);
        if (count == 0) {
            return;
        }
        const std::string path = core::ShardPath(request.runDirectory, n);
        if (const std::error_code unreadable = out.shard.Open(path)) {
            return;  // A missing or unreadable shard has no hits.
        }
        Scan(request, n, count, keywords, stop, out);
    } catch (...) {
        // Out of memory part-way: keep the hits prepared so far. Nothing
        // leaves a worker thread.
    }
}

std::vector<ShardHits> SearchShards(const SearchRequest& request, const KeywordSet& keywords,
                                    const std::atomic<bool>& stop) {
    const std::size_t shardCount =
        request.shardCount > 0 ? static_cast<std::size_t>(request.shardCount) : 0;
    std::vector<ShardHits> hits(shardCount);
    std::vector<std::thread> workers;
    workers.reserve(shardCount);
    std::size_t n = 0;
    try {
        for (; n < shardCount; ++n) {
            workers.emplace_back(
                [&, n] { SearchShard(request, static_cast<int>(n + 1), keywords, stop, hits[n]); });
        }
    } catch (const std::system_error&) {
        // No thread for the remaining shards: scan them here, in order.
        for (; n < shardCount; ++n) {
            SearchShard(request, static_cast<int>(n + 1), keywords, stop, hits[n]);
        }
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    return hits;
}

}  // namespace cj::search
